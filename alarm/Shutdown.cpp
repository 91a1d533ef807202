#include "alarm/Shutdown.h"

#include <commctrl.h>

#include <utility>

#include "alarm/Actions.h"
#include "alarm/SystemCalls.h"
#include "alarm/TrayAlarm.h"
#include "alarm/resource.h"
#include "common/Dpi.h"
#include "common/MessageBoxes.h"
#include "schedule/ActionParameters.h"

namespace {

constexpr UINT_PTR kCountdownTimer = 0;

void SetTotalText(HWND window, int total) {
    SetDlgItemTextW(window, IDC_EXIT_TOTAL, (WString(total) + L"秒").text());
}

// Ends the dialog once; later calls (ticks, clicks) change nothing.
void Decide(ExitCountdown& countdown, ExitCountdown::Decision decision) {
    if (countdown.decision != ExitCountdown::Undecided) return;
    countdown.decision = decision;
    KillTimer(countdown.window, kCountdownTimer);
    EndDialog(countdown.window, decision == ExitCountdown::GoOn ? 1 : 0);
}

void SetCountdownIcon(ExitCountdown& countdown, UINT dpi) {
    UniqueIcon icon(LoadSmallIcon(g_zavInstance, countdown.iconResource, dpi));
    SendMessageW(countdown.window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon.get()));
    // The window no longer refers to the icon it had.
    countdown.smallIcon = std::move(icon);
}

void OnCountdownInit(HWND window, ExitCountdown& countdown) {
    countdown.window = window;
    SetCountdownIcon(countdown, DpiOfWindow(window));
    SetWindowTextW(window, countdown.title.text());
    SetTotalText(window, countdown.total);
    // PBM_SETRANGE holds 16-bit limits; a long wait needs the 32-bit form.
    HWND bar = GetDlgItem(window, IDC_EXIT_BAR);
    SendMessageW(bar, PBM_SETRANGE32, 0, countdown.total);
    SendMessageW(bar, PBM_SETPOS, countdown.total, 0);
    CheckWin32(SetTimer(window, kCountdownTimer, 1000, nullptr), "SetTimer");
    // The dialog takes the foreground while the user may be typing: a space
    // or Enter meant for a document must cancel, never stop the computer.
    SendMessageW(window, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(window, IDC_EXIT_CANCEL)), TRUE);
}

void OnCountdownTick(ExitCountdown& countdown) {
    if (countdown.decision != ExitCountdown::Undecided) return;
    --countdown.remaining;
    SendDlgItemMessageW(countdown.window, IDC_EXIT_BAR, PBM_SETPOS, countdown.remaining, 0);
    if (countdown.remaining <= 0) Decide(countdown, ExitCountdown::GoOn);
}

void OnCountdownCommand(ExitCountdown& countdown, WORD id) {
    // IDOK and IDCANCEL (Enter, Esc) are left alone on purpose.
    if (id == IDC_EXIT_NOW)
        Decide(countdown, ExitCountdown::GoOn);
    else if (id == IDC_EXIT_CANCEL)
        Decide(countdown, ExitCountdown::Cancelled);
}

void OnCountdownDestroy(ExitCountdown& countdown) {
    KillTimer(countdown.window, kCountdownTimer);
    // The window drops its reference to the icon before the icon goes.
    SendMessageW(countdown.window, WM_SETICON, ICON_SMALL, 0);
    if (countdown.smallIcon) CheckWin32(DestroyIcon(countdown.smallIcon.release()), "DestroyIcon");
}

INT_PTR CALLBACK CountdownProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(window, DWLP_USER, lParam);
        OnCountdownInit(window, *reinterpret_cast<ExitCountdown*>(lParam));
        return FALSE;  // the focus was set: on "キャンセル"
    }
    auto* countdown = reinterpret_cast<ExitCountdown*>(GetWindowLongPtrW(window, DWLP_USER));
    if (countdown == nullptr) return FALSE;
    switch (message) {
    case WM_TIMER:
        if (wParam == kCountdownTimer) OnCountdownTick(*countdown);
        return TRUE;
    case WM_COMMAND: OnCountdownCommand(*countdown, LOWORD(wParam)); return TRUE;
    // The template's font and layout are Windows' to scale (the dialog has
    // no font of its own); the icon is the dialog's.
    case WM_DPICHANGED: SetCountdownIcon(*countdown, LOWORD(wParam)); return FALSE;
    // The default close sends IDCANCEL, which is ignored like Esc.
    case WM_CLOSE: Decide(*countdown, ExitCountdown::Cancelled); return TRUE;
    case WM_DESTROY: OnCountdownDestroy(*countdown); return TRUE;
    default: return FALSE;
    }
}

// CheckWin32's label is 8-bit text that the runtime's formatter reads byte
// by byte, which garbles Japanese: these labels are put together here.
void CheckPowerCall(BOOL result, const wchar_t* name) {
    if (result) return;
    const DWORD error = GetLastError();
    ShowError((WString(name) + L" Error Code =" + WString(static_cast<int>(error))).text());
}

void EnableShutdownPrivilege() {
    HANDLE rawToken = nullptr;
    BOOL opened = OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &rawToken);
    CheckWin32(opened, "OpenProcessToken");
    UniqueHandle token(opened ? rawToken : nullptr);
    TOKEN_PRIVILEGES privileges = {};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    CheckWin32(LookupPrivilegeValueW(nullptr, L"SeShutdownPrivilege", &privileges.Privileges[0].Luid),
               "LookupPrivilegeValue");
    CheckWin32(AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr), "AdjustTokenPrivileges");
}

}  // namespace

bool RunExitCountdown(int iconResource, const WString& title, int wait) {
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    ExitCountdown countdown;
    countdown.iconResource = iconResource;
    countdown.title = title;
    countdown.total = wait < 0 ? 0 : wait;
    countdown.remaining = countdown.total;
    // The dialog's own result is not used: a dialog loop that meets WM_QUIT
    // (ZAV ending) returns 1 under Wine, which would read as "go on".
    DialogBoxParamW(g_zavInstance, MAKEINTRESOURCEW(IDD_EXIT_COUNTDOWN), nullptr, CountdownProc,
                    reinterpret_cast<LPARAM>(&countdown));
    return countdown.decision == ExitCountdown::GoOn;
}

int Exit(int iconResource, const WString& parameter) {
    const ExitParameter exit = ParseExitParameter(parameter);
    if (exit.hasWait && !RunExitCountdown(iconResource, exit.title, exit.wait)) return kExitCancelled;

    EnableShutdownPrivilege();
    if (exit.method == ExitMethod::Sleep) {
        CheckPowerCall(g_systemCalls.setSystemPowerState(TRUE, FALSE), L"スリープエラー");
        return kExitSuspended;
    }
    if (exit.method == ExitMethod::Hibernate) {
        CheckPowerCall(g_systemCalls.setSystemPowerState(FALSE, FALSE), L"休止状態エラー");
        return kExitSuspended;
    }
    UINT flags = exit.method == ExitMethod::Restart ? EWX_REBOOT : EWX_POWEROFF;
    if (exit.force) flags |= EWX_FORCE;
    CheckWin32(g_systemCalls.exitWindowsEx(flags, 0), "ExitWindowsEx");
    return kExitStopped;
}

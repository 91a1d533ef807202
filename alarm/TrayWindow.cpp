// OnMyNotifyIcon: everything the user, the shell and ZAVSet do to a running
// ZAV arrives here. Each message goes to one small handler.
#include "alarm/Actions.h"
#include "alarm/TrayAlarm.h"
#include "alarm/resource.h"
#include "common/Handles.h"
#include "common/MessageBoxes.h"

namespace {

// ---- Tray callback ----

LRESULT OnTrayButtonDown(TrayAlarm& tray) {
    SetForegroundWindow(tray.mainWindow);
    // A new button-down restarts the timer.
    CheckWin32(SetTimer(tray.mainWindow, kClickTimer, GetDoubleClickTime(), nullptr),
               "SetTimer in OnMyNotifyIcon");
    return 0;
}

LRESULT OnTrayDoubleClick(TrayAlarm& tray) {
    SetForegroundWindow(tray.mainWindow);
    KillTimer(tray.mainWindow, kClickTimer);
    tray.StartSettings(kWordSet, SW_SHOWNORMAL);
    return 0;
}

LRESULT OnTrayCallback(TrayAlarm& tray, WPARAM iconId, LPARAM mouseMessage) {
    if (iconId != kTrayIconId) return 0;
    switch (mouseMessage) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        return OnTrayButtonDown(tray);
    case WM_LBUTTONDBLCLK:
        return OnTrayDoubleClick(tray);
    }
    return 0;
}

// ---- ZAV_MESSAGE from ZAVSet or a second ZAV ----

LRESULT OnControlMessage(TrayAlarm& tray, WPARAM request) {
    switch (request) {
    case kReloadSchedule: tray.ReloadSchedule(); break;
    case kReloadSettings: tray.ReadIni(); break;
    case kTestRun: RunTestRecord(); break;
    }
    return 0;
}

// ---- TaskbarCreated: Explorer restarted ----

LRESULT OnTaskbarCreated(TrayAlarm& tray) {
    // The record carries whichever icon it showed last, so a blink goes on;
    // loaded again, as the new taskbar may have another DPI.
    tray.LoadTrayIcons();
    tray.notifyIcon(NIM_DELETE, &tray.trayRecord);
    tray.notifyIcon(NIM_ADD, &tray.trayRecord);
    return 1;
}

// ---- WM_DPICHANGED: the monitor's scale changed ----

LRESULT OnDpiChanged(TrayAlarm& tray) {
    // The hidden window keeps its place and size; the icon takes the
    // notification area's new size.
    tray.LoadTrayIcons();
    tray.UpdateTrayIcon();
    return 0;
}

// ---- Tray menu commands ----

void OnExitCommand(TrayAlarm&) { PostQuitMessage(0); }
void OnAboutCommand(TrayAlarm& tray) { tray.StartSettings(kWordAbout, SW_SHOW); }
void OnSettingsCommand(TrayAlarm& tray) { tray.StartSettings(kWordSet, SW_SHOW); }
void OnTimerCommand(TrayAlarm& tray) { tray.StartSettings(kWordTimer, SW_SHOW); }

struct TrayCommand {
    WORD id;
    void (*handler)(TrayAlarm& tray);
};

const TrayCommand kTrayCommands[] = {
    {IDM_EXIT, OnExitCommand},
    {IDM_ABOUT, OnAboutCommand},
    {IDM_SETTINGS, OnSettingsCommand},
    {IDM_TIMER, OnTimerCommand},
};

LRESULT OnCommand(TrayAlarm& tray, WORD id) {
    for (const TrayCommand& command : kTrayCommands) {
        if (command.id == id) {
            command.handler(tray);
            return 0;
        }
    }
    return 1;
}

// ---- Timers ----

void ShowTrayMenu(TrayAlarm& tray) {
    UniqueMenu menu(LoadMenuW(g_zavInstance, MAKEINTRESOURCEW(IDR_TRAY_MENU)));
    POINT cursor = {};
    CheckWin32(GetCursorPos(&cursor), "GetCursorPos");
    TrackPopupMenuEx(GetSubMenu(menu.get(), 0), TPM_RIGHTBUTTON, cursor.x, cursor.y, tray.mainWindow, nullptr);
    // Without a message after the menu, a menu opened from the tray does not
    // close when the user clicks elsewhere the next time.
    PostMessageW(tray.mainWindow, WM_NULL, 0, 0);
    CheckWin32(DestroyMenu(menu.release()), "DestroyMenu");
}

void SetTrayIcon(TrayAlarm& tray, int iconId) {
    tray.trayRecord.hIcon = iconId == IDI_ALARM_RINGING ? tray.ringingIcon.get() : tray.normalIcon.get();
}

void ShowBlinkMessage(TrayAlarm& tray) {
    // Copied: a Blink that comes due while the box is open replaces the member.
    WString message = tray.pendingBlinkMessage;
    unsigned serial = tray.blinkSerial;
    ShowInfo(ShownMessage(message).text(), tray.mainWindow);
    // A later Blink that came due meanwhile keeps blinking until its own box.
    if (tray.blinkSerial != serial) return;
    tray.pendingBlinkMessage = WString();
    KillTimer(tray.mainWindow, kBlinkTimer);
    SetTrayIcon(tray, IDI_ALARM);
    CheckWin32(tray.UpdateTrayIcon(), "NIM_MODIFY");
}

LRESULT OnClickTimer(TrayAlarm& tray) {
    KillTimer(tray.mainWindow, kClickTimer);
    if (tray.pendingBlinkMessage.empty()) {
        ShowTrayMenu(tray);
    } else {
        ShowBlinkMessage(tray);
    }
    return 0;
}

LRESULT OnWatchTimer(TrayAlarm& tray) {
    CheckSchedule(tray.watch, false);
    tray.AfterPass();
    return 0;
}

LRESULT OnLookTimer(TrayAlarm& tray) {
    tray.Look();
    return 0;
}

LRESULT OnBlinkTimer(TrayAlarm& tray) {
    SetTrayIcon(tray, tray.trayRecord.hIcon == tray.normalIcon.get() ? IDI_ALARM_RINGING : IDI_ALARM);
    if (tray.UpdateTrayIcon()) return 0;
    // The blinking goes on; only its first failure is reported. Marked
    // before the box: the box's loop runs the next ticks.
    if (tray.blinkFailureReported == tray.blinkSerial) return 0;
    tray.blinkFailureReported = tray.blinkSerial;
    CheckWin32(FALSE, "Shell_NotifyIcon");
    return 0;
}

LRESULT OnTimer(TrayAlarm& tray, UINT_PTR timerId) {
    switch (timerId) {
    case kClickTimer: return OnClickTimer(tray);
    case kWatchTimer: return OnWatchTimer(tray);
    case kBlinkTimer: return OnBlinkTimer(tray);
    case kLookTimer: return OnLookTimer(tray);
    }
    return 1;
}

// ---- The next alarm, the clock and sleep ----

LRESULT OnShowTip(TrayAlarm& tray) {
    tray.tipPosted = false;
    // Unchecked: an icon that is gone comes back with this record at
    // TaskbarCreated.
    tray.notifyIcon(NIM_MODIFY, &tray.trayRecord);
    return 0;
}

LRESULT OnTimeChange(TrayAlarm& tray) {
    tray.RefreshNextAlarm();
    return 0;
}

LRESULT OnPowerBroadcast(TrayAlarm& tray, WPARAM event) {
    // Sent at every resume, by a wake timer or by the user.
    if (event == PBT_APMRESUMEAUTOMATIC) tray.OnResume();
    return TRUE;
}

}  // namespace

LRESULT CALLBACK OnMyNotifyIcon(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Messages that arrive before the TrayAlarm exists (none in practice) or
    // after it went are left to the default procedure.
    TrayAlarm* tray = g_trayAlarm;
    if (tray == nullptr) return DefWindowProcW(window, message, wParam, lParam);

    if (message == tray->trayMessage) return OnTrayCallback(*tray, wParam, lParam);
    if (message == tray->controlMessage) return OnControlMessage(*tray, wParam);
    if (message == tray->taskbarMessage) return OnTaskbarCreated(*tray);
    switch (message) {
    case WM_CLOSE: PostQuitMessage(0); return 0;
    case WM_COMMAND: return OnCommand(*tray, LOWORD(wParam));
    case WM_TIMER: return OnTimer(*tray, wParam);
    case WM_TIMECHANGE: return OnTimeChange(*tray);
    case kShowTipMessage: return OnShowTip(*tray);
    case WM_POWERBROADCAST: return OnPowerBroadcast(*tray, wParam);
    case WM_DPICHANGED: return OnDpiChanged(*tray);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

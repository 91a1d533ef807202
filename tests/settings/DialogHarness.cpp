#include "tests/settings/DialogHarness.h"

#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <utility>

#include "settings/DialogBase.h"
#include "tests/common/TestSupport.h"

namespace {

struct Run {
    std::vector<DialogStep> steps;
    size_t next = 0;
    HWND previous = nullptr;
    int ticks = 0;
    bool inStep = false;
    UINT_PTR stepTimer = 0;
    UINT_PTR guardTimer = 0;
};
Run* g_run = nullptr;

// Timers fire once the dialog's loop finds the queue empty, which is also
// when the dialog is first shown: the step timer ticks until it is seen.
constexpr int kMaxTicks = 500;

BOOL CALLBACK FindDialog(HWND window, LPARAM param) {
    wchar_t className[32];
    GetClassNameW(window, className, 32);
    if (lstrcmpW(className, L"#32770") != 0 || !IsWindowVisible(window) || !IsWindowEnabled(window)) return TRUE;
    auto* found = reinterpret_cast<std::pair<HWND, HWND>*>(param);
    if (window == found->first) return TRUE;
    found->second = window;
    return FALSE;
}

HWND FindDialogOtherThan(HWND except) {
    std::pair<HWND, HWND> found{except, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&found));
    return found.second;
}

void CALLBACK GuardTimer(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    if (g_run == nullptr) return;
    g_run->guardTimer = 0;
    // Close from the innermost out: a picker before its owner.
    for (HWND open = FindOpenDialog(); open != nullptr; open = FindOpenDialog()) {
        ADD_FAILURE() << "a dialog is still open after the test's last step: \"" << Narrow(WindowText(open)) << "\"";
        SendMessageW(open, WM_CLOSE, 0, 0);
        if (FindOpenDialog() == open) DestroyWindow(open);
    }
}

void CALLBACK StepTimer(HWND, UINT, UINT_PTR, DWORD) {
    Run* run = g_run;
    if (run == nullptr || run->inStep || run->next >= run->steps.size()) return;
    HWND dialog = FindDialogOtherThan(run->previous);
    if (dialog == nullptr && ++run->ticks < kMaxTicks) return;
    run->ticks = 0;
    if (dialog == nullptr) {
        ADD_FAILURE() << "no dialog shown for step " << run->next + 1;
        KillTimer(nullptr, run->stepTimer);
        run->stepTimer = 0;
        run->next = run->steps.size();
        run->guardTimer = SetTimer(nullptr, 0, 50, GuardTimer);
        return;
    }
    run->inStep = true;
    DialogStep step = std::move(run->steps[run->next]);
    ++run->next;
    run->previous = dialog;
    step(dialog);
    run->inStep = false;
    if (run->next == run->steps.size()) {
        KillTimer(nullptr, run->stepTimer);
        run->stepTimer = 0;
        run->guardTimer = SetTimer(nullptr, 0, 50, GuardTimer);
    }
}

}  // namespace

HWND FindOpenDialog() {
    return FindDialogOtherThan(nullptr);
}

INT_PTR RunDialog(const std::function<INT_PTR()>& open, std::vector<DialogStep> steps) {
    Run run;
    run.steps = std::move(steps);
    Run* outer = g_run;
    g_run = &run;
    run.stepTimer = SetTimer(nullptr, 0, 10, StepTimer);
    INT_PTR result = open();
    if (run.stepTimer != 0) KillTimer(nullptr, run.stepTimer);
    if (run.guardTimer != 0) KillTimer(nullptr, run.guardTimer);
    EXPECT_EQ(run.steps.size(), run.next) << "the dialog closed before all steps ran";
    g_run = outer;
    return result;
}

std::wstring ItemText(HWND dialog, int id) {
    return WindowText(GetDlgItem(dialog, id));
}

std::string ItemTextUtf8(HWND dialog, int id) {
    return Narrow(ItemText(dialog, id));
}

std::wstring WindowText(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::wstring text(length + 1, L'\0');
    text.resize(GetWindowTextW(window, &text[0], length + 1));
    return text;
}

void TypeText(HWND dialog, int id, const wchar_t* text) {
    SetDlgItemTextW(dialog, id, text);
}

void Click(HWND dialog, int id) {
    SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0);
}

void PostClick(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void SetChecked(HWND dialog, int id, bool checked) {
    if (Checked(dialog, id) != checked) Click(dialog, id);
    // A radio button that is already checked stays so when clicked.
    if (Checked(dialog, id) != checked) CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool Checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

bool Enabled(HWND dialog, int id) {
    return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE;
}

bool Visible(HWND dialog, int id) {
    return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE;
}

bool ReadOnly(HWND dialog, int id) {
    return (GetWindowLongW(GetDlgItem(dialog, id), GWL_STYLE) & ES_READONLY) != 0;
}

void SelectEntry(HWND dialog, int id, int index) {
    HWND combo = GetDlgItem(dialog, id);
    SendMessageW(combo, CB_SETCURSEL, index, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

int SelectedEntry(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0));
}

void AnswerFilePicker(HWND picker, const wchar_t* path) {
    constexpr int kFileNameBox = 0x47C;
    HWND box = GetDlgItem(picker, kFileNameBox);
    ASSERT_NE(nullptr, box) << "the picker has no file name box";
    SetWindowTextW(box, path);
    PostMessageW(picker, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(picker, IDOK)));
}

namespace {

struct TipSearch {
    HWND dialog;
    std::vector<DialogTip>* tips;
};

BOOL CALLBACK CollectTip(HWND window, LPARAM param) {
    TipSearch* search = reinterpret_cast<TipSearch*>(param);
    wchar_t className[32];
    GetClassNameW(window, className, 32);
    if (lstrcmpW(className, TOOLTIPS_CLASSW) != 0 || GetWindow(window, GW_OWNER) != search->dialog) return TRUE;
    wchar_t text[512] = L"";
    TTTOOLINFOW tool{};
    tool.cbSize = kToolRecordSize;
    tool.lpszText = text;
    if (SendMessageW(window, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool))) {
        search->tips->push_back({GetDlgCtrlID(reinterpret_cast<HWND>(tool.uId)), text,
                                 SendMessageW(window, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0)});
    }
    return TRUE;
}

}  // namespace

std::vector<DialogTip> DialogTips(HWND dialog) {
    std::vector<DialogTip> tips;
    TipSearch search{dialog, &tips};
    EnumThreadWindows(GetCurrentThreadId(), CollectTip, reinterpret_cast<LPARAM>(&search));
    return tips;
}

HDROP MakeDrop(const std::vector<std::wstring>& files) {
    size_t units = 1;  // the closing NUL of the list
    for (const std::wstring& file : files) units += file.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + units * sizeof(wchar_t));
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    auto* names = reinterpret_cast<wchar_t*>(reinterpret_cast<BYTE*>(header) + sizeof(DROPFILES));
    for (const std::wstring& file : files) {
        file.copy(names, file.size());
        names += file.size() + 1;
    }
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

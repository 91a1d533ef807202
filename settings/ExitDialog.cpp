#include "settings/ExitDialog.h"

#include <powrprof.h>

#include <cerrno>
#include <cwchar>

#include "common/MessageBoxes.h"
#include "schedule/ActionParameters.h"
#include "schedule/ScheduleLine.h"
#include "settings/DialogPosition.h"
#include "settings/resource.h"

namespace {

constexpr int kMethodCount = 4;
// In the order of the radio buttons 9302 ... 9305.
const ExitMethod kMethods[kMethodCount] = {ExitMethod::PowerOff, ExitMethod::Sleep, ExitMethod::Hibernate,
                                           ExitMethod::Restart};

const StaticColour kExitColours[] = {
    {IDC_EXIT_HELD, kRed},
};

const ToolTipEntry kExitTips[] = {
    {IDC_EXIT_SLEEP,
     L"スリープ メモリーの状態をディスクに保存しません。待機中電気は食いますが、移行や復帰まで時間はかかりません。"},
    {IDC_EXIT_HIBERNATE,
     L"ハイバネートとも。メモリーの状態をディスクに保存して電源を切ります。待機中電気は食いませんが、移行や復帰までの時"
     L"間がかかります。"},
    {IDC_EXIT_FORCE, L"ざっと言えば編集中の文書があっても実行します"},
};

const FontEntry kExitFonts[] = {
    {IDC_EXIT_WAIT, 14, kDialogFace},
    {IDC_EXIT_HELD, 10, kDialogFace},
};

// The wait box as a number: false for anything but a plain decimal number
// (a pasted "3a", an empty box).
bool ReadWait(const WString& text, long* value) {
    if (text.empty()) return false;
    for (int i = 0; i < text.length(); ++i)
        if (text.at(i) != L'-' && (text.at(i) < L'0' || text.at(i) > L'9')) return false;
    wchar_t* end = nullptr;
    errno = 0;
    *value = wcstol(text.text(), &end, 10);
    return errno != ERANGE && *end == L'\0';
}

}  // namespace

bool CheckExitParameter(const WString& parameter, HWND owner) {
    const wchar_t* refusal = ExitParameterRefusal(parameter);
    if (refusal == nullptr) return true;
    ShowError(refusal, owner);
    return false;
}

const DialogTables<DExit> DExit::kTables = [] {
    // clang-format off
    static const CommandEntry<DExit> commands[] = {
        {IDC_EXIT_POWER_OFF, BN_CLICKED, &DExit::OnForceAllowed},
        {IDC_EXIT_RESTART, BN_CLICKED, &DExit::OnForceAllowed},
        {IDC_EXIT_SLEEP, BN_CLICKED, &DExit::OnForceRefused},
        {IDC_EXIT_HIBERNATE, BN_CLICKED, &DExit::OnForceRefused},
        {IDC_EXIT_OK, BN_CLICKED, &DExit::OnOk},
        {IDC_EXIT_CANCEL, BN_CLICKED, &DExit::OnCancel},
    };
    // clang-format on
    DialogTables<DExit> tables{};
    tables.templateId = IDD_EXIT;
    tables.onInit = &DExit::OnInitDialog;
    tables.commands = commands;
    tables.colours = kExitColours;
    tables.toolTips = kExitTips;
    tables.fonts = kExitFonts;
    tables.closeResult = FALSE;
    return tables;
}();

DExit::DExit(const WString& parameter, bool isHeld, int iconId, const SettingsFile& settings, int elevation)
    : ModalDialog(elevation, iconId), parameter_(parameter), isHeld_(isHeld), settings_(settings) {}

bool DExit::Run(HWND owner) {
    return RunModal(owner);
}

INT_PTR DExit::OnInitDialog() {
    SendDlgItemMessageW(window, IDC_EXIT_WAIT_SPIN, UDM_SETRANGE32, 0, kExitWaitMax);
    SendDlgItemMessageW(window, IDC_EXIT_WAIT_SPIN, UDM_SETBUDDY,
                        reinterpret_cast<WPARAM>(GetDlgItem(window, IDC_EXIT_WAIT)), 0);
    bool sleepAllowed = IsPwrSuspendAllowed() != FALSE;
    bool hibernateAllowed = IsPwrHibernateAllowed() != FALSE;
    EnableWindow(GetDlgItem(window, IDC_EXIT_SLEEP), sleepAllowed);
    EnableWindow(GetDlgItem(window, IDC_EXIT_HIBERNATE), hibernateAllowed);

    // Each word found overrides the one before, so restart wins over all;
    // a method the system does not allow is not selected.
    int method = 0;
    if (parameter_.Find(kExitSleepWord) >= 0 && sleepAllowed) method = 1;
    if (parameter_.Find(kExitHibernateWord) >= 0 && hibernateAllowed) method = 2;
    if (parameter_.Find(kExitRestartWord) >= 0) method = 3;
    CheckRadio(IDC_EXIT_METHODS, kMethodCount, method);

    ExitParameter exit = ParseExitParameter(parameter_);
    if (method == 1 || method == 2) {
        OnForceRefused();
    } else {
        CheckDlgButton(window, IDC_EXIT_FORCE, exit.force ? BST_CHECKED : BST_UNCHECKED);
    }
    ShowWindow(GetDlgItem(window, IDC_EXIT_HELD), isHeld_ ? SW_SHOW : SW_HIDE);
    int wait = exit.hasWait && exit.waitValid ? exit.wait : 0;
    SendDlgItemMessageW(window, IDC_EXIT_WAIT_SPIN, UDM_SETPOS32, 0, wait);
    RestorePosition(window, settings_, L"SetWinEndLeft", L"SetWinEndTop", PositionRule::kIntMin);
    return TRUE;
}

void DExit::OnForceAllowed() {
    EnableWindow(GetDlgItem(window, IDC_EXIT_FORCE), TRUE);
}

void DExit::OnForceRefused() {
    CheckDlgButton(window, IDC_EXIT_FORCE, BST_UNCHECKED);
    EnableWindow(GetDlgItem(window, IDC_EXIT_FORCE), FALSE);
}

void DExit::OnOk() {
    // The wait written is the number in the box: the up-down's position can
    // be stale after typing, and typed text need not be a number at all.
    long wait = 0;
    WString text = AsciiDigits(GetItemText(IDC_EXIT_WAIT));
    // Nine digits at most, as the box ever held (Left of a shorter text is empty).
    bool number = ReadWait(text.length() > 9 ? text.Left(9) : text, &wait);
    if (!number || wait < 0 || wait > kExitWaitMax) {
        if (number) SetDlgItemInt(window, IDC_EXIT_WAIT, wait < 0 ? 0 : kExitWaitMax, FALSE);
        Refuse(IDC_EXIT_WAIT, L"正しい待機時間を入力して下さい");
        return;
    }
    SavePosition(window, settings_, L"SetWinEndLeft", L"SetWinEndTop");
    ExitParameter exit;
    int method = GetCheckedRadio(IDC_EXIT_METHODS, kMethodCount);
    exit.method = kMethods[method < 0 ? 0 : method];
    exit.hasMethodWord = true;
    exit.force = IsChecked(IDC_EXIT_FORCE);
    exit.wait = static_cast<int>(wait);
    exit.hasWait = wait > 0;
    parameter_ = ComposeExitParameter(exit);
    EndWith(TRUE);
}

void DExit::OnCancel() {
    EndWith(FALSE);
}

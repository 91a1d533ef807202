#include "settings/OptionsDialog.h"

#include <commctrl.h>

#include "common/MessageBoxes.h"
#include "common/Protocol.h"
#include "schedule/ScheduleLine.h"
#include "settings/DialogPosition.h"
#include "settings/ZavLink.h"
#include "settings/resource.h"

namespace {

const wchar_t kElevationHelp[] =
    L"チェックを入れるメリット\n"
    L"1.管理者権限でなければならないスケジュールを無応答で実行できる\n"
    L"\n"
    L"チェックを入れるデメリット\n"
    L"1.ファイル名の指定でドラッグアンドドロップが出来ない場合がある\n"
    L"2.ZAV.exe 起動時(通常ログオン時)昇格プロンプトが出る\n"
    L"\n"
    L"変更後は自分で ZAV.exe を再起動してください";

const wchar_t kBadTimerInt[] = L"監視時間間隔に正しい値を入力して下さい\n倍角数字の場合もエラー";
const wchar_t kBadBlinkInt[] = L"ブリンク間隔に正しい値を入力して下さい\n倍角数字の場合もエラー";
const wchar_t kIniNotWritten[] = L"Zavbell.ini に書き込めませんでした";

// The up-down buttons' step in both fields (ms).
constexpr int kIntervalStep = 50;

const StaticColour kParamColours[] = {
    {IDC_PARAM_BLINK_RANGE, kBlue},
    {IDC_PARAM_TIMER_RANGE, kBlue},
};

// One font for both number fields: made for 1421, handed to 1411 on opening.
const FontEntry kParamFonts[] = {
    {IDC_PARAM_TIMER, 14, kDialogFace},
};

struct Spin {
    int spinId;
    int buddyId;
    int min;
    int max;
};
const Spin kSpins[] = {
    {IDC_PARAM_BLINK_SPIN, IDC_PARAM_BLINK, kBlinkIntMin, kBlinkIntMax},
    {IDC_PARAM_TIMER_SPIN, IDC_PARAM_TIMER, kTimerIntDialogMin, kTimerIntDialogMax},
};

}  // namespace

bool IsIntervalText(const WString& text, int min, int max) {
    for (int i = 0; i < text.length(); ++i)
        if (text.at(i) >= 0x80) return false;
    return IsNumberInRange(text, min, max);
}

const DialogTables<DSetParam> DSetParam::kTables = [] {
    static const CommandEntry<DSetParam> commands[] = {
        {IDC_PARAM_HELP, BN_CLICKED, &DSetParam::OnHelp},
        {IDC_PARAM_OK, BN_CLICKED, &DSetParam::OnOk},
        {IDC_PARAM_CANCEL, BN_CLICKED, &DSetParam::OnCancel},
    };
    DialogTables<DSetParam> tables{};
    tables.templateId = IDD_PARAM;
    tables.onInit = &DSetParam::OnInitDialog;
    tables.commands = commands;
    tables.colours = kParamColours;
    tables.fonts = kParamFonts;
    tables.closeResult = 0;
    return tables;
}();

DSetParam::DSetParam(const SettingsFile& settings, bool splitToken, int elevation)
    : ModalDialog(elevation, IDI_SETTINGS), settings_(settings), splitToken_(splitToken) {}

bool DSetParam::Run(HWND owner) {
    return RunModal(owner);
}

INT_PTR DSetParam::OnInitDialog() {
    SendDlgItemMessageW(window, IDC_PARAM_BLINK, WM_SETFONT,
                        SendDlgItemMessageW(window, IDC_PARAM_TIMER, WM_GETFONT, 0, 0), FALSE);

    UDACCEL accel{0, kIntervalStep};
    for (const Spin& spin : kSpins) {
        HWND control = GetDlgItem(window, spin.spinId);
        SendMessageW(control, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(window, spin.buddyId)), 0);
        SendMessageW(control, UDM_SETRANGE32, spin.min, spin.max);
        SendMessageW(control, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
    }

    EnableWindow(GetDlgItem(window, IDC_PARAM_ELEVATION), splitToken_);
    EnableWindow(GetDlgItem(window, IDC_PARAM_HELP), splitToken_);
    bool elevate = splitToken_ && settings_.ReadInt(L"Elevation", 0) != 0;
    CheckDlgButton(window, IDC_PARAM_ELEVATION, elevate ? BST_CHECKED : BST_UNCHECKED);

    int timerInt = settings_.ReadInt(L"TimerInt", kTimerIntDefault);
    if (timerInt >= kTimerIntDialogShownLimit) timerInt = kTimerIntDefault;
    SendDlgItemMessageW(window, IDC_PARAM_BLINK_SPIN, UDM_SETPOS32, 0, settings_.ReadInt(L"BlinkInt", kBlinkIntDefault));
    SendDlgItemMessageW(window, IDC_PARAM_TIMER_SPIN, UDM_SETPOS32, 0, timerInt);
    CheckDlgButton(window, IDC_PARAM_WAKE, settings_.ReadInt(kWakeUpKey, 0) != 0 ? BST_CHECKED : BST_UNCHECKED);

    RestorePosition(window, settings_, L"ParamLeft", L"ParamTop", PositionRule::kMinusOne);
    return TRUE;
}

void DSetParam::OnHelp() {
    ShowInfo(kElevationHelp, window);
}

WString DSetParam::Interval(int fieldId) const {
    return AsciiDigits(GetItemText(fieldId));
}

void DSetParam::OnOk() {
    if (!IsIntervalText(Interval(IDC_PARAM_TIMER), kTimerIntDialogMin, kTimerIntDialogMax)) {
        Refuse(IDC_PARAM_TIMER, kBadTimerInt);
        return;
    }
    if (!IsIntervalText(Interval(IDC_PARAM_BLINK), kBlinkIntMin, kBlinkIntMax)) {
        Refuse(IDC_PARAM_BLINK, kBadBlinkInt);
        return;
    }
    if (!WriteSettings()) {
        // Nothing is announced: ZAV would read the old values anyway.
        ShowError(kIniNotWritten, window);
        return;
    }
    TellZav(kReloadSettings, window);
    EndWith(1);
}

void DSetParam::OnCancel() {
    EndWith(0);
}

// Every key on every OK, changed or not; a disabled check box is unchecked
// and so stores "0".
bool DSetParam::WriteSettings() const {
    RECT place{};
    CheckWin32(GetWindowRect(window, &place), "GetWindowRect");
    const struct {
        const wchar_t* key;
        WString value;
    } values[] = {
        {L"ParamLeft", WString(static_cast<int>(place.left))},
        {L"ParamTop", WString(static_cast<int>(place.top))},
        {L"Elevation", IsChecked(IDC_PARAM_ELEVATION) ? L"1" : L"0"},
        {L"BlinkInt", WString(Interval(IDC_PARAM_BLINK).ToInt(kBlinkIntDefault))},
        {L"TimerInt", WString(Interval(IDC_PARAM_TIMER).ToInt(kTimerIntDefault))},
        {kWakeUpKey, IsChecked(IDC_PARAM_WAKE) ? L"1" : L"0"},
    };
    for (const auto& value : values)
        if (!WritePrivateProfileStringW(settings_.section().text(), value.key, value.value.text(),
                                        settings_.path().text()))
            return false;
    return true;
}

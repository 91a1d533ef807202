#include "settings/TimerDialog.h"

#include <commctrl.h>


#include "common/MessageBoxes.h"
#include "common/Paths.h"
#include "common/Protocol.h"
#include "schedule/ScheduleLine.h"
#include "schedule/StringList.h"
#include "settings/DialogPosition.h"
#include "settings/OptionsDialog.h"
#include "settings/ZavLink.h"
#include "settings/resource.h"

namespace {

constexpr ULONGLONG kFileTimeUnitsPerSecond = 10000000ULL;

struct Offset {
    int fieldId;
    int spinId;
    int max;
    const wchar_t* refusal;
};
// Days, hours, minutes, seconds: checked in this order at OK.
const Offset kOffsets[] = {
    {IDC_TIMER_DAYS, IDC_TIMER_DAYS_SPIN, 99, L"正しい日数を入力して下さい"},
    {IDC_TIMER_HOURS, IDC_TIMER_HOURS_SPIN, 23, L"正しい時間を入力して下さい"},
    {IDC_TIMER_MINUTES, IDC_TIMER_MINUTES_SPIN, 59, L"正しい分を入力して下さい"},
    {IDC_TIMER_SECONDS, IDC_TIMER_SECONDS_SPIN, 59, L"正しい秒を入力して下さい"},
};
constexpr int kOffsetTextMax = 3;

const wchar_t kNoOffset[] = L"経過時間がセットされていません";
const wchar_t kScheduleNotWritten[] = L"Zavbell.txt に書き込めませんでした";
const wchar_t kScheduleSet[] = L"にスケジュールを設定しました。";

const StaticColour kTimerColours[] = {
    {IDC_TIMER_RUNS_ONCE, kRed},
};

// One font per size; OnInitDialog hands each to the other controls of its size.
const FontEntry kTimerFonts[] = {
    {IDC_TIMER_FROM_NOW, 18, kDialogFace},
    {IDC_TIMER_DAYS, 14, kFixedFace},
    {IDC_TIMER_AT, 12, kFixedFace},
};
struct SharedFont {
    int from;
    int to;
};
const SharedFont kSharedFonts[] = {
    {IDC_TIMER_FROM_NOW, IDC_TIMER_LATER},        {IDC_TIMER_FROM_NOW, IDC_TIMER_RUNS_ONCE},
    {IDC_TIMER_DAYS, IDC_TIMER_DAYS_UNIT},        {IDC_TIMER_DAYS, IDC_TIMER_HOURS},
    {IDC_TIMER_DAYS, IDC_TIMER_HOURS_UNIT},       {IDC_TIMER_DAYS, IDC_TIMER_MINUTES},
    {IDC_TIMER_DAYS, IDC_TIMER_MINUTES_UNIT},     {IDC_TIMER_DAYS, IDC_TIMER_SECONDS},
    {IDC_TIMER_DAYS, IDC_TIMER_SECONDS_UNIT},
};

}  // namespace

SYSTEMTIME TimeAfter(const SYSTEMTIME& from, int days, int hours, int minutes, int seconds) {
    FILETIME file{};
    CheckWin32(SystemTimeToFileTime(&from, &file), "SystemTimeToFileTime");
    ULARGE_INTEGER units;
    units.LowPart = file.dwLowDateTime;
    units.HighPart = file.dwHighDateTime;
    ULONGLONG offset = ((static_cast<ULONGLONG>(days) * 24 + hours) * 60 + minutes) * 60 + seconds;
    units.QuadPart += offset * kFileTimeUnitsPerSecond;
    file.dwLowDateTime = units.LowPart;
    file.dwHighDateTime = units.HighPart;
    SYSTEMTIME at{};
    CheckWin32(FileTimeToSystemTime(&file, &at), "FileTimeToSystemTime");
    return at;
}

WString FormatActionTime(const SYSTEMTIME& at) {
    // wsprintfW, not swprintf: the C runtime's printf family would add about
    // 120 KiB of formatting code to ZAVSet for one date.
    wchar_t text[32];
    wsprintfW(text, L"%04d/%02d/%02d %02d:%02d:%02d", at.wYear, at.wMonth, at.wDay, at.wHour, at.wMinute, at.wSecond);
    return text;
}

WString TimerLine(const SYSTEMTIME& at, int action, const WString& parameter) {
    ScheduleLine line;
    line.holdFlag = kHoldRunOnce;
    line.date.kind = DateKind::Date;
    line.date.year = at.wYear % 100;
    line.date.month = at.wMonth;
    line.date.day = at.wDay;
    line.time.hour = at.wHour;
    line.time.minute = at.wMinute;
    line.time.second = at.wSecond;
    line.action = action;
    line.parameter = parameter;
    return ComposeScheduleLine(line);
}

const DialogTables<DSetTimer> DSetTimer::kTables = [] {
    static const CommandEntry<DSetTimer> commands[] = {
        {IDC_TIMER_DAYS, EN_UPDATE, &DSetTimer::OnOffsetChanged},
        {IDC_TIMER_HOURS, EN_UPDATE, &DSetTimer::OnOffsetChanged},
        {IDC_TIMER_MINUTES, EN_UPDATE, &DSetTimer::OnOffsetChanged},
        {IDC_TIMER_SECONDS, EN_UPDATE, &DSetTimer::OnOffsetChanged},
        {IDC_TIMER_CANCEL, BN_CLICKED, &DSetTimer::OnCancel},
        {IDC_TIMER_OK, BN_CLICKED, &DSetTimer::OnOk},
    };
    DialogTables<DSetTimer> tables{};
    tables.templateId = IDD_TIMER;
    tables.onInit = &DSetTimer::OnInitDialog;
    tables.commands = commands;
    tables.colours = kTimerColours;
    tables.fonts = kTimerFonts;
    tables.closeResult = 0;
    return tables;
}();

DSetTimer::DSetTimer(const StartInfo& start)
    : ModalDialog(start.elevation, IDI_SETTINGS, start.osLevel, start.isWow64, start.elevation) {}

bool DSetTimer::Run(HWND owner) {
    return RunModal(owner);
}

INT_PTR DSetTimer::OnInitDialog() {
    for (const SharedFont& shared : kSharedFonts)
        SendDlgItemMessageW(window, shared.to, WM_SETFONT, SendDlgItemMessageW(window, shared.from, WM_GETFONT, 0, 0),
                            FALSE);
    RestorePosition(window, *settings, L"SetTimerLeft", L"SetTimerTop", PositionRule::kMinusOne);
    for (const Offset& offset : kOffsets) {
        HWND spin = GetDlgItem(window, offset.spinId);
        SendMessageW(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(window, offset.fieldId)), 0);
        SendMessageW(spin, UDM_SETRANGE32, 0, offset.max);
    }
    EnableWindow(GetDlgItem(window, IDC_ACTION_FIRST + kActNotice), TRUE);
    for (const Offset& offset : kOffsets) SendDlgItemMessageW(window, offset.spinId, UDM_SETPOS32, 0, 0);
    OnOffsetChanged();
    CheckRadio(IDC_ACTION_GROUP, kActionCount, kActMsg);
    SetDlgItemTextW(window, IDC_PARAM_EDIT, L"");
    InitActionTips();
    UpdateActionGroup();
    return TRUE;
}

int DSetTimer::Position(int spinId) const {
    return static_cast<int>(SendDlgItemMessageW(window, spinId, UDM_GETPOS32, 0, 0));
}

SYSTEMTIME DSetTimer::ActionTime() const {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return TimeAfter(now, Position(IDC_TIMER_DAYS_SPIN), Position(IDC_TIMER_HOURS_SPIN),
                     Position(IDC_TIMER_MINUTES_SPIN), Position(IDC_TIMER_SECONDS_SPIN));
}

// The display follows the fields, not the clock: it shows the time of the
// last change.
void DSetTimer::OnOffsetChanged() {
    SetDlgItemTextW(window, IDC_TIMER_AT, FormatActionTime(ActionTime()).text());
}

bool DSetTimer::CheckOffset() {
    bool any = false;
    for (const Offset& offset : kOffsets) {
        // The up-down control, whose position is what counts, reads
        // full-width digits as the same number.
        WString text = AsciiDigits(GetItemText(offset.fieldId));
        if (text.length() > kOffsetTextMax || !IsIntervalText(text, 0, offset.max)) {
            Refuse(offset.fieldId, offset.refusal);
            return false;
        }
        any = any || Position(offset.spinId) != 0;
    }
    if (!any) {
        Refuse(IDC_TIMER_SECONDS, kNoOffset);
        return false;
    }
    return CheckParameter();
}

void DSetTimer::OnOk() {
    if (!CheckOffset()) return;
    SavePosition(window, *settings, L"SetTimerLeft", L"SetTimerTop");

    int action = GetCheckedRadio(IDC_ACTION_GROUP, kActionCount);
    WString line = TimerLine(ActionTime(), action < 0 ? kActMsg : action, GetItemText(IDC_PARAM_EDIT));
    StringList schedule;
    // A missing schedule gets load's box and becomes the one new line; one
    // that is there but cannot be read is left alone.
    bool existed = PathExists(schedulePath);
    if (!schedule.load(schedulePath) && existed) return;
    InsertSorted(schedule, line);
    if (!schedule.save(schedulePath)) {
        ShowError(kScheduleNotWritten, window);
        return;
    }
    if (TellZav(kReloadSchedule, window)) ShowInfo((line.Mid(2, 18) + kScheduleSet).text(), window);
    EndWith(1);
}

void DSetTimer::OnCancel() {
    EndWith(0);
}

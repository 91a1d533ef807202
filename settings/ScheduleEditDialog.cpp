#include "settings/ScheduleEditDialog.h"

#include <commctrl.h>
#include <uxtheme.h>

#include <cwchar>

#include "common/Handles.h"
#include "common/MessageBoxes.h"
#include "schedule/NextDue.h"
#include "schedule/ScheduleLine.h"
#include "schedule/ScheduleRecord.h"
#include "settings/DialogPosition.h"
#include "settings/resource.h"

namespace {

// The method buttons 1201 ... 1204 are in the order of DateKind.
constexpr int kDateMethodCount = 4;
constexpr int kDaysBeforeDigits = 1;

// The items of the combo boxes, in the order of kIntervals, kOrdinalWords,
// kWeekdayWords and the days before (0-9).
const wchar_t* const kOrdinalItems[] = {L"１", L"２", L"３", L"４", L"５", L"終"};
const wchar_t* const kWeekdayItems[] = {L"日", L"月", L"火", L"水", L"木", L"金", L"土"};
const wchar_t* const kDaysBeforeItems[] = {L"０", L"１", L"２", L"３", L"４", L"５", L"６", L"７", L"８", L"９"};

const wchar_t* const kShownWeekdays[] = {L"(日)", L"(月)", L"(火)", L"(水)", L"(木)", L"(金)", L"(土)"};
const wchar_t kUnknownWeekday[] = L"(？)";
const wchar_t kDaysBeforeShown[] = L"前";

const wchar_t kNextPrefix[] = L"次回: ";
const wchar_t kAtStartSuffix[] = L"の起動時";
const wchar_t kNever[] = L"次回: なし（このままでは実行されません）";
const wchar_t kHeldAlways[] = L"次回: なし（ずっと保留）";
const wchar_t kAskNeverDue[] = L"このスケジュールは実行されることがありません\nこのまま設定しますか？";

const StaticColour kAlarmColours[] = {
    {IDC_ALARM_SUNDAY, kRed},
    {IDC_ALARM_SATURDAY, kBlue},
    {IDC_ALARM_HOLD_LABEL, kRed},
};

const ToolTipEntry kAlarmTips[] = {
    {IDC_ALARM_EVERY_DAY, L"毎日指定したことになります"},
    {IDC_ALARM_EVERY_HOUR, L"毎時動作することを指定します"},
    {IDC_AT_START, L"このプログラム起動時に動作することを指定します"},
    {IDC_ALARM_CLEAR_DAYS, L"すべての曜日の指定をoffにします"},
    {IDC_ALARM_TODAY, L"今日の曜日の指定をonにします"},
    {IDC_ALARM_ALL_DAYS, L"すべての曜日の指定をonにします"},
    {IDC_ALARM_YEAR, L"西暦下２桁を指定してください"},
    {IDC_ALARM_YEAR_SPIN, L"西暦下２桁を指定してください"},
    {IDC_ALARM_EVERY_YEAR, L"毎年動作することを指定します"},
    {IDC_ALARM_EVERY_MONTH, L"毎月動作することを指定します"},
    {IDC_ALARM_FROM_END, L"０日前は月末日を表します"},
    {IDC_ALARM_EVERY_DATE, L"毎日動作することを指定します"},
};

constexpr int kTimePoints = 14;
constexpr int kHoldPoints = 18;
constexpr int kNthPoints = 12;
const FontEntry kAlarmFonts[] = {
    {IDC_ALARM_HOUR, kTimePoints, kFixedFace},          {IDC_ALARM_HOUR_UNIT, kTimePoints, kFixedFace},
    {IDC_ALARM_MINUTE, kTimePoints, kFixedFace},        {IDC_ALARM_MINUTE_UNIT, kTimePoints, kFixedFace},
    {IDC_ALARM_SECOND, kTimePoints, kFixedFace},        {IDC_ALARM_SECOND_UNIT, kTimePoints, kFixedFace},
    {IDC_ALARM_INTERVAL, kTimePoints, kFixedFace},      {IDC_ALARM_INTERVAL_UNIT, kTimePoints, kFixedFace},
    {IDC_ALARM_YEAR, kTimePoints, kFixedFace},          {IDC_ALARM_YEAR_UNIT, kTimePoints, kFixedFace},
    {IDC_ALARM_MONTH, kTimePoints, kFixedFace},         {IDC_ALARM_MONTH_UNIT, kTimePoints, kFixedFace},
    {IDC_ALARM_DAY, kTimePoints, kFixedFace},           {IDC_ALARM_DAY_UNIT, kTimePoints, kFixedFace},
    {IDC_ALARM_WEEKDAY_SHOWN, kTimePoints, kFixedFace}, {IDC_ALARM_HOLD_LABEL, kHoldPoints, kDialogFace},
    {IDC_ALARM_NTH_PREFIX, kNthPoints, kDialogFace},    {IDC_ALARM_NTH, kNthPoints, kDialogFace},
    {IDC_ALARM_NTH_WEEKDAY, kNthPoints, kDialogFace},   {IDC_ALARM_NTH_UNIT, kNthPoints, kDialogFace},
    {IDC_ALARM_DAYS_BEFORE, kNthPoints, kDialogFace},   {IDC_ALARM_DAYS_BEFORE_UNIT, kNthPoints, kDialogFace},
};

// The runs of ids that show and hide together (ShowItems: first, count).
struct ItemRun {
    int first;
    int count;
};
constexpr ItemRun kTimeRun = {IDC_ALARM_TIME_GROUP, 12};
constexpr ItemRun kWeekdayRun = {IDC_ALARM_WEEKDAY_GROUP, 10};
constexpr ItemRun kIntervalRun = {IDC_ALARM_INTERVAL_GROUP, 4};
constexpr ItemRun kDateRun = {IDC_ALARM_DATE_GROUP, 14};
constexpr ItemRun kNthRun = {IDC_ALARM_NTH_GROUP, 6};

UINT CheckState(bool checked) {
    return checked ? BST_CHECKED : BST_UNCHECKED;
}

// The combo item of an interval; the first for one the list lacks.
int IntervalItem(int interval) {
    for (int i = 0; i < kIntervalCount; ++i)
        if (kIntervals[i] == interval) return i;
    return 0;
}

}  // namespace

const DialogTables<DSetAlarm> DSetAlarm::kTables = [] {
    // clang-format off
    static const CommandEntry<DSetAlarm> commands[] = {
        {IDC_ALARM_BY_WEEKDAY, BN_CLICKED, &DSetAlarm::OnWeekdayMethod},
        {IDC_ALARM_BY_DATE, BN_CLICKED, &DSetAlarm::OnDateMethod},
        {IDC_ALARM_BY_NTH, BN_CLICKED, &DSetAlarm::OnNthMethod},
        {IDC_ALARM_EVERY_DAY, BN_CLICKED, &DSetAlarm::OnEveryDay},
        {IDC_ALARM_BY_INTERVAL, BN_CLICKED, &DSetAlarm::OnInterval},
        {IDC_ALARM_EVERY_HOUR, BN_CLICKED, &DSetAlarm::UpdateTimeStates},
        {IDC_ALARM_EVERY_MINUTE, BN_CLICKED, &DSetAlarm::UpdateTimeStates},
        {IDC_AT_START, BN_CLICKED, &DSetAlarm::UpdateTimeStates},
        {1231, BN_CLICKED, &DSetAlarm::UpdateWeekdayButtons},
        {1232, BN_CLICKED, &DSetAlarm::UpdateWeekdayButtons},
        {1233, BN_CLICKED, &DSetAlarm::UpdateWeekdayButtons},
        {1234, BN_CLICKED, &DSetAlarm::UpdateWeekdayButtons},
        {1235, BN_CLICKED, &DSetAlarm::UpdateWeekdayButtons},
        {1236, BN_CLICKED, &DSetAlarm::UpdateWeekdayButtons},
        {1237, BN_CLICKED, &DSetAlarm::UpdateWeekdayButtons},
        {IDC_ALARM_CLEAR_DAYS, BN_CLICKED, &DSetAlarm::OnClearDays},
        {IDC_ALARM_TODAY, BN_CLICKED, &DSetAlarm::OnToday},
        {IDC_ALARM_ALL_DAYS, BN_CLICKED, &DSetAlarm::OnAllDays},
        {IDC_ALARM_EVERY_YEAR, BN_CLICKED, &DSetAlarm::OnEveryYear},
        {IDC_ALARM_EVERY_MONTH, BN_CLICKED, &DSetAlarm::OnEveryMonth},
        {IDC_ALARM_EVERY_DATE, BN_CLICKED, &DSetAlarm::OnEveryDate},
        {IDC_ALARM_FROM_END, BN_CLICKED, &DSetAlarm::OnFromEnd},
        {IDC_ALARM_YEAR, EN_UPDATE, &DSetAlarm::UpdateWeekdayShown},
        {IDC_ALARM_MONTH, EN_UPDATE, &DSetAlarm::UpdateWeekdayShown},
        {IDC_ALARM_DAY, EN_UPDATE, &DSetAlarm::UpdateWeekdayShown},
        {IDC_ALARM_MINUTES, BN_CLICKED, &DSetAlarm::UpdateIntervalUnit},
        {IDC_ALARM_SECONDS, BN_CLICKED, &DSetAlarm::UpdateIntervalUnit},
        {IDC_ALARM_NTH, CBN_SELCHANGE, &DSetAlarm::UpdateNthPrefix},
        {IDC_ALARM_CANCEL, BN_CLICKED, &DSetAlarm::OnCancel},
        {IDC_ALARM_OK, BN_CLICKED, &DSetAlarm::OnOk},
        // Escape (IDCANCEL) is not listed: it does nothing here.
    };
    static const MessageEntry<DSetAlarm> messages[] = {
        {WM_MEASUREITEM, &DSetAlarm::OnMeasureItem},
        {WM_DRAWITEM, &DSetAlarm::OnDrawItem},
        {WM_CTLCOLORSTATIC, &DSetAlarm::OnColourStatic},
    };
    // clang-format on
    DialogTables<DSetAlarm> tables{};
    tables.templateId = IDD_SET_ALARM;
    tables.onInit = &DSetAlarm::OnInitDialog;
    tables.commands = commands;
    tables.colours = kAlarmColours;
    tables.toolTips = kAlarmTips;
    tables.fonts = kAlarmFonts;
    tables.messages = messages;
    tables.closeResult = 0;
    return tables;
}();

DSetAlarm::DSetAlarm(int osLevel, BOOL isWow64, int elevation, const WString& line, ClockSource clock)
    : ModalDialog(elevation, IDI_SETTINGS, osLevel, isWow64, elevation), sourceLine_(line), clock_(clock) {}

bool DSetAlarm::Run(HWND owner) {
    lineText_ = L"";
    return RunModal(owner);
}

bool EditScheduleLine(HWND owner, WString& line, const StartInfo& start) {
    DSetAlarm editor(start.osLevel, start.isWow64, start.elevation, line);
    if (!editor.Run(owner) || editor.lineText().empty()) return false;
    line = editor.lineText();
    return true;
}

WString NextDueLabel(const WString& line, const SYSTEMTIME& now, bool* never) {
    const wchar_t flag = HoldFlagOf(line);
    // "X" stands aside: the rules alone say whether the line could ever run.
    WString rules = line;
    if (flag == kHoldAlways) rules.SetAt(kHoldFlagColumn, kHoldNone);
    const bool atStart = TimeRuleOf(line) == kStartTimeRule;
    SYSTEMTIME due;
    const bool found = atStart ? NextStartDay(rules, now, &due) : NextDue(rules, now, &due);
    if (never) *never = !found;
    if (!found) return kNever;
    if (flag == kHoldAlways) return kHeldAlways;
    WString label = WString(kNextPrefix) + DueText(due, !atStart);
    if (atStart) label += kAtStartSuffix;
    if (flag == kHoldOnce) label += kHeldOnceMark;
    return label;
}

INT_PTR DSetAlarm::OnInitDialog() {
    wchar_t flag = sourceLine_.at(kHoldFlagColumn);
    isHeld = flag == kHoldOnce || flag == kHoldAlways;
    SYSTEMTIME now = Now();
    currentYear_ = now.wYear;
    today_ = now.wDayOfWeek % 7;

    const bool placed = RestorePosition(window, *settings, L"SetAlarmLeft", L"SetAlarmTop", PositionRule::kMinusOne);
    // A themed check box ignores the text colour of WM_CTLCOLORSTATIC: drawn
    // unthemed, Sunday shows red and Saturday blue with visual styles too.
    for (int day : {IDC_ALARM_SUNDAY, IDC_ALARM_SATURDAY}) SetWindowTheme(GetDlgItem(window, day), L"", L"");
    struct SpinRange {
        int spin, buddy, min, max;
    };
    const SpinRange spins[] = {
        {IDC_ALARM_HOUR_SPIN, IDC_ALARM_HOUR, 0, 23},     {IDC_ALARM_MINUTE_SPIN, IDC_ALARM_MINUTE, 0, 59},
        {IDC_ALARM_SECOND_SPIN, IDC_ALARM_SECOND, 0, 59}, {IDC_ALARM_YEAR_SPIN, IDC_ALARM_YEAR, 0, 99},
        {IDC_ALARM_MONTH_SPIN, IDC_ALARM_MONTH, 1, 12},   {IDC_ALARM_DAY_SPIN, IDC_ALARM_DAY, 1, 31},
    };
    for (const SpinRange& spin : spins) {
        SendDlgItemMessageW(window, spin.spin, UDM_SETRANGE32, spin.min, spin.max);
        SendDlgItemMessageW(window, spin.spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(window, spin.buddy)),
                            0);
    }
    for (int interval : kIntervals)
        SendDlgItemMessageW(window, IDC_ALARM_INTERVAL, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(WString(interval).text()));
    for (const wchar_t* item : kOrdinalItems)
        SendDlgItemMessageW(window, IDC_ALARM_NTH, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    for (const wchar_t* item : kWeekdayItems)
        SendDlgItemMessageW(window, IDC_ALARM_NTH_WEEKDAY, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    for (const wchar_t* item : kDaysBeforeItems)
        SendDlgItemMessageW(window, IDC_ALARM_DAYS_BEFORE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    // Notifications need Vista or later.
    EnableWindow(GetDlgItem(window, IDC_ACTION_FIRST + kActNotice), osLevel >= 1);
    InitActionTips();

    // A new schedule shows the defaults; a line, what it gives over them.
    const ScheduleLine defaults = NewScheduleLine(now);
    SetDefaults(defaults);
    holdFlag_ = sourceLine_.empty() ? kHoldNone : flag;
    const wchar_t* holdLabel = holdFlag_ == kHoldRunOnce  ? L"実行１回"
                               : holdFlag_ == kHoldOnce   ? L"１回保留中"
                               : holdFlag_ == kHoldAlways ? L"保留中"
                                                          : L"";
    SetDlgItemTextW(window, IDC_ALARM_HOLD_LABEL, holdLabel);
    ShowWindow(GetDlgItem(window, IDC_ALARM_HOLD_LABEL), *holdLabel != L'\0' ? SW_SHOW : SW_HIDE);

    ShowLine(sourceLine_.empty() ? defaults : ParseScheduleLine(sourceLine_, defaults));
    LayOutGroups();
    // The system centred the template's full height.
    if (!placed) CentreInWorkArea(window);
    filled_ = true;
    AfterCommand();
    return TRUE;
}

SYSTEMTIME DSetAlarm::Now() const {
    SYSTEMTIME now;
    if (clock_ != nullptr)
        clock_(&now);
    else
        GetLocalTime(&now);
    return now;
}

// Every control of every method, so that switching shows today's values.
void DSetAlarm::SetDefaults(const ScheduleLine& defaults) {
    const DateRule& date = defaults.date;
    const TimeRule& time = defaults.time;
    SetSpin(IDC_ALARM_YEAR_SPIN, date.year);
    SetSpin(IDC_ALARM_MONTH_SPIN, date.month);
    SetSpin(IDC_ALARM_DAY_SPIN, date.day);
    SetSpin(IDC_ALARM_HOUR_SPIN, time.hour);
    SetSpin(IDC_ALARM_MINUTE_SPIN, time.minute);
    SetSpin(IDC_ALARM_SECOND_SPIN, time.second);
    SendDlgItemMessageW(window, IDC_ALARM_NTH, CB_SETCURSEL, date.ordinal, 0);
    SendDlgItemMessageW(window, IDC_ALARM_NTH_WEEKDAY, CB_SETCURSEL, date.weekday, 0);
    SendDlgItemMessageW(window, IDC_ALARM_DAYS_BEFORE, CB_SETCURSEL, date.daysBefore, 0);
    UpdateNthPrefix();
    CheckRadio(IDC_ALARM_METHOD_GROUP, kDateMethodCount, static_cast<int>(DateKind::Weekdays));
    ShowMethodGroups(DateKind::Weekdays);
    UpdateWeekdayButtons();
    for (int id : {IDC_ALARM_EVERY_YEAR, IDC_ALARM_EVERY_MONTH, IDC_ALARM_EVERY_DATE, IDC_ALARM_FROM_END})
        CheckDlgButton(window, id, BST_UNCHECKED);
    OnEveryYear();
    OnEveryMonth();
    OnEveryDate();
    CheckDlgButton(window, IDC_ALARM_BY_INTERVAL, BST_UNCHECKED);
    OnInterval();
    SendDlgItemMessageW(window, IDC_ALARM_INTERVAL, CB_SETCURSEL, IntervalItem(time.interval), 0);
    // An interval always has its unit: minutes unless the line says seconds.
    CheckRadio(IDC_ALARM_INTERVAL_GROUP, 2, 0);
    UpdateIntervalUnit();
    UpdateWeekdayShown();
}

void DSetAlarm::ShowLine(const ScheduleLine& line) {
    ShowDate(line.date);
    ShowTime(line.time);
    CheckRadio(IDC_ACTION_GROUP, kActionCount, line.action);
    SetDlgItemTextW(window, IDC_PARAM_EDIT, line.parameter.text());
    UpdateActionGroup();
}

// Only the controls of the rule's own method: the others keep the defaults.
void DSetAlarm::ShowDate(const DateRule& date) {
    switch (date.kind) {
    case DateKind::Weekdays:
        for (int i = 0; i < 7; ++i) CheckDlgButton(window, IDC_ALARM_SUNDAY + i, CheckState(date.days[i]));
        UpdateWeekdayButtons();
        break;
    case DateKind::Date:
        CheckDlgButton(window, IDC_ALARM_EVERY_YEAR, CheckState(date.year == kAnyValue));
        if (date.year != kAnyValue) SetSpin(IDC_ALARM_YEAR_SPIN, date.year);
        CheckDlgButton(window, IDC_ALARM_EVERY_MONTH, CheckState(date.month == kAnyValue));
        if (date.month != kAnyValue) SetSpin(IDC_ALARM_MONTH_SPIN, date.month);
        if (date.fromMonthEnd) {
            // The day's field takes the days before the month's end.
            CheckDlgButton(window, IDC_ALARM_FROM_END, BST_CHECKED);
            OnFromEnd();
            SetSpin(IDC_ALARM_DAY_SPIN, date.daysBefore);
        } else {
            CheckDlgButton(window, IDC_ALARM_EVERY_DATE, CheckState(date.day == kAnyValue));
            if (date.day != kAnyValue) SetSpin(IDC_ALARM_DAY_SPIN, date.day);
            OnEveryDate();
        }
        OnEveryYear();
        OnEveryMonth();
        break;
    case DateKind::NthWeekday:
        SendDlgItemMessageW(window, IDC_ALARM_NTH, CB_SETCURSEL, date.ordinal, 0);
        UpdateNthPrefix();
        SendDlgItemMessageW(window, IDC_ALARM_NTH_WEEKDAY, CB_SETCURSEL, date.weekday, 0);
        SendDlgItemMessageW(window, IDC_ALARM_DAYS_BEFORE, CB_SETCURSEL, date.daysBefore, 0);
        break;
    case DateKind::EveryDay: break;
    }
    CheckRadio(IDC_ALARM_METHOD_GROUP, kDateMethodCount, static_cast<int>(date.kind));
    ShowMethodGroups(date.kind);
    UpdateWeekdayShown();
}

void DSetAlarm::ShowTime(const TimeRule& time) {
    switch (time.kind) {
    case TimeKind::Start: CheckDlgButton(window, IDC_AT_START, BST_CHECKED); break;
    case TimeKind::Every:
        CheckDlgButton(window, IDC_ALARM_BY_INTERVAL, BST_CHECKED);
        OnInterval();
        CheckRadio(IDC_ALARM_INTERVAL_GROUP, 2, time.inSeconds ? 1 : 0);
        SendDlgItemMessageW(window, IDC_ALARM_INTERVAL, CB_SETCURSEL, IntervalItem(time.interval), 0);
        UpdateIntervalUnit();
        break;
    case TimeKind::Clock:
        CheckDlgButton(window, IDC_AT_START, BST_UNCHECKED);
        CheckDlgButton(window, IDC_ALARM_EVERY_HOUR, CheckState(time.hour == kAnyValue));
        if (time.hour != kAnyValue) SetSpin(IDC_ALARM_HOUR_SPIN, time.hour);
        CheckDlgButton(window, IDC_ALARM_EVERY_MINUTE, CheckState(time.minute == kAnyValue));
        if (time.minute != kAnyValue) SetSpin(IDC_ALARM_MINUTE_SPIN, time.minute);
        SetSpin(IDC_ALARM_SECOND_SPIN, time.second);
        break;
    }
    UpdateTimeStates();
}

// The alternative groups stand below the buttons in the template: each is
// moved onto the group it replaces, and the dialog ends below OK. Each also
// moves in the Z order, which is the tab order, to right after the group it
// replaces: the user tabs through it where it is shown, not after OK.
void DSetAlarm::LayOutGroups() {
    auto placeOf = [this](int id) {
        RECT rect{};
        GetWindowRect(GetDlgItem(window, id), &rect);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    };
    // anchorId: the group box it is laid on; afterId: the control it follows in the Z order.
    auto move = [&](ItemRun run, int anchorId, int afterId) {
        RECT from = placeOf(run.first), to = placeOf(anchorId);
        HWND after = GetDlgItem(window, afterId);
        for (int id = run.first; id <= run.first + run.count; ++id) {
            RECT place = placeOf(id);
            HWND control = GetDlgItem(window, id);
            SetWindowPos(control, after, place.left + to.left - from.left, place.top + to.top - from.top, 0, 0,
                         SWP_NOSIZE | SWP_NOACTIVATE);
            after = control;
        }
    };
    auto last = [](ItemRun run) { return run.first + run.count; };
    move(kIntervalRun, IDC_ALARM_TIME_GROUP, last(kTimeRun));
    move(kDateRun, IDC_ALARM_WEEKDAY_GROUP, last(kWeekdayRun));
    // Over the weekdays too; never shown with them or the date.
    move(kNthRun, IDC_ALARM_WEEKDAY_GROUP, last(kDateRun));
    RECT dialog{}, ok{};
    GetWindowRect(window, &dialog);
    GetWindowRect(GetDlgItem(window, IDC_ALARM_OK), &ok);
    MoveWindow(window, dialog.left, dialog.top, dialog.right - dialog.left,
               ok.bottom - dialog.top + GetSystemMetrics(SM_CYEDGE) + 10, TRUE);
}

void DSetAlarm::ShowMethodGroups(DateKind method) {
    ShowItems(kWeekdayRun.first, kWeekdayRun.count, method == DateKind::Weekdays);
    ShowItems(kDateRun.first, kDateRun.count, method == DateKind::Date);
    ShowItems(kNthRun.first, kNthRun.count, method == DateKind::NthWeekday);
}

void DSetAlarm::OnWeekdayMethod() {
    ShowMethodGroups(DateKind::Weekdays);
}
void DSetAlarm::OnDateMethod() {
    ShowMethodGroups(DateKind::Date);
}
void DSetAlarm::OnNthMethod() {
    ShowMethodGroups(DateKind::NthWeekday);
}
void DSetAlarm::OnEveryDay() {
    ShowMethodGroups(DateKind::EveryDay);
}

void DSetAlarm::OnInterval() {
    bool interval = IsChecked(IDC_ALARM_BY_INTERVAL);
    ShowItems(kIntervalRun.first, kIntervalRun.count, interval);
    ShowItems(kTimeRun.first, kTimeRun.count, !interval);
}

void DSetAlarm::UpdateTimeStates() {
    bool start = IsChecked(IDC_AT_START);
    bool everyHour = IsChecked(IDC_ALARM_EVERY_HOUR);
    bool everyMinute = IsChecked(IDC_ALARM_EVERY_MINUTE);
    auto enable = [this](int id, bool on) { EnableWindow(GetDlgItem(window, id), on); };
    enable(IDC_AT_START, !everyHour && !everyMinute);
    enable(IDC_ALARM_EVERY_HOUR, !start);
    enable(IDC_ALARM_EVERY_MINUTE, !start);
    enable(IDC_ALARM_HOUR, !start && !everyHour);
    enable(IDC_ALARM_HOUR_SPIN, !start && !everyHour);
    enable(IDC_ALARM_MINUTE, !start && !everyMinute);
    enable(IDC_ALARM_MINUTE_SPIN, !start && !everyMinute);
    enable(IDC_ALARM_SECOND, !start);
    enable(IDC_ALARM_SECOND_SPIN, !start);
}

void DSetAlarm::UpdateWeekdayButtons() {
    int checked = 0;
    for (int i = 0; i < 7; ++i) checked += IsChecked(IDC_ALARM_SUNDAY + i) ? 1 : 0;
    EnableWindow(GetDlgItem(window, IDC_ALARM_CLEAR_DAYS), checked > 0);
    EnableWindow(GetDlgItem(window, IDC_ALARM_TODAY), !IsChecked(IDC_ALARM_SUNDAY + today_));
    EnableWindow(GetDlgItem(window, IDC_ALARM_ALL_DAYS), checked < 7);
}

void DSetAlarm::OnClearDays() {
    for (int i = 0; i < 7; ++i) CheckDlgButton(window, IDC_ALARM_SUNDAY + i, BST_UNCHECKED);
    UpdateWeekdayButtons();
}

void DSetAlarm::OnToday() {
    CheckDlgButton(window, IDC_ALARM_SUNDAY + today_, BST_CHECKED);
    UpdateWeekdayButtons();
}

void DSetAlarm::OnAllDays() {
    for (int i = 0; i < 7; ++i) CheckDlgButton(window, IDC_ALARM_SUNDAY + i, BST_CHECKED);
    UpdateWeekdayButtons();
}

void DSetAlarm::OnEveryYear() {
    bool on = !IsChecked(IDC_ALARM_EVERY_YEAR);
    EnableWindow(GetDlgItem(window, IDC_ALARM_YEAR), on);
    EnableWindow(GetDlgItem(window, IDC_ALARM_YEAR_SPIN), on);
}

void DSetAlarm::OnEveryMonth() {
    bool on = !IsChecked(IDC_ALARM_EVERY_MONTH);
    EnableWindow(GetDlgItem(window, IDC_ALARM_MONTH), on);
    EnableWindow(GetDlgItem(window, IDC_ALARM_MONTH_SPIN), on);
}

void DSetAlarm::OnEveryDate() {
    bool on = !IsChecked(IDC_ALARM_EVERY_DATE);
    for (int id : {IDC_ALARM_FROM_END, IDC_ALARM_DAY, IDC_ALARM_DAY_SPIN}) EnableWindow(GetDlgItem(window, id), on);
}

void DSetAlarm::OnFromEnd() {
    bool fromEnd = IsChecked(IDC_ALARM_FROM_END);
    if (fromEnd) {
        SendDlgItemMessageW(window, IDC_ALARM_DAY_SPIN, UDM_SETRANGE32, 0, 9);
        SetSpin(IDC_ALARM_DAY_SPIN, 0);
        SetDlgItemTextW(window, IDC_ALARM_DAY, L"0");
        CheckDlgButton(window, IDC_ALARM_EVERY_DATE, BST_UNCHECKED);
    } else {
        SendDlgItemMessageW(window, IDC_ALARM_DAY_SPIN, UDM_SETRANGE32, 1, 31);
        SetSpin(IDC_ALARM_DAY_SPIN, 1);
        SetDlgItemTextW(window, IDC_ALARM_DAY, L"28");
    }
    EnableWindow(GetDlgItem(window, IDC_ALARM_EVERY_DATE), !fromEnd);
    UpdateWeekdayShown();
}

// The texts, not the up-down positions: what the check reads and the line
// gets is what the user typed.
void DSetAlarm::UpdateWeekdayShown() {
    WString shown(kDaysBeforeShown);
    if (!IsChecked(IDC_ALARM_FROM_END)) {
        int weekday = WeekdayOf(Number(IDC_ALARM_YEAR), Number(IDC_ALARM_MONTH), Number(IDC_ALARM_DAY), currentYear_);
        shown = weekday >= 0 ? kShownWeekdays[weekday] : kUnknownWeekday;
    }
    if (GetItemText(IDC_ALARM_WEEKDAY_SHOWN) != shown) SetDlgItemTextW(window, IDC_ALARM_WEEKDAY_SHOWN, shown.text());
}

void DSetAlarm::UpdateIntervalUnit() {
    SetDlgItemTextW(window, IDC_ALARM_INTERVAL_UNIT, IsChecked(IDC_ALARM_MINUTES) ? L"分毎" : L"秒毎");
}

void DSetAlarm::UpdateNthPrefix() {
    bool last = SendDlgItemMessageW(window, IDC_ALARM_NTH, CB_GETCURSEL, 0, 0) == kLastOrdinal;
    SetDlgItemTextW(window, IDC_ALARM_NTH_PREFIX, last ? L"最" : L"第");
}

// After every command: any of them may have changed the rules. A field that
// holds no number makes a line that never comes due, as OK would refuse it.
void DSetAlarm::AfterCommand() {
    if (!filled_) return;
    const WString label = NextDueLabel(ComposeScheduleLine(LineOfControls()), Now(), &neverDue_);
    if (GetItemText(IDC_ALARM_NEXT_DUE) != label) SetDlgItemTextW(window, IDC_ALARM_NEXT_DUE, label.text());
}

void DSetAlarm::SetSpin(int spinId, int value) const {
    SendDlgItemMessageW(window, spinId, UDM_SETPOS32, 0, value);
}

int DSetAlarm::Number(int id, int maxDigits) const {
    return NumberOf(AsciiDigits(GetItemText(id)), maxDigits);
}

ScheduleLine DSetAlarm::LineOfControls() const {
    ScheduleLine line;
    line.holdFlag = holdFlag_;
    DateRule& date = line.date;
    int method = GetCheckedRadio(IDC_ALARM_METHOD_GROUP, kDateMethodCount);
    date.kind = method < 0 ? DateKind::Weekdays : static_cast<DateKind>(method);
    for (int i = 0; i < 7; ++i) date.days[i] = IsChecked(IDC_ALARM_SUNDAY + i);
    date.year = IsChecked(IDC_ALARM_EVERY_YEAR) ? kAnyValue : Number(IDC_ALARM_YEAR);
    date.month = IsChecked(IDC_ALARM_EVERY_MONTH) ? kAnyValue : Number(IDC_ALARM_MONTH);
    date.day = IsChecked(IDC_ALARM_EVERY_DATE) ? kAnyValue : Number(IDC_ALARM_DAY);
    date.fromMonthEnd = IsChecked(IDC_ALARM_FROM_END);
    if (date.kind == DateKind::NthWeekday) {
        date.ordinal = static_cast<int>(SendDlgItemMessageW(window, IDC_ALARM_NTH, CB_GETCURSEL, 0, 0));
        date.weekday = static_cast<int>(SendDlgItemMessageW(window, IDC_ALARM_NTH_WEEKDAY, CB_GETCURSEL, 0, 0));
        date.daysBefore = static_cast<int>(SendDlgItemMessageW(window, IDC_ALARM_DAYS_BEFORE, CB_GETCURSEL, 0, 0));
    } else if (date.fromMonthEnd) {
        date.daysBefore = Number(IDC_ALARM_DAY, kDaysBeforeDigits);
    }

    TimeRule& time = line.time;
    if (IsChecked(IDC_ALARM_BY_INTERVAL)) {
        time.kind = TimeKind::Every;
        // Only a listed item counts. The combo box selects the item that
        // typed ASCII digits begin; typed full-width digits select none, and
        // count when they are one of the items.
        LRESULT item = SendDlgItemMessageW(window, IDC_ALARM_INTERVAL, CB_GETCURSEL, 0, 0);
        if (item < 0)
            item = SendDlgItemMessageW(window, IDC_ALARM_INTERVAL, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(AsciiDigits(GetItemText(IDC_ALARM_INTERVAL)).text()));
        time.interval = item >= 0 && item < kIntervalCount ? kIntervals[item] : 0;
        time.inSeconds = !IsChecked(IDC_ALARM_MINUTES);
    } else if (IsChecked(IDC_AT_START)) {
        time.kind = TimeKind::Start;
    } else {
        time.kind = TimeKind::Clock;
        time.hour = IsChecked(IDC_ALARM_EVERY_HOUR) ? kAnyValue : Number(IDC_ALARM_HOUR);
        time.minute = IsChecked(IDC_ALARM_EVERY_MINUTE) ? kAnyValue : Number(IDC_ALARM_MINUTE);
        time.second = Number(IDC_ALARM_SECOND);
    }
    line.action = GetCheckedRadio(IDC_ACTION_GROUP, kActionCount);
    line.parameter = GetItemText(IDC_PARAM_EDIT);
    return line;
}

void DSetAlarm::OnOk() {
    ScheduleLine line = LineOfControls();
    Refusal refusal = CheckDateRule(line.date, currentYear_);
    if (!refusal.refused()) refusal = CheckTimeRule(line.time);
    if (refusal.refused()) {
        ShowRefusal(refusal);
        return;
    }
    if (!CheckParameter()) return;
    WString composed = ComposeScheduleLine(line);
    // A line that can never come due is kept only when the user says so.
    bool never = false;
    NextDueLabel(composed, Now(), &never);
    if (never && AskBox(kAskNeverDue, window, MB_YESNO | MB_DEFBUTTON2) != IDYES) return;
    SavePosition(window, *settings, L"SetAlarmLeft", L"SetAlarmTop");
    lineText_ = composed;
    EndWith(1);
}

void DSetAlarm::OnCancel() {
    EndWith(0);
}

// Measured while the combo box is created, before WM_INITDIALOG made the
// dialog's fonts: the height comes from a font of the same face and size.
int DSetAlarm::WeekdayItemHeight() const {
    UniqueGdiObject font = MakeFont(0, kNthPoints, kDialogFace, FALSE);
    WindowDC dc(nullptr);
    SelectedObject selected(dc.get(), font.get());
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), L"金", 1, &size);
    return size.cy;
}

INT_PTR DSetAlarm::OnMeasureItem(WPARAM, LPARAM lParam) {
    auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    if (item->CtlType != ODT_COMBOBOX || item->CtlID != IDC_ALARM_NTH_WEEKDAY) return FALSE;
    item->itemHeight = static_cast<UINT>(WeekdayItemHeight());
    return TRUE;
}

// A fixed-height owner-drawn combo box is measured only when it is created.
void DSetAlarm::AfterDpiChange(UINT, UINT) {
    const int height = WeekdayItemHeight();
    for (int item : {-1, 0}) SendDlgItemMessageW(window, IDC_ALARM_NTH_WEEKDAY, CB_SETITEMHEIGHT, item, height);
}

INT_PTR DSetAlarm::OnDrawItem(WPARAM, LPARAM lParam) {
    auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    if (item->CtlType != ODT_COMBOBOX || item->CtlID != IDC_ALARM_NTH_WEEKDAY) return FALSE;
    if (item->itemID == static_cast<UINT>(-1)) return TRUE;
    bool selected = (item->itemState & ODS_SELECTED) != 0;
    int background = selected ? COLOR_HIGHLIGHT : COLOR_WINDOW;
    RECT rect = item->rcItem;
    rect.right += 1;
    rect.bottom += 1;
    FillRect(item->hDC, &rect, GetSysColorBrush(background));
    SetBkColor(item->hDC, GetSysColor(background));
    COLORREF text = item->itemID == 0   ? kRed
                    : item->itemID == 6 ? kBlue
                                        : GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT);
    SetTextColor(item->hDC, text);
    WString label = GetComboText(IDC_ALARM_NTH_WEEKDAY, static_cast<int>(item->itemID));
    SelectedObject font(item->hDC, reinterpret_cast<HGDIOBJ>(SendMessageW(item->hwndItem, WM_GETFONT, 0, 0)));
    TextOutW(item->hDC, item->rcItem.left + 2, item->rcItem.top + 2, label.text(), label.length());
    return TRUE;
}

// The weekday display takes the colour of the day it shows.
INT_PTR DSetAlarm::OnColourStatic(WPARAM wParam, LPARAM lParam) {
    int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
    COLORREF colour = StaticTextColour(kTables.colours, id);
    if (id == IDC_ALARM_NEXT_DUE && neverDue_) colour = kRed;
    if (id == IDC_ALARM_WEEKDAY_SHOWN) {
        WString shown = GetItemText(id);
        colour = shown == kShownWeekdays[0] ? kRed : shown == kShownWeekdays[6] ? kBlue : GetSysColor(COLOR_WINDOWTEXT);
    }
    return PaintStatic(reinterpret_cast<HDC>(wParam), colour);
}

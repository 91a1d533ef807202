#include "settings/AlarmDialog.h"

#include <commctrl.h>

#include <cwchar>

#include "common/Handles.h"
#include "common/MessageBoxes.h"
#include "schedule/ScheduleRecord.h"
#include "settings/resource.h"

namespace {

enum DateMethod { kByWeekday, kByDate, kByNth, kEveryDay };
constexpr int kDateMethodCount = 4;

const wchar_t* const kIntervals[] = {L"1", L"2", L"3", L"4", L"5", L"6", L"10", L"12", L"15", L"20", L"30"};
const wchar_t* const kOrdinalItems[] = {L"１", L"２", L"３", L"４", L"５", L"終"};
constexpr int kLastOrdinal = 5;
const wchar_t* const kWeekdayItems[] = {L"日", L"月", L"火", L"水", L"木", L"金", L"土"};
const wchar_t* const kDaysBeforeItems[] = {L"０", L"１", L"２", L"３", L"４", L"５", L"６", L"７", L"８", L"９"};

// The words of the record format, in the order of the combo items.
const wchar_t* const kOrdinalWords[] = {L"1st ", L"2nd ", L"3rd ", L"4th ", L"5th ", L"last"};
const wchar_t* const kWeekdayWords[] = {L"su", L"mo", L"tu", L"we", L"th", L"fr", L"sa"};
const wchar_t kWeekdayLetters[] = L"SMTWTFS";
const wchar_t* const kShownWeekdays[] = {L"(日)", L"(月)", L"(火)", L"(水)", L"(木)", L"(金)", L"(土)"};
const wchar_t kUnknownWeekday[] = L"(？)";
const wchar_t kDaysBeforeShown[] = L"前";

const wchar_t kEveryDayRule[] = L"EveryDay";
const wchar_t kEveryRule[] = L"every";

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

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

// Two columns of the line as a number; -1 unless both are ASCII digits.
int TwoDigits(const WString& line, int column) {
    wchar_t tens = line.at(column), units = line.at(column + 1);
    if (!IsDigit(tens) || !IsDigit(units)) return -1;
    return (tens - L'0') * 10 + (units - L'0');
}

bool Stars(const WString& line, int column) {
    return line.at(column) == L'*' && line.at(column + 1) == L'*';
}

bool BeginsWith(const WString& line, int column, const wchar_t* word) {
    int length = lstrlenW(word);
    return line.length() >= column + length && wmemcmp(line.text() + column, word, length) == 0;
}

WString PaddedActionWord(int action) {
    WString word(kActionWords[action]);
    while (word.length() < kActionWordWidth) word += L" ";
    return word;
}

// A text of one or two digits with a leading zero: "7" is written "07".
WString TwoColumns(const WString& text) {
    return text.length() == 1 ? L"0" + text : text;
}

}  // namespace

int FullYear(int twoDigits, int currentYear) {
    return currentYear / 100 * 100 + twoDigits;
}

bool IsPlainNumber(const WString& text, int maxDigits, int min, int max) {
    if (text.empty() || text.length() > maxDigits) return false;
    int value = 0;
    for (int i = 0; i < text.length(); ++i) {
        if (!IsDigit(text.at(i))) return false;
        value = value * 10 + (text.at(i) - L'0');
    }
    return value >= min && value <= max;
}

WString WeekdayShown(int year, int month, int day) {
    // The watch pass's own month lengths decide what day exists; the file
    // time round trip gives the weekday.
    if (month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return kUnknownWeekday;
    SYSTEMTIME date{};
    date.wYear = static_cast<WORD>(year);
    date.wMonth = static_cast<WORD>(month);
    date.wDay = static_cast<WORD>(day);
    date.wHour = 12;
    FILETIME fileTime;
    SYSTEMTIME back;
    if (!SystemTimeToFileTime(&date, &fileTime) || !FileTimeToSystemTime(&fileTime, &back) || back.wDayOfWeek > 6)
        return kUnknownWeekday;
    return kShownWeekdays[back.wDayOfWeek];
}

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

INT_PTR DSetAlarm::Run(HWND owner) {
    lineText_ = L"";
    return RunModal(owner);
}

INT_PTR DSetAlarm::OnInitDialog() {
    wchar_t flag = sourceLine_.at(kHoldFlagColumn);
    isHeld = flag == kHoldOnce || flag == kHoldAlways;
    SYSTEMTIME now;
    if (clock_ != nullptr)
        clock_(&now);
    else
        GetLocalTime(&now);
    currentYear_ = now.wYear;
    today_ = now.wDayOfWeek % 7;

    RestorePosition(window, *settings, L"SetAlarmLeft", L"SetAlarmTop", PositionRule::kMinusOne);
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
    for (const wchar_t* item : kIntervals)
        SendDlgItemMessageW(window, IDC_ALARM_INTERVAL, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    for (const wchar_t* item : kOrdinalItems)
        SendDlgItemMessageW(window, IDC_ALARM_NTH, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    for (const wchar_t* item : kWeekdayItems)
        SendDlgItemMessageW(window, IDC_ALARM_NTH_WEEKDAY, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    for (const wchar_t* item : kDaysBeforeItems)
        SendDlgItemMessageW(window, IDC_ALARM_DAYS_BEFORE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    // Notifications need Vista or later.
    EnableWindow(GetDlgItem(window, IDC_ACTION_FIRST + kActNotice), osLevel >= 1);
    InitActionTips();

    SetDefaults(now);
    holdFlag_ = sourceLine_.empty() ? kHoldNone : flag;
    const wchar_t* holdLabel = holdFlag_ == kHoldRunOnce  ? L"実行１回"
                               : holdFlag_ == kHoldOnce   ? L"１回保留中"
                               : holdFlag_ == kHoldAlways ? L"保留中"
                                                          : L"";
    SetDlgItemTextW(window, IDC_ALARM_HOLD_LABEL, holdLabel);
    ShowWindow(GetDlgItem(window, IDC_ALARM_HOLD_LABEL), *holdLabel != L'\0' ? SW_SHOW : SW_HIDE);

    if (!sourceLine_.empty()) {
        ReadLine(sourceLine_);
    } else {
        CheckDlgButton(window, IDC_AT_START, BST_UNCHECKED);
        CheckDlgButton(window, IDC_ALARM_EVERY_HOUR, BST_UNCHECKED);
        UpdateTimeStates();
        CheckRadio(IDC_ACTION_GROUP, kActionCount, kActMsg);
        SetDlgItemTextW(window, IDC_PARAM_EDIT, L"");
        UpdateActionGroup();
    }
    LayOutGroups();
    return TRUE;
}

void DSetAlarm::SetDefaults(const SYSTEMTIME& now) {
    SetSpin(IDC_ALARM_YEAR_SPIN, now.wYear % 100);
    SetSpin(IDC_ALARM_MONTH_SPIN, now.wMonth);
    SetSpin(IDC_ALARM_DAY_SPIN, now.wDay);
    SetSpin(IDC_ALARM_HOUR_SPIN, now.wHour);
    SetSpin(IDC_ALARM_MINUTE_SPIN, now.wMinute);
    SetSpin(IDC_ALARM_SECOND_SPIN, now.wSecond);
    SendDlgItemMessageW(window, IDC_ALARM_NTH, CB_SETCURSEL, (now.wDay - 1) / 7, 0);
    SendDlgItemMessageW(window, IDC_ALARM_NTH_WEEKDAY, CB_SETCURSEL, today_, 0);
    SendDlgItemMessageW(window, IDC_ALARM_DAYS_BEFORE, CB_SETCURSEL, 0, 0);
    UpdateNthPrefix();
    CheckRadio(IDC_ALARM_METHOD_GROUP, kDateMethodCount, kByWeekday);
    ShowMethodGroups(kByWeekday);
    UpdateWeekdayButtons();
    for (int id : {IDC_ALARM_EVERY_YEAR, IDC_ALARM_EVERY_MONTH, IDC_ALARM_EVERY_DATE, IDC_ALARM_FROM_END})
        CheckDlgButton(window, id, BST_UNCHECKED);
    OnEveryYear();
    OnEveryMonth();
    OnEveryDate();
    CheckDlgButton(window, IDC_ALARM_BY_INTERVAL, BST_UNCHECKED);
    OnInterval();
    SendDlgItemMessageW(window, IDC_ALARM_INTERVAL, CB_SETCURSEL, 0, 0);
    // An interval always has its unit: minutes unless the line says seconds.
    CheckRadio(IDC_ALARM_INTERVAL_GROUP, 2, 0);
    UpdateIntervalUnit();
    UpdateWeekdayShown();
}

// A line that does not follow the format is read as far as its fields do;
// a number that is not two ASCII digits in its control's range leaves the
// control at its default.
void DSetAlarm::ReadLine(const WString& line) {
    ReadDateField(line);
    ReadTimeField(line);
    int action = -1;
    for (int i = 0; i < kActionCount && action < 0; ++i)
        if (BeginsWith(line, kActionWordColumn, PaddedActionWord(i).text())) action = i;
    CheckRadio(IDC_ACTION_GROUP, kActionCount, action);
    SetDlgItemTextW(window, IDC_PARAM_EDIT, ParameterOf(line).text());
    UpdateActionGroup();
}

void DSetAlarm::ReadDateField(const WString& line) {
    constexpr int d = kDateRuleColumn;
    int method = kByWeekday;
    if (BeginsWith(line, d, kEveryDayRule)) {
        method = kEveryDay;
    } else if (line.at(d + 2) == L'/') {
        method = kByDate;
        int year = TwoDigits(line, d);
        if (Stars(line, d))
            CheckDlgButton(window, IDC_ALARM_EVERY_YEAR, BST_CHECKED);
        else if (year >= 0)
            SetSpin(IDC_ALARM_YEAR_SPIN, year);
        int month = TwoDigits(line, d + 3);
        if (Stars(line, d + 3))
            CheckDlgButton(window, IDC_ALARM_EVERY_MONTH, BST_CHECKED);
        else if (month >= 1 && month <= 12)
            SetSpin(IDC_ALARM_MONTH_SPIN, month);
        if (line.at(d + 5) == L'E') {
            CheckDlgButton(window, IDC_ALARM_FROM_END, BST_CHECKED);
            OnFromEnd();
            if (IsDigit(line.at(d + 7))) SetSpin(IDC_ALARM_DAY_SPIN, line.at(d + 7) - L'0');
        } else {
            int day = TwoDigits(line, d + 6);
            if (Stars(line, d + 6))
                CheckDlgButton(window, IDC_ALARM_EVERY_DATE, BST_CHECKED);
            else if (day >= 1 && day <= 31)
                SetSpin(IDC_ALARM_DAY_SPIN, day);
            OnEveryDate();
        }
        OnEveryYear();
        OnEveryMonth();
    } else if (line.at(d + 3) == L' ' || line.at(d + 3) == L't') {
        method = kByNth;
        int ordinal = kLastOrdinal;
        for (int i = 0; i < kLastOrdinal; ++i)
            if (BeginsWith(line, d, WString(kOrdinalWords[i]).Left(3).text())) ordinal = i;
        SendDlgItemMessageW(window, IDC_ALARM_NTH, CB_SETCURSEL, ordinal, 0);
        UpdateNthPrefix();
        for (int i = 0; i < 7; ++i)
            if (BeginsWith(line, d + 4, kWeekdayWords[i]))
                SendDlgItemMessageW(window, IDC_ALARM_NTH_WEEKDAY, CB_SETCURSEL, i, 0);
        if (line.at(d + 6) == L'-' && IsDigit(line.at(d + 7)))
            SendDlgItemMessageW(window, IDC_ALARM_DAYS_BEFORE, CB_SETCURSEL, line.at(d + 7) - L'0', 0);
    } else {
        for (int i = 0; i < 7; ++i) {
            wchar_t letter = line.at(d + i);
            CheckDlgButton(window, IDC_ALARM_SUNDAY + i,
                           letter != L'_' && letter != L'\0' ? BST_CHECKED : BST_UNCHECKED);
        }
        UpdateWeekdayButtons();
    }
    CheckRadio(IDC_ALARM_METHOD_GROUP, kDateMethodCount, method);
    ShowMethodGroups(method);
    UpdateWeekdayShown();
}

void DSetAlarm::ReadTimeField(const WString& line) {
    constexpr int t = kTimeRuleColumn;
    if (BeginsWith(line, t, kStartTimeRule)) {
        CheckDlgButton(window, IDC_AT_START, BST_CHECKED);
    } else if (BeginsWith(line, t, kEveryRule)) {
        CheckDlgButton(window, IDC_ALARM_BY_INTERVAL, BST_CHECKED);
        OnInterval();
        CheckRadio(IDC_ALARM_INTERVAL_GROUP, 2, line.at(t + 7) == L'm' ? 0 : 1);
        int interval = TwoDigits(line, t + 5);
        for (int i = 0; i < static_cast<int>(sizeof kIntervals / sizeof kIntervals[0]); ++i)
            if (_wtoi(kIntervals[i]) == interval) {
                SendDlgItemMessageW(window, IDC_ALARM_INTERVAL, CB_SETCURSEL, i, 0);
                break;
            }
        UpdateIntervalUnit();
    } else {
        CheckDlgButton(window, IDC_AT_START, BST_UNCHECKED);
        int hour = TwoDigits(line, t), minute = TwoDigits(line, t + 3), second = TwoDigits(line, t + 6);
        if (Stars(line, t))
            CheckDlgButton(window, IDC_ALARM_EVERY_HOUR, BST_CHECKED);
        else if (hour >= 0 && hour <= 23)
            SetSpin(IDC_ALARM_HOUR_SPIN, hour);
        if (Stars(line, t + 3))
            CheckDlgButton(window, IDC_ALARM_EVERY_MINUTE, BST_CHECKED);
        else if (minute >= 0 && minute <= 59)
            SetSpin(IDC_ALARM_MINUTE_SPIN, minute);
        if (second >= 0 && second <= 59) SetSpin(IDC_ALARM_SECOND_SPIN, second);
    }
    UpdateTimeStates();
}

// The alternative groups stand below the buttons in the template: each is
// moved onto the group it replaces, and the dialog ends below OK.
void DSetAlarm::LayOutGroups() {
    auto placeOf = [this](int id) {
        RECT rect{};
        GetWindowRect(GetDlgItem(window, id), &rect);
        MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    };
    auto move = [&](ItemRun run, int anchorId) {
        RECT from = placeOf(run.first), to = placeOf(anchorId);
        for (int id = run.first; id <= run.first + run.count; ++id) {
            RECT place = placeOf(id);
            SetWindowPos(GetDlgItem(window, id), nullptr, place.left + to.left - from.left,
                         place.top + to.top - from.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    };
    move(kIntervalRun, IDC_ALARM_TIME_GROUP);
    move(kDateRun, IDC_ALARM_WEEKDAY_GROUP);
    move(kNthRun, IDC_ALARM_WEEKDAY_GROUP);
    RECT dialog{}, ok{};
    GetWindowRect(window, &dialog);
    GetWindowRect(GetDlgItem(window, IDC_ALARM_OK), &ok);
    MoveWindow(window, dialog.left, dialog.top, dialog.right - dialog.left,
               ok.bottom - dialog.top + GetSystemMetrics(SM_CYEDGE) + 10, TRUE);
}

void DSetAlarm::ShowMethodGroups(int method) {
    ShowItems(kWeekdayRun.first, kWeekdayRun.count, method == kByWeekday);
    ShowItems(kDateRun.first, kDateRun.count, method == kByDate);
    ShowItems(kNthRun.first, kNthRun.count, method == kByNth);
}

void DSetAlarm::OnWeekdayMethod() {
    ShowMethodGroups(kByWeekday);
}
void DSetAlarm::OnDateMethod() {
    ShowMethodGroups(kByDate);
}
void DSetAlarm::OnNthMethod() {
    ShowMethodGroups(kByNth);
}
void DSetAlarm::OnEveryDay() {
    ShowMethodGroups(kEveryDay);
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
        WString year = GetItemText(IDC_ALARM_YEAR), month = GetItemText(IDC_ALARM_MONTH),
                day = GetItemText(IDC_ALARM_DAY);
        shown = IsPlainNumber(year, 2, 0, 99) && IsPlainNumber(month, 2, 1, 12) && IsPlainNumber(day, 2, 1, 31)
                    ? WeekdayShown(FullYear(_wtoi(year.text()), currentYear_), _wtoi(month.text()), _wtoi(day.text()))
                    : WString(kUnknownWeekday);
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

void DSetAlarm::SetSpin(int spinId, int value) const {
    SendDlgItemMessageW(window, spinId, UDM_SETPOS32, 0, value);
}

bool DSetAlarm::CheckInput() {
    int method = GetCheckedRadio(IDC_ALARM_METHOD_GROUP, kDateMethodCount);
    if (method == kByWeekday) {
        bool any = false;
        for (int i = 0; i < 7; ++i) any = any || IsChecked(IDC_ALARM_SUNDAY + i);
        if (!any) {
            Refuse(IDC_ALARM_SUNDAY, L"曜日を入力して下さい");
            return false;
        }
    } else if (method == kByDate) {
        bool everyYear = IsChecked(IDC_ALARM_EVERY_YEAR), everyMonth = IsChecked(IDC_ALARM_EVERY_MONTH);
        bool fromEnd = IsChecked(IDC_ALARM_FROM_END), everyDate = IsChecked(IDC_ALARM_EVERY_DATE);
        WString day = GetItemText(IDC_ALARM_DAY);
        if (!everyYear && !IsPlainNumber(GetItemText(IDC_ALARM_YEAR), 2, 0, 99)) {
            Refuse(IDC_ALARM_YEAR, L"正しい年を入力して下さい");
            return false;
        }
        if (!everyMonth && !IsPlainNumber(GetItemText(IDC_ALARM_MONTH), 2, 1, 12)) {
            Refuse(IDC_ALARM_MONTH, L"正しい月を入力して下さい");
            return false;
        }
        if (fromEnd && !IsPlainNumber(day, 1, 0, 9)) {
            Refuse(IDC_ALARM_DAY, L"正しい日数を入力して下さい");
            return false;
        }
        if (!fromEnd && !everyDate && !IsPlainNumber(day, 2, 1, 31)) {
            Refuse(IDC_ALARM_DAY, L"正しい日を入力して下さい");
            return false;
        }
        UpdateWeekdayShown();
        if (!everyYear && !everyMonth && !fromEnd && !everyDate &&
            GetItemText(IDC_ALARM_WEEKDAY_SHOWN) == kUnknownWeekday) {
            Refuse(IDC_ALARM_DAY, L"正しい年月日を入力して下さい");
            return false;
        }
    }
    if (IsChecked(IDC_ALARM_BY_INTERVAL)) {
        if (SendDlgItemMessageW(window, IDC_ALARM_INTERVAL, CB_GETCURSEL, 0, 0) < 0) {
            Refuse(IDC_ALARM_INTERVAL, L"ｎ分毎を指定してください");
            return false;
        }
    } else if (!IsChecked(IDC_AT_START)) {
        if (!IsChecked(IDC_ALARM_EVERY_HOUR) && !IsPlainNumber(GetItemText(IDC_ALARM_HOUR), 2, 0, 23)) {
            Refuse(IDC_ALARM_HOUR, L"正しい時を入力して下さい");
            return false;
        }
        if (!IsChecked(IDC_ALARM_EVERY_MINUTE) && !IsPlainNumber(GetItemText(IDC_ALARM_MINUTE), 2, 0, 59)) {
            Refuse(IDC_ALARM_MINUTE, L"正しい分を入力して下さい");
            return false;
        }
        if (!IsPlainNumber(GetItemText(IDC_ALARM_SECOND), 2, 0, 59)) {
            Refuse(IDC_ALARM_SECOND, L"正しい秒を入力して下さい");
            return false;
        }
    }
    return CheckParameter();
}

WString DSetAlarm::Padded(int id) const {
    return TwoColumns(GetItemText(id));
}

// Every number written here passed CheckInput: each field keeps its width.
WString DSetAlarm::ComposeLine() const {
    wchar_t flag[3] = {holdFlag_, L' ', L'\0'};
    WString line(flag);
    switch (GetCheckedRadio(IDC_ALARM_METHOD_GROUP, kDateMethodCount)) {
    case kByDate: {
        line += IsChecked(IDC_ALARM_EVERY_YEAR) ? WString(L"**") : Padded(IDC_ALARM_YEAR);
        line += L"/";
        line += IsChecked(IDC_ALARM_EVERY_MONTH) ? WString(L"**") : Padded(IDC_ALARM_MONTH);
        if (IsChecked(IDC_ALARM_FROM_END)) {
            WString days = GetItemText(IDC_ALARM_DAY);
            line += days == L"0" ? WString(L"E  ") : L"E-" + days;
        } else {
            line += L"/";
            line += IsChecked(IDC_ALARM_EVERY_DATE) ? WString(L"**") : Padded(IDC_ALARM_DAY);
        }
        line += L" ";
        break;
    }
    case kByNth: {
        LRESULT ordinal = SendDlgItemMessageW(window, IDC_ALARM_NTH, CB_GETCURSEL, 0, 0);
        LRESULT weekday = SendDlgItemMessageW(window, IDC_ALARM_NTH_WEEKDAY, CB_GETCURSEL, 0, 0);
        LRESULT before = SendDlgItemMessageW(window, IDC_ALARM_DAYS_BEFORE, CB_GETCURSEL, 0, 0);
        line += kOrdinalWords[ordinal >= 0 && ordinal <= kLastOrdinal ? ordinal : 0];
        line += kWeekdayWords[weekday >= 0 && weekday < 7 ? weekday : 0];
        line += before >= 1 && before <= 9 ? L"-" + WString(static_cast<int>(before)) + L" " : WString(L"   ");
        break;
    }
    case kEveryDay: line += L"EveryDay "; break;
    default: {
        wchar_t mask[10] = L"_______  ";
        for (int i = 0; i < 7; ++i)
            if (IsChecked(IDC_ALARM_SUNDAY + i)) mask[i] = kWeekdayLetters[i];
        line += mask;
        break;
    }
    }
    if (IsChecked(IDC_ALARM_BY_INTERVAL)) {
        LRESULT interval = SendDlgItemMessageW(window, IDC_ALARM_INTERVAL, CB_GETCURSEL, 0, 0);
        line += kEveryRule;
        line += TwoColumns(GetComboText(IDC_ALARM_INTERVAL, static_cast<int>(interval)));
        line += IsChecked(IDC_ALARM_MINUTES) ? L"m " : L"s ";
    } else if (IsChecked(IDC_AT_START)) {
        line += kStartTimeRule;
        line += L" ";
    } else {
        line += IsChecked(IDC_ALARM_EVERY_HOUR) ? WString(L"**:") : Padded(IDC_ALARM_HOUR) + L":";
        line += IsChecked(IDC_ALARM_EVERY_MINUTE) ? WString(L"**:") : Padded(IDC_ALARM_MINUTE) + L":";
        line += Padded(IDC_ALARM_SECOND) + L" ";
    }
    line += PaddedActionWord(GetCheckedRadio(IDC_ACTION_GROUP, kActionCount));
    line += L" ";
    line += GetItemText(IDC_PARAM_EDIT);
    return line;
}

void DSetAlarm::OnOk() {
    if (!CheckInput()) return;
    SavePosition(window, *settings, L"SetAlarmLeft", L"SetAlarmTop");
    lineText_ = ComposeLine();
    EndWith(1);
}

void DSetAlarm::OnCancel() {
    EndWith(0);
}

// Sent while the combo box is created, before WM_INITDIALOG made the dialog's
// fonts: the height comes from a font of the same face and size made here.
INT_PTR DSetAlarm::OnMeasureItem(WPARAM, LPARAM lParam) {
    auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    if (item->CtlType != ODT_COMBOBOX || item->CtlID != IDC_ALARM_NTH_WEEKDAY) return FALSE;
    UniqueGdiObject font = MakeFont(0, kNthPoints, kDialogFace, FALSE);
    WindowDC dc(nullptr);
    SelectedObject selected(dc.get(), font.get());
    SIZE size{};
    GetTextExtentPoint32W(dc.get(), L"金", 1, &size);
    item->itemHeight = static_cast<UINT>(size.cy);
    return TRUE;
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
    if (id == IDC_ALARM_WEEKDAY_SHOWN) {
        WString shown = GetItemText(id);
        colour = shown == kShownWeekdays[0] ? kRed : shown == kShownWeekdays[6] ? kBlue : GetSysColor(COLOR_WINDOWTEXT);
    }
    return PaintStatic(reinterpret_cast<HDC>(wParam), colour);
}

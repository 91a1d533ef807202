#include "schedule/ScheduleLine.h"

#include <cwchar>

const wchar_t* const kActionWords[kActionCount] = {L"Msg   ", L"Mplay ", L"Notice", L"Blink ", L"Screen",
                                                   L"3DText", L"Kabe  ", L"Shell ", L"Exit  "};
const wchar_t kEveryDayRule[] = L"EveryDay";
const wchar_t kEveryWord[] = L"every";
const wchar_t* const kOrdinalWords[kOrdinalCount] = {L"1st ", L"2nd ", L"3rd ", L"4th ", L"5th ", L"last"};
const wchar_t* const kWeekdayWords[7] = {L"su", L"mo", L"tu", L"we", L"th", L"fr", L"sa"};
const wchar_t kWeekdayLetters[] = L"SMTWTFS";
const int kIntervals[kIntervalCount] = {1, 2, 3, 4, 5, 6, 10, 12, 15, 20, 30};

namespace {

// Action words of versions before 2.00 that no longer run.
const wchar_t* const kRetiredWords[] = {L"Dengon", L"Reboot", L"Stop  "};

const wchar_t kNoWeekday[] = L"曜日を入力して下さい";
const wchar_t kBadYear[] = L"正しい年を入力して下さい";
const wchar_t kBadMonth[] = L"正しい月を入力して下さい";
const wchar_t kBadDaysBefore[] = L"正しい日数を入力して下さい";
const wchar_t kBadDay[] = L"正しい日を入力して下さい";
const wchar_t kNoSuchDate[] = L"正しい年月日を入力して下さい";
const wchar_t kNoInterval[] = L"ｎ分毎を指定してください";
const wchar_t kBadHour[] = L"正しい時を入力して下さい";
const wchar_t kBadMinute[] = L"正しい分を入力して下さい";
const wchar_t kBadSecond[] = L"正しい秒を入力して下さい";

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

bool InRange(int value, int min, int max) {
    return value >= min && value <= max;
}

bool Begins(const WString& text, int place, const wchar_t* word) {
    const int length = static_cast<int>(std::wcslen(word));
    return text.length() >= place + length && std::wmemcmp(text.text() + place, word, length) == 0;
}

bool IsAnyPlace(const WString& rule, int place) {
    return rule.at(place) == kAnyMark && rule.at(place + 1) == kAnyMark;
}

// The two ASCII digits of a place in a line, -1 for anything else. Only what
// ZAV reads counts: a full-width digit in the file is no number to it.
int PlaceValue(const WString& rule, int place) {
    const wchar_t tens = rule.at(place), units = rule.at(place + 1);
    if (!IsDigit(tens) || !IsDigit(units)) return -1;
    return (tens - L'0') * 10 + (units - L'0');
}

// A two-digit place: "**" where allowed, else the value when it lies in its
// range, else what the field had.
int ReadPlace(const WString& rule, int place, int min, int max, bool anyAllowed, int kept) {
    if (anyAllowed && IsAnyPlace(rule, place)) return kAnyValue;
    const int value = PlaceValue(rule, place);
    return InRange(value, min, max) ? value : kept;
}

bool IsOffered(int interval) {
    for (int offered : kIntervals)
        if (offered == interval) return true;
    return false;
}

void AppendTwoDigits(WString& text, int value) {
    const wchar_t digits[3] = {static_cast<wchar_t>(L'0' + value / 10 % 10), static_cast<wchar_t>(L'0' + value % 10),
                               L'\0'};
    text += digits;
}

void AppendPlace(WString& text, int value) {
    if (value == kAnyValue)
        text += L"**";
    else
        AppendTwoDigits(text, value);
}

// "-n" for n of 1 to 9, two blanks for none.
void AppendOffset(WString& text, int daysBefore) {
    if (!InRange(daysBefore, 1, 9)) {
        text += L"  ";
        return;
    }
    const wchar_t offset[3] = {kOffsetMark, static_cast<wchar_t>(L'0' + daysBefore), L'\0'};
    text += offset;
}

Refusal Refuse(LineField field, const wchar_t* message) {
    return Refusal{field, message};
}

}  // namespace

int ActionOf(const WString& actionText) {
    for (int action = 0; action < kActionCount; ++action)
        if (Begins(actionText, 0, kActionWords[action])) return action;
    return kNoAction;
}

bool IsRetiredAction(const WString& record) {
    const WString word = ActionWordOf(record);
    for (const wchar_t* retired : kRetiredWords)
        if (word == retired) return true;
    return false;
}

int DaysInMonth(int year, int month) {
    if (month == 4 || month == 6 || month == 9 || month == 11) return 30;
    if (month != 2) return 31;
    const bool leap = (year % 100 != 0 && year % 4 == 0) || (year % 100 == 0 && (year / 100) % 4 == 0);
    return leap ? 29 : 28;
}

WString AsciiDigits(const WString& text) {
    WString ascii = text;
    for (int i = 0; i < ascii.length(); ++i) {
        const wchar_t unit = ascii.at(i);
        if (unit >= L'０' && unit <= L'９') ascii.SetAt(i, static_cast<wchar_t>(L'0' + (unit - L'０')));
    }
    return ascii;
}

int NumberOf(const WString& text, int maxDigits) {
    if (text.empty() || text.length() > maxDigits) return kNoNumber;
    int value = 0;
    for (int i = 0; i < text.length(); ++i) {
        if (!IsDigit(text.at(i))) return kNoNumber;
        value = value * 10 + (text.at(i) - L'0');
    }
    return value;
}

int WeekdayOf(int year, int month, int day, int currentYear) {
    if (!InRange(year, 0, 99) || !InRange(month, 1, 12)) return -1;
    const int fullYear = currentYear / 100 * 100 + year;
    // The watch pass's own month lengths decide what day exists; the file
    // time round trip gives the weekday.
    if (!InRange(day, 1, DaysInMonth(fullYear, month))) return -1;
    SYSTEMTIME date{};
    date.wYear = static_cast<WORD>(fullYear);
    date.wMonth = static_cast<WORD>(month);
    date.wDay = static_cast<WORD>(day);
    date.wHour = 12;
    FILETIME fileTime;
    SYSTEMTIME back;
    if (!SystemTimeToFileTime(&date, &fileTime) || !FileTimeToSystemTime(&fileTime, &back) || back.wDayOfWeek > 6)
        return -1;
    return back.wDayOfWeek;
}

ScheduleLine NewScheduleLine(const SYSTEMTIME& now) {
    ScheduleLine line;
    DateRule& date = line.date;
    date.year = now.wYear % 100;
    date.month = now.wMonth;
    date.day = now.wDay;
    date.ordinal = (now.wDay - 1) / 7;
    date.weekday = now.wDayOfWeek % 7;
    TimeRule& time = line.time;
    time.hour = now.wHour;
    time.minute = now.wMinute;
    time.second = now.wSecond;
    return line;
}

DateRule ParseDateRule(const WString& rule, const DateRule& defaults) {
    DateRule date = defaults;
    if (Begins(rule, 0, kEveryDayRule)) {
        date.kind = DateKind::EveryDay;
    } else if (rule.at(kSeparatorPlace) == kDateSeparator) {
        date.kind = DateKind::Date;
        date.year = ReadPlace(rule, kYearPlace, 0, 99, true, date.year);
        date.month = ReadPlace(rule, kMonthPlace, 1, 12, true, date.month);
        date.fromMonthEnd = rule.at(kMonthEndPlace) == kMonthEndMark;
        if (date.fromMonthEnd) {
            // The n is read wherever its "-" is; without a digit it is 0.
            const wchar_t n = rule.at(kOffsetPlace);
            date.daysBefore = IsDigit(n) ? n - L'0' : 0;
        } else {
            date.day = ReadPlace(rule, kDayPlace, 1, 31, true, date.day);
        }
    } else if (rule.at(kOrdinalEndPlace) == L' ' || rule.at(kOrdinalEndPlace) == L't') {
        date.kind = DateKind::NthWeekday;
        // "1st", "2nd" ... by their first three units; any other text is "last".
        date.ordinal = kLastOrdinal;
        for (int i = 0; i < kLastOrdinal; ++i)
            if (Begins(rule, 0, WString(kOrdinalWords[i]).Left(3).text())) date.ordinal = i;
        for (int i = 0; i < 7; ++i)
            if (Begins(rule, kNthWeekdayPlace, kWeekdayWords[i])) date.weekday = i;
        const wchar_t n = rule.at(kOffsetPlace);
        if (rule.at(kOffsetPlace - 1) == kOffsetMark && IsDigit(n)) date.daysBefore = n - L'0';
    } else {
        date.kind = DateKind::Weekdays;
        for (int i = 0; i < 7; ++i) date.days[i] = rule.at(i) != kNoDayMark && rule.at(i) != L'\0';
    }
    return date;
}

TimeRule ParseTimeRule(const WString& rule, const TimeRule& defaults) {
    TimeRule time = defaults;
    if (Begins(rule, 0, kStartTimeRule)) {
        time.kind = TimeKind::Start;
    } else if (Begins(rule, 0, kEveryWord)) {
        time.kind = TimeKind::Every;
        time.inSeconds = rule.at(kIntervalUnitPlace) != kMinutesUnit;
        const int interval = PlaceValue(rule, kIntervalPlace);
        if (IsOffered(interval)) time.interval = interval;
    } else {
        time.kind = TimeKind::Clock;
        time.hour = ReadPlace(rule, kHourPlace, 0, 23, true, time.hour);
        time.minute = ReadPlace(rule, kMinutePlace, 0, 59, true, time.minute);
        time.second = ReadPlace(rule, kSecondPlace, 0, 59, false, time.second);
    }
    return time;
}

ScheduleLine ParseScheduleLine(const WString& line, const ScheduleLine& defaults) {
    ScheduleLine parsed;
    parsed.holdFlag = line.empty() ? defaults.holdFlag : HoldFlagOf(line);
    parsed.date = ParseDateRule(line.From(kDateRuleColumn), defaults.date);
    parsed.time = ParseTimeRule(line.From(kTimeRuleColumn), defaults.time);
    parsed.action = ActionOf(ActionTextOf(line));
    parsed.parameter = ParameterOf(line);
    return parsed;
}

WString ComposeDateRule(const DateRule& rule) {
    WString text;
    switch (rule.kind) {
    case DateKind::Weekdays: {
        wchar_t mask[9] = L"        ";
        for (int i = 0; i < 7; ++i) mask[i] = rule.days[i] ? kWeekdayLetters[i] : kNoDayMark;
        text = mask;
        break;
    }
    case DateKind::Date: {
        AppendPlace(text, rule.year);
        text += L"/";
        AppendPlace(text, rule.month);
        if (rule.fromMonthEnd) {
            text += L"E";
            AppendOffset(text, rule.daysBefore);
        } else {
            text += L"/";
            AppendPlace(text, rule.day);
        }
        break;
    }
    case DateKind::NthWeekday:
        text = kOrdinalWords[InRange(rule.ordinal, 0, kLastOrdinal) ? rule.ordinal : 0];
        text += kWeekdayWords[InRange(rule.weekday, 0, 6) ? rule.weekday : 0];
        AppendOffset(text, rule.daysBefore);
        break;
    case DateKind::EveryDay: text = kEveryDayRule; break;
    }
    return text;
}

WString ComposeTimeRule(const TimeRule& rule) {
    WString text;
    switch (rule.kind) {
    case TimeKind::Every: {
        text = kEveryWord;
        AppendTwoDigits(text, rule.interval);
        const wchar_t unit[2] = {rule.inSeconds ? kSecondsUnit : kMinutesUnit, L'\0'};
        text += unit;
        break;
    }
    case TimeKind::Start: text = kStartTimeRule; break;
    case TimeKind::Clock:
        AppendPlace(text, rule.hour);
        text += L":";
        AppendPlace(text, rule.minute);
        text += L":";
        AppendTwoDigits(text, rule.second);
        break;
    }
    return text;
}

WString ComposeScheduleLine(const ScheduleLine& line) {
    const wchar_t* word = InRange(line.action, 0, kActionCount - 1) ? kActionWords[line.action] : L"";
    return ComposeRecord(line.holdFlag, ComposeDateRule(line.date), ComposeTimeRule(line.time), word, line.parameter);
}

Refusal CheckDateRule(const DateRule& rule, int currentYear) {
    if (rule.kind == DateKind::Weekdays) {
        for (bool chosen : rule.days)
            if (chosen) return Refusal{};
        return Refuse(LineField::Weekdays, kNoWeekday);
    }
    if (rule.kind != DateKind::Date) return Refusal{};
    if (rule.year != kAnyValue && !InRange(rule.year, 0, 99)) return Refuse(LineField::Year, kBadYear);
    if (rule.month != kAnyValue && !InRange(rule.month, 1, 12)) return Refuse(LineField::Month, kBadMonth);
    // "E-n" takes the day's field for its n.
    if (rule.fromMonthEnd) {
        if (!InRange(rule.daysBefore, 0, 9)) return Refuse(LineField::Day, kBadDaysBefore);
        return Refusal{};
    }
    if (rule.day == kAnyValue) return Refusal{};
    if (!InRange(rule.day, 1, 31)) return Refuse(LineField::Day, kBadDay);
    if (rule.year != kAnyValue && rule.month != kAnyValue &&
        WeekdayOf(rule.year, rule.month, rule.day, currentYear) < 0)
        return Refuse(LineField::Day, kNoSuchDate);
    return Refusal{};
}

Refusal CheckTimeRule(const TimeRule& rule) {
    switch (rule.kind) {
    case TimeKind::Every:
        if (!IsOffered(rule.interval)) return Refuse(LineField::Interval, kNoInterval);
        return Refusal{};
    case TimeKind::Start: return Refusal{};
    case TimeKind::Clock: break;
    }
    if (rule.hour != kAnyValue && !InRange(rule.hour, 0, 23)) return Refuse(LineField::Hour, kBadHour);
    if (rule.minute != kAnyValue && !InRange(rule.minute, 0, 59)) return Refuse(LineField::Minute, kBadMinute);
    if (!InRange(rule.second, 0, 59)) return Refuse(LineField::Second, kBadSecond);
    return Refusal{};
}

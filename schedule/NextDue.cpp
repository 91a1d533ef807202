#include "schedule/NextDue.h"

#include <climits>
#include <cwchar>

#include "schedule/ScheduleLine.h"
#include "schedule/ScheduleRecord.h"

// The rules are read from the text exactly as the watch pass reads them, not
// through ParseDateRule: the parse keeps a default for a field it cannot
// read, where the pass matches nothing.

namespace {

constexpr int kSecondsPerDay = 86400;
constexpr int kNoSecond = -1;
// Day numbers before 1970 are negative.
constexpr int kNoDay = INT_MIN;

// Sunday first, as SYSTEMTIME numbers the days.
const wchar_t kWeekdayNames[] = L"日月火水木金土";

// ---- The calendar as day numbers (days since 1970-01-01, proleptic
// Gregorian, as DaysInMonth counts) ----

struct Date {
    int year;
    int month;
    int day;
};

int DayNumber(int year, int month, int day) {
    year -= month <= 2;
    const int era = (year >= 0 ? year : year - 399) / 400;
    const int yearOfEra = year - era * 400;
    const int dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

Date DateOf(int dayNumber) {
    const int z = dayNumber + 719468;
    const int era = (z >= 0 ? z : z - 146096) / 146097;
    const int dayOfEra = z - era * 146097;
    const int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int mp = (5 * dayOfYear + 2) / 153;
    const int month = mp < 10 ? mp + 3 : mp - 9;
    return Date{yearOfEra + era * 400 + (month <= 2), month, dayOfYear - (153 * mp + 2) / 5 + 1};
}

// 0 Sunday, as SYSTEMTIME numbers it; 1970-01-01 was a Thursday.
int WeekdayOfDay(int dayNumber) {
    const int w = (dayNumber + 4) % 7;
    return w < 0 ? w + 7 : w;
}

// ---- Places of the rule text ----

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

bool Stars(const wchar_t* place) {
    return place[0] == kAnyMark && place[1] == kAnyMark;
}

// A place the pass compares with two clock digits: their value when both are
// ASCII digits and the value lies in min..max, the only values a clock shows.
int PlaceValue(const wchar_t* place, int min, int max) {
    if (!IsDigit(place[0]) || !IsDigit(place[1])) return kNoNumber;
    const int value = (place[0] - L'0') * 10 + (place[1] - L'0');
    return value >= min && value <= max ? value : kNoNumber;
}

// "**" as kAnyValue, else PlaceValue.
int StarOrValue(const wchar_t* place, int min, int max) {
    return Stars(place) ? kAnyValue : PlaceValue(place, min, max);
}

// The n of "E-n" and of "-n" after a weekday: 0 for a blank, the digit, or
// kNoNumber (the pass matches nothing then).
int DayOffset(wchar_t c) {
    if (c == L' ') return 0;
    return IsDigit(c) ? c - L'0' : kNoNumber;
}

// ---- The time rule ----

// The first second of a day at or after `from` (0-86399) at which a timer
// pass matches the time rule t, or kNoSecond.
int FirstSecondOfDay(const wchar_t* t, int from) {
    if (std::wmemcmp(t, kEveryWord, 5) == 0) {
        if (!IsDigit(t[kIntervalPlace]) || !IsDigit(t[kIntervalPlace + 1])) return kNoSecond;
        const int nn = (t[kIntervalPlace] - L'0') * 10 + (t[kIntervalPlace + 1] - L'0');
        if (nn == 0) return kNoSecond;
        if (t[kIntervalUnitPlace] == kMinutesUnit) {
            // Second 00 of every minute whose number divides by NN.
            for (int minute = (from + 59) / 60; minute < 24 * 60; ++minute)
                if (minute % 60 % nn == 0) return minute * 60;
            return kNoSecond;
        }
        if (t[kIntervalUnitPlace] != kSecondsUnit) return kNoSecond;
        for (int second = from; second < kSecondsPerDay; ++second)
            if (second % 60 % nn == 0) return second;
        return kNoSecond;
    }
    // The seconds are never a wildcard; hour and minute may be. With neither
    // a wildcard the pass compares the whole "hh:mm:ss", colons included.
    const int second = PlaceValue(t + kSecondPlace, 0, 59);
    const int hour = StarOrValue(t + kHourPlace, 0, 23);
    const int minute = StarOrValue(t + kMinutePlace, 0, 59);
    if (second == kNoNumber || hour == kNoNumber || minute == kNoNumber) return kNoSecond;
    if (hour != kAnyValue && minute != kAnyValue && (t[kHourPlace + 2] != L':' || t[kMinutePlace + 2] != L':'))
        return kNoSecond;
    for (int h = from / 3600; h < 24; ++h) {
        if (hour != kAnyValue && h != hour) continue;
        const int floor = h == from / 3600 ? from : h * 3600;
        if (minute != kAnyValue) {
            const int at = h * 3600 + minute * 60 + second;
            if (at >= floor) return at;
            continue;
        }
        // Any minute: the floor's own minute when its second is still to come.
        int m = (floor - h * 3600) / 60;
        if (h * 3600 + m * 60 + second < floor) ++m;
        if (m < 60) return h * 3600 + m * 60 + second;
    }
    return kNoSecond;
}

// ---- The date rule ----

// yy/mm/dd and yy/mmE-n: steps by months; a year written out jumps to the
// next year that ends in its two digits.
int FirstDateFormDay(const wchar_t* r, int first, int last) {
    const int year = StarOrValue(r + kYearPlace, 0, 99);
    const int month = StarOrValue(r + kMonthPlace, 1, 12);
    if (year == kNoNumber || month == kNoNumber) return kNoDay;
    const bool fromEnd = r[kMonthEndPlace] == kMonthEndMark;
    const int daysBefore = fromEnd ? DayOffset(r[kOffsetPlace]) : 0;
    const int day = fromEnd ? 0 : StarOrValue(r + kDayPlace, 1, 31);
    if (daysBefore == kNoNumber || day == kNoNumber) return kNoDay;

    const Date start = DateOf(first);
    const int lastYear = DateOf(last).year;
    for (int y = start.year; y <= lastYear; ++y) {
        if (year != kAnyValue && y % 100 != year) {
            y += (year - y % 100 + 100) % 100 - 1;
            continue;
        }
        for (int m = y == start.year ? start.month : 1; m <= 12; ++m) {
            if (month != kAnyValue && m != month) continue;
            const int length = DaysInMonth(y, m);
            const int earliest = y == start.year && m == start.month ? start.day : 1;
            int d;
            if (fromEnd)
                d = length - daysBefore;
            else if (day == kAnyValue)
                d = earliest;
            else
                d = day;
            if (d < earliest || d > length) continue;
            const int found = DayNumber(y, m, d);
            return found <= last ? found : kNoDay;
        }
    }
    return kNoDay;
}

// "1st " ... "5th " and "last", a weekday and "-n": the day n days before
// the target weekday of a month. The pass also leaves out any day whose own
// place in the rule holds "_", as it does for a weekday mask.
int FirstNthWeekdayDay(const wchar_t* r, int first, int last) {
    const int n = DayOffset(r[kOffsetPlace]);
    if (n == kNoNumber) return kNoDay;
    int weekday = -1;
    for (int w = 0; w < 7; ++w)
        if (std::wmemcmp(r + kNthWeekdayPlace, kWeekdayWords[w], 2) == 0) weekday = w;
    const bool isLast = r[kOrdinalEndPlace] == L't';
    const int ordinal = r[0] - L'1';
    if (weekday < 0 || (!isLast && (ordinal < 0 || ordinal > 4))) return kNoDay;

    // The target lies at most nine days after the day itself: begin with the
    // month of `first`.
    const Date start = DateOf(first);
    int y = start.year, m = start.month;
    for (int monthStart = DayNumber(y, m, 1); monthStart - 9 <= last;) {
        const int length = DaysInMonth(y, m);
        const int firstTarget = 1 + (weekday - WeekdayOfDay(monthStart) + 7) % 7;
        const int target = isLast ? firstTarget + (length - firstTarget) / 7 * 7 : firstTarget + ordinal * 7;
        if (target <= length) {
            const int day = monthStart + target - 1 - n;
            if (day >= first && r[WeekdayOfDay(day)] != kNoDayMark) return day <= last ? day : kNoDay;
        }
        monthStart += length;
        if (++m > 12) m = 1, ++y;
    }
    return kNoDay;
}

// The first day number from first to last on which the pass matches the date
// rule r (columns 2-9), or kNoDay.
int FirstDay(const wchar_t* r, int first, int last) {
    if (first > last) return kNoDay;
    if (r[kSeparatorPlace] == kDateSeparator) return FirstDateFormDay(r, first, last);
    if (std::wmemcmp(r, kEveryDayRule, kRuleWidth) == 0) return first;
    const wchar_t ordinalEnd = r[kOrdinalEndPlace];
    if (ordinalEnd == L' ' || ordinalEnd == L't') return FirstNthWeekdayDay(r, first, last);
    // A weekday mask: any unit but "_" in the day's place.
    for (int day = first; day <= last && day < first + 7; ++day)
        if (r[WeekdayOfDay(day)] != kNoDayMark) return day;
    return kNoDay;
}

// ---- Records ----

struct Moment {
    int day;     // day number
    int second;  // of the day
};

Moment MomentOf(const SYSTEMTIME& time) {
    return Moment{DayNumber(time.wYear, time.wMonth, time.wDay), time.wHour * 3600 + time.wMinute * 60 + time.wSecond};
}

SYSTEMTIME TimeOf(const Moment& moment) {
    const Date date = DateOf(moment.day);
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(date.year);
    time.wMonth = static_cast<WORD>(date.month);
    time.wDay = static_cast<WORD>(date.day);
    time.wDayOfWeek = static_cast<WORD>(WeekdayOfDay(moment.day));
    time.wHour = static_cast<WORD>(moment.second / 3600);
    time.wMinute = static_cast<WORD>(moment.second / 60 % 60);
    time.wSecond = static_cast<WORD>(moment.second % 60);
    return time;
}

// A year written out in the rule names this century's (so a past one never
// comes), but the search goes on at least nine years, so that 29 February
// from 2097 is found in 2104 and "00/01/01" from 2099 in 2100.
int LastDayFrom(int day) {
    const int year = DateOf(day).year;
    const int centuryEnd = year / 100 * 100 + 99;
    return DayNumber(centuryEnd > year + 9 ? centuryEnd : year + 9, 12, 31);
}

// The rule text (columns 2-18) of a record the pass can take up, or null:
// the pass skips short records, "X" and "D".
const wchar_t* RulesOf(const WString& record) {
    if (record.length() < kDateRuleColumn + kRuleTextLength) return nullptr;
    const wchar_t flag = record.at(kHoldFlagColumn);
    if (flag == kHoldAlways || flag == kDeletionMark) return nullptr;
    return record.text() + kDateRuleColumn;
}

// The first moment at or after from, up to the day `last`, or false.
bool FirstDue(const wchar_t* rules, const Moment& from, int last, Moment* due) {
    const wchar_t* timeRule = rules + kTimeRuleOffset;
    // The time rule is the same every day: a rule that never matches (Start
    // among them) ends the search before any day is looked at.
    const int firstOfDay = FirstSecondOfDay(timeRule, 0);
    if (firstOfDay == kNoSecond) return false;
    int day = FirstDay(rules, from.day, last);
    if (day == kNoDay) return false;
    int second = day == from.day ? FirstSecondOfDay(timeRule, from.second) : firstOfDay;
    if (second == kNoSecond) {
        day = FirstDay(rules, from.day + 1, last);
        if (day == kNoDay) return false;
        second = firstOfDay;
    }
    *due = Moment{day, second};
    return true;
}

}  // namespace

const wchar_t kHeldOnceMark[] = L"（保留）";

bool NextDue(const WString& record, const SYSTEMTIME& from, SYSTEMTIME* due) {
    const wchar_t* rules = RulesOf(record);
    if (!rules) return false;
    const Moment start = MomentOf(from);
    Moment found;
    if (!FirstDue(rules, start, LastDayFrom(start.day), &found)) return false;
    *due = TimeOf(found);
    return true;
}

bool NextStartDay(const WString& record, const SYSTEMTIME& from, SYSTEMTIME* day) {
    const wchar_t* rules = RulesOf(record);
    if (!rules || std::wmemcmp(rules + kTimeRuleOffset, kStartTimeRule, kRuleWidth) != 0) return false;
    const int first = MomentOf(from).day;
    const int found = FirstDay(rules, first, LastDayFrom(first));
    if (found == kNoDay) return false;
    *day = TimeOf(Moment{found, 0});
    return true;
}

NextAlarm NextAlarmOf(const StringList& schedule, const SYSTEMTIME& from) {
    const Moment start = MomentOf(from);
    int last = LastDayFrom(start.day);
    NextAlarm next;
    Moment best{};
    for (int i = 0; i < schedule.count(); ++i) {
        const wchar_t* rules = RulesOf(schedule.at(i));
        Moment found;
        // Nothing later than the best so far can win: search no further.
        if (!rules || !FirstDue(rules, start, last, &found)) continue;
        if (next.index >= 0 && (found.day > best.day || (found.day == best.day && found.second >= best.second)))
            continue;
        next.index = i;
        best = found;
        last = found.day;
    }
    if (next.index >= 0) next.due = TimeOf(best);
    return next;
}

WString DueText(const SYSTEMTIME& due, bool withTime) {
    wchar_t text[32];
    const wchar_t weekday = kWeekdayNames[due.wDayOfWeek % 7];
    if (withTime)
        wsprintfW(text, L"%04d/%02d/%02d(%c) %02d:%02d:%02d", due.wYear, due.wMonth, due.wDay, weekday, due.wHour,
                  due.wMinute, due.wSecond);
    else
        wsprintfW(text, L"%04d/%02d/%02d(%c)", due.wYear, due.wMonth, due.wDay, weekday);
    return WString(text);
}

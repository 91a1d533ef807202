// What the fields of a schedule line mean: the nine actions, and the date
// rule and the time rule as small structures, each with one parse, one
// compose and one check. ZAV's dispatch and watch pass, the editor, the timer
// and the list all take the words and places from here; the columns of the
// line are ScheduleRecord's.
#pragma once

#include <windows.h>

#include "common/WString.h"
#include "schedule/ScheduleRecord.h"

// ---- Actions ----

// The nine actions, in the order of the editor's radio buttons 1251 ... 1259.
enum ActionIndex { kActMsg, kActMplay, kActNotice, kActBlink, kActScreen, kAct3DText, kActKabe, kActShell, kActExit };
constexpr int kActionCount = 9;
constexpr int kNoAction = -1;
// As the line holds them, blank-padded to six units: "Msg   " ... "Exit  ".
extern const wchar_t* const kActionWords[kActionCount];

// The action whose word begins actionText (the line from column 20), or
// kNoAction: "zzzzzz", a retired word, anything else.
int ActionOf(const WString& actionText);

// True for the action words Ver.2.00 retired ("Dengon", "Reboot", "Stop  ")
// in columns 20-25.
bool IsRetiredAction(const WString& record);

// ---- Words and places of the rules ----

extern const wchar_t kEveryDayRule[];  // "EveryDay"
extern const wchar_t kEveryWord[];     // "every", then NN and "m" or "s"
constexpr int kOrdinalCount = 6;
constexpr int kLastOrdinal = 5;
extern const wchar_t* const kOrdinalWords[kOrdinalCount];  // "1st " ... "5th ", "last"
// Indexed by the day of the week, 0 = Sunday, as SYSTEMTIME numbers it.
extern const wchar_t* const kWeekdayWords[7];  // "su" ... "sa"
extern const wchar_t kWeekdayLetters[];        // "SMTWTFS": a chosen day of the mask
constexpr wchar_t kNoDayMark = L'_';           // a day the mask leaves out
constexpr wchar_t kAnyMark = L'*';             // "**": any value of a two-digit place
constexpr wchar_t kMonthEndMark = L'E';
constexpr wchar_t kDateSeparator = L'/';
constexpr wchar_t kOffsetMark = L'-';
constexpr wchar_t kMinutesUnit = L'm';
constexpr wchar_t kSecondsUnit = L's';

// Places in the date rule: yy/mm/dd, yy/mmE-n; "3rd we-2".
constexpr int kYearPlace = 0;
constexpr int kSeparatorPlace = 2;  // '/' of the date forms
constexpr int kMonthPlace = 3;
constexpr int kMonthEndPlace = 5;  // 'E'
constexpr int kDayPlace = 6;
constexpr int kOffsetPlace = 7;      // n of "E-n" and of the Nth weekday's "-n"
constexpr int kOrdinalEndPlace = 3;  // ' ' of "1st " ... "5th ", 't' of "last"
constexpr int kNthWeekdayPlace = 4;
// Places in the time rule: hh:mm:ss, everyNNm.
constexpr int kHourPlace = 0;
constexpr int kMinutePlace = 3;
constexpr int kSecondPlace = 6;
constexpr int kIntervalPlace = 5;
constexpr int kIntervalUnitPlace = 7;
// Where the time rule starts in the rule text (columns 2-18).
constexpr int kTimeRuleOffset = kTimeRuleColumn - kDateRuleColumn;

// The intervals the editor offers for everyNNm and everyNNs.
constexpr int kIntervalCount = 11;
extern const int kIntervals[kIntervalCount];  // 1, 2, 3, 4, 5, 6, 10, 12, 15, 20, 30

// ---- Numbers ----

// "**" in a two-digit place.
constexpr int kAnyValue = -1;
// A number field whose text is no number: outside every field's range.
constexpr int kNoNumber = -2;

// The text with each full-width digit ("１２", what a Japanese IME types by
// default; U+FF10 ... U+FF19) as its ASCII digit, and nothing else changed:
// every number field of ZAVSet is read through it, so that the number is
// the same and the files get ASCII.
WString AsciiDigits(const WString& text);

// A number typed into one of the editor's fields: one to maxDigits ASCII
// digits and nothing else (no blank, no sign), else kNoNumber. Written into
// the line, anything else would shift its fixed columns.
int NumberOf(const WString& text, int maxDigits);

// For the full four-digit year (Gregorian leap years).
int DaysInMonth(int year, int month);

// The weekday (0 Sunday) of the day a date rule names with its two-digit
// year (0-99), or -1 when there is no such day (30 February, month 13). The
// watch pass compares only the two digits with this year's, so the rule
// means the year of the current century.
int WeekdayOf(int year, int month, int day, int currentYear);

// ---- The rules ----

// In the order of the editor's method buttons 1201 ... 1204.
enum class DateKind { Weekdays, Date, NthWeekday, EveryDay };

struct DateRule {
    DateKind kind = DateKind::Weekdays;
    bool days[7] = {};  // Weekdays: Sunday ... Saturday chosen
    // Date: two-digit year 0-99, month 1-12, day 1-31, each may be kAnyValue.
    int year = 0;
    int month = 1;
    int day = 1;
    bool fromMonthEnd = false;  // Date: "E", the day counted back from the month's last one
    int daysBefore = 0;         // the n of "E-n" and of NthWeekday's "-n": 0-9, 0 for none
    int ordinal = 0;            // NthWeekday: 0-4 first to fifth, kLastOrdinal
    int weekday = 0;            // NthWeekday: 0 Sunday
};

enum class TimeKind { Clock, Start, Every };

struct TimeRule {
    TimeKind kind = TimeKind::Clock;
    int hour = 0;            // 0-23 or kAnyValue
    int minute = 0;          // 0-59 or kAnyValue
    int second = 0;          // 0-59
    int interval = 1;        // Every: one of kIntervals
    bool inSeconds = false;  // Every: "s" (every NN seconds), else minutes
};

struct ScheduleLine {
    wchar_t holdFlag = kHoldNone;
    DateRule date;
    TimeRule time;
    int action = kActMsg;  // kNoAction for a word none of the nine
    WString parameter;
};

// The editor's new schedule at now: no weekday chosen, now's time of day,
// Msg without a parameter; every other field at today's value, which is
// what a field a line does not give keeps.
ScheduleLine NewScheduleLine(const SYSTEMTIME& now);

// A rule as the editor reads it, beginning at its first place (places past
// the text read as NUL). The form decides which fields are read; a field
// whose places are not ASCII digits in its range (and not "**" where that
// is allowed) keeps its value from defaults, as does every field of the
// other forms. Past the forms' tests, anything is a weekday mask.
DateRule ParseDateRule(const WString& rule, const DateRule& defaults);
TimeRule ParseTimeRule(const WString& rule, const TimeRule& defaults);
// A whole line: the rules from their columns, the first of the nine words
// at column 20, the parameter from column 27.
ScheduleLine ParseScheduleLine(const WString& line, const ScheduleLine& defaults);

// Eight units each, for rules that passed their checks.
WString ComposeDateRule(const DateRule& rule);
WString ComposeTimeRule(const TimeRule& rule);
// Every fixed column present (ComposeRecord).
WString ComposeScheduleLine(const ScheduleLine& line);

// ---- Refusals ----

// The field a refusal names; each dialog puts the focus on its control.
enum class LineField { None, Weekdays, Year, Month, Day, Interval, Hour, Minute, Second, Action, Parameter, AtStart };

struct Refusal {
    LineField field = LineField::None;
    const wchar_t* message = nullptr;  // the box's text; null: accepted
    bool refused() const { return message != nullptr; }
};

// The first rule the input breaks, in the order the editor checks them.
// currentYear: the four-digit year now, for the century of a two-digit year.
Refusal CheckDateRule(const DateRule& rule, int currentYear);
Refusal CheckTimeRule(const TimeRule& rule);

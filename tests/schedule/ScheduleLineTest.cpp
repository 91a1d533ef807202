// The meaning of a schedule line: every form of the rules read and composed
// again unchanged, what reading keeps of a line off the format, the numbers
// of the editor's fields, each refusal, and generated malformed lines, all
// against the watch pass's reading where it applies.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "schedule/ActionParameters.h"
#include "schedule/ScheduleLine.h"
#include "schedule/WatchPass.h"
#include "tests/common/TestSupport.h"

namespace {

// Monday 15 June 2026, 10:20:30: the editor's defaults in these tables.
const SYSTEMTIME kMonday2026 = {2026, 6, 1, 15, 10, 20, 30, 0};

ScheduleLine Read(const WString& line) {
    const ScheduleLine defaults = NewScheduleLine(kMonday2026);
    return line.empty() ? defaults : ParseScheduleLine(line, defaults);
}

// The first refusal of the editor's check, in its order; the rules only.
Refusal CheckRules(const ScheduleLine& line, int currentYear = 2026) {
    Refusal refusal = CheckDateRule(line.date, currentYear);
    return refusal.refused() ? refusal : CheckTimeRule(line.time);
}

// ---- Every form, read and composed unchanged ----

const wchar_t* const kRoundTrips[] = {
    L"  _M_W_F_  22:15:00 Msg    会議",
    L"  SMTWTFS  07:00:00 Msg    おはよう",
    L"  S_____S  00:00:59 Shell  \"C:\\a b.exe\" /x",
    L"! 23/02E-3 12:00:00 Msg    月末の三日前",
    L"  23/02E   12:00:00 Msg    月末",
    L"  **/**E-9 08:30:00 Msg    x",
    L"  **/**/15 **:30:00 Msg    毎月15日",
    L"  26/12/24 08:**:05 Notice 通知",
    L"  **/02/29 23:59:59 Blink  閏日",
    L"  05/**/** 01:02:03 Msg    x",
    L"  lastwe-2 09:00:00 Msg    x",
    L"  lastsu   09:00:00 Msg    x",
    L"  1st mo   09:00:00 Msg    x",
    L"  2nd tu-1 09:00:00 Msg    x",
    L"  3rd sa-9 09:00:00 Msg    x",
    L"  5th fr   09:00:00 Msg    x",
    L"  EveryDay every15m Msg    x",
    L"  EveryDay every05s Msg    x",
    L"  EveryDay every30m Msg    x",
    L"  EveryDay Start    Msg    起動",
    L"# EveryDay **:**:00 Shell  notepad.exe",
    L"X _M_____  07:00:00 3DText hi",
    L"  _____F_  every01s Kabe   (なし)",
    L"  EveryDay 12:00:00 Screen (なし)",
    L"  EveryDay 06:30:00 Mplay  Vol:50% C:\\a.wav",
    L"! 26/12/31 23:00:00 Exit   通常の終了",
};

TEST(ScheduleLine, EachFormReadAndComposedUnchanged) {
    for (const wchar_t* text : kRoundTrips) {
        const ScheduleLine line = Read(text);
        EXPECT_FALSE(CheckRules(line).refused()) << Narrow(text);
        EXPECT_FALSE(CheckActionParameter(line.action, line.parameter, line.time.kind == TimeKind::Start).refused())
            << Narrow(text);
        EXPECT_EQ(Narrow(text), Narrow(ComposeScheduleLine(line)));
    }
}

// ---- Reading takes ASCII digits in range only ----

// Places that are no number in their field's range keep the default of the
// clock (15 June 2026, a Monday, 10:20:30): a "1x" month is no January, a
// 99th hour no hour past 23, an unknown interval or weekday no empty field.
TEST(ScheduleLine, ReadingTakesOnlyAsciiDigitsInRange) {
    const wchar_t* const rows[][2] = {
        {L"  EveryDay 99:7x:31 Msg    x", L"  EveryDay 10:20:31 Msg    x"},
        {L"  EveryDay １２:-1:+5 Msg    x", L"  EveryDay 10:20:30 Msg    x"},
        {L"  26/1x/05 12:00:00 Msg    x", L"  26/06/05 12:00:00 Msg    x"},
        {L"  ab/13/00 12:00:00 Msg    x", L"  26/06/15 12:00:00 Msg    x"},
        {L"  26/02E-x 12:00:00 Msg    x", L"  26/02E   12:00:00 Msg    x"},
        {L"  EveryDay every07m Msg    x", L"  EveryDay every01m Msg    x"},
        {L"  2nd xx-x 09:00:00 Msg    x", L"  2nd mo   09:00:00 Msg    x"},
    };
    for (const auto& row : rows) {
        const ScheduleLine line = Read(row[0]);
        EXPECT_FALSE(CheckRules(line).refused()) << Narrow(row[0]);
        EXPECT_EQ(Narrow(row[1]), Narrow(ComposeScheduleLine(line))) << Narrow(row[0]);
    }
}

// ---- The editor's number fields ----

TEST(ScheduleLine, NumberOfATypedField) {
    struct Row {
        const wchar_t* text;
        int digits;
        int value;
    };
    const Row rows[] = {
        {L"7", 2, 7},           {L"07", 2, 7},          {L"23", 2, 23},
        {L"99", 2, 99},         {L"0", 1, 0},           {L"9", 1, 9},
        {L"", 2, kNoNumber},    {L" 5", 2, kNoNumber},  {L"7 ", 2, kNoNumber},
        {L"+5", 2, kNoNumber},  {L"-1", 2, kNoNumber},  {L"-0", 2, kNoNumber},
        {L"007", 2, kNoNumber}, {L"123", 2, kNoNumber}, {L"10", 1, kNoNumber},
        {L"09", 1, kNoNumber},  {L"９", 2, kNoNumber},  {L"１２", 2, kNoNumber},
        {L"1x", 2, kNoNumber},  {L"**", 2, kNoNumber},
    };
    for (const Row& row : rows) EXPECT_EQ(row.value, NumberOf(row.text, row.digits)) << Narrow(row.text);
}

// Only the ten full-width digits change: not the full-width minus, "／",
// "ｘ" or the code point after "９".
TEST(ScheduleLine, AsciiDigitsTurnsFullWidthDigitsOnly) {
    EXPECT_EQ(Narrow(L"0123456789 12 －5 1／2ｘ \xFF1A"),
              Narrow(AsciiDigits(L"０１２３４５６７８９ 1２ －５ １／２ｘ \xFF1A").text()));
    EXPECT_EQ("", Narrow(AsciiDigits(L"").text()));
}

// 1 January 2060 is a Thursday, 2160 a Tuesday; 29 February exists in 2000
// and not in 2100.
TEST(ScheduleLine, WeekdayOfATwoDigitYearInTheCurrentCentury) {
    struct Row {
        int year, month, day, currentYear;
        int weekday;
    };
    const Row rows[] = {
        {60, 1, 1, 2026, 4},   {60, 1, 1, 2126, 2},  {0, 2, 29, 2026, 2},   {0, 2, 29, 2126, -1},
        {26, 6, 15, 2026, 1},  {26, 2, 28, 2026, 6}, {26, 2, 29, 2026, -1}, {26, 4, 31, 2026, -1},
        {26, 13, 1, 2026, -1}, {26, 0, 1, 2026, -1}, {26, 1, 0, 2026, -1},  {kNoNumber, 1, 1, 2026, -1},
    };
    for (const Row& r : rows)
        EXPECT_EQ(r.weekday, WeekdayOf(r.year, r.month, r.day, r.currentYear))
            << r.year << "/" << r.month << "/" << r.day << " in " << r.currentYear;
}

// ---- Refusals ----

// Sets one field as the editor reads it from its control: the day's field
// holds the days before the month's end while "E" is chosen.
void SetField(ScheduleLine& line, LineField field, int value) {
    switch (field) {
    case LineField::Year: line.date.year = value; break;
    case LineField::Month: line.date.month = value; break;
    case LineField::Day: (line.date.fromMonthEnd ? line.date.daysBefore : line.date.day) = value; break;
    case LineField::Interval: line.time.interval = value; break;
    case LineField::Hour: line.time.hour = value; break;
    case LineField::Minute: line.time.minute = value; break;
    case LineField::Second: line.time.second = value; break;
    default: break;
    }
}

TEST(ScheduleLine, EachRuleRefusalNamesItsField) {
    struct Row {
        const wchar_t* line;  // empty: a new schedule
        LineField set;        // None: the line as read
        int value;
        int currentYear;
        LineField field;  // None: accepted
        const wchar_t* message;
    };
    // kNoNumber stands for each text NumberOf refuses ("", " 5", "-1", "１２",
    // "+5", "123"; "10" where one digit is allowed).
    // clang-format off
    const Row rows[] = {
        {L"", LineField::None, 0, 2026, LineField::Weekdays, L"曜日を入力して下さい"},
        {L"  26/02/30 12:00:00 Msg    x", LineField::None, 0, 2026, LineField::Day, L"正しい年月日を入力して下さい"},
        {L"  25/02/29 12:00:00 Msg    x", LineField::None, 0, 2026, LineField::Day, L"正しい年月日を入力して下さい"},
        {L"  00/02/29 12:00:00 Msg    x", LineField::None, 0, 2126, LineField::Day, L"正しい年月日を入力して下さい"},
        {L"  00/02/29 12:00:00 Msg    x", LineField::None, 0, 2026, LineField::None, nullptr},
        {L"  **/02/30 12:00:00 Msg    x", LineField::None, 0, 2026, LineField::None, nullptr},
        {L"  26/04/01 12:00:00 Msg    x", LineField::Year, kNoNumber, 2026, LineField::Year, L"正しい年を入力して下さい"},
        {L"  26/04/01 12:00:00 Msg    x", LineField::Month, 13, 2026, LineField::Month, L"正しい月を入力して下さい"},
        {L"  26/04/01 12:00:00 Msg    x", LineField::Month, 0, 2026, LineField::Month, L"正しい月を入力して下さい"},
        {L"  26/04/01 12:00:00 Msg    x", LineField::Day, 32, 2026, LineField::Day, L"正しい日を入力して下さい"},
        {L"  26/04/01 12:00:00 Msg    x", LineField::Day, kNoNumber, 2026, LineField::Day, L"正しい日を入力して下さい"},
        {L"  26/04E-1 12:00:00 Msg    x", LineField::Day, kNoNumber, 2026, LineField::Day, L"正しい日数を入力して下さい"},
        {L"  26/04E-1 12:00:00 Msg    x", LineField::Day, 0, 2026, LineField::None, nullptr},
        // The first broken field is named: the year before the month.
        {L"  26/13/01 12:00:00 Msg    x", LineField::Year, kNoNumber, 2026, LineField::Year, L"正しい年を入力して下さい"},
        {L"  EveryDay 12:00:00 Msg    x", LineField::Hour, 24, 2026, LineField::Hour, L"正しい時を入力して下さい"},
        {L"  EveryDay 12:00:00 Msg    x", LineField::Hour, kNoNumber, 2026, LineField::Hour, L"正しい時を入力して下さい"},
        {L"  EveryDay 12:00:00 Msg    x", LineField::Minute, 60, 2026, LineField::Minute, L"正しい分を入力して下さい"},
        {L"  EveryDay 12:00:00 Msg    x", LineField::Second, kNoNumber, 2026, LineField::Second, L"正しい秒を入力して下さい"},
        {L"  EveryDay **:**:00 Msg    x", LineField::Second, 60, 2026, LineField::Second, L"正しい秒を入力して下さい"},
        {L"  EveryDay every15m Msg    x", LineField::Interval, 0, 2026, LineField::Interval, L"ｎ分毎を指定してください"},
        {L"  EveryDay every15m Msg    x", LineField::Interval, 7, 2026, LineField::Interval, L"ｎ分毎を指定してください"},
        // A date refusal comes before a time refusal.
        {L"  _______  12:00:00 Msg    x", LineField::Hour, 24, 2026, LineField::Weekdays, L"曜日を入力して下さい"},
        {L"  lastwe-2 Start    Msg    x", LineField::Hour, 24, 2026, LineField::None, nullptr},
    };
    // clang-format on
    for (const Row& row : rows) {
        ScheduleLine line = Read(row.line);
        SetField(line, row.set, row.value);
        const Refusal refusal = CheckRules(line, row.currentYear);
        EXPECT_EQ(static_cast<int>(row.field), static_cast<int>(refusal.field)) << Narrow(row.line);
        EXPECT_EQ(Narrow(row.message), Narrow(refusal.message)) << Narrow(row.line);
    }
}

// ---- Generated malformed lines ----

bool IsTwoDigits(const WString& s, int at) {
    return s.at(at) >= L'0' && s.at(at) <= L'9' && s.at(at + 1) >= L'0' && s.at(at + 1) <= L'9';
}
bool IsPlace(const WString& s, int at) {
    return IsTwoDigits(s, at) || (s.at(at) == L'*' && s.at(at + 1) == L'*');
}

// Whether a date rule has one of the forms the watch pass reads.
bool WellFormedDate(const WString& date) {
    if (date == L"EveryDay") return true;
    if (date.at(2) == L'/') {
        if (!IsPlace(date, 0) || !IsPlace(date, 3)) return false;
        if (date.at(5) == L'E')
            return date.Mid(6, 7) == L"  " || (date.at(6) == L'-' && date.at(7) >= L'1' && date.at(7) <= L'9');
        return date.at(5) == L'/' && IsPlace(date, 6);
    }
    for (const wchar_t* ordinal : {L"1st ", L"2nd ", L"3rd ", L"4th ", L"5th ", L"last"})
        if (date.Left(4) == ordinal) {
            bool weekday = false;
            for (const wchar_t* name : {L"su", L"mo", L"tu", L"we", L"th", L"fr", L"sa"})
                weekday = weekday || date.Mid(4, 5) == name;
            return weekday &&
                   (date.Mid(6, 7) == L"  " || (date.at(6) == L'-' && date.at(7) >= L'1' && date.at(7) <= L'9'));
        }
    const wchar_t letters[] = L"SMTWTFS";
    for (int i = 0; i < 7; ++i)
        if (date.at(i) != L'_' && date.at(i) != letters[i]) return false;
    return date.Mid(7, 7) == L" ";
}

bool WellFormedTime(const WString& time) {
    if (time == L"Start   ") return true;
    if (time.Left(5) == L"every") return IsTwoDigits(time, 5) && (time.at(7) == L'm' || time.at(7) == L's');
    return IsPlace(time, 0) && time.at(2) == L':' && IsPlace(time, 3) && time.at(5) == L':' && IsTwoDigits(time, 6);
}

// Noise in the separators and rules of the table's lines: the editor either
// refuses the line or composes one the watch pass reads, which reads back
// to itself.
TEST(ScheduleLine, MalformedLinesAreRefusedOrComposedWellFormed) {
    std::mt19937 random(1234);
    const wchar_t noise[] = L"0123456789*/ E-tx_SMTWFas９";
    const int noiseCount = static_cast<int>(wcslen(noise));
    const int lineCount = 2000;
    int composed = 0;
    for (int n = 0; n < lineCount; ++n) {
        WString line(kRoundTrips[n % (sizeof kRoundTrips / sizeof kRoundTrips[0])]);
        // Columns 1 ... 19: the separators, the date rule and the time rule.
        for (int k = 1 + static_cast<int>(random() % 4); k > 0; --k)
            line.SetAt(1 + static_cast<int>(random() % 19), noise[random() % noiseCount]);
        const ScheduleLine read = Read(line);
        if (CheckRules(read).refused()) continue;
        ++composed;
        const WString out = ComposeScheduleLine(read);
        SCOPED_TRACE(Narrow(line) + " -> " + Narrow(out));
        EXPECT_EQ(line.at(0), HoldFlagOf(out));
        EXPECT_EQ(L' ', out.at(1));
        EXPECT_EQ(L' ', out.at(10));
        EXPECT_EQ(L' ', out.at(19));
        EXPECT_EQ(L' ', out.at(26));
        EXPECT_TRUE(WellFormedDate(DateRuleOf(out))) << Narrow(DateRuleOf(out));
        EXPECT_TRUE(WellFormedTime(TimeRuleOf(out))) << Narrow(TimeRuleOf(out));
        EXPECT_EQ(ActionTextOf(line), ActionTextOf(out));
        // The watch pass reads it: a rule of a fully given date and time
        // comes due at that moment.
        WString rule = RuleTextOf(out);
        if (IsTwoDigits(rule, 0) && rule.at(2) == L'/' && IsTwoDigits(rule, 3) && rule.at(5) == L'/' &&
            IsTwoDigits(rule, 6) && IsTwoDigits(rule, 9) && IsTwoDigits(rule, 12)) {
            SYSTEMTIME at{static_cast<WORD>(2000 + rule.Left(2).ToInt(0)),
                          static_cast<WORD>(rule.Mid(3, 4).ToInt(0)),
                          0,
                          static_cast<WORD>(rule.Mid(6, 7).ToInt(0)),
                          static_cast<WORD>(rule.Mid(9, 10).ToInt(0)),
                          static_cast<WORD>(rule.Mid(12, 13).ToInt(0)),
                          static_cast<WORD>(rule.Mid(15, 16).ToInt(0)),
                          0};
            EXPECT_TRUE(IsDue(rule, rule, at, false));
        }
        // Composed once, the line is its own fixed point.
        EXPECT_EQ(Narrow(out), Narrow(ComposeScheduleLine(Read(out))));
    }
    // Reading keeps a field whose places are no number at its default, so
    // nearly every line comes out whole; the impossible dates are refused.
    EXPECT_GT(composed, lineCount * 3 / 4);
}

}  // namespace

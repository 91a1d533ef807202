#include <gtest/gtest.h>

#include <functional>

#include "schedule/ScheduleLine.h"
#include "schedule/WatchPass.h"
#include "tests/common/TestSupport.h"
#include "tests/schedule/ScheduleTestSupport.h"

namespace {

// Columns 2-18 of a record: date rule, blank, time rule, each padded to 8.
WString Rule(const wchar_t* date, const wchar_t* time) {
    std::wstring text = date;
    text.resize(8, L' ');
    text += L' ';
    text += time;
    text.resize(17, L' ');
    return WString(text.c_str());
}

bool Due(const WString& rule, const SYSTEMTIME& time, bool start = false) {
    return IsDue(rule, NowText(time), time, start);
}

// The last day of the month, found from the calendar rather than from DaysInMonth.
int LastDayOf(int year, int month) {
    const SYSTEMTIME next = month == 12 ? MakeTime(year + 1, 1, 1) : MakeTime(year, month + 1, 1);
    return AddSeconds(next, -86400).wDay;
}

// One day of the sweeps at 12:00:00, with what the calendar says about it and
// about the days up to nine days later.
struct Day {
    SYSTEMTIME time;
    WString now;
    int lastDay;
    SYSTEMTIME ahead[10];
    int aheadLastDay[10];
};

const std::vector<Day>& SweepDays() {
    static std::vector<Day> days;
    if (!days.empty()) return days;
    for (int year : {1900, 2000, 2023, 2024, 2100}) {
        for (SYSTEMTIME t = MakeTime(year, 1, 1, 12); t.wYear == year; t = AddSeconds(t, 86400)) {
            Day day;
            day.time = t;
            day.now = NowText(t);
            day.lastDay = LastDayOf(t.wYear, t.wMonth);
            for (int n = 0; n < 10; ++n) {
                day.ahead[n] = AddSeconds(t, 86400LL * n);
                day.aheadLastDay[n] = LastDayOf(day.ahead[n].wYear, day.ahead[n].wMonth);
            }
            days.push_back(day);
        }
    }
    return days;
}

TEST(DaysInMonth, MonthLengthsAcrossCenturies) {
    struct Case {
        int year;
        int month;
        int days;
    };
    const Case cases[] = {
        {1900, 2, 28}, {2000, 2, 29}, {2024, 2, 29}, {2100, 2, 28},  {2023, 2, 28},  {1600, 2, 29},
        {2400, 2, 29}, {2200, 2, 28}, {2023, 1, 31}, {2023, 3, 31},  {2023, 4, 30},  {2023, 6, 30},
        {2023, 7, 31}, {2023, 8, 31}, {2023, 9, 30}, {2023, 11, 30}, {2023, 12, 31}, {2023, 10, 31},
    };
    for (const Case& c : cases) EXPECT_EQ(c.days, DaysInMonth(c.year, c.month)) << c.year << "-" << c.month;
}

TEST(DaysInMonth, AgreesWithTheCalendarForEveryMonthOfFourCenturies) {
    for (int year = 1700; year <= 2400; year += 1) {
        for (int month = 1; month <= 12; ++month)
            ASSERT_EQ(LastDayOf(year, month), DaysInMonth(year, month)) << year << "-" << month;
    }
}

struct DueCase {
    const wchar_t* date;
    const wchar_t* time;
    SYSTEMTIME now;
    bool start;
    bool due;
};

TEST(IsDue, EdgeCasesOfTheRuleForms) {
    const DueCase cases[] = {
        // every full hour / every minute at :30 / every minute of hour 08
        {L"EveryDay", L"**:00:00", MakeTime(2024, 3, 5, 13, 0, 0), false, true},
        {L"EveryDay", L"**:00:00", MakeTime(2024, 3, 5, 13, 0, 1), false, false},
        {L"EveryDay", L"**:00:00", MakeTime(2024, 3, 5, 13, 30, 0), false, false},
        {L"EveryDay", L"**:**:30", MakeTime(2024, 3, 5, 13, 7, 30), false, true},
        {L"EveryDay", L"**:**:30", MakeTime(2024, 3, 5, 13, 7, 31), false, false},
        {L"EveryDay", L"08:**:00", MakeTime(2024, 3, 5, 8, 0, 0), false, true},
        {L"EveryDay", L"08:**:00", MakeTime(2024, 3, 5, 8, 59, 0), false, true},
        {L"EveryDay", L"08:**:00", MakeTime(2024, 3, 5, 9, 0, 0), false, false},
        {L"EveryDay", L"08:**:00", MakeTime(2024, 3, 5, 7, 59, 0), false, false},
        // end of month, with and without an offset
        {L"23/02E-3", L"12:00:00", MakeTime(2023, 2, 25, 12), false, true},
        {L"23/02E-3", L"12:00:00", MakeTime(2023, 2, 24, 12), false, false},
        {L"23/02E-3", L"12:00:00", MakeTime(2023, 2, 28, 12), false, false},
        {L"23/02E-3", L"12:00:00", MakeTime(2024, 2, 25, 12), false, false},
        {L"24/02E-3", L"12:00:00", MakeTime(2024, 2, 26, 12), false, true},
        {L"24/02E-3", L"12:00:00", MakeTime(2024, 2, 25, 12), false, false},
        {L"**/**E  ", L"12:00:00", MakeTime(2023, 1, 31, 12), false, true},
        {L"**/**E  ", L"12:00:00", MakeTime(2023, 2, 28, 12), false, true},
        {L"**/**E  ", L"12:00:00", MakeTime(2024, 2, 28, 12), false, false},
        {L"**/**E  ", L"12:00:00", MakeTime(2024, 2, 29, 12), false, true},
        {L"**/**E  ", L"12:00:00", MakeTime(2023, 4, 30, 12), false, true},
        {L"**/02E  ", L"12:00:00", MakeTime(1900, 2, 28, 12), false, true},
        {L"**/02E  ", L"12:00:00", MakeTime(2100, 2, 28, 12), false, true},
        {L"**/02E  ", L"12:00:00", MakeTime(2000, 2, 28, 12), false, false},
        {L"**/02E  ", L"12:00:00", MakeTime(2000, 2, 29, 12), false, true},
        {L"00/02/29", L"12:00:00", MakeTime(2000, 2, 29, 12), false, true},
        {L"00/02/29", L"12:00:00", MakeTime(2100, 3, 1, 12), false, false},
        // one star and one digit is a literal that never equals a date
        {L"2*/02/05", L"12:00:00", MakeTime(2023, 2, 5, 12), false, false},
        {L"23/0*/05", L"12:00:00", MakeTime(2023, 2, 5, 12), false, false},
        {L"23/02/05", L"12:00:00", MakeTime(2023, 2, 5, 12), false, true},
        {L"23/02/05", L"12:00:00", MakeTime(2123, 2, 5, 12), false, true},  // two-digit year
        // Nth weekday: the last Wednesday of May 2023 is the 31st
        {L"lastwe-2", L"12:00:00", MakeTime(2023, 5, 29, 12), false, true},
        {L"lastwe-2", L"12:00:00", MakeTime(2023, 5, 22, 12), false, false},
        {L"lastwe  ", L"12:00:00", MakeTime(2023, 5, 31, 12), false, true},
        // 1 May 2023 is a Monday: 1st mo-1 is 30 April
        {L"1st mo-1", L"12:00:00", MakeTime(2023, 4, 30, 12), false, true},
        {L"1st mo-1", L"12:00:00", MakeTime(2023, 5, 1, 12), false, false},
        {L"1st mo  ", L"12:00:00", MakeTime(2023, 5, 1, 12), false, true},
        {L"3rd we-2", L"12:00:00", MakeTime(2023, 5, 15, 12), false, true},  // 3rd Wednesday: 17th
        // five Fridays: March 2023 has them, April 2023 not
        {L"5th fr  ", L"12:00:00", MakeTime(2023, 3, 31, 12), false, true},
        {L"5th fr  ", L"12:00:00", MakeTime(2023, 4, 28, 12), false, false},
        {L"lastfr  ", L"12:00:00", MakeTime(2023, 4, 28, 12), false, true},
        // weekday mask
        {L"_M_W_F_ ", L"07:00:00", MakeTime(2023, 5, 1, 7), false, true},   // Monday
        {L"_M_W_F_ ", L"07:00:00", MakeTime(2023, 5, 2, 7), false, false},  // Tuesday
        {L"_M_W_F_ ", L"07:00:00", MakeTime(2023, 5, 3, 7), false, true},   // Wednesday
        {L"_M_W_F_ ", L"07:00:00", MakeTime(2023, 5, 5, 7), false, true},   // Friday
        {L"_M_W_F_ ", L"07:00:00", MakeTime(2023, 5, 6, 7), false, false},  // Saturday
        {L"_M_W_F_ ", L"07:00:00", MakeTime(2023, 5, 1, 7, 0, 1), false, false},
        // an unexpected character in today's place still selects the day
        {L"_M?W_F_ ", L"07:00:00", MakeTime(2023, 5, 2, 7), false, true},
        // every NN minutes / seconds
        {L"EveryDay", L"every15m", MakeTime(2023, 5, 1, 9, 45, 0), false, true},
        {L"EveryDay", L"every15m", MakeTime(2023, 5, 1, 9, 45, 1), false, false},
        {L"EveryDay", L"every15m", MakeTime(2023, 5, 1, 9, 50, 0), false, false},
        {L"EveryDay", L"every10s", MakeTime(2023, 5, 1, 9, 50, 40), false, true},
        {L"EveryDay", L"every10s", MakeTime(2023, 5, 1, 9, 50, 45), false, false},
        // start-up pass
        {L"EveryDay", L"Start   ", MakeTime(2023, 5, 1, 9), true, true},
        {L"EveryDay", L"Start   ", MakeTime(2023, 5, 1, 9), false, false},
        {L"23/02/05", L"Start   ", MakeTime(2023, 2, 5, 9), true, true},
        {L"23/02/05", L"Start   ", MakeTime(2023, 2, 6, 9), true, false},
        {L"EveryDay", L"09:00:00", MakeTime(2023, 5, 1, 9), true, false},
        {L"EveryDay", L"every01s", MakeTime(2023, 5, 1, 9), true, false},
        {L"EveryDay", L"Start", MakeTime(2023, 5, 1, 9), true, true},  // padded by Rule()
        {L"EveryDay", L"Start  x", MakeTime(2023, 5, 1, 9), true, false},
        // malformed every rules never come due
        {L"EveryDay", L"every00m", MakeTime(2023, 5, 1, 9, 0, 0), false, false},
        {L"EveryDay", L"every00s", MakeTime(2023, 5, 1, 9, 0, 0), false, false},
        {L"EveryDay", L"everyx5m", MakeTime(2023, 5, 1, 9, 0, 0), false, false},
        {L"EveryDay", L"every1 s", MakeTime(2023, 5, 1, 9, 0, 0), false, false},
        {L"EveryDay", L"every15h", MakeTime(2023, 5, 1, 9, 0, 0), false, false},
        // malformed offsets never come due
        {L"**/**E-x", L"12:00:00", MakeTime(2023, 1, 17, 12), false, false},
        {L"**/**E-!", L"12:00:00", MakeTime(2023, 1, 31, 12), false, false},
        {L"1st mo-!", L"12:00:00", MakeTime(2023, 5, 1, 12), false, false},
        {L"lastwe-x", L"12:00:00", MakeTime(2023, 5, 31, 12), false, false},
    };
    for (const DueCase& c : cases) {
        const WString rule = Rule(c.date, c.time);
        EXPECT_EQ(c.due, Due(rule, c.now, c.start))
            << "rule \"" << Narrow(rule) << "\" at " << Describe(c.now) << (c.start ? " start-up" : " timer");
    }
}

TEST(IsDue, ShortTextsAndOutOfRangeWeekdaysAreNeverDue) {
    const SYSTEMTIME now = MakeTime(2023, 5, 1, 9);
    EXPECT_FALSE(IsDue(WString(L"EveryDay 09:00:0"), NowText(now), now, false));
    EXPECT_FALSE(IsDue(WString(L""), NowText(now), now, false));
    EXPECT_FALSE(IsDue(Rule(L"EveryDay", L"09:00:00"), WString(L"23/05/01 09:00"), now, false));
    EXPECT_TRUE(IsDue(Rule(L"EveryDay", L"09:00:00"), NowText(now), now, false));
    SYSTEMTIME odd = now;
    odd.wDayOfWeek = 9;
    EXPECT_FALSE(IsDue(Rule(L"SMTWTFS ", L"09:00:00"), NowText(odd), odd, false));
}

// Date rules against every day of 1900, 2000, 2023, 2024 and 2100, each
// checked against what the rule means on the calendar.
struct DateSweep {
    const wchar_t* date;
    std::function<bool(const SYSTEMTIME&, int lastDay)> meaning;
};

TEST(IsDue, DateFormsOverWholeYears) {
    const DateSweep sweeps[] = {
        {L"EveryDay", [](const SYSTEMTIME&, int) { return true; }},
        {L"**/**/01", [](const SYSTEMTIME& t, int) { return t.wDay == 1; }},
        {L"**/02/29", [](const SYSTEMTIME& t, int) { return t.wMonth == 2 && t.wDay == 29; }},
        {L"00/**/**", [](const SYSTEMTIME& t, int) { return t.wYear % 100 == 0; }},
        {L"24/02/**", [](const SYSTEMTIME& t, int) { return t.wYear % 100 == 24 && t.wMonth == 2; }},
        {L"**/12/31", [](const SYSTEMTIME& t, int) { return t.wMonth == 12 && t.wDay == 31; }},
        {L"**/**E  ", [](const SYSTEMTIME& t, int last) { return t.wDay == last; }},
        {L"**/**E-1", [](const SYSTEMTIME& t, int last) { return t.wDay == last - 1; }},
        {L"**/**E-9", [](const SYSTEMTIME& t, int last) { return t.wDay == last - 9; }},
        {L"**/02E-3", [](const SYSTEMTIME& t, int last) { return t.wMonth == 2 && t.wDay == last - 3; }},
        {L"00/**E  ", [](const SYSTEMTIME& t, int last) { return t.wYear % 100 == 0 && t.wDay == last; }},
        {L"_M_W_F_ ", [](const SYSTEMTIME& t, int) { return t.wDayOfWeek % 2 == 1 && t.wDayOfWeek < 6; }},
        {L"S_____S ", [](const SYSTEMTIME& t, int) { return t.wDayOfWeek == 0 || t.wDayOfWeek == 6; }},
        {L"SMTWTFS ", [](const SYSTEMTIME&, int) { return true; }},
        {L"_______ ", [](const SYSTEMTIME&, int) { return false; }},
    };
    for (const DateSweep& s : sweeps) {
        const WString rule = Rule(s.date, L"12:00:00");
        int mismatches = 0;
        for (const Day& day : SweepDays()) {
            const bool expected = s.meaning(day.time, day.lastDay);
            const bool actual = IsDue(rule, day.now, day.time, false);
            if (expected != actual && ++mismatches <= 3)
                ADD_FAILURE() << "rule \"" << Narrow(rule) << "\" on " << Describe(day.time) << ": expected "
                              << expected << ", got " << actual;
        }
        EXPECT_EQ(0, mismatches) << Narrow(rule);
    }
}

// "1st".."5th"/"last", every weekday, offsets 0-9: the rule matches the day
// that lies n days before the Nth (last) such weekday of its own month.
TEST(IsDue, NthWeekdayFormsOverWholeYears) {
    static const wchar_t* const ordinals[] = {L"1st ", L"2nd ", L"3rd ", L"4th ", L"5th ", L"last"};
    static const wchar_t* const weekdays[] = {L"su", L"mo", L"tu", L"we", L"th", L"fr", L"sa"};
    int checkedDue = 0;
    for (int k = 0; k < 6; ++k) {
        for (int w = 0; w < 7; ++w) {
            for (int n = 0; n <= 9; ++n) {
                std::wstring date = std::wstring(ordinals[k]) + weekdays[w];
                date += n == 0 ? std::wstring(L"  ") : L"-" + std::to_wstring(n);
                const WString rule = Rule(date.c_str(), L"12:00:00");
                int mismatches = 0;
                for (const Day& day : SweepDays()) {
                    const SYSTEMTIME& target = day.ahead[n];
                    bool expected = target.wDayOfWeek == w;
                    if (k < 5)
                        expected = expected && (target.wDay - 1) / 7 == k;
                    else
                        expected = expected && target.wDay + 7 > day.aheadLastDay[n];
                    const bool actual = IsDue(rule, day.now, day.time, false);
                    checkedDue += actual;
                    if (expected != actual && ++mismatches <= 3)
                        ADD_FAILURE() << "rule \"" << Narrow(rule) << "\" on " << Describe(day.time) << " (target "
                                      << Describe(target) << "): expected " << expected << ", got " << actual;
                }
                ASSERT_EQ(0, mismatches) << Narrow(rule);
            }
        }
    }
    EXPECT_GT(checkedDue, 0);
}

// Time rules against every second of one day.
struct TimeSweep {
    const wchar_t* time;
    std::function<bool(int hour, int minute, int second)> meaning;
};

TEST(IsDue, TimeFormsOverEverySecondOfADay) {
    const TimeSweep sweeps[] = {
        {L"**:00:00", [](int, int m, int s) { return m == 0 && s == 0; }},
        {L"**:**:30", [](int, int, int s) { return s == 30; }},
        {L"08:**:00", [](int h, int, int s) { return h == 8 && s == 0; }},
        {L"**:15:45", [](int, int m, int s) { return m == 15 && s == 45; }},
        {L"22:15:00", [](int h, int m, int s) { return h == 22 && m == 15 && s == 0; }},
        {L"00:00:00", [](int h, int m, int s) { return h == 0 && m == 0 && s == 0; }},
        {L"every15m", [](int, int m, int s) { return m % 15 == 0 && s == 0; }},
        {L"every01m", [](int, int, int s) { return s == 0; }},
        {L"every07m", [](int, int m, int s) { return m % 7 == 0 && s == 0; }},
        {L"every10s", [](int, int, int s) { return s % 10 == 0; }},
        {L"every30s", [](int, int, int s) { return s % 30 == 0; }},
        {L"every01s", [](int, int, int) { return true; }},
        {L"every00m", [](int, int, int) { return false; }},
        {L"**:**:**", [](int, int, int) { return false; }},  // the seconds are never a wildcard
        {L"08:**:**", [](int, int, int) { return false; }},
        {L"Start   ", [](int, int, int) { return false; }},
    };
    std::vector<SYSTEMTIME> times;
    std::vector<WString> nows;
    for (SYSTEMTIME t = MakeTime(2024, 2, 29); t.wDay == 29; t = AddSeconds(t, 1)) {
        times.push_back(t);
        nows.push_back(NowText(t));
    }
    ASSERT_EQ(86400u, times.size());
    for (const TimeSweep& s : sweeps) {
        const WString rule = Rule(L"EveryDay", s.time);
        int mismatches = 0;
        int due = 0;
        for (size_t i = 0; i < times.size(); ++i) {
            const SYSTEMTIME& t = times[i];
            const bool expected = s.meaning(t.wHour, t.wMinute, t.wSecond);
            const bool actual = IsDue(rule, nows[i], t, false);
            due += actual;
            if (expected != actual && ++mismatches <= 3)
                ADD_FAILURE() << "rule \"" << Narrow(rule) << "\" at " << Describe(t) << ": expected " << expected
                              << ", got " << actual;
        }
        EXPECT_EQ(0, mismatches) << Narrow(rule) << " was due " << due << " times";
    }
}

}  // namespace

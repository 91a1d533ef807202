// When a record next comes due, against the watch pass itself: generated
// records swept second by second over windows across month, leap-day, year
// and century ends; and the cases no short window reaches.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "schedule/NextDue.h"
#include "schedule/ScheduleLine.h"
#include "schedule/WatchPass.h"
#include "tests/schedule/ScheduleTestSupport.h"

namespace {

constexpr int kWindowSeconds = 3600;

std::wstring Two(int value) {
    wchar_t text[3] = {static_cast<wchar_t>(L'0' + value / 10 % 10), static_cast<wchar_t>(L'0' + value % 10), 0};
    return text;
}

// The last day of a month, from the calendar.
int LastDayOf(int year, int month) {
    return AddSeconds(month == 12 ? MakeTime(year + 1, 1, 1) : MakeTime(year, month + 1, 1), -86400).wDay;
}

// A date rule that matches the day `at`, in a form the generator chooses.
std::wstring DateRuleFor(const SYSTEMTIME& at, std::mt19937& random) {
    const int monthLength = LastDayOf(at.wYear, at.wMonth);
    auto star = [&](int value) { return random() % 3 == 0 ? std::wstring(L"**") : Two(value); };
    switch (random() % 5) {
    case 0: return L"EveryDay";
    case 1: {
        std::wstring mask = L"_______ ";
        for (int i = 0; i < 7; ++i)
            if (i == at.wDayOfWeek || random() % 4 == 0) mask[i] = kWeekdayLetters[i];
        return mask;
    }
    case 2: return star(at.wYear % 100) + L"/" + star(at.wMonth) + L"/" + star(at.wDay);
    case 3:
        if (monthLength - at.wDay <= 9) {
            const int n = monthLength - at.wDay;
            return star(at.wYear % 100) + L"/" + star(at.wMonth) + (n ? L"E-" + Two(n).substr(1) : L"E  ");
        }
        return L"EveryDay";
    default: {
        // The target weekday n days on, by its place in its own month.
        const int n = static_cast<int>(random() % 10);
        const SYSTEMTIME target = AddSeconds(at, 86400LL * n);
        const bool last = target.wDay + 7 > LastDayOf(target.wYear, target.wMonth);
        const int ordinal = last && random() % 2 ? kLastOrdinal : (target.wDay - 1) / 7;
        return std::wstring(kOrdinalWords[ordinal]) + kWeekdayWords[target.wDayOfWeek] +
               (n ? L"-" + Two(n).substr(1) : L"  ");
    }
    }
}

// A time rule that matches `at`'s time of day; every NN minutes moves `at`
// to second 00.
std::wstring TimeRuleFor(SYSTEMTIME& at, std::mt19937& random) {
    const std::wstring h = Two(at.wHour), m = Two(at.wMinute), s = Two(at.wSecond);
    switch (random() % 6) {
    case 0: return L"**:" + m + L":" + s;
    case 1: return h + L":**:" + s;
    case 2: return L"**:**:" + s;
    case 3:
    case 4: {
        const bool minutes = random() % 2 == 0;
        const int value = minutes ? at.wMinute : at.wSecond;
        std::vector<int> dividing;
        for (int nn : kIntervals)
            if (value % nn == 0) dividing.push_back(nn);
        if (minutes) at.wSecond = 0;
        return L"every" + Two(dividing[random() % dividing.size()]) + (minutes ? L"m" : L"s");
    }
    default: return h + L":" + m + L":" + s;
    }
}

// Most records come due at a second of their window; a fifth are drawn from
// every form without regard to it, "X", "D" and Start among them.
std::wstring GeneratedRecord(const SYSTEMTIME& windowStart, int number, std::mt19937& random) {
    SYSTEMTIME at = AddSeconds(windowStart, random() % kWindowSeconds);
    std::wstring date, time, flag = std::wstring(1, L" !#"[random() % 3]);
    if (random() % 5 != 0) {
        date = DateRuleFor(at, random);
        time = TimeRuleFor(at, random);
    } else {
        static const wchar_t* const dates[] = {L"**/02/29", L"**/02/30", L"_______ ", L"**/**E-9", L"5th su-9",
                                               L"00/01/01", L"99/12/**", L"1st mo-1", L"lastsa  ", L"24/**/**"};
        static const wchar_t* const times[] = {L"Start   ", L"**:**:**", L"23:59:59", L"00:00:00",
                                               L"every30m", L"**:07:00", L"every00s"};
        date = dates[random() % 10];
        time = times[random() % 7];
        flag = std::wstring(1, L" !#XD"[random() % 5]);
    }
    return flag + L" " + date + L" " + time + L" Msg    " + std::to_wstring(number);
}

// The first second of the window in which a timer pass over this record
// alone performs it or uses up its hold, or -1.
int FirstPassSecond(const WString& record, const std::vector<SYSTEMTIME>& window) {
    WatchState state;
    state.schedule.append(record);
    PassHarness::Performed().clear();
    for (int second = 0; second < static_cast<int>(window.size()); ++second) {
        PassHarness::SetNow(window[second]);
        CheckSchedule(state, false);
        if (!PassHarness::Performed().empty() || state.schedule.count() != 1 || state.schedule.at(0) != record)
            return second;
    }
    return -1;
}

long long Seconds(const SYSTEMTIME& time) {
    FILETIME file;
    SystemTimeToFileTime(&time, &file);
    return ((static_cast<long long>(file.dwHighDateTime) << 32) | file.dwLowDateTime) / 10000000;
}

TEST(NextDue, FirstSecondThePassTakesTheRecordUp) {
    PassHarness harness;
    // Half an hour either side of midnight.
    const SYSTEMTIME windows[] = {
        MakeTime(2024, 2, 28, 23, 30),  MakeTime(2024, 2, 29, 23, 30),  MakeTime(2023, 2, 28, 23, 30),
        MakeTime(2025, 12, 31, 23, 30), MakeTime(2099, 12, 31, 23, 30), MakeTime(2026, 4, 30, 23, 30),
    };
    std::mt19937 random(19);
    int fired = 0, records = 0;
    for (const SYSTEMTIME& start : windows) {
        std::vector<SYSTEMTIME> window;
        for (int s = 0; s < kWindowSeconds; ++s) window.push_back(AddSeconds(start, s));
        for (int i = 0; i < 400; ++i, ++records) {
            const WString record(GeneratedRecord(start, i, random).c_str());
            const int expected = FirstPassSecond(record, window);
            SYSTEMTIME due{};
            const bool found = NextDue(record, start, &due);
            const long long got = found ? Seconds(due) - Seconds(start) : -1;
            if (expected >= 0) {
                ++fired;
                ASSERT_EQ(expected, got) << Narrow(record.text()) << " from " << Describe(start)
                                         << (found ? ", got " + Describe(due) : ", got none");
                EXPECT_EQ(window[expected].wDayOfWeek, due.wDayOfWeek);
            } else {
                // Not in the window: none, or after it.
                ASSERT_TRUE(!found || got >= kWindowSeconds) << Narrow(record.text()) << " got " << Describe(due);
            }
        }
    }
    EXPECT_GT(fired, records * 3 / 4) << "the generator must make records that come due in their windows";
}

TEST(NextDue, LongSearchesHoldsAndStartLines) {
    struct Case {
        const wchar_t* record;
        SYSTEMTIME from;
        const char* due;  // "yyyy-mm-dd hh:mm:ss (wd)" or "" for none
    };
    const Case cases[] = {
        // `from` itself is included: the pass has not checked it yet.
        {L"  EveryDay 07:00:00 Msg    x", MakeTime(2026, 6, 1, 7, 0, 0), "2026-06-01 07:00:00 (mo)"},
        {L"  EveryDay 07:00:00 Msg    x", MakeTime(2026, 6, 1, 7, 0, 1), "2026-06-02 07:00:00 (tu)"},
        {L"# _M_W_F_  07:00:00 Msg    x", MakeTime(2026, 6, 2, 8), "2026-06-03 07:00:00 (we)"},
        {L"X EveryDay 07:00:00 Msg    x", MakeTime(2026, 6, 1), ""},
        {L"D EveryDay 07:00:00 Msg    x", MakeTime(2026, 6, 1), ""},
        {L"  EveryDay Start    Msg    x", MakeTime(2026, 6, 1), ""},
        {L"  EveryDay 07:00:0", MakeTime(2026, 6, 1), ""},
        // Leap days across a century that has none.
        {L"  **/02/29 12:00:00 Msg    x", MakeTime(2097, 3, 1), "2104-02-29 12:00:00 (fr)"},
        {L"  00/02/29 12:00:00 Msg    x", MakeTime(2026, 1, 1), ""},
        // A year written out: this century's, or the next one's within nine years.
        {L"  25/12/08 07:00:00 Msg    x", MakeTime(2026, 1, 1), ""},
        {L"  99/12/31 23:59:59 Msg    x", MakeTime(2026, 1, 1), "2099-12-31 23:59:59 (th)"},
        {L"  01/01/01 00:00:00 Msg    x", MakeTime(2097, 1, 1), "2101-01-01 00:00:00 (sa)"},
        {L"  **/**/31 00:00:00 Msg    x", MakeTime(2026, 4, 1), "2026-05-31 00:00:00 (su)"},
        {L"  **/02E-9 00:00:00 Msg    x", MakeTime(2026, 3, 1), "2027-02-19 00:00:00 (fr)"},
        {L"  5th su   10:00:00 Msg    x", MakeTime(2026, 4, 1), "2026-05-31 10:00:00 (su)"},
        {L"  1st mo-1 10:00:00 Msg    x", MakeTime(2026, 5, 4), "2026-05-31 10:00:00 (su)"},
        {L"  5th mo-9 10:00:00 Msg    x", MakeTime(2026, 7, 1), "2026-08-22 10:00:00 (sa)"},
        // Never: no such day, no weekday, no second.
        {L"  **/02/30 07:00:00 Msg    x", MakeTime(2026, 1, 1), ""},
        {L"  **/13/01 07:00:00 Msg    x", MakeTime(2026, 1, 1), ""},
        {L"  _______  07:00:00 Msg    x", MakeTime(2026, 1, 1), ""},
        {L"  EveryDay **:**:** Msg    x", MakeTime(2026, 1, 1), ""},
        {L"  EveryDay every00m Msg    x", MakeTime(2026, 1, 1), ""},
        {L"  EveryDay 24:00:00 Msg    x", MakeTime(2026, 1, 1), ""},
        {L"  EveryDay 07-00-00 Msg    x", MakeTime(2026, 1, 1), ""},
    };
    for (const Case& c : cases) {
        SYSTEMTIME due{};
        const bool found = NextDue(c.record, c.from, &due);
        EXPECT_EQ(c.due, found ? Describe(due) : "") << Narrow(c.record) << " from " << Describe(c.from);
    }

    SYSTEMTIME day{};
    EXPECT_TRUE(NextStartDay(L"# lastfr   Start    Msg    x", MakeTime(2026, 6, 1, 9), &day));
    EXPECT_EQ("2026-06-26 00:00:00 (fr)", Describe(day));
    EXPECT_FALSE(NextStartDay(L"X EveryDay Start    Msg    x", MakeTime(2026, 6, 1), &day));
    EXPECT_FALSE(NextStartDay(L"  EveryDay 07:00:00 Msg    x", MakeTime(2026, 6, 1), &day));
}

TEST(NextDue, NextAlarmIsTheEarliestFirstInFileOrder) {
    StringList schedule;
    for (const wchar_t* record :
         {L"X EveryDay 06:00:00 Msg    held", L"  EveryDay 08:00:00 Msg    later", L"  EveryDay Start    Msg    start",
          L"  _M_W_F_  07:00:00 Msg    first", L"  EveryDay 07:00:00 Msg    tie"})
        schedule.append(record);
    const NextAlarm next = NextAlarmOf(schedule, MakeTime(2026, 6, 1, 6));
    EXPECT_EQ(3, next.index);
    EXPECT_EQ("2026-06-01 07:00:00 (mo)", Describe(next.due));
    EXPECT_EQ(-1, NextAlarmOf(StringList(), MakeTime(2026, 6, 1)).index);
}

}  // namespace

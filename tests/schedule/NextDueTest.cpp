// When a record next comes due, against the watch pass itself: generated
// records swept second by second over windows across month, leap-day, year
// and century ends; then what no short window reaches.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "common/Paths.h"
#include "schedule/NextDue.h"
#include "schedule/ScheduleLine.h"
#include "tests/schedule/ScheduleTestSupport.h"

namespace {

constexpr int kWindow = 3600;  // seconds: half an hour either side of midnight

std::wstring Two(int value) {
    return {static_cast<wchar_t>(L'0' + value / 10 % 10), static_cast<wchar_t>(L'0' + value % 10)};
}

// Four in five records are due at `at` (every NN minutes: at second 00 of
// its minute) by forms the generator picks; the fifth from forms that may
// never come due, "X", "D" and Start among them.
std::wstring Generated(const SYSTEMTIME& at, int number, std::mt19937& random) {
    auto pick = [&](size_t n) { return static_cast<int>(random() % n); };
    auto star = [&](int value) { return pick(3) ? Two(value) : std::wstring(L"**"); };
    auto every = [&](int value, const wchar_t* unit) {
        std::vector<int> fit;  // 1 always
        for (int nn : kIntervals)
            if (value % nn == 0) fit.push_back(nn);
        return L"every" + Two(fit[pick(fit.size())]) + unit;
    };
    const int toEnd = DaysInMonth(at.wYear, at.wMonth) - at.wDay, n = pick(10);
    const SYSTEMTIME target = AddSeconds(at, 86400LL * n);  // the weekday of "-n"
    const bool lastWeek = target.wDay + 7 > DaysInMonth(target.wYear, target.wMonth);
    const int ordinal = lastWeek && pick(2) ? kLastOrdinal : (target.wDay - 1) / 7;
    std::wstring mask = L"_______ ";
    for (int i = 0; i < 7; ++i)
        if (i == at.wDayOfWeek || pick(4) == 0) mask[i] = kWeekdayLetters[i];
    const std::wstring ym = star(at.wYear % 100) + L"/" + star(at.wMonth);
    const std::wstring h = Two(at.wHour), m = Two(at.wMinute), s = Two(at.wSecond);
    const std::wstring dates[] = {
        L"EveryDay", mask, ym + L"/" + star(at.wDay),
        toEnd > 9 ? mask : ym + (toEnd ? L"E-" + Two(toEnd).substr(1) : L"E  "),
        kOrdinalWords[ordinal] + std::wstring(kWeekdayWords[target.wDayOfWeek]) + (n ? L"-" + Two(n).substr(1) : L"  "),
        // Maybe never.
        L"**/02/29", L"**/02/30", L"_______ ", L"**/**E-9", L"5th su-9", L"00/01/01", L"lastsa  "};
    const std::wstring times[] = {L"**:" + m + L":" + s, h + L":**:" + s, L"**:**:" + s, h + L":" + m + L":" + s,
                                  every(at.wSecond, L"s"), every(at.wMinute, L"m"),
                                  // Maybe never.
                                  L"Start   ", L"**:**:**", L"every30m", L"every00s"};
    const bool fits = pick(5) != 0;
    const wchar_t flag = fits ? L"   !#"[pick(5)] : L" !#XD"[pick(5)];
    return flag + (L" " + dates[fits ? pick(5) : 5 + pick(7)]) + L" " + times[fits ? pick(6) : 6 + pick(4)] +
           L" Msg    " + std::to_wstring(number);
}

TEST(NextDue, FirstSecondThePassTakesTheRecordUp) {
    PassHarness harness;
    // The pass saves the holds it uses and the run-once records it runs: to
    // a read-only file here, so that each save gives up at once.
    TempFolder folder;
    const WString path = JoinPath(folder.path(), L"Zavbell.txt");
    ASSERT_TRUE(StringList().save(path));
    SetFileAttributesW(path.text(), FILE_ATTRIBUTE_READONLY);
    std::mt19937 random(19);
    int fired = 0, records = 0;
    for (const SYSTEMTIME& start :
         {MakeTime(2024, 2, 28, 23, 30), MakeTime(2024, 2, 29, 23, 30), MakeTime(2023, 2, 28, 23, 30),
          MakeTime(2025, 12, 31, 23, 30), MakeTime(2099, 12, 31, 23, 30), MakeTime(2026, 4, 30, 23, 30)}) {
        std::vector<SYSTEMTIME> window;
        for (int s = 0; s < kWindow; ++s) window.push_back(AddSeconds(start, s));
        for (int i = 0; i < 300; ++i, ++records) {
            const WString record(Generated(window[random() % kWindow], i, random).c_str());
            // Expected: the first second in which a pass over this record alone runs it or changes it.
            WatchState state;
            state.schedulePath = path;
            state.schedule.append(record);
            PassHarness::Performed().clear();
            int expected = -1;
            for (int s = 0; s < kWindow && expected < 0; ++s) {
                PassHarness::SetNow(window[s]);
                CheckSchedule(state, false);
                if (!PassHarness::Performed().empty() || state.schedule.count() != 1 || state.schedule.at(0) != record)
                    expected = s;
            }
            SYSTEMTIME due{};
            const std::string got = NextDue(record, start, &due) ? Describe(due) : "none";
            fired += expected >= 0;
            if (expected >= 0)
                ASSERT_EQ(Describe(window[expected]), got) << Narrow(record.text()) << " from " << Describe(start);
            else  // none, or after the window
                ASSERT_GT(got, Describe(window.back())) << Narrow(record.text());
        }
    }
    SetFileAttributesW(path.text(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_GT(fired, records * 3 / 4) << "the generator must make records that come due in their windows";
}

TEST(NextDue, LongSearchesHoldsStartLinesAndTheEarliest) {
    const struct {
        const wchar_t* record;
        SYSTEMTIME from;
        const char* due;  // "" for none
    } cases[] = {
        // `from` itself is included: no pass has checked it yet.
        {L"  EveryDay 07:00:00 Msg    x", MakeTime(2026, 6, 1, 7, 0, 0), "2026-06-01 07:00:00 (mo)"},
        {L"# _M_W_F_  07:00:00 Msg    x", MakeTime(2026, 6, 1, 7, 0, 1), "2026-06-03 07:00:00 (we)"},
        {L"X EveryDay 07:00:00 Msg    x", MakeTime(2026, 6, 1), ""},
        {L"D EveryDay 07:00:00 Msg    x", MakeTime(2026, 6, 1), ""},
        {L"  EveryDay Start    Msg    x", MakeTime(2026, 6, 1), ""},
        {L"  EveryDay 07:00:0", MakeTime(2026, 6, 1), ""},
        // Leap days across a century without one; a year written out is
        // this century's, or the next one's within nine years.
        {L"  **/02/29 12:00:00 Msg    x", MakeTime(2097, 3, 1), "2104-02-29 12:00:00 (fr)"},
        {L"  00/02/29 12:00:00 Msg    x", MakeTime(2026, 1, 1), ""},
        {L"  25/12/08 07:00:00 Msg    x", MakeTime(2026, 1, 1), ""},
        {L"  99/12/31 23:59:59 Msg    x", MakeTime(2026, 1, 1), "2099-12-31 23:59:59 (th)"},
        {L"  01/01/01 00:00:00 Msg    x", MakeTime(2097, 1, 1), "2101-01-01 00:00:00 (sa)"},
        {L"  **/02E-9 00:00:00 Msg    x", MakeTime(2026, 3, 1), "2027-02-19 00:00:00 (fr)"},
        {L"  5th su   10:00:00 Msg    x", MakeTime(2026, 4, 1), "2026-05-31 10:00:00 (su)"},
        {L"  1st mo-1 10:00:00 Msg    x", MakeTime(2026, 5, 4), "2026-05-31 10:00:00 (su)"},
        {L"  5th mo-9 10:00:00 Msg    x", MakeTime(2026, 7, 1), "2026-08-22 10:00:00 (sa)"},
        {L"  EveryDay 07-00-00 Msg    x", MakeTime(2026, 1, 1), ""},
    };
    for (const auto& c : cases) {
        SYSTEMTIME due{};
        EXPECT_EQ(c.due, NextDue(c.record, c.from, &due) ? Describe(due) : "") << Narrow(c.record);
    }
    SYSTEMTIME day{};
    EXPECT_TRUE(NextStartDay(L"# lastfr   Start    Msg    x", MakeTime(2026, 6, 1, 9), &day));
    EXPECT_EQ("2026-06-26 00:00:00 (fr)", Describe(day));
    EXPECT_FALSE(NextStartDay(L"X EveryDay Start    Msg    x", MakeTime(2026, 6, 1), &day));

    // The earliest over a schedule: the first in file order of those due together.
    StringList schedule;
    for (const wchar_t* record : {L"X EveryDay 06:00:00 Msg    a", L"  EveryDay 08:00:00 Msg    b",
                                  L"  _M_W_F_  07:00:00 Msg    c", L"  EveryDay 07:00:00 Msg    d"})
        schedule.append(record);
    const NextAlarm next = NextAlarmOf(schedule, MakeTime(2026, 6, 1, 6));
    EXPECT_EQ(2, next.index);
    EXPECT_EQ("2026-06-01 07:00:00 (mo)", Describe(next.due));
}

}  // namespace

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

#include "common/Paths.h"
#include "schedule/WatchPass.h"
#include "tests/common/TestSupport.h"
#include "tests/schedule/ScheduleTestSupport.h"

namespace {

// Deterministic: a failure reproduces with the same seed.
constexpr unsigned kSeed = 20240506;

const wchar_t kAlphabet[] = L" */0123456789E-_tsmhSMTWFlaeyrvnoduk:!#XD.%毎日\t\r";

const wchar_t* const kDates[] = {L"EveryDay", L"**/**/**", L"24/02E-3", L"**/**E  ", L"_M_W_F_ ", L"SMTWTFS ",
                                 L"3rd we-2", L"lastfr  ", L"1st mo-9", L"5th sa  ", L"24/02/29", L"**/**E-0"};
const wchar_t* const kTimes[] = {L"**:00:00", L"**:**:30", L"08:**:00", L"12:00:00", L"every15m", L"every10s",
                                 L"every01s", L"every00m", L"Start   ", L"**:**:**", L"every99s"};
const wchar_t* const kActions[] = {L"Msg    x", L"Screen a.scr", L"3DText t", L"Kabe   Center k.bmp",
                                   L"zzzzzz z", L"Shell  s",     L"Notice",   L""};
const wchar_t kFlags[] = L" !#XD?";

class Fuzz {
public:
    explicit Fuzz(unsigned seed) : rng_(seed) {}

    int Below(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }

    wchar_t Unit() {
        switch (Below(20)) {
        case 0: return static_cast<wchar_t>(Below(0x10000));         // anything, surrogates included
        case 1: return static_cast<wchar_t>(0xD800 + Below(0x800));  // lone surrogate halves
        default: return kAlphabet[Below(static_cast<int>(sizeof kAlphabet / sizeof kAlphabet[0]) - 1)];
        }
    }

    std::wstring Garbage(int maxLength) {
        std::wstring text;
        const int n = Below(maxLength + 1);
        for (int i = 0; i < n; ++i) {
            const wchar_t c = Unit();
            text += c ? c : L'0';  // a WString stops at a NUL anyway
        }
        return text;
    }

    // A record built from real fields, then damaged in a few places.
    std::wstring Record() {
        if (Below(4) == 0) return Garbage(40);
        std::wstring r(1, kFlags[Below(6)]);
        r += L' ';
        r += kDates[Below(12)];
        r += L' ';
        r += kTimes[Below(11)];
        r += L' ';
        r += kActions[Below(8)];
        const int damage = Below(4);
        for (int i = 0; i < damage && !r.empty(); ++i) {
            const int at = Below(static_cast<int>(r.size()));
            switch (Below(3)) {
            case 0: {
                const wchar_t c = Unit();
                r[at] = c ? c : L'x';
                break;
            }
            case 1: r.erase(at, 1); break;
            default: r.resize(static_cast<size_t>(at)); break;
            }
        }
        return r;
    }

    // Mostly valid local times; sometimes fields no clock would give.
    SYSTEMTIME Time() {
        if (Below(10) == 0) {
            SYSTEMTIME t = {};
            t.wYear = static_cast<WORD>(Below(10000));
            t.wMonth = static_cast<WORD>(Below(15));
            t.wDay = static_cast<WORD>(Below(40));
            t.wDayOfWeek = static_cast<WORD>(Below(10));
            t.wHour = static_cast<WORD>(Below(30));
            t.wMinute = static_cast<WORD>(Below(70));
            t.wSecond = static_cast<WORD>(Below(70));
            return t;
        }
        return MakeTime(1900 + Below(300), 1 + Below(12), 1 + Below(28), Below(24), Below(60), Below(60));
    }

private:
    std::mt19937 rng_;
};

TEST(Robustness, IsDueTakesAnyTextAndAnyTime) {
    Fuzz fuzz(kSeed);
    int due = 0;
    for (int i = 0; i < 100000; ++i) {
        const std::wstring record = fuzz.Record();
        const WString rule = WString(record.c_str()).From(2).Left(17);
        const SYSTEMTIME time = fuzz.Time();
        const WString now = fuzz.Below(8) == 0 ? WString(fuzz.Garbage(20).c_str()) : NowText(time);
        const bool start = fuzz.Below(4) == 0;
        const bool result = IsDue(rule, now, time, start);
        due += result;
        if (result) {
            ASSERT_GE(rule.length(), 17) << Narrow(rule);
            if (start) {
                ASSERT_EQ(L"Start   ", std::wstring(rule.From(9).text())) << Narrow(rule);
            }
        }
    }
    // The generator makes due records too, so the matching paths were taken.
    EXPECT_GT(due, 100);
}

int g_actions = 0;
void CountAction(const WString&) {
    ++g_actions;
}

TEST(Robustness, CheckScheduleTakesAnyScheduleAndAnyClock) {
    Fuzz fuzz(kSeed + 1);
    TempFolder folder;
    BoxRecorder boxes;
    PassHarness harness;
    const ActionHandler previous = SetActionHandler(CountAction);
    WatchState state;
    state.schedulePath = JoinPath(folder.path(), L"Zavbell.txt");
    g_actions = 0;

    int lines = 0;
    for (int round = 0; lines < 100000; ++round) {
        std::set<std::wstring> allowed;
        state.schedule.clear();
        const int n = 1 + fuzz.Below(2000);
        for (int i = 0; i < n; ++i) {
            const std::wstring record = fuzz.Record();
            state.schedule.append(WString(record.c_str()));
            const std::wstring stored = state.schedule.at(i).text();
            allowed.insert(stored);
            if (!stored.empty() && stored[0] == L'#') allowed.insert(L' ' + stored.substr(1));
        }
        lines += n;
        for (int pass = 0; pass < 5; ++pass) {
            PassHarness::SetNow(fuzz.Time());
            const int before = state.schedule.count();
            CheckSchedule(state, fuzz.Below(5) == 0);
            ASSERT_LE(state.schedule.count(), before);
            ASSERT_EQ(0, state.passDepth);
            for (int i = 0; i < state.schedule.count(); ++i) {
                ASSERT_TRUE(allowed.count(state.schedule.at(i).text()))
                    << "round " << round << ": the pass made up \"" << Narrow(state.schedule.at(i)) << "\"";
            }
        }
    }
    SetActionHandler(previous);
    EXPECT_GT(g_actions, 0);
}

}  // namespace

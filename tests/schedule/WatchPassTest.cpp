#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Paths.h"
#include "schedule/WatchPass.h"
#include "tests/common/TestSupport.h"
#include "tests/schedule/ScheduleTestSupport.h"

namespace {

WatchState* g_state = nullptr;
// Each reaction re-enters at most once: a fault that makes a record run again
// must fail a test, not overflow the stack.
int g_reentries = 0;
bool FirstReentry() {
    return g_reentries++ == 0;
}

class WatchPass : public ::testing::Test {
protected:
    void SetUp() override {
        state_.schedulePath = JoinPath(folder_.path(), L"Zavbell.txt");
        g_state = &state_;
        g_reentries = 0;
    }
    void TearDown() override { g_state = nullptr; }

    void Load(const Lines& records) { state_.schedule = ListOf(records); }
    Lines InMemory() const { return Records(state_.schedule); }
    std::string FileBytes(bool* exists = nullptr) const { return ReadBytes(state_.schedulePath, exists); }
    void TimerPassAt(const SYSTEMTIME& time) {
        PassHarness::SetNow(time);
        CheckSchedule(state_, false);
    }
    void StartPassAt(const SYSTEMTIME& time) {
        PassHarness::SetNow(time);
        state_.lastChecked = L"Start   ";
        CheckSchedule(state_, true);
    }
    Lines& Performed() { return PassHarness::Performed(); }

    TempFolder folder_;
    PassHarness harness_;
    WatchState state_;
};

TEST_F(WatchPass, DueRecordsRunInFileOrderOncePerSecond) {
    Load({L"  EveryDay 10:00:00 Msg    first", L"  EveryDay 10:00:01 Msg    other",
          L"  EveryDay **:00:00 Msg    second"});
    TimerPassAt(MakeTime(2024, 5, 6, 10, 0, 0));
    EXPECT_EQ((Lines{L"Msg    first", L"Msg    second"}), Performed());
    EXPECT_EQ(L"24/05/06 10:00:00", std::wstring(state_.lastChecked.text()));

    // Further ticks of the same second return at once.
    TimerPassAt(MakeTime(2024, 5, 6, 10, 0, 0));
    EXPECT_EQ(2u, Performed().size());

    TimerPassAt(MakeTime(2024, 5, 6, 10, 0, 1));
    EXPECT_EQ((Lines{L"Msg    first", L"Msg    second", L"Msg    other"}), Performed());

    // A clock set back checks the seconds again.
    TimerPassAt(MakeTime(2024, 5, 6, 10, 0, 0));
    EXPECT_EQ(5u, Performed().size());
    bool exists = true;
    FileBytes(&exists);
    EXPECT_FALSE(exists) << "nothing changed, so nothing is saved";
}

TEST_F(WatchPass, StartPassRunsStartRecordsAndLeavesLastCheckedAlone) {
    Load({L"  EveryDay Start    Msg    hello", L"  EveryDay 09:00:00 Msg    timed", L"  24/05/06 Start    Msg    today",
          L"  24/05/07 Start    Msg    tomorrow"});
    StartPassAt(MakeTime(2024, 5, 6, 9, 0, 0));
    EXPECT_EQ((Lines{L"Msg    hello", L"Msg    today"}), Performed());
    EXPECT_EQ(L"Start   ", std::wstring(state_.lastChecked.text()));

    // The start-up pass does not compare lastChecked either.
    state_.lastChecked = NowText(MakeTime(2024, 5, 6, 9, 0, 0));
    PassHarness::SetNow(MakeTime(2024, 5, 6, 9, 0, 0));
    CheckSchedule(state_, true);
    EXPECT_EQ(4u, Performed().size());

    // Start records never run in a timer pass.
    Performed().clear();
    state_.lastChecked = L"Start   ";
    TimerPassAt(MakeTime(2024, 5, 6, 9, 0, 0));
    TimerPassAt(MakeTime(2024, 5, 6, 9, 0, 1));
    EXPECT_EQ((Lines{L"Msg    timed"}), Performed());
}

TEST_F(WatchPass, HoldOnceSkipsOneRunAndIsSaved) {
    Load({L"# EveryDay 08:00:00 Msg    held", L"  EveryDay 08:00:00 Msg    plain"});
    TimerPassAt(MakeTime(2024, 5, 6, 8, 0, 0));
    EXPECT_EQ((Lines{L"Msg    plain"}), Performed());
    EXPECT_EQ((Lines{L"  EveryDay 08:00:00 Msg    held", L"  EveryDay 08:00:00 Msg    plain"}), InMemory());
    EXPECT_EQ(Cp932Lines(InMemory()), FileBytes());

    TimerPassAt(MakeTime(2024, 5, 7, 8, 0, 0));
    EXPECT_EQ((Lines{L"Msg    plain", L"Msg    held", L"Msg    plain"}), Performed());
}

TEST_F(WatchPass, TwoRunOnceRecordsInOneSecondBothRunAndDisappear) {
    Load({L"! EveryDay 12:00:00 Msg    once A", L"  EveryDay 12:00:00 Msg    stays",
          L"! EveryDay 12:00:00 Shell  once B", L"! EveryDay 13:00:00 Msg    later"});
    TimerPassAt(MakeTime(2024, 5, 6, 12, 0, 0));
    EXPECT_EQ((Lines{L"Msg    once A", L"Msg    stays", L"Shell  once B"}), Performed());
    const Lines left = {L"  EveryDay 12:00:00 Msg    stays", L"! EveryDay 13:00:00 Msg    later"};
    EXPECT_EQ(left, InMemory());
    EXPECT_EQ(Cp932Lines(left), FileBytes());
}

TEST_F(WatchPass, HeldAlwaysNeverRunsNorChanges) {
    const Lines records = {L"X EveryDay 12:00:00 Msg    never", L"X _______  12:00:00 Msg    never 2"};
    Load(records);
    TimerPassAt(MakeTime(2024, 5, 6, 12, 0, 0));
    StartPassAt(MakeTime(2024, 5, 6, 12, 0, 0));
    EXPECT_TRUE(Performed().empty());
    EXPECT_EQ(records, InMemory());
}

TEST_F(WatchPass, DeletionMarkFromTheFileGoesWhenAnyRunOnceRecordComesDue) {
    Load({L"D EveryDay 07:00:00 Msg    marked", L"! EveryDay 12:00:00 Msg    once"});
    TimerPassAt(MakeTime(2024, 5, 6, 7, 0, 0));
    // A marked record waits for its removal and never runs.
    EXPECT_TRUE(Performed().empty());
    EXPECT_EQ(2, state_.schedule.count());

    TimerPassAt(MakeTime(2024, 5, 6, 12, 0, 0));
    EXPECT_EQ((Lines{L"Msg    once"}), Performed());
    EXPECT_EQ(0, state_.schedule.count());
    bool exists = false;
    EXPECT_EQ("", FileBytes(&exists));
    EXPECT_TRUE(exists);
}

TEST_F(WatchPass, ScreenThreeDTextAndKabeRunLastAndOnlyTheLastOfEachKind) {
    Load({L"  EveryDay 12:00:00 Screen first.scr", L"  EveryDay 12:00:00 Kabe   Center first.bmp",
          L"  EveryDay 12:00:00 3DText text", L"  EveryDay 12:00:00 Msg    message",
          L"  EveryDay 12:00:00 Screen second.scr", L"  EveryDay 12:00:00 Kabe   Tile second.bmp",
          L"  EveryDay 12:00:01 Screen not due.scr", L"  EveryDay 12:00:00 Notice after"});
    TimerPassAt(MakeTime(2024, 5, 6, 12, 0, 0));
    EXPECT_EQ(
        (Lines{L"Msg    message", L"Notice after", L"Screen second.scr", L"3DText text", L"Kabe   Tile second.bmp"}),
        Performed());
}

TEST_F(WatchPass, SettingsWordStartsZavSetInsteadOfAnAction) {
    Load({L"  EveryDay Start    Msg    7.message",
          L"  EveryDay Start    zzzzzz これとこの上のスケジュールは削除して下さい。",
          L"  EveryDay Start    Msg    after"});
    StartPassAt(MakeTime(2024, 5, 6, 9));
    EXPECT_EQ((Lines{L"Msg    7.message", L"<start zzzzzz>", L"Msg    after"}), Performed());
}

TEST_F(WatchPass, HoldFlagsWorkInTheStartPass) {
    Load({L"! EveryDay Start    Msg    once", L"# EveryDay Start    Msg    skip once"});
    StartPassAt(MakeTime(2024, 5, 6, 9));
    EXPECT_EQ((Lines{L"Msg    once"}), Performed());
    const Lines afterFirst = {L"  EveryDay Start    Msg    skip once"};
    EXPECT_EQ(afterFirst, InMemory());
    EXPECT_EQ(Cp932Lines(afterFirst), FileBytes());

    StartPassAt(MakeTime(2024, 5, 7, 9));
    EXPECT_EQ((Lines{L"Msg    once", L"Msg    skip once"}), Performed());
}

TEST_F(WatchPass, AFailedSaveKeepsTheNewStateInMemory) {
    state_.schedulePath = JoinPath(folder_.path(), L"no such folder\\Zavbell.txt");
    Load({L"! EveryDay 12:00:00 Msg    once", L"# EveryDay 12:00:00 Msg    held"});
    TimerPassAt(MakeTime(2024, 5, 6, 12, 0, 0));
    EXPECT_EQ((Lines{L"Msg    once"}), Performed());
    EXPECT_EQ((Lines{L"  EveryDay 12:00:00 Msg    held"}), InMemory());
}

TEST_F(WatchPass, ShortAndMalformedRecordsAreSkippedNotFatal) {
    Load({L"", L"!", L"  EveryDay 12:00:0", L"  EveryDay 12:00:00", L"  EveryDay every00s Msg    zero",
          L"  EveryDay everyxxs Msg    letters", L"  EveryDay 12:00:00 Msg"});
    TimerPassAt(MakeTime(2024, 5, 6, 12, 0, 0));
    // The 19-unit record is due with an empty action text; the short ones never.
    EXPECT_EQ((Lines{L"", L"Msg"}), Performed());
}

// --- re-entry: actions run nested message loops in which the timer fires ---

// The action `trigger` keeps its nested message loop running while the clock
// moves on by `seconds`, and the timer pass of that second runs inside it.
// False, with nothing run, for any other action or a second re-entry.
bool PassLaterInside(const WString& actionText, const wchar_t* trigger, int seconds) {
    if (actionText != trigger || !FirstReentry()) return false;
    PassHarness::SetNow(AddSeconds(PassHarness::Now(), seconds));
    CheckSchedule(*g_state, false);
    return true;
}

// A message box left open for five seconds.
void OpenBoxForFiveSeconds(const WString& actionText) {
    PassLaterInside(actionText, L"Msg    box", 5);
}

TEST_F(WatchPass, ABoxLeftOpenDoesNotStopLaterRecords) {
    Load({L"  EveryDay 10:00:00 Msg    box", L"  EveryDay 10:00:05 Msg    five seconds later",
          L"  EveryDay 10:00:00 Msg    below the box"});
    PassHarness::SetReaction(OpenBoxForFiveSeconds);
    TimerPassAt(MakeTime(2024, 5, 6, 10, 0, 0));
    EXPECT_EQ((Lines{L"Msg    box", L"Msg    five seconds later", L"Msg    below the box"}), Performed());
    EXPECT_EQ(L"24/05/06 10:00:05", std::wstring(state_.lastChecked.text()));
}

// Ticks of the same second while a box is open.
void TickTheSameSecond(const WString&) {
    if (!FirstReentry()) return;
    CheckSchedule(*g_state, false);
    CheckSchedule(*g_state, false);
}

TEST_F(WatchPass, ANestedTickNeverRepeatsTheOuterSecond) {
    Load({L"  EveryDay 10:00:00 Msg    a", L"  EveryDay 10:00:00 Msg    b"});
    PassHarness::SetReaction(TickTheSameSecond);
    TimerPassAt(MakeTime(2024, 5, 6, 10, 0, 0));
    EXPECT_EQ((Lines{L"Msg    a", L"Msg    b"}), Performed());
}

// ZAVSet saved and ZAV reloaded while the first box was open.
void ReloadShorterList(const WString& actionText) {
    if (actionText != L"Msg    a" || !FirstReentry()) return;
    WriteBytes(g_state->schedulePath,
               Cp932Lines({L"  EveryDay 10:00:00 Msg    new 1", L"  EveryDay 10:00:00 Msg    new 2"}));
    EXPECT_TRUE(LoadSchedule(*g_state));
}

TEST_F(WatchPass, AReloadDuringAnActionIsWalkedByIndex) {
    Load({L"! EveryDay 10:00:00 Msg    a", L"  EveryDay 10:00:00 Msg    b", L"  EveryDay 10:00:00 Msg    c",
          L"! EveryDay 10:00:00 Msg    d"});
    PassHarness::SetReaction(ReloadShorterList);
    TimerPassAt(MakeTime(2024, 5, 6, 10, 0, 0));
    // The walk goes on at index 1 of the new list and stops at its end.
    EXPECT_EQ((Lines{L"Msg    a", L"Msg    new 2"}), Performed());
    const Lines reloaded = {L"  EveryDay 10:00:00 Msg    new 1", L"  EveryDay 10:00:00 Msg    new 2"};
    EXPECT_EQ(reloaded, InMemory());
    // The pass saved its mark before the box; the file is ZAVSet's now.
    EXPECT_EQ(Cp932Lines(reloaded), FileBytes());
}

void EmptyTheList(const WString&) {
    g_state->schedule.clear();
}

TEST_F(WatchPass, AListEmptiedDuringAnActionEndsTheWalk) {
    Load({L"! EveryDay 10:00:00 Msg    a", L"  EveryDay 10:00:00 Screen s.scr", L"# EveryDay 10:00:00 Msg    c"});
    PassHarness::SetReaction(EmptyTheList);
    TimerPassAt(MakeTime(2024, 5, 6, 10, 0, 0));
    EXPECT_EQ((Lines{L"Msg    a"}), Performed());
    EXPECT_EQ(0, state_.schedule.count());
}

// The run-once record repeats every 10 s; its box stays open 10 s.
void OpenBoxForTenSeconds(const WString& actionText) {
    PassLaterInside(actionText, L"Msg    every ten", 10);
}

TEST_F(WatchPass, ARunOnceRecordNeverRunsAgainInANestedPass) {
    Load({L"! EveryDay every10s Msg    every ten", L"  EveryDay 10:00:00 Msg    below"});
    PassHarness::SetReaction(OpenBoxForTenSeconds);
    TimerPassAt(MakeTime(2024, 5, 6, 10, 0, 0));
    EXPECT_EQ((Lines{L"Msg    every ten", L"Msg    below"}), Performed());
    EXPECT_EQ((Lines{L"  EveryDay 10:00:00 Msg    below"}), InMemory());
    EXPECT_EQ(Cp932Lines(InMemory()), FileBytes());
}

// The nested pass 5 s later runs a run-once record of its own.
void NestedRunOnce(const WString& actionText) {
    if (!PassLaterInside(actionText, L"Msg    a", 5)) return;
    // While the outer pass still walks, the file already lacks both run-once
    // records, but the list keeps them marked so that no index moves.
    EXPECT_EQ(Cp932Lines({L"  EveryDay 10:00:00 Msg    c", L"  EveryDay 10:00:00 Msg    d"}),
              ReadBytes(g_state->schedulePath));
    EXPECT_EQ(4, g_state->schedule.count());
}

TEST_F(WatchPass, RemovalsOfANestedPassDoNotMakeTheOuterWalkSkipRecords) {
    Load({L"! EveryDay 10:00:00 Msg    a", L"! EveryDay 10:00:05 Msg    b", L"  EveryDay 10:00:00 Msg    c",
          L"  EveryDay 10:00:00 Msg    d"});
    PassHarness::SetReaction(NestedRunOnce);
    TimerPassAt(MakeTime(2024, 5, 6, 10, 0, 0));
    EXPECT_EQ((Lines{L"Msg    a", L"Msg    b", L"Msg    c", L"Msg    d"}), Performed());
    const Lines left = {L"  EveryDay 10:00:00 Msg    c", L"  EveryDay 10:00:00 Msg    d"};
    EXPECT_EQ(left, InMemory());
    EXPECT_EQ(Cp932Lines(left), FileBytes());
    EXPECT_EQ(0, state_.passDepth);
    EXPECT_FALSE(state_.removalPending);
}

// The nested pass 5 s later only uses up a hold-once record, and saves.
void NestedHoldOnce(const WString& actionText) {
    if (!PassLaterInside(actionText, L"Msg    a", 5)) return;
    // The outer pass's run-once record has run: the nested save leaves it out.
    EXPECT_EQ(Cp932Lines({L"  EveryDay 10:00:05 Msg    b", L"  EveryDay 10:00:00 Msg    c"}),
              ReadBytes(g_state->schedulePath));
    EXPECT_EQ(3, g_state->schedule.count());
}

TEST_F(WatchPass, ASaveOfANestedPassLeavesOutTheRunOnceRecordOfTheOuterOne) {
    Load({L"! EveryDay 10:00:00 Msg    a", L"# EveryDay 10:00:05 Msg    b", L"  EveryDay 10:00:00 Msg    c"});
    PassHarness::SetReaction(NestedHoldOnce);
    TimerPassAt(MakeTime(2024, 5, 6, 10, 0, 0));
    EXPECT_EQ((Lines{L"Msg    a", L"Msg    c"}), Performed());
    const Lines left = {L"  EveryDay 10:00:05 Msg    b", L"  EveryDay 10:00:00 Msg    c"};
    EXPECT_EQ(left, InMemory());
    EXPECT_EQ(Cp932Lines(left), FileBytes());
    EXPECT_FALSE(state_.removalPending);
}

// --- the file: edits made outside, marks saved before actions, reloads ---

TEST_F(WatchPass, AnEditMadeWhileZavRunsIsKeptWhenZavSavesItsMarks) {
    const std::string first = Cp932Lines({L"# EveryDay 12:00:00 Msg    held", L"! EveryDay 12:00:00 Msg    once",
                                          L"! EveryDay 12:00:00 Msg    changed", L"  EveryDay 13:00:00 Msg    other"});
    WriteBytes(state_.schedulePath, first);
    ASSERT_TRUE(LoadSchedule(state_));
    // The user edits the file in an editor while ZAV runs: one run-once
    // record moved to another time, one line appended.
    WriteBytes(state_.schedulePath,
               Cp932Lines({L"# EveryDay 12:00:00 Msg    held", L"! EveryDay 12:00:00 Msg    once",
                           L"! EveryDay 12:30:00 Msg    changed by the user", L"  EveryDay 13:00:00 Msg    other",
                           L"  EveryDay 14:00:00 Msg    appended"}));
    TimerPassAt(MakeTime(2024, 5, 6, 12, 0, 0));
    // ZAV's own changes go to the lines still there as it knew them; the
    // changed line is the user's and stays.
    const Lines expected = {L"  EveryDay 12:00:00 Msg    held", L"! EveryDay 12:30:00 Msg    changed by the user",
                            L"  EveryDay 13:00:00 Msg    other", L"  EveryDay 14:00:00 Msg    appended"};
    EXPECT_EQ(Cp932Lines(expected), FileBytes());
    EXPECT_EQ(expected, InMemory());
    EXPECT_TRUE(state_.pendingEdits.empty());
}

// The save before the Notice finds the editor's change, reloads and takes
// the run-once record out: the walk must not step over the next record.
TEST_F(WatchPass, AfterAnOutsideSaveTheRecordBelowARunOnceRecordStillRuns) {
    const Lines records = {L"! EveryDay 12:00:00 Notice first", L"  EveryDay 12:00:00 Msg    second"};
    WriteBytes(state_.schedulePath, Cp932Lines(records));
    ASSERT_TRUE(LoadSchedule(state_));
    const std::wstring added = L"X _______  01:00:00 Msg    added";
    WriteBytes(state_.schedulePath, Cp932Lines({records[0], records[1], added}));
    TimerPassAt(MakeTime(2024, 5, 6, 12, 0, 0));
    EXPECT_EQ((Lines{L"Notice first", L"Msg    second"}), Performed());
    EXPECT_EQ(Cp932Lines({records[1], added}), FileBytes());
}

// A UTF-8 file (an editor's) keeps its byte-order mark and the characters
// code page 932 lacks when ZAV saves its marks, after a reload too.
TEST_F(WatchPass, ZavWritesAUtfEightScheduleBackInUtfEight) {
    const std::string bom = "\xEF\xBB\xBF";
    const std::string kept = "  EveryDay 07:00:00 Msg    \xF0\xA0\xAE\xB7\xE5\xAE\xB6 \xE2\x88\x92\r\n";  // 𠮷家 −
    WriteBytes(state_.schedulePath, bom + kept + "# EveryDay 12:00:00 Msg    held\r\n");
    ASSERT_TRUE(LoadSchedule(state_));
    WriteBytes(state_.schedulePath, bom + kept + "# EveryDay 12:00:00 Msg    held\r\nX _______  01:00:00 Msg    b\r\n");
    TimerPassAt(MakeTime(2024, 5, 6, 12, 0, 0));
    EXPECT_EQ(bom + kept + "  EveryDay 12:00:00 Msg    held\r\nX _______  01:00:00 Msg    b\r\n", FileBytes());
}

TEST_F(WatchPass, AFileThatChangedAndCannotBeReadIsNotWritten) {
    WriteBytes(state_.schedulePath, Cp932Lines({L"# EveryDay 12:00:00 Msg    held"}));
    ASSERT_TRUE(LoadSchedule(state_));
    DeleteFileW(state_.schedulePath.text());
    BoxRecorder boxes;
    TimerPassAt(MakeTime(2024, 5, 6, 12, 0, 0));
    bool exists = true;
    FileBytes(&exists);
    EXPECT_FALSE(exists) << "ZAV wrote lines it did not read";
    EXPECT_TRUE(boxes.boxes().empty()) << "no box in the middle of a pass";
    EXPECT_EQ(1u, state_.pendingEdits.size()) << "kept for the next save";
    // The file comes back and is reloaded: the used hold stays used, and the
    // next save brings it into the file.
    WriteBytes(state_.schedulePath,
               Cp932Lines({L"# EveryDay 12:00:00 Msg    held", L"! EveryDay 12:00:01 Msg    once"}));
    ASSERT_TRUE(LoadSchedule(state_));
    EXPECT_EQ((Lines{L"  EveryDay 12:00:00 Msg    held", L"! EveryDay 12:00:01 Msg    once"}), InMemory());
    TimerPassAt(MakeTime(2024, 5, 6, 12, 0, 1));
    EXPECT_EQ((Lines{L"Msg    once"}), Performed());
    EXPECT_EQ(Cp932Lines({L"  EveryDay 12:00:00 Msg    held"}), FileBytes());
    EXPECT_TRUE(state_.pendingEdits.empty());
}

// What the file holds while the action of "Msg    once" runs.
std::string g_fileDuringAction;
void ReadFileDuringAction(const WString& actionText) {
    if (actionText == L"Msg    once") g_fileDuringAction = ReadBytes(g_state->schedulePath);
}

TEST_F(WatchPass, ThePassSavesItsMarksBeforeTheActionRuns) {
    Load({L"# EveryDay 12:00:00 Msg    held", L"! EveryDay 12:00:00 Msg    once", L"  EveryDay 12:00:00 Msg    after"});
    g_fileDuringAction.clear();
    PassHarness::SetReaction(ReadFileDuringAction);
    TimerPassAt(MakeTime(2024, 5, 6, 12, 0, 0));
    EXPECT_EQ((Lines{L"Msg    once", L"Msg    after"}), Performed());
    const std::string marked = Cp932Lines({L"  EveryDay 12:00:00 Msg    held", L"  EveryDay 12:00:00 Msg    after"});
    EXPECT_EQ(marked, g_fileDuringAction) << "the run-once record must be gone from the file while its box is open";
    EXPECT_EQ(marked, FileBytes());
}

// While the first box is open, ZAVSet inserts three records above and ZAV
// reloads: the records the pass already handled move down under its walk.
void ReloadWithRecordsAbove(const WString& actionText) {
    if (actionText != L"Msg    a" || !FirstReentry()) return;
    std::vector<std::wstring> lines = {L"X _______  01:00:00 Msg    z1", L"X _______  02:00:00 Msg    z2",
                                       L"X _______  03:00:00 Msg    z3"};
    // What ZAVSet read from the file, saved back with its own additions.
    StringList read;
    read.load(g_state->schedulePath);
    for (int i = 0; i < read.count(); ++i) lines.push_back(read.at(i).text());
    WriteBytes(g_state->schedulePath, Cp932Lines(lines));
    EXPECT_TRUE(LoadSchedule(*g_state));
}

TEST_F(WatchPass, AfterAReloadThePassDoesNotRepeatWhatItDidInItsSecond) {
    const Lines records = {L"# EveryDay 10:00:00 Msg    h", L"! EveryDay 10:00:00 Msg    once",
                           L"  EveryDay 10:00:00 Msg    a", L"  EveryDay 10:00:00 Msg    b"};
    WriteBytes(state_.schedulePath, Cp932Lines(records));
    ASSERT_TRUE(LoadSchedule(state_));
    PassHarness::SetReaction(ReloadWithRecordsAbove);
    TimerPassAt(MakeTime(2024, 5, 6, 10, 0, 0));
    // Without the check, the walk would meet the used hold "h" and "a" again.
    EXPECT_EQ((Lines{L"Msg    once", L"Msg    a", L"Msg    b"}), Performed());
    const Lines left = {L"X _______  01:00:00 Msg    z1", L"X _______  02:00:00 Msg    z2",
                        L"X _______  03:00:00 Msg    z3", L"  EveryDay 10:00:00 Msg    h",
                        L"  EveryDay 10:00:00 Msg    a",  L"  EveryDay 10:00:00 Msg    b"};
    EXPECT_EQ(left, InMemory());
    EXPECT_EQ(Cp932Lines(left), FileBytes());
}

TEST_F(WatchPass, TwoEqualRecordsOfOneSecondBothRunWithoutAReload) {
    Load({L"  EveryDay 10:00:00 Msg    same", L"  EveryDay 10:00:00 Msg    same"});
    TimerPassAt(MakeTime(2024, 5, 6, 10, 0, 0));
    EXPECT_EQ((Lines{L"Msg    same", L"Msg    same"}), Performed());
}

TEST_F(WatchPass, AReloadThatCannotReadTheFileKeepsTheRecords) {
    const Lines records = {L"  EveryDay 10:00:00 Msg    kept"};
    WriteBytes(state_.schedulePath, Cp932Lines(records));
    ASSERT_TRUE(LoadSchedule(state_));
    DeleteFileW(state_.schedulePath.text());
    BoxRecorder boxes;
    EXPECT_FALSE(LoadSchedule(state_));
    EXPECT_EQ(records, InMemory());
    ASSERT_EQ(1u, boxes.boxes().size()) << "load's box";
    EXPECT_EQ(std::wstring(state_.schedulePath.text()) + L"\nファイルがないのかもしれません", boxes.boxes()[0].text);
    TimerPassAt(MakeTime(2024, 5, 6, 10, 0, 0));
    EXPECT_EQ((Lines{L"Msg    kept"}), Performed());
}

// A deferred Screen whose start runs a nested pass with a Screen of its own.
void NestedScreen(const WString& actionText) {
    PassLaterInside(actionText, L"Screen outer.scr", 1);
}

TEST_F(WatchPass, DeferredActionsOfANestedPassRunInsideTheOuterOne) {
    Load({L"  EveryDay 10:00:00 Screen outer.scr", L"  EveryDay 10:00:00 Kabe   Center outer.bmp",
          L"  EveryDay 10:00:01 Screen inner.scr", L"! EveryDay 10:00:01 Msg    inner"});
    PassHarness::SetReaction(NestedScreen);
    TimerPassAt(MakeTime(2024, 5, 6, 10, 0, 0));
    EXPECT_EQ((Lines{L"Screen outer.scr", L"Msg    inner", L"Screen inner.scr", L"Kabe   Center outer.bmp"}),
              Performed());
    EXPECT_EQ(3, state_.schedule.count());
}

}  // namespace

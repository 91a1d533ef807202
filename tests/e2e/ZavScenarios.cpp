// ZAV.exe end to end under Wine: started in a folder of its own with a
// schedule, watched and driven from outside as a user (and ZAVSet) would.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/Handles.h"
#include "common/Protocol.h"
#include "common/SharedBlock.h"
#include "common/System.h"
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

const wchar_t kDoubleStartText[] =
    L"ZAV.exe は２重に起動はできません\nこのメッセージが出た理由がわからない人は\nReadme.txt を読んで勉強してください";
const wchar_t kNotFoundText[] = L"タスクトレイの Orrivane を見つけられませんでした";
const wchar_t kNoSettingsProgramText[] = L"ZAVSet.exe が ZAV.exe と同じディレクトリにありません";

// Seconds between writing a due record and its second: enough for Wine to
// start ZAV (about a second on a busy machine), little enough to keep the suite short.
constexpr int kLeadSeconds = 3;
// How late a box may be seen after its second: the watch timer ticks every
// 300 ms and the harness polls every 15 ms; the rest is room for a loaded machine.
constexpr double kLatenessLimit = 2.0;

// True when Wine's freshly repainted tray shows something else than the
// normal icon within a few seconds: the icon is blinking. A repainted tray
// that has held still for a moment does not always show icon 102, hence the
// repeated looks.
bool TrayIconBlinks(const RECT& tray, const std::vector<COLORREF>& normal) {
    return WaitUntil([&] {
        RepaintWineTray();
        std::vector<COLORREF> now = SteadyPixels(tray, 200, 1500);
        return !now.empty() && now != normal;
    }, 5000);
}

// After every scenario: no ZAV and no ZAVSet stand-in left running.
class NoProcessLeft : public ::testing::Environment {
public:
    void SetUp() override {
        EXPECT_TRUE(ProcessesNamed(L"ZAV.exe").empty()) << "a ZAV.exe was running before the scenarios";
    }
    void TearDown() override {
        // A stand-in started last may still be writing its word.
        EXPECT_TRUE(WaitUntil([] { return ProcessesNamed(L"ZAV.exe").empty() && ProcessesNamed(L"ZAVSet.exe").empty(); }))
            << ProcessesNamed(L"ZAV.exe").size() << " ZAV.exe and " << ProcessesNamed(L"ZAVSet.exe").size()
            << " ZAVSet.exe processes were left behind";
    }
};

::testing::Environment* const g_noProcessLeft = ::testing::AddGlobalTestEnvironment(new NoProcessLeft);

class ZavScenario : public ZavFixture {
protected:
    void StartZav(const std::vector<std::wstring>& records) {
        ASSERT_NO_FATAL_FAILURE(ZavFixture::StartZav(records));
        // What the left-behind check at the end relies on.
        std::vector<DWORD> running = ProcessesNamed(L"ZAV.exe");
        EXPECT_NE(std::find(running.begin(), running.end(), zav.id()), running.end()) << "ZAV.exe not in the process list";
    }

    // The box of a record due at `due`: shown at that second, not before it.
    HWND ExpectBoxAt(const std::wstring& text, const SYSTEMTIME& due) {
        HWND box = WaitForBox(zav.id(), text, kLeadSeconds * 1000 + kWaitMs);
        SYSTEMTIME seen;
        GetLocalTime(&seen);
        EXPECT_NE(box, nullptr) << "no box \"" << Narrow(text) << "\"; boxes: " << Texts(FindBoxes(zav.id()));
        if (box == nullptr) return nullptr;
        double lateness = SecondsBetween(due, seen);
        EXPECT_GE(lateness, 0.0) << "box \"" << Narrow(text) << "\" due at " << Narrow(FormatTime(due))
                                 << " was shown at " << Narrow(FormatTime(seen));
        EXPECT_LT(lateness, kLatenessLimit) << "box \"" << Narrow(text) << "\" due at "
                                            << Narrow(FormatTime(due)) << " was shown at "
                                            << Narrow(FormatTime(seen));
        return box;
    }
};

// ---- The watch ----

TEST_F(ZavScenario, MsgRecordShowsItsBoxAtItsSecond) {
    SYSTEMTIME due = LocalTimeAfter(kLeadSeconds);
    ASSERT_NO_FATAL_FAILURE(StartZav({EveryDayRecord(due, L"Msg", L"時間です　会議室へ")}));
    HWND box = ExpectBoxAt(L"時間です　会議室へ", due);
    ASSERT_NE(box, nullptr);
    LONG_PTR extended = GetWindowLongPtrW(box, GWL_EXSTYLE);
    if (RunningUnderWine()) {
        // Wine does not apply MB_TOPMOST: the box is an ordinary window there.
        EXPECT_EQ(extended & WS_EX_TOPMOST, 0) << "Wine now applies MB_TOPMOST: drop this difference";
    } else {
        EXPECT_NE(extended & WS_EX_TOPMOST, 0) << "the box is not topmost";
    }
    Screenshot(L"msg-box", box);
    EXPECT_TRUE(AnswerBox(box));
    EndZav();
}

TEST_F(ZavScenario, TwoMsgRecordsOfOneSecondShowOneAfterTheOther) {
    SYSTEMTIME due = LocalTimeAfter(kLeadSeconds);
    ASSERT_NO_FATAL_FAILURE(StartZav({EveryDayRecord(due, L"Msg", L"一件目"), EveryDayRecord(due, L"Msg", L"二件目")}));
    HWND first = ExpectBoxAt(L"一件目", due);
    ASSERT_NE(first, nullptr);
    // The second record waits for the first box: while it stays open past its
    // second, no other box appears.
    bool secondEarly = WaitUntil([&] { return FindBoxes(zav.id()).size() > 1; },
                                 static_cast<DWORD>(1500));
    EXPECT_FALSE(secondEarly) << "boxes while the first was open: " << Texts(FindBoxes(zav.id()));
    EXPECT_TRUE(AnswerBox(first));
    HWND second = WaitForBox(zav.id(), L"二件目");
    ASSERT_NE(second, nullptr) << "boxes: " << Texts(FindBoxes(zav.id()));
    EXPECT_TRUE(AnswerBox(second));
    EndZav();
}

TEST_F(ZavScenario, BoxHeldOpenDoesNotStopALaterRecord) {
    SYSTEMTIME due = LocalTimeAfter(kLeadSeconds);
    SYSTEMTIME later = LocalTimeAfter(kLeadSeconds + 2);
    ASSERT_NO_FATAL_FAILURE(StartZav({EveryDayRecord(due, L"Msg", L"先の予定"), EveryDayRecord(later, L"Msg", L"後の予定")}));
    HWND first = ExpectBoxAt(L"先の予定", due);
    ASSERT_NE(first, nullptr);
    // The first box stays open; the later record fires from inside its loop.
    HWND second = ExpectBoxAt(L"後の予定", later);
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(IsWindowVisible(first)) << "the first box went away by itself";
    std::vector<Box> boxes = FindBoxes(zav.id());
    // The nested pass checked its own second only: the first record did not run again.
    EXPECT_EQ(std::count_if(boxes.begin(), boxes.end(), [](const Box& b) { return b.text == L"先の予定"; }), 1)
        << "boxes: " << Texts(boxes);
    EXPECT_TRUE(AnswerBox(second));
    EXPECT_TRUE(AnswerBox(first));
    EndZav();
}

TEST_F(ZavScenario, StartRecordsRunInFileOrderAndHoldFlagsAreRewritten) {
    ASSERT_NO_FATAL_FAILURE(StartZav({
        StartRecord(L"Msg", L"一番目"),
        StartRecord(L"Msg", L"保留された", L'#'),
        StartRecord(L"Msg", L"一度だけ", L'!'),
        StartRecord(L"Msg", L"実行しない", L'X'),
        StartRecord(L"Msg", L"最後"),
        StartRecord(L"zzzzzz", L"これとこの上のスケジュールは削除して下さい。"),
    }));
    for (const wchar_t* expected : {L"一番目", L"一度だけ", L"最後"}) {
        std::wstring text;
        HWND box = WaitForAnyBox(zav.id(), &text);
        ASSERT_NE(box, nullptr) << "no box; expected \"" << Narrow(expected) << "\"";
        EXPECT_EQ(Narrow(text), Narrow(expected));
        EXPECT_EQ(FindBoxes(zav.id()).size(), 1u) << "boxes: " << Texts(FindBoxes(zav.id()));
        EXPECT_TRUE(AnswerBox(box));
    }
    // "zzzzzz" starts ZAVSet with that word instead of a box.
    EXPECT_TRUE(WaitUntil([&] { return sandbox.StandInWords() == std::vector<std::wstring>{L"zzzzzz"}; }))
        << "stand-in words:" << Lines(sandbox.StandInWords());
    // "#" is used up (a blank now), "!" ran and is gone, "X" stays as it was.
    std::vector<std::wstring> expected = {
        StartRecord(L"Msg", L"一番目"),
        StartRecord(L"Msg", L"保留された"),
        StartRecord(L"Msg", L"実行しない", L'X'),
        StartRecord(L"Msg", L"最後"),
        StartRecord(L"zzzzzz", L"これとこの上のスケジュールは削除して下さい。"),
    };
    EXPECT_TRUE(WaitUntil([&] { return sandbox.ReadSchedule() == expected; }))
        << "Zavbell.txt:" << Lines(sandbox.ReadSchedule()) << "\nexpected:" << Lines(expected);
    EndZav();
}

TEST_F(ZavScenario, ReloadWhileABoxIsOpenReplacesTheListUnderThePass) {
    SYSTEMTIME due = LocalTimeAfter(kLeadSeconds);
    SYSTEMTIME later = LocalTimeAfter(kLeadSeconds + 3);
    ASSERT_NO_FATAL_FAILURE(StartZav({EveryDayRecord(due, L"Msg", L"外側の一件目"), EveryDayRecord(due, L"Msg", L"消える二件目"),
                                      EveryDayRecord(due, L"Msg", L"消える三件目")}));
    HWND first = ExpectBoxAt(L"外側の一件目", due);
    ASSERT_NE(first, nullptr);
    // ZAVSet saved a shorter schedule while the outer pass waits in the box.
    sandbox.WriteSchedule({EveryDayRecord(due, L"Msg", L"保留中", L'X'), EveryDayRecord(later, L"Msg", L"新しい予定")});
    LRESULT answer = -1;
    ASSERT_TRUE(SendAndWait(zav.window(), ControlMessage(), 0, 0, &answer)) << "reload not answered";
    EXPECT_EQ(answer, 0);
    EXPECT_TRUE(AnswerBox(first));
    // The outer pass goes on over the new list: the removed records never run.
    std::vector<std::wstring> seen;
    HWND fresh = nullptr;
    WaitUntil([&] {
        for (const Box& box : FindBoxes(zav.id())) {
            if (std::find(seen.begin(), seen.end(), box.text) == seen.end()) seen.push_back(box.text);
            if (box.text == L"新しい予定") fresh = box.window;
        }
        return fresh != nullptr;
    }, kLeadSeconds * 1000 + kWaitMs);
    ASSERT_NE(fresh, nullptr) << "boxes seen:" << Lines(seen);
    EXPECT_EQ(seen, std::vector<std::wstring>{L"新しい予定"}) << "boxes seen:" << Lines(seen);
    EXPECT_TRUE(AnswerBox(fresh));
    EXPECT_TRUE(zav.Running()) << "ZAV ended with code " << zav.ExitCode();
    EndZav();
}

// ---- Start-up checks ----

TEST_F(ZavScenario, SecondStartShowsTheDoubleStartBoxAndEndsWithCode1) {
    ASSERT_NO_FATAL_FAILURE(StartZav({StartRecord(L"Msg", L"保留", L'X')}));
    ZavProcess second;
    ASSERT_TRUE(second.Start(sandbox));
    HWND box = WaitForBox(second.id(), kDoubleStartText);
    ASSERT_NE(box, nullptr) << "boxes of the second ZAV: " << Texts(FindBoxes(second.id()));
    EXPECT_TRUE(AnswerBox(box));
    ASSERT_TRUE(second.WaitForExit());
    EXPECT_EQ(second.ExitCode(), 1u);
    EXPECT_TRUE(zav.Running()) << "the first ZAV ended too";
    EXPECT_TRUE(IsWindow(zav.window()));
    EndZav();
}

TEST_F(ZavScenario, ReloadArgumentMakesTheRunningZavReloadSilently) {
    ASSERT_NO_FATAL_FAILURE(StartZav({StartRecord(L"Msg", L"保留", L'X')}));
    SYSTEMTIME due = LocalTimeAfter(kLeadSeconds);
    sandbox.WriteSchedule({EveryDayRecord(due, L"Msg", L"再読み込みされた予定")});
    ZavProcess reloader;
    ASSERT_TRUE(reloader.Start(sandbox, L"/R"));
    bool boxShown = false;
    WaitUntil([&] {
        boxShown = boxShown || !FindBoxes(reloader.id()).empty();
        return !reloader.Running();
    });
    EXPECT_FALSE(boxShown) << "\"ZAV.exe /R\" showed a box";
    ASSERT_FALSE(reloader.Running());
    EXPECT_EQ(reloader.ExitCode(), 0u);
    HWND box = ExpectBoxAt(L"再読み込みされた予定", due);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(AnswerBox(box));
    EndZav();
}

struct ArgumentCase {
    const wchar_t* arguments;
    bool zavRunning;
    const wchar_t* box;
};

class ZavArguments : public ZavScenario, public ::testing::WithParamInterface<ArgumentCase> {};

TEST_P(ZavArguments, ShowTheirBoxAndEndWithCode0) {
    const ArgumentCase& c = GetParam();
    if (c.zavRunning) {
        ASSERT_NO_FATAL_FAILURE(StartZav({StartRecord(L"Msg", L"保留", L'X')}));
    }
    ZavProcess started;
    ASSERT_TRUE(started.Start(sandbox, c.arguments));
    HWND box = WaitForBox(started.id(), c.box);
    ASSERT_NE(box, nullptr) << "arguments \"" << Narrow(c.arguments) << "\": boxes " << Texts(FindBoxes(started.id()));
    EXPECT_TRUE(AnswerBox(box));
    ASSERT_TRUE(started.WaitForExit());
    EXPECT_EQ(started.ExitCode(), 0u);
    if (c.zavRunning) EndZav();
}

INSTANTIATE_TEST_SUITE_P(Cases, ZavArguments,
                         ::testing::Values(ArgumentCase{L"/X", true, L"引数ミス"},
                                           ArgumentCase{L"reload", false, L"引数ミス"},
                                           ArgumentCase{L"/R", false, kNotFoundText}));

TEST_F(ZavScenario, MissingZavSetShowsItsBoxAndZavEnds) {
    sandbox.WriteSchedule({StartRecord(L"Msg", L"表示されない")});
    ASSERT_TRUE(zav.Start(sandbox));
    HWND box = WaitForBox(zav.id(), kNoSettingsProgramText);
    ASSERT_NE(box, nullptr) << "boxes: " << Texts(FindBoxes(zav.id()));
    EXPECT_TRUE(AnswerBox(box));
    ASSERT_TRUE(zav.WaitForExit()) << "ZAV went on without ZAVSet.exe";
    EXPECT_EQ(zav.ExitCode(), 0u);
}

struct InitCase {
    const char* name;
    bool writeFile;
    std::vector<std::wstring> records;
};

class ZavInitSchedule : public ZavScenario, public ::testing::WithParamInterface<InitCase> {};

TEST_P(ZavInitSchedule, AsksZavSetForTheInitialScheduleAndRunsIt) {
    const InitCase& c = GetParam();
    sandbox.InstallStandIn();
    if (c.writeFile) sandbox.WriteSchedule(c.records);
    sandbox.PrepareInitSchedule({StartRecord(L"Msg", L"初期スケジュールです")});
    ASSERT_TRUE(zav.Start(sandbox));
    // ZAV waited for "initschedule", then loaded what it wrote and ran its start-up record.
    HWND box = WaitForBox(zav.id(), L"初期スケジュールです");
    ASSERT_NE(box, nullptr) << c.name << ": boxes " << Texts(FindBoxes(zav.id())) << " stand-in words:"
                            << Lines(sandbox.StandInWords());
    EXPECT_EQ(sandbox.StandInWords(), std::vector<std::wstring>{L"initschedule"}) << Lines(sandbox.StandInWords());
    EXPECT_TRUE(AnswerBox(box));
    ASSERT_NE(zav.WaitForWindow(), nullptr);
    EndZav();
}

INSTANTIATE_TEST_SUITE_P(Cases, ZavInitSchedule,
                         ::testing::Values(InitCase{"missing", false, {}}, InitCase{"empty", true, {}},
                                           // Written before version 2.00: hh:mm time, blank at 14.
                                           InitCase{"old format", true, {L"EveryDay 07:30 Msg    古い形式"}},
                                           InitCase{"old every", true, {L"EveryDay 15'毎 Msg    古い形式"}}),
                         [](const ::testing::TestParamInfo<InitCase>& info) {
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), ' ', '_');
                             return name;
                         });

TEST_F(ZavScenario, ElevationSettingRestartsOnlyFromALimitedToken) {
    int elevation = 0;
    GetOsLevel(nullptr, &elevation);
    if (elevation == kElevationLimited) {
        // On Windows with UAC a consent prompt would follow, which a test cannot answer.
        GTEST_SKIP() << "limited token: ZAV would restart itself elevated";
    }
    // Under Wine the token is always the elevated one (elevation code 3), so
    // Elevation=1 never restarts there; on Windows this holds for an elevated
    // or a standard user's token.
    sandbox.WriteSetting(L"Elevation", 1);
    ASSERT_NO_FATAL_FAILURE(StartZav({StartRecord(L"Msg", L"昇格の確認")}));
    HWND box = WaitForBox(zav.id(), L"昇格の確認");
    ASSERT_NE(box, nullptr) << "the ZAV that was started did not run the schedule itself";
    EXPECT_TRUE(AnswerBox(box));
    EndZav();
}

// ---- Messages from ZAVSet ----

TEST_F(ZavScenario, SettingsMessageRereadsTheIniAndTheWatchGoesOn) {
    SYSTEMTIME due = LocalTimeAfter(kLeadSeconds);
    ASSERT_NO_FATAL_FAILURE(StartZav({EveryDayRecord(due, L"Msg", L"設定の再読み込み後")}));
    // 1000 would skip seconds; ZAV takes 300 instead. The period itself cannot
    // be seen from outside: that records still fire at their second is what
    // this shows (the values are checked in the alarm unit tests).
    sandbox.WriteSetting(L"TimerInt", 1000);
    sandbox.WriteSetting(L"BlinkInt", 200);
    LRESULT answer = -1;
    ASSERT_TRUE(SendAndWait(zav.window(), ControlMessage(), 1, 0, &answer));
    EXPECT_EQ(answer, 0);
    HWND box = ExpectBoxAt(L"設定の再読み込み後", due);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(AnswerBox(box));
    EndZav();
}

// The sender is answered before the action: a test run's box does not hold it.
TEST_F(ZavScenario, TestRunPerformsTheBlockTextAndAnswersWhileTheBoxIsOpen) {
    ASSERT_NO_FATAL_FAILURE(StartZav({StartRecord(L"Msg", L"保留", L'X')}));
    SharedBlock block;
    ASSERT_TRUE(CreateTestRunBlock(block, L"Msg    メッセージ表示のテスト"));
    AsyncSend send(zav.window(), ControlMessage(), 2, 0);
    HWND box = WaitForBox(zav.id(), L"メッセージ表示のテスト");
    ASSERT_NE(box, nullptr) << "boxes: " << Texts(FindBoxes(zav.id()));
    ASSERT_TRUE(send.Wait()) << "the test-run message was answered only after its box was closed";
    EXPECT_EQ(send.Result(), 0);
    EXPECT_TRUE(IsWindowVisible(box));
    EXPECT_TRUE(AnswerBox(box));
    EndZav();
}

TEST_F(ZavScenario, TestRunWithoutABlockAndUnknownRequestsAreIgnored) {
    ASSERT_NO_FATAL_FAILURE(StartZav({StartRecord(L"Msg", L"保留", L'X')}));
    for (WPARAM request : {WPARAM(2), WPARAM(3), WPARAM(0xFFFF)}) {
        LRESULT answer = -1;
        ASSERT_TRUE(SendAndWait(zav.window(), ControlMessage(), request, 0, &answer)) << "request " << request;
        EXPECT_EQ(answer, 0) << "request " << request;
        EXPECT_TRUE(FindBoxes(zav.id()).empty()) << "request " << request << ": " << Texts(FindBoxes(zav.id()));
    }
    EXPECT_TRUE(zav.Running());
    EndZav();
}

TEST_F(ZavScenario, NoticeShowsABalloonAndReturnsAtOnce) {
    ASSERT_NO_FATAL_FAILURE(StartZav({StartRecord(L"Msg", L"保留", L'X')}));
    SharedBlock block;
    ASSERT_TRUE(CreateTestRunBlock(block, L"Notice 通知メッセージのテスト"));
    LRESULT answer = -1;
    ASSERT_TRUE(SendAndWait(zav.window(), ControlMessage(), 2, 0, &answer)) << "Notice waited";
    EXPECT_EQ(answer, 0);
    EXPECT_TRUE(FindBoxes(zav.id()).empty()) << Texts(FindBoxes(zav.id()));
    // Wine's tray shows a balloon about two seconds after it was asked for,
    // as a tooltip window of its own process.
    HWND balloon = WaitForBalloon();
    EXPECT_NE(balloon, nullptr) << "no balloon appeared";
    Screenshot(L"notice-balloon", balloon);
    EndZav();
}

// ---- The tray icon ----

TEST_F(ZavScenario, TaskbarCreatedPutsTheIconBackAndIsAnsweredWith1) {
    ASSERT_NO_FATAL_FAILURE(StartZav({StartRecord(L"Msg", L"保留", L'X')}));
    LRESULT answer = 0;
    ASSERT_TRUE(SendAndWait(zav.window(), TaskbarCreatedMessage(), 0, 0, &answer));
    EXPECT_EQ(answer, 1);
    if (RunningUnderWine()) {
        // ZAV deletes and adds its icon; Wine hides its tray window while it
        // holds no icon, so an icon that was only deleted leaves none there.
        RECT area = {};
        EXPECT_TRUE(WineTrayArea(&area, 3000)) << "no icon in the Wine System Tray window after TaskbarCreated";
    }
    EndZav();
}

TEST_F(ZavScenario, SingleClickOpensTheMenuAndItsExitEndsZav) {
    ASSERT_NO_FATAL_FAILURE(StartZav({StartRecord(L"Msg", L"保留", L'X')}));
    ASSERT_TRUE(SendTrayMouse(zav.window(), WM_RBUTTONDOWN));
    HWND menu = WaitForMenu(zav.id());
    ASSERT_NE(menu, nullptr) << "no #32768 window after a single click";
    Screenshot(L"tray-menu");
    // The first item is "終了(&X)".
    PostKey(menu, VK_DOWN);
    PostKey(menu, VK_RETURN);
    ASSERT_TRUE(zav.WaitForExit()) << "ZAV still runs after the menu's exit command";
    EXPECT_EQ(zav.ExitCode(), 0u);
    EXPECT_FALSE(IsWindow(zav.window()));
}

TEST_F(ZavScenario, DoubleClickAndMenuCommandsStartZavSetWithTheirWords) {
    ASSERT_NO_FATAL_FAILURE(StartZav({StartRecord(L"Msg", L"保留", L'X')}));
    ASSERT_TRUE(SendTrayMouse(zav.window(), WM_LBUTTONDOWN));
    ASSERT_TRUE(SendTrayMouse(zav.window(), WM_LBUTTONDBLCLK));
    EXPECT_TRUE(WaitUntil([&] { return sandbox.StandInWords().size() >= 1; }));
    // A double click never opens the menu, also after the double-click time.
    EXPECT_FALSE(WaitUntil([&] { return MenuVisible(zav.id()); }, GetDoubleClickTime() + 500));
    struct { WORD id; const wchar_t* word; } commands[] = {{40002, L"about"}, {40003, L"set"}, {40004, L"timer"}};
    std::vector<std::wstring> expected = {L"set"};
    for (const auto& command : commands) {
        LRESULT answer = -1;
        ASSERT_TRUE(SendAndWait(zav.window(), WM_COMMAND, command.id, 0, &answer));
        EXPECT_EQ(answer, 0) << "command " << command.id;
        expected.push_back(command.word);
        EXPECT_TRUE(WaitUntil([&] { return sandbox.StandInWords() == expected; }))
            << "command " << command.id << ": stand-in words:" << Lines(sandbox.StandInWords());
    }
    LRESULT answer = -1;
    ASSERT_TRUE(SendAndWait(zav.window(), WM_COMMAND, 40999, 0, &answer));
    EXPECT_EQ(answer, 1) << "an unknown command id";
    EndZav();
}

TEST_F(ZavScenario, BlinkShowsItsMessageOnASingleClickAndThenStops) {
    ASSERT_NO_FATAL_FAILURE(StartZav({StartRecord(L"Msg", L"保留", L'X')}));
    // The icon is looked at where Wine draws it; on Windows it is in
    // Explorer's taskbar and this part of the check is left out.
    RECT tray = {};
    bool seeTray = RunningUnderWine();
    if (seeTray) {
        ASSERT_TRUE(WineTrayArea(&tray)) << "no icon in the Wine System Tray window";
    }
    std::vector<COLORREF> normal;
    if (seeTray) {
        // Icon 101 is drawn a moment after the window appeared (and after an
        // earlier test's balloon left the tray to be repainted).
        RepaintWineTray();
        normal = SteadyPixels(tray);
        ASSERT_FALSE(normal.empty()) << "the tray icon never held still";
    }
    for (const wchar_t* text : {L"Blink  最初の点滅", L"Blink  二度目の点滅"}) {
        SharedBlock block;
        ASSERT_TRUE(CreateTestRunBlock(block, text));
        LRESULT answer = -1;
        ASSERT_TRUE(SendAndWait(zav.window(), ControlMessage(), 2, 0, &answer)) << "Blink waited";
        EXPECT_EQ(answer, 0);
    }
    if (seeTray) {
        EXPECT_TRUE(WaitUntil([&] { return CapturePixels(tray) != normal; }))
            << "the tray icon did not change while blinking";
    }
    Screenshot(L"blink");
    ASSERT_TRUE(SendTrayMouse(zav.window(), WM_LBUTTONDOWN));
    // Only the later message is pending.
    std::wstring text;
    HWND box = WaitForAnyBox(zav.id(), &text);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Narrow(text), Narrow(L"二度目の点滅"));
    EXPECT_FALSE(MenuVisible(zav.id())) << "the menu opened while a blink message was pending";
    if (seeTray) {
        // The icon goes on blinking while the box is open.
        EXPECT_TRUE(TrayIconBlinks(tray, normal)) << "the tray icon stopped blinking when the blink box opened";
        EXPECT_TRUE(IsWindowVisible(box)) << "the blink box closed by itself";
    }
    EXPECT_TRUE(AnswerBox(box));
    if (seeTray) {
        // ZAV stops the blinking once the box has returned; a message sent
        // after the box is gone comes back only when that handler is done.
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); })) << "the blink box did not close";
        LRESULT ignored = 0;
        EXPECT_TRUE(SendAndWait(zav.window(), WM_NULL, 0, 0, &ignored)) << "ZAV did not come back";
        // Icon 101 again, and it stays so: the blink timer is gone.
        // Wine draws a changed tray icon over the old picture without
        // erasing it (icon 102 shows through where 101 is transparent); a
        // repaint of the tray shows what the icon is now.
        std::vector<COLORREF> after;
        bool back = WaitUntil([&] {
            RepaintWineTray();
            after = SteadyPixels(tray);
            return after == normal;
        }, 5000);
        EXPECT_TRUE(back) << "the tray icon did not go back to the normal icon";
        EXPECT_FALSE(WaitUntil([&] { return CapturePixels(tray) != normal; }, 1200))
            << "the tray icon still changes after the blink message was closed";
    }
    // Nothing pending any more: the next click opens the menu.
    ASSERT_TRUE(SendTrayMouse(zav.window(), WM_LBUTTONDOWN));
    HWND menu = WaitForMenu(zav.id());
    ASSERT_NE(menu, nullptr);
    PostKey(menu, VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !MenuVisible(zav.id()); }));
    EndZav();
}

TEST_F(ZavScenario, BlinkWithoutTextBlinksAndAClickOpensTheMenu) {
    ASSERT_NO_FATAL_FAILURE(StartZav({StartRecord(L"Msg", L"保留", L'X')}));
    RECT tray = {};
    std::vector<COLORREF> normal;
    bool seeTray = RunningUnderWine();
    if (seeTray) {
        ASSERT_TRUE(WineTrayArea(&tray)) << "no icon in the Wine System Tray window";
        RepaintWineTray();
        normal = SteadyPixels(tray);
        ASSERT_FALSE(normal.empty()) << "the tray icon never held still";
    }
    {
        SharedBlock block;
        ASSERT_TRUE(CreateTestRunBlock(block, L"Blink  "));
        ASSERT_TRUE(SendAndWait(zav.window(), ControlMessage(), 2, 0, nullptr));
    }
    ASSERT_TRUE(SendTrayMouse(zav.window(), WM_LBUTTONDOWN));
    HWND menu = WaitForMenu(zav.id());
    ASSERT_NE(menu, nullptr) << "no menu after a click with an empty blink message; boxes: "
                             << Texts(FindBoxes(zav.id()));
    EXPECT_TRUE(FindBoxes(zav.id()).empty()) << Texts(FindBoxes(zav.id()));
    PostKey(menu, VK_ESCAPE);
    EXPECT_TRUE(WaitUntil([&] { return !MenuVisible(zav.id()); }));
    if (seeTray) {
        // Nothing acknowledged the blink: the icon goes on changing.
        EXPECT_TRUE(TrayIconBlinks(tray, normal)) << "the tray icon stopped blinking after the menu";
    }
    EndZav();
}

TEST_F(ZavScenario, BlinkThatComesWhileTheBlinkBoxIsOpenIsNotLost) {
    ASSERT_NO_FATAL_FAILURE(StartZav({StartRecord(L"Msg", L"保留", L'X')}));
    {
        SharedBlock block;
        ASSERT_TRUE(CreateTestRunBlock(block, L"Blink  先の点滅"));
        ASSERT_TRUE(SendAndWait(zav.window(), ControlMessage(), 2, 0, nullptr));
    }
    ASSERT_TRUE(SendTrayMouse(zav.window(), WM_LBUTTONDOWN));
    HWND first = WaitForBox(zav.id(), L"先の点滅");
    ASSERT_NE(first, nullptr) << Texts(FindBoxes(zav.id()));
    {
        // Comes due while the box is open (ZAV handles it from the box's loop).
        SharedBlock block;
        ASSERT_TRUE(CreateTestRunBlock(block, L"Blink  後の点滅"));
        ASSERT_TRUE(SendAndWait(zav.window(), ControlMessage(), 2, 0, nullptr));
    }
    EXPECT_TRUE(AnswerBox(first));
    ASSERT_TRUE(SendTrayMouse(zav.window(), WM_LBUTTONDOWN));
    std::wstring text;
    HWND second = WaitForAnyBox(zav.id(), &text);
    ASSERT_NE(second, nullptr) << "the later blink was dropped with the first box; menu visible: "
                               << MenuVisible(zav.id());
    EXPECT_EQ(Narrow(text), Narrow(L"後の点滅"));
    EXPECT_TRUE(AnswerBox(second));
    EndZav();
}

// ---- Starts as a user makes them ----

TEST_F(ZavScenario, StartedByItsBareNameInItsFolderFindsZavSet) {
    sandbox.InstallStandIn();
    sandbox.WriteSchedule({StartRecord(L"Msg", L"名前だけで起動")});
    // A command prompt in ZAV's folder: the program part of the command line
    // is "ZAV", without a folder.
    HANDLE cmdHandle = nullptr;
    ASSERT_TRUE(RunInCmd(sandbox, L"ZAV", &cmdHandle)) << "cmd.exe could not be started";
    UniqueHandle cmd(cmdHandle);
    OtherProcess started;
    ASSERT_TRUE(started.Find(L"ZAV.exe")) << "cmd started no ZAV.exe";
    std::wstring text;
    HWND box = WaitForAnyBox(started.id(), &text);
    ASSERT_NE(box, nullptr) << "no box from the ZAV that cmd started";
    EXPECT_EQ(Narrow(text), Narrow(L"名前だけで起動")) << "ZAV did not run its schedule";
    EXPECT_TRUE(AnswerBox(box));
    ASSERT_NE(started.WaitForZavWindow(), nullptr) << "ZAV ended";
    ASSERT_TRUE(started.Close()) << "ZAV did not end after WM_CLOSE";
    EXPECT_EQ(started.ExitCode(), 0u);
}

TEST_F(ZavScenario, StartsAtOneInstantLeaveOneResidentAndRefuseTheRest) {
    constexpr int kStarts = 6;
    sandbox.InstallStandIn();
    sandbox.WriteSchedule({StartRecord(L"Msg", L"保留", L'X')});
    ZavCrowd crowd;
    ASSERT_TRUE(crowd.Start(sandbox, kStarts));
    const std::vector<PROCESS_INFORMATION>& starts = crowd.processes();
    // Every refused start shows the double-start box and ends with 1 once it
    // is answered; the one that won goes on running.
    auto ended = [&] {
        int count = 0;
        for (size_t i = 0; i < starts.size(); ++i) count += crowd.Running(i) ? 0 : 1;
        return count;
    };
    WaitUntil([&] {
        for (const PROCESS_INFORMATION& start : starts) {
            for (const Box& box : FindBoxes(start.dwProcessId)) {
                if (box.text == kDoubleStartText) AnswerBox(box.window);
            }
        }
        return ended() == kStarts - 1;
    }, 2 * kWaitMs);
    // A second resident would have made its window by now, as the first did.
    std::vector<DWORD> residents;
    for (size_t i = 0; i < starts.size(); ++i) {
        if (!crowd.Running(i)) {
            DWORD code = 0;
            GetExitCodeProcess(starts[i].hProcess, &code);
            EXPECT_EQ(code, 1u) << "start " << i << " ended with " << code;
        } else {
            residents.push_back(starts[i].dwProcessId);
        }
    }
    ASSERT_EQ(residents.size(), 1u) << residents.size() << " of " << kStarts << " starts run at once";
    HWND window = FindWindowW(kZavWindowClass, kZavWindowTitle);
    ASSERT_NE(window, nullptr) << "the remaining ZAV has no window";
    EXPECT_EQ(ProcessOf(window), residents[0]);
}

// ---- Test runs from any program ----

TEST_F(ZavScenario, OversizedTestRunIsRefusedAndZavGoesOn) {
    ASSERT_NO_FATAL_FAILURE(StartZav({StartRecord(L"Msg", L"保留", L'X')}));
    // Any local program can write ZAV_TEST: 16 MiB of text took ZAV minutes
    // to read, during which no alarm fired.
    std::wstring huge = L"Msg    " + std::wstring(8 * 1024 * 1024, L'x');
    SharedBlock block;
    ASSERT_TRUE(CreateTestRunBlock(block, huge));
    LRESULT answer = -1;
    EXPECT_TRUE(SendAndWait(zav.window(), ControlMessage(), kTestRun, 0, &answer)) << "ZAV did not answer";
    EXPECT_EQ(answer, 0);
    EXPECT_TRUE(FindBoxes(zav.id()).empty()) << "boxes: " << FindBoxes(zav.id()).size();
    block.close();
    // An ordinary test run right after it is performed.
    ASSERT_TRUE(CreateTestRunBlock(block, L"Msg    普通の長さ"));
    AsyncSend send(zav.window(), ControlMessage(), kTestRun, 0);
    HWND box = WaitForBox(zav.id(), L"普通の長さ");
    ASSERT_NE(box, nullptr) << "boxes: " << Texts(FindBoxes(zav.id()));
    EXPECT_TRUE(AnswerBox(box));
    EXPECT_TRUE(send.Wait());
    EndZav();
}

}  // namespace

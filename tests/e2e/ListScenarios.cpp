// The schedule list of ZAVSet.exe end to end under Wine, beside the real
// ZAV.exe: opened from the tray, the options dialog, a hold change through
// the context menu and the hold dialog, a delete, Cancel, records that come
// due while the list is open, a test run (also with ZAV ended), a blink
// interval set in the options that the next Blink follows, and the explanation with the
// Startup shortcut after "zzzzzz"; and the timer, whose one-off line ZAV then
// performs. Every window is found by class and title.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "common/System.h"
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

// Ids of ZAVSet's templates, as a user's clicks reach them.
constexpr int kHoldButton = 1105;
constexpr int kDeleteButton = 1104;
constexpr int kTestRunButton = 1106;
constexpr int kOptionsButton = 1107;
constexpr int kBlinkField = 1411;
constexpr int kTimerField = 1421;
constexpr int kOptionsOk = 1431;
constexpr int kHoldRunOnce = 1502;
constexpr int kHoldOk = 1506;
constexpr int kTimerSeconds = 2111;
constexpr int kTimerShown = 2116;
constexpr int kTimerOk = 2118;

std::wstring StartupLink() {
    wchar_t folder[MAX_PATH] = {};
    SHGetSpecialFolderPathW(nullptr, folder, CSIDL_STARTUP, FALSE);
    return std::wstring(folder) + L"\\ZAV.lnk";
}

// Removes the Startup link however the scenario ends: a later start of this
// prefix would run it.
struct StartupLinkRemover {
    ~StartupLinkRemover() { DeleteFileW(StartupLink().c_str()); }
};

class ListScenario : public ZavSetScenario {};

const wchar_t kNotFoundText[] = L"タスクトレイの Orrivane を見つけられませんでした";
const std::wstring kHeld = L"X EveryDay 06:00:00 Msg    朝";
const std::wstring kOther = L"X EveryDay 23:00:00 Msg    夜";

TEST_F(ListScenario, OptionsWriteTheIntervalsAndCancelLeavesTheScheduleAsItWas) {
    HWND list = OpenList({kHeld, kOther});
    ASSERT_NE(list, nullptr) << "no schedule list from the tray's settings entry";
    std::string before = ReadBytes(sandbox.PathOf(L"Zavbell.txt"));

    Press(list, kOptionsButton);
    HWND options = WaitForDialog(Titled(L"パラメータの設定"));
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(GetWindow(options, GW_OWNER), list);
    SetDlgItemTextW(options, kBlinkField, L"3000");
    SetDlgItemTextW(options, kTimerField, L"450");
    Screenshot(L"options", options);
    Press(options, kOptionsOk);
    ASSERT_TRUE(Closed(options));
    EXPECT_EQ(GetPrivateProfileIntW(L"Zavbell", L"BlinkInt", 0, sandbox.PathOf(L"Zavbell.ini").c_str()), 3000u);
    EXPECT_EQ(GetPrivateProfileIntW(L"Zavbell", L"TimerInt", 0, sandbox.PathOf(L"Zavbell.ini").c_str()), 450u);

    SelectOnly(list, 0);
    Press(list, kDeleteButton);
    HWND ask = WaitForBox(ProcessOf(list), L"スケジュールを削除していいですか");
    ASSERT_NE(ask, nullptr);
    EXPECT_TRUE(AnswerBox(ask, IDOK));
    EXPECT_EQ(Entries(list), std::vector<std::wstring>{kOther});
    Press(list, kListCancel);
    ASSERT_TRUE(Closed(list));
    EXPECT_EQ(ReadBytes(sandbox.PathOf(L"Zavbell.txt")), before) << "Cancel writes nothing";
}

TEST_F(ListScenario, HoldThroughTheMenuAndTheHoldDialogThenDeleteAndOk) {
    HWND list = OpenList({kHeld, kOther});
    ASSERT_NE(list, nullptr);
    DWORD settings = ProcessOf(list);

    // A right click on the first line: its menu, last item "ずっと保留(&K)"
    // is checked; the items are walked with the arrow keys to "保留しない(&N)".
    HWND listBox = GetDlgItem(list, kScheduleList);
    int itemHeight = static_cast<int>(SendMessageW(listBox, LB_GETITEMHEIGHT, 0, 0));
    POINT onFirst{10, itemHeight / 2};
    ClientToScreen(listBox, &onFirst);
    SetCursorPos(onFirst.x, onFirst.y);
    PostMessageW(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(listBox), MAKELPARAM(onFirst.x, onFirst.y));
    HWND menu = WaitForMenu(settings);
    ASSERT_NE(menu, nullptr) << "no context menu";
    Screenshot(L"list-menu", menu);
    for (int i = 0; i < 5; ++i) PostKey(menu, VK_DOWN);     // Modify, Delete, Copy, Test run, not held
    PostKey(menu, VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return Entries(list).front() == L"  EveryDay 06:00:00 Msg    朝"; }))
        << "the line is not re-inserted without its hold";
    EXPECT_EQ(Entries(list).front(), L"  EveryDay 06:00:00 Msg    朝") << "' ' sorts before 'X'";

    SelectOnly(list, 0);
    Press(list, kHoldButton);
    HWND hold = WaitForDialog(Titled(L"保留状態変更"));
    ASSERT_NE(hold, nullptr);
    Screenshot(L"hold-dialog", hold);
    SendMessageW(GetDlgItem(hold, kHoldRunOnce), BM_CLICK, 0, 0);
    Press(hold, kHoldOk);
    ASSERT_TRUE(Closed(hold));
    EXPECT_EQ(Entries(list), (std::vector<std::wstring>{L"! EveryDay 06:00:00 Msg    朝", kOther}));

    SelectOnly(list, 1);
    Press(list, kDeleteButton);
    HWND ask = WaitForBox(settings, L"スケジュールを削除していいですか");
    ASSERT_NE(ask, nullptr);
    EXPECT_TRUE(AnswerBox(ask, IDOK));
    Press(list, kListOk);
    ASSERT_TRUE(Closed(list));
    EXPECT_EQ(sandbox.ReadSchedule(), std::vector<std::wstring>{L"! EveryDay 06:00:00 Msg    朝"});
}

TEST_F(ListScenario, RecordsThatComeDueWhileTheListIsOpenStayAsZavLeftThem) {
    SYSTEMTIME due = LocalTimeAfter(4);
    std::wstring once = EveryDayRecord(due, L"Msg", L"一度だけ", L'!');
    std::wstring holdOnce = EveryDayRecord(due, L"Msg", L"一度だけ保留", L'#');
    HWND list = OpenList({once, holdOnce, kOther});
    ASSERT_NE(list, nullptr);

    HWND message = WaitForBox(zav.id(), L"一度だけ");
    ASSERT_NE(message, nullptr) << "the run-once record did not run";
    EXPECT_TRUE(AnswerBox(message));
    std::wstring cleared = L" " + holdOnce.substr(1);
    ASSERT_TRUE(WaitUntil([&] { return sandbox.ReadSchedule() == std::vector<std::wstring>{cleared, kOther}; }))
        << "ZAV did not rewrite the schedule";

    Press(list, kListOk);
    ASSERT_TRUE(Closed(list)) << "OK asked or failed: ZAV's own changes need no question";
    EXPECT_EQ(sandbox.ReadSchedule(), (std::vector<std::wstring>{cleared, kOther}))
        << "OK brought back the record that ran or the used-up hold";
}

TEST_F(ListScenario, TestRunPerformsTheSelectedMessageAtOnce) {
    HWND list = OpenList({L"X EveryDay 06:00:00 Msg    テスト実行の確認", kOther});
    ASSERT_NE(list, nullptr);
    SelectOnly(list, 0);
    Press(list, kTestRunButton);
    HWND ask = WaitForBox(ProcessOf(list), L"テスト実行していいですか");
    ASSERT_NE(ask, nullptr);
    EXPECT_TRUE(AnswerBox(ask, IDOK));
    HWND message = WaitForBox(zav.id(), L"テスト実行の確認");
    ASSERT_NE(message, nullptr) << "ZAV did not perform the held line's action";
    EXPECT_EQ(Entries(list).front(), L"X EveryDay 06:00:00 Msg    テスト実行の確認");
    // The list goes on taking the user's clicks while ZAV's box is open.
    Press(list, kListCancel);
    EXPECT_TRUE(Closed(list)) << "the list was frozen until ZAV's box was closed";
    EXPECT_TRUE(IsWindowVisible(message));
    EXPECT_TRUE(AnswerBox(message));
}

TEST_F(ListScenario, TestRunWithZavEndedSaysSoAndTheListStaysOpen) {
    HWND list = OpenList({L"X EveryDay 06:00:00 Msg    届かない", kOther});
    ASSERT_NE(list, nullptr);
    DWORD settings = ProcessOf(list);
    ASSERT_TRUE(zav.Close()) << "ZAV did not end on WM_CLOSE";
    SelectOnly(list, 0);
    Press(list, kTestRunButton);
    std::wstring text;
    HWND box = WaitForAnyBox(settings, &text);
    ASSERT_NE(box, nullptr) << "no box for the test run without ZAV";
    EXPECT_EQ(Narrow(text), Narrow(kNotFoundText)) << "asked before looking for ZAV, or another box";
    EXPECT_TRUE(AnswerBox(box));
    EXPECT_TRUE(IsWindow(list) && IsWindowVisible(list)) << "the list closed after the failed test run";
    EXPECT_TRUE(FindBoxes(settings).empty()) << "a further box followed";
    EXPECT_EQ(Entries(list).size(), 2u);
    Press(list, kListCancel);
    EXPECT_TRUE(Closed(list));
}

// The picture of the tray icon, repainted and sampled every 100 ms for a
// while: (milliseconds since the start, whether it is the normal icon).
// Wine draws a changed tray icon over the old one without erasing, hence the
// repaint before every look.
std::vector<std::pair<ULONGLONG, bool>> SampleTray(const RECT& tray, const std::vector<COLORREF>& normal,
                                                   DWORD forMs) {
    std::vector<std::pair<ULONGLONG, bool>> samples;
    ULONGLONG start = GetTickCount64();
    while (GetTickCount64() - start < forMs) {
        RepaintWineTray();
        WaitUntil([] { return false; }, 40);
        samples.emplace_back(GetTickCount64() - start, CapturePixels(tray) == normal);
        WaitUntil([] { return false; }, 60);
    }
    return samples;
}

// The lengths of the stretches between two changes of picture; a single
// sample that differs from both neighbours is taken for a half-drawn tray.
std::vector<ULONGLONG> HeldStretches(const std::vector<std::pair<ULONGLONG, bool>>& samples,
                                     ULONGLONG* firstChange) {
    std::vector<std::pair<ULONGLONG, bool>> steady;
    for (size_t i = 0; i < samples.size(); ++i) {
        bool lone = i > 0 && i + 1 < samples.size() && samples[i - 1].second != samples[i].second &&
                    samples[i + 1].second != samples[i].second;
        if (!lone) steady.push_back(samples[i]);
    }
    std::vector<ULONGLONG> changes;
    for (size_t i = 1; i < steady.size(); ++i) {
        if (steady[i].second != steady[i - 1].second) changes.push_back(steady[i].first);
    }
    *firstChange = changes.empty() ? 0 : changes.front();
    std::vector<ULONGLONG> stretches;
    for (size_t i = 1; i < changes.size(); ++i) stretches.push_back(changes[i] - changes[i - 1]);
    return stretches;
}

TEST_F(ListScenario, BlinkIntervalFromTheOptionsHoldsEachTrayPictureAboutThreeSeconds) {
    if (!RunningUnderWine()) GTEST_SKIP() << "the icon is looked at in Wine's own tray window";
    HWND list = OpenList({L"X EveryDay 06:00:00 Blink  ゆっくり点滅", kOther});
    ASSERT_NE(list, nullptr);
    DWORD settings = ProcessOf(list);
    RECT tray = {};
    ASSERT_TRUE(WineTrayArea(&tray)) << "no icon in the Wine System Tray window";
    RepaintWineTray();
    std::vector<COLORREF> normal = SteadyPixels(tray);
    ASSERT_FALSE(normal.empty()) << "the tray icon never held still";

    // OK of the options writes BlinkInt and has ZAV read it again (wParam 1).
    Press(list, kOptionsButton);
    HWND options = WaitForDialog(Titled(L"パラメータの設定"));
    ASSERT_NE(options, nullptr);
    SetDlgItemTextW(options, kBlinkField, L"3000");
    Press(options, kOptionsOk);
    ASSERT_TRUE(Closed(options));
    ASSERT_EQ(GetPrivateProfileIntW(L"Zavbell", L"BlinkInt", 0, sandbox.PathOf(L"Zavbell.ini").c_str()), 3000u);
    EXPECT_TRUE(FindBoxes(settings).empty()) << "the options did not find ZAV";

    SelectOnly(list, 0);
    Press(list, kTestRunButton);
    HWND ask = WaitForBox(settings, L"テスト実行していいですか");
    ASSERT_NE(ask, nullptr);
    EXPECT_TRUE(AnswerBox(ask, IDOK));
    // About three periods; a 500 ms blink (the default, had ZAV not read the
    // settings again) would change the picture every half second.
    std::vector<std::pair<ULONGLONG, bool>> samples = SampleTray(tray, normal, 10000);
    ULONGLONG firstChange = 0;
    std::vector<ULONGLONG> stretches = HeldStretches(samples, &firstChange);
    std::string seen;
    for (const auto& sample : samples) seen += sample.second ? '1' : '2';
    EXPECT_GT(firstChange, 0u) << "the icon never changed: " << seen;
    EXPECT_LE(firstChange, 5000u) << seen;
    ASSERT_GE(stretches.size(), 1u) << "fewer than two changes in 10 s: " << seen;
    for (ULONGLONG stretch : stretches) {
        EXPECT_GE(stretch, 2000u) << "a picture held only " << stretch << " ms: " << seen;
        EXPECT_LE(stretch, 5000u) << seen;
    }

    // A click on the icon shows the message and ends the blink.
    ASSERT_TRUE(SendTrayMouse(zav.window(), WM_LBUTTONDOWN));
    HWND message = WaitForBox(zav.id(), L"ゆっくり点滅");
    ASSERT_NE(message, nullptr);
    EXPECT_TRUE(AnswerBox(message));
    Press(list, kListCancel);
    EXPECT_TRUE(Closed(list));
}

TEST_F(ListScenario, ExplanationAndStartupShortcutAfterZzzzzz) {
    const std::wstring link = StartupLink();
    DeleteFileW(link.c_str());
    StartupLinkRemover remover;
    // The tutorial schedule of a first start, whose last record brings ZAVSet
    // with "zzzzzz". The build gives its Unix path; Wine shows "/" as Z:.
    std::string unixPath = ORRIVANE_TUTORIAL_FILE;
    std::wstring tutorial = L"Z:" + std::wstring(unixPath.begin(), unixPath.end());
    ASSERT_TRUE(CopyFileW(tutorial.c_str(), sandbox.PathOf(L"Zavbell.txt").c_str(), FALSE)) << Narrow(tutorial);
    const wchar_t explanationStart[] = L"第１項目（保留の指定）\n  ' 'は保留しない\n";
    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        PROCESS_INFORMATION info{};
        ASSERT_TRUE(StartInSandbox(sandbox, L"ZAVSet.exe", L"zzzzzz", &info));
        CloseHandle(info.hThread);
        std::wstring text;
        HWND explanation = WaitForAnyBox(info.dwProcessId, &text);
        ASSERT_NE(explanation, nullptr);
        EXPECT_EQ(text.compare(0, wcslen(explanationStart), explanationStart), 0) << Narrow(text);
        EXPECT_NE(text.find(L"  メッセージ、ファイル名、ＤＯＳコマンド等"), std::wstring::npos);
        HWND list = WaitForDialog(Titled(L"スケジュール設定内容の表示と変更"));
        ASSERT_NE(list, nullptr);
        if (round == 1) Screenshot(L"list-explanation", explanation);
        EXPECT_TRUE(AnswerBox(explanation));
        if (round == 1) {
            HWND offer = WaitForBox(info.dwProcessId, L"スタートアップに ZAV.exe のショートカット作成しますか？");
            ASSERT_NE(offer, nullptr);
            EXPECT_TRUE(AnswerBox(offer, IDYES));
            EXPECT_TRUE(WaitUntil([&] { return GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES; }))
                << "no " << Narrow(link);
        } else {
            HWND already = WaitForBox(info.dwProcessId, L"スタートアップに既に ZAV.exe のショートカットがあります");
            ASSERT_NE(already, nullptr);
            EXPECT_TRUE(AnswerBox(already));
            EXPECT_EQ(Entries(list).size(), 17u);
            Screenshot(L"schedule-list", list);
        }
        Press(list, kListCancel);
        EXPECT_TRUE(WaitUntil([&] { return WaitForSingleObject(info.hProcess, 0) == WAIT_OBJECT_0; }));
        CloseHandle(info.hProcess);
    }
}

TEST_F(ListScenario, TimerFromTheTrayAddsARunOnceLineThatZavPerforms) {
    sandbox.WriteSchedule({kHeld});
    ASSERT_TRUE(zav.Start(sandbox));
    ASSERT_NE(zav.WaitForWindow(), nullptr);
    LRESULT answer = 0;
    ASSERT_TRUE(SendAndWait(zav.window(), WM_COMMAND, kTrayTimer, 0, &answer));
    HWND timer = WaitForDialog(Titled(L"タイマーの設定"));
    ASSERT_NE(timer, nullptr) << "no timer dialog from the tray";
    DWORD settings = ProcessOf(timer);
    std::wstring before = TextOf(timer, kTimerShown);
    SetDlgItemTextW(timer, kTimerSeconds, L"3");
    SetDlgItemTextW(timer, kParameter, L"タイマーの時間です");
    EXPECT_TRUE(WaitUntil([&] { return TextOf(timer, kTimerShown) != before; }))
        << "the action time follows the fields";
    Screenshot(L"timer-dialog", timer);
    Press(timer, kTimerOk);

    std::wstring text;
    HWND set = WaitForAnyBox(settings, &text);
    ASSERT_NE(set, nullptr);
    const std::wstring suffix = L"にスケジュールを設定しました。";
    ASSERT_GT(text.size(), suffix.size());
    EXPECT_EQ(text.substr(17), suffix) << Narrow(text);
    std::vector<std::wstring> lines = sandbox.ReadSchedule();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], L"! " + text.substr(0, 17) + L" Msg    タイマーの時間です");
    EXPECT_EQ(lines[1], kHeld);
    EXPECT_TRUE(AnswerBox(set));

    HWND message = WaitForBox(zav.id(), L"タイマーの時間です");
    ASSERT_NE(message, nullptr) << "ZAV did not perform the timer's line";
    EXPECT_TRUE(AnswerBox(message));
    EXPECT_TRUE(WaitUntil([&] { return sandbox.ReadSchedule() == std::vector<std::wstring>{kHeld}; }))
        << "the run-once line is not gone";
}

}  // namespace

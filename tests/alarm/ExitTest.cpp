#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "alarm/Actions.h"
#include "alarm/Shutdown.h"
#include "alarm/resource.h"
#include "tests/alarm/AlarmTestSupport.h"
#include "tests/alarm/SystemCallsScope.h"

namespace {

// What the power recorders were asked, and what they answer.
std::vector<std::string> g_calls;
BOOL g_answer = TRUE;

BOOL WINAPI RecordExitWindows(UINT flags, DWORD reason) {
    g_calls.push_back("ExitWindowsEx " + std::to_string(flags) + " " + std::to_string(reason));
    SetLastError(5);
    return g_answer;
}

BOOL WINAPI RecordPowerState(BOOL suspend, BOOL force) {
    g_calls.push_back("SetSystemPowerState " + std::to_string(suspend) + " " + std::to_string(force));
    SetLastError(5);
    return g_answer;
}

// Power calls go to the recorders; nothing may reach the real ones: under
// Wine ExitWindowsEx ends every program of the prefix, this test included.
class ExitAction : public ::testing::Test {
protected:
    void SetUp() override {
        TestTray();
        g_calls.clear();
        g_answer = TRUE;
        g_systemCalls.exitWindowsEx = RecordExitWindows;
        g_systemCalls.setSystemPowerState = RecordPowerState;
    }
    void TearDown() override {
        // A quit the dialog put back must not reach the next test.
        MSG message;
        while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {}
    }
    SystemCallsScope scope;
    BoxRecorder boxes;
};

std::string Joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& line : lines) all += "[" + line + "] ";
    return all;
}

std::string BoxTexts(const BoxRecorder& recorder) {
    std::string all;
    for (const RecordedBox& box : recorder.boxes()) all += "[" + Narrow(box.text) + "] ";
    return all;
}

// The countdown dialog of this process with that caption, while it shows.
HWND Countdown(const wchar_t* title) {
    HWND window = FindWindowW(L"#32770", title);
    return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

void Click(HWND dialog, int id) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

struct PowerCase {
    const wchar_t* parameter;
    const char* call;
    int result;
};

TEST_F(ExitAction, CallsThePowerFunctionOfTheParameterWithItsFlags) {
    const PowerCase cases[] = {
        {L"通常の終了", "ExitWindowsEx 8 0", 1},
        {L"通常の終了 強制終了", "ExitWindowsEx 12 0", 1},
        {L"再起動", "ExitWindowsEx 2 0", 1},
        {L"再起動 強制終了", "ExitWindowsEx 6 0", 1},
        {L"スリープ", "SetSystemPowerState 1 0", 3},
        {L"スリープ 強制終了", "SetSystemPowerState 1 0", 3},
        {L"休止状態", "SetSystemPowerState 0 0", 3},
        {L"強制終了", "ExitWindowsEx 12 0", 1},   // no method word: power off
        {L"", "ExitWindowsEx 8 0", 1},
    };
    for (const PowerCase& c : cases) {
        g_calls.clear();
        EXPECT_EQ(Exit(IDI_ALARM, c.parameter), c.result) << Narrow(c.parameter);
        EXPECT_EQ(Joined(g_calls), std::string("[") + c.call + "] ") << Narrow(c.parameter);
    }
    EXPECT_TRUE(boxes.boxes().empty()) << BoxTexts(boxes);
}

TEST_F(ExitAction, RefusedPowerCallsAreReported) {
    g_answer = FALSE;
    const struct {
        const wchar_t* parameter;
        const wchar_t* box;
    } cases[] = {
        {L"スリープ", L"スリープエラー Error Code =5"},
        {L"休止状態", L"休止状態エラー Error Code =5"},
        // Reported too: a refused shutdown used to pass silently.
        {L"再起動", L"ExitWindowsEx Error Code =5"},
    };
    for (const auto& c : cases) {
        BoxRecorder recorder;
        Exit(IDI_ALARM, c.parameter);
        ASSERT_EQ(recorder.boxes().size(), 1u) << Narrow(c.parameter) << ": " << BoxTexts(recorder);
        EXPECT_EQ(Narrow(recorder.boxes()[0].text), Narrow(c.box));
    }
}

TEST_F(ExitAction, CountdownShowsItsTitleAndTotalIgnoresEnterAndEscAndCancels) {
    std::wstring total;
    LRESULT high = -1;
    LRESULT position = -1;
    bool stayedOpen = false;
    int state = 0;
    LoopDriver driver([&] {
        HWND dialog = Countdown(L"通常の終了 強制終了 までの時間");
        if (state != 0 || dialog == nullptr) return;
        state = 1;
        wchar_t text[32] = {};
        GetDlgItemTextW(dialog, IDC_EXIT_TOTAL, text, 32);
        total = text;
        high = SendDlgItemMessageW(dialog, IDC_EXIT_BAR, PBM_GETRANGE, FALSE, 0);
        position = SendDlgItemMessageW(dialog, IDC_EXIT_BAR, PBM_GETPOS, 0, 0);
        Click(dialog, IDOK);
        Click(dialog, IDCANCEL);
        PumpFor(100);
        stayedOpen = Countdown(L"通常の終了 強制終了 までの時間") != nullptr;
        Click(dialog, IDC_EXIT_CANCEL);
    });
    EXPECT_EQ(Exit(IDI_ALARM, L"通常の終了 強制終了 待機時間 =3秒"), 2);
    EXPECT_EQ(Narrow(total), "3秒");
    EXPECT_EQ(high, 3);
    EXPECT_EQ(position, 3);
    EXPECT_TRUE(stayedOpen) << "Enter or Esc ended the countdown";
    EXPECT_TRUE(g_calls.empty()) << Joined(g_calls);
}

TEST_F(ExitAction, CountdownNowRunsAtOnceAndRunningOutRunsWithTheBarGoingDown) {
    LoopDriver now([&] {
        if (HWND dialog = Countdown(L"通常の終了 強制終了 までの時間")) Click(dialog, IDC_EXIT_NOW);
    });
    EXPECT_EQ(Exit(IDI_ALARM, L"通常の終了 強制終了 待機時間 =300秒"), 1);
    EXPECT_EQ(Joined(g_calls), "[ExitWindowsEx 12 0] ");

    g_calls.clear();
    std::vector<LRESULT> positions;
    LoopDriver watch([&] {
        if (HWND dialog = Countdown(L"再起動 までの時間")) {
            const LRESULT position = SendDlgItemMessageW(dialog, IDC_EXIT_BAR, PBM_GETPOS, 0, 0);
            if (positions.empty() || positions.back() != position) positions.push_back(position);
        }
    });
    EXPECT_EQ(Exit(IDI_ALARM, L"再起動 待機時間 =2秒"), 1);
    EXPECT_EQ(Joined(g_calls), "[ExitWindowsEx 2 0] ");
    ASSERT_GE(positions.size(), 2u);
    EXPECT_EQ(positions[0], 2);
    EXPECT_EQ(positions[1], 1);
}

TEST_F(ExitAction, LongWaitsFillTheBarBeyond16BitsAndNegativeWaitsCountAsZero) {
    LRESULT high = -1;
    LRESULT position = -1;
    LoopDriver driver([&] {
        if (HWND dialog = Countdown(L"通常の終了 までの時間")) {
            high = SendDlgItemMessageW(dialog, IDC_EXIT_BAR, PBM_GETRANGE, FALSE, 0);
            position = SendDlgItemMessageW(dialog, IDC_EXIT_BAR, PBM_GETPOS, 0, 0);
            Click(dialog, IDC_EXIT_CANCEL);
        }
    });
    EXPECT_EQ(Exit(IDI_ALARM, L"通常の終了 待機時間 =100000秒"), 2);
    EXPECT_EQ(high, 100000);
    EXPECT_EQ(position, 100000);

    // "-5" is no plain number: a countdown of 0 that ends at its first tick.
    LoopDriver none([] {});
    const DWORD start = GetTickCount();
    EXPECT_EQ(Exit(IDI_ALARM, L"再起動 待機時間 =-5秒"), 1);
    EXPECT_LT(GetTickCount() - start, 3000u);
    EXPECT_EQ(Joined(g_calls), "[ExitWindowsEx 2 0] ");
}

TEST_F(ExitAction, CancelHoldsWhileAnotherLoopRunsOverTheCountdown) {
    int state = 0;
    LoopDriver driver([&] {
        HWND dialog = Countdown(L"通常の終了 までの時間");
        if (state != 0 || dialog == nullptr) return;
        state = 1;
        Click(dialog, IDC_EXIT_CANCEL);
        // A Msg box's loop: the countdown's ticks keep coming meanwhile.
        PumpFor(2500);
    });
    EXPECT_EQ(Exit(IDI_ALARM, L"通常の終了 待機時間 =1秒"), 2);
    EXPECT_TRUE(g_calls.empty()) << Joined(g_calls);
}

TEST_F(ExitAction, ClosingTheWindowOrEndingZavCancels) {
    LoopDriver close([&] {
        if (HWND dialog = Countdown(L"通常の終了 までの時間")) SendMessageW(dialog, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(Exit(IDI_ALARM, L"通常の終了 待機時間 =30秒"), 2);

    // Wine's dialog loop returns 1 when it meets WM_QUIT, as if the count had run out.
    bool posted = false;
    LoopDriver quit([&] {
        if (!posted && Countdown(L"再起動 までの時間") != nullptr) {
            posted = true;
            PostQuitMessage(0);
        }
    });
    EXPECT_EQ(Exit(IDI_ALARM, L"再起動 待機時間 =30秒"), 2);
    EXPECT_TRUE(posted);
    EXPECT_TRUE(g_calls.empty()) << Joined(g_calls);
}

TEST_F(ExitAction, TwoCountdownsCountAndEndOnTheirOwn) {
    int state = 0;
    int secondResult = 0;
    LoopDriver driver([&] {
        if (state == 0 && Countdown(L"通常の終了 までの時間") != nullptr) {
            state = 1;
            secondResult = Exit(IDI_ALARM, L"再起動 待機時間 =30秒");
        } else if (state == 1 && Countdown(L"再起動 までの時間") != nullptr &&
                   Countdown(L"通常の終了 までの時間") == nullptr) {
            // The first one ran out while the second was open: now cancel the second.
            state = 2;
            Click(Countdown(L"再起動 までの時間"), IDC_EXIT_CANCEL);
        }
    });
    EXPECT_EQ(Exit(IDI_ALARM, L"通常の終了 待機時間 =2秒"), 1);
    EXPECT_EQ(secondResult, 2);
    EXPECT_EQ(Joined(g_calls), "[ExitWindowsEx 8 0] ");
}

}  // namespace

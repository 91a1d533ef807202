#include <gtest/gtest.h>

#include "common/Process.h"
#include "tests/common/TestSupport.h"

namespace {

TEST(ProcessRunner, WaitPumpingNoticesTheEndAndGivesTheExitCode) {
    ProcessRunner runner(ProbeChildPath(), L"sleep 300 42", L"", L"", SW_HIDE, nullptr);
    ASSERT_TRUE(runner.launch()) << "could not start " << Narrow(ProbeChildPath());
    ASSERT_NE(nullptr, runner.process());
    EXPECT_EQ(42u, runner.waitPumping(50));
    runner.close();
    EXPECT_EQ(nullptr, runner.process());
}

TEST(ProcessRunner, ChangedParametersReachTheNextLaunch) {
    ProcessRunner runner(ProbeChildPath(), L"sleep 0 5", L"open", L"", SW_HIDE, nullptr);
    ASSERT_TRUE(runner.launch());
    EXPECT_EQ(5u, runner.waitPumping(10));
    // A longer text moves the parameters' buffer: the record must follow it.
    runner.SetParameters(L"sleep 0 7                                                      ");
    ASSERT_TRUE(runner.launch());
    EXPECT_EQ(7u, runner.waitPumping(10));
}

TEST(ProcessRunner, WorkingDirectoryIsPassed) {
    TempFolder folder;
    ProcessRunner runner(ProbeChildPath(), L"sleep 0 3", L"", folder.path(), SW_HIDE, nullptr);
    ASSERT_TRUE(runner.launch());
    EXPECT_EQ(3u, runner.waitPumping(10));
}

TEST(ProcessRunner, WithoutAProcessTheWaitStopsAtOnce) {
    ProcessRunner runner(ProbeChildPath(), L"sleep 0 1", L"", L"", SW_HIDE, nullptr);
    EXPECT_EQ(nullptr, runner.process());
    EXPECT_EQ(0u, runner.waitPumping(1000)) << "never launched: nothing to wait for";
}

volatile BYTE g_cancel = 0;
int g_timerCalls = 0;

void CALLBACK SetCancel(HWND, UINT, UINT_PTR, DWORD) {
    ++g_timerCalls;
    g_cancel = 1;
}

TEST(ProcessRunner, MessagesArePumpedAndTheCancelFlagStopsTheWait) {
    ProcessRunner runner(ProbeChildPath(), L"sleep 60000 9", L"", L"", SW_HIDE, nullptr);
    ASSERT_TRUE(runner.launch());
    g_cancel = 0;
    g_timerCalls = 0;
    // The timer's callback runs only if waitPumping dispatches messages; it
    // sets the flag that ends the wait while the child still sleeps.
    UINT_PTR timer = SetTimer(nullptr, 0, 30, SetCancel);
    ASSERT_NE(0u, timer);
    DWORD code = runner.waitPumping(10, &g_cancel);
    KillTimer(nullptr, timer);
    EXPECT_GE(g_timerCalls, 1);
    EXPECT_EQ(static_cast<DWORD>(STILL_ACTIVE), code) << "the child was still running";
    TerminateProcess(runner.process(), 0);
    WaitForSingleObject(runner.process(), 10000);
}

TEST(PumpMessages, DispatchesWhatWaitsAndKeepsTheQuitRequest) {
    g_timerCalls = 0;
    g_cancel = 0;
    UINT_PTR timer = SetTimer(nullptr, 0, 1, SetCancel);
    ASSERT_NE(0u, timer);
    for (int i = 0; i < 500 && g_timerCalls == 0; ++i) {
        Sleep(2);
        PumpMessages();
    }
    KillTimer(nullptr, timer);
    EXPECT_GE(g_timerCalls, 1);

    PostQuitMessage(17);
    PumpMessages();
    // The nested pump puts WM_QUIT back for the loop that owns the thread.
    EXPECT_EQ(17, RunMessageLoop());
}

TEST(RunMessageLoop, ReturnsTheQuitCode) {
    PostThreadMessageW(GetCurrentThreadId(), WM_USER, 0, 0);
    PostQuitMessage(3);
    EXPECT_EQ(3, RunMessageLoop(nullptr));
}

}  // namespace

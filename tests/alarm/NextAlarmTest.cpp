// The next alarm as ZAV keeps it: the tray tip, and with WakeUp the wake
// timer and the execution state (through recorders: none arms a real timer),
// driven by the window's own messages on 1 June 2030 by a clock the test sets.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/alarm/AlarmTestSupport.h"
#include "tests/alarm/SystemCallsScope.h"

namespace {

SYSTEMTIME g_now;
const ClockSource kTestClock = [](SYSTEMTIME* now) { *now = g_now; };

// At hh:mm:ss on the pass's clock and the next alarm's, the message to ZAV's window.
void At(TrayAlarm& tray, WORD hour, WORD minute, WORD second, UINT message, WPARAM wParam) {
    g_now = SYSTEMTIME{2030, 6, 6, 1, hour, minute, second, 0};
    SetClockSource(kTestClock);
    tray.clock = kTestClock;
    SendMessageW(tray.mainWindow, message, wParam, 0);
}

void Reload(TrayAlarm& tray, const std::string& utf8Lines) {
    WriteBytes(TestFolder() + L"\\Zavbell.txt", "\xEF\xBB\xBF" + utf8Lines);
    SendMessageW(tray.mainWindow, tray.controlMessage, kReloadSchedule, 0);
}

// Back to the one held record, the real clock, no second checked and no WakeUp.
void Restore(TrayAlarm& tray) {
    SetClockSource(nullptr);
    tray.watch.lastChecked = WString();
    tray.clock = nullptr;
    WriteTestSetting(kWakeUpKey, nullptr);
    tray.ReadIni();
    Reload(tray, "X _______  01:00:00 Msg    hold\r\n");
}

TEST(TrayTip, NamesTheNextAlarmUnderOrrivaneAndMovesOnAfterItsPass) {
    TrayAlarm& tray = TestTray();
    BoxRecorder boxes;
    // 89 あ put the high half of 𠮷 at the tip's 126th unit: the cut keeps
    // one unit fewer, then "…".
    const std::wstring long89(89, L'あ');
    At(tray, 6, 0, 0, WM_NULL, 0);
    Reload(tray, "# 30/06/01 06:30:00 Msg    保留中\r\n  30/06/01 07:00:00 Msg    " +
                     Encode(CP_UTF8, long89 + L"\U00020BB7の続き") + "\r\n  EveryDay 23:59:59 Notice 夜\r\n");
    const struct {
        WORD hour, minute;  // a pass at hh:mm:00 first, none at 0:00
        std::wstring tip;
    } steps[] = {
        {0, 0, L"Orrivane\n2030/06/01(土) 06:30:00（保留） Msg 保留中"},
        {6, 30, L"Orrivane\n2030/06/01(土) 07:00:00 Msg " + long89 + L"…"},
        {7, 0, L"Orrivane\n2030/06/01(土) 23:59:59 Notice 夜"},
    };
    for (const auto& step : steps) {
        if (step.hour != 0) At(tray, step.hour, step.minute, 0, WM_TIMER, kWatchTimer);
        EXPECT_EQ(Narrow(tray.trayRecord.szTip), Narrow(step.tip)) << step.hour << ":" << step.minute;
    }
    EXPECT_EQ(boxes.boxes().size(), 1u) << "the 07:00:00 message, once";
    Restore(tray);
    EXPECT_STREQ(tray.trayRecord.szTip, L"Orrivane") << "nothing comes due";
}

std::vector<std::string> g_calls;

// The armed time as a local clock time, converted back from UTC.
BOOL WINAPI RecordArm(HANDLE, const LARGE_INTEGER* due, LONG period, PTIMERAPCROUTINE, LPVOID, BOOL resume) {
    const FILETIME file{static_cast<DWORD>(due->QuadPart), static_cast<DWORD>(due->QuadPart >> 32)};
    SYSTEMTIME utc, t;
    FileTimeToSystemTime(&file, &utc);
    SystemTimeToTzSpecificLocalTime(nullptr, &utc, &t);
    char text[40];
    snprintf(text, sizeof(text), "arm %02d:%02d:%02d %s %ld", t.wHour, t.wMinute, t.wSecond, resume ? "resume" : "",
             period);
    return g_calls.push_back(text), TRUE;
}
BOOL WINAPI RecordCancel(HANDLE) {
    return g_calls.push_back("cancel"), TRUE;
}
EXECUTION_STATE WINAPI RecordState(EXECUTION_STATE state) {
    g_calls.push_back(std::string("state") + (state & ES_CONTINUOUS ? " continuous" : "") +
                      (state & ES_SYSTEM_REQUIRED ? " system" : "") + (state & ES_DISPLAY_REQUIRED ? " display" : ""));
    return ES_CONTINUOUS;
}

// A wake holds the system from the wake until the pass of the alarm it came
// for, the display while a message is up; an alarm less than a minute later
// is waited for in the same stretch; then the system may sleep again.
TEST(WakeUp, ArmsAMinuteAheadAndHoldsTheSystemFromTheWakeToTheEndOfTheAlarm) {
    TrayAlarm& tray = TestTray();
    SystemCallsScope scope;
    g_systemCalls.setWaitableTimer = RecordArm;
    g_systemCalls.cancelWaitableTimer = RecordCancel;
    g_systemCalls.setThreadExecutionState = RecordState;
    g_calls.clear();
    BoxRecorder boxes;
    At(tray, 6, 0, 0, WM_NULL, 0);
    Reload(tray,
           "  30/06/01 07:00:00 Msg    起床\r\n  30/06/01 07:00:30 Notice 続き\r\n  30/06/01 09:00:00 Msg    後で\r\n");
    EXPECT_TRUE(g_calls.empty()) << "armed with WakeUp off";
    WriteTestSetting(kWakeUpKey, L"1");
    At(tray, 6, 0, 0, tray.controlMessage, kReloadSettings);
    At(tray, 6, 0, 0, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);  // the user's, an hour early
    At(tray, 6, 59, 5, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);
    At(tray, 7, 0, 0, WM_TIMER, kWatchTimer);
    At(tray, 7, 0, 30, WM_TIMER, kWatchTimer);
    WriteTestSetting(kWakeUpKey, L"0");
    At(tray, 7, 0, 30, tray.controlMessage, kReloadSettings);
    const std::vector<std::string> expected = {
        "arm 06:59:00 resume 0",
        "state continuous system",          // woken within the minute
        "state continuous system display",  // 07:00:00 Msg
        "arm 07:00:01 resume 0",            // 07:00:30: never in the past
        "state continuous system",          // its box closed, 07:00:30 waited for
        "state continuous system display",  // 07:00:30 Notice
        "arm 08:59:00 resume 0",
        "state continuous system",
        "state continuous",  // the pass of 07:00:30 ended
        "cancel",
    };
    EXPECT_EQ(g_calls, expected);
    EXPECT_EQ(boxes.boxes().size(), 1u);
    Restore(tray);
}

}  // namespace

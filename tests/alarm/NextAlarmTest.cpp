// The next alarm as ZAV keeps it: the tray tip, and with WakeUp the wake
// timer and the thread's execution state, driven through the window's own
// messages on a clock the test sets. The wake calls go to recorders: none
// arms a real timer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/alarm/AlarmTestSupport.h"
#include "tests/alarm/SystemCallsScope.h"

namespace {

SYSTEMTIME g_now;
void TestClock(SYSTEMTIME* now) {
    *now = g_now;
}

// The clock of the pass and of the next alarm at hh:mm:ss on 1 June 2030.
void SetClock(TrayAlarm& tray, WORD hour, WORD minute, WORD second) {
    g_now = SYSTEMTIME{2030, 6, 6, 1, hour, minute, second, 0};
    SetClockSource(TestClock);
    tray.clock = TestClock;
}

void Reload(TrayAlarm& tray, const std::string& utf8Lines) {
    WriteBytes(TestFolder() + L"\\Zavbell.txt", "\xEF\xBB\xBF" + utf8Lines);
    SendMessageW(tray.mainWindow, tray.controlMessage, kReloadSchedule, 0);
}

void Tick(TrayAlarm& tray) {
    SendMessageW(tray.mainWindow, WM_TIMER, kWatchTimer, 0);
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

// ---- The tip ----

TEST(TrayTip, NamesTheNextAlarmUnderOrrivaneAndMovesOnAfterItsPass) {
    TrayAlarm& tray = TestTray();
    BoxRecorder boxes;
    // 89 あ put the high half of 𠮷 at the tip's 126th unit: the cut keeps
    // one unit fewer, then "…".
    const std::wstring long89(89, L'あ');
    const std::string longText = Encode(CP_UTF8, long89 + L"\U00020BB7の続き");
    SetClock(tray, 6, 0, 0);
    const std::string held = "# 30/06/01 06:30:00 Msg    保留中\r\n";
    const std::string night = "  EveryDay 23:59:59 Notice 夜\r\n";
    Reload(tray, held + "  30/06/01 07:00:00 Msg    " + longText + "\r\n" + night);
    const struct {
        WORD hour, minute, second;  // a pass at this second, or none at 0:0:0
        std::wstring tip;
    } steps[] = {
        {0, 0, 0, L"Orrivane\n2030/06/01(土) 06:30:00（保留） Msg 保留中"},
        {6, 30, 0, L"Orrivane\n2030/06/01(土) 07:00:00 Msg " + long89 + L"…"},
        {7, 0, 0, L"Orrivane\n2030/06/01(土) 23:59:59 Notice 夜"},
    };
    for (const auto& step : steps) {
        if (step.hour != 0) {
            SetClock(tray, step.hour, step.minute, step.second);
            Tick(tray);
        }
        EXPECT_EQ(Narrow(tray.trayRecord.szTip), Narrow(step.tip))
            << "after the pass of " << step.hour << ":" << step.minute;
    }
    EXPECT_EQ(boxes.boxes().size(), 1u) << "the 07:00:00 message, once";
    Reload(tray, "X _______  01:00:00 Msg    hold\r\n");
    EXPECT_STREQ(tray.trayRecord.szTip, L"Orrivane") << "nothing comes due";
    Restore(tray);
}

// ---- Waking from sleep ----

std::vector<std::string> g_calls;

std::string LocalClockText(const LARGE_INTEGER& utc) {
    FILETIME file{static_cast<DWORD>(utc.QuadPart), static_cast<DWORD>(utc.QuadPart >> 32)};
    SYSTEMTIME universal;
    SYSTEMTIME local;
    FileTimeToSystemTime(&file, &universal);
    SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local);
    char text[16];
    snprintf(text, sizeof(text), "%02d:%02d:%02d", local.wHour, local.wMinute, local.wSecond);
    return text;
}

BOOL WINAPI RecordArm(HANDLE, const LARGE_INTEGER* due, LONG period, PTIMERAPCROUTINE, LPVOID, BOOL resume) {
    g_calls.push_back("arm " + LocalClockText(*due) + (resume ? " resume" : "") + (period ? " periodic" : ""));
    return TRUE;
}
BOOL WINAPI RecordCancel(HANDLE) {
    g_calls.push_back("cancel");
    return TRUE;
}
EXECUTION_STATE WINAPI RecordState(EXECUTION_STATE state) {
    std::string text = "state";
    if (state & ES_CONTINUOUS) text += " continuous";
    if (state & ES_SYSTEM_REQUIRED) text += " system";
    if (state & ES_DISPLAY_REQUIRED) text += " display";
    g_calls.push_back(text);
    return ES_CONTINUOUS;
}

void Resume(TrayAlarm& tray) {
    SendMessageW(tray.mainWindow, WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0);
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
    SetClock(tray, 6, 0, 0);
    Reload(tray,
           "  30/06/01 07:00:00 Msg    起床\r\n"
           "  30/06/01 07:00:30 Notice 続き\r\n"
           "  30/06/01 09:00:00 Msg    後で\r\n");
    EXPECT_TRUE(g_calls.empty()) << "armed with WakeUp off";

    WriteTestSetting(kWakeUpKey, L"1");
    SendMessageW(tray.mainWindow, tray.controlMessage, kReloadSettings, 0);
    Resume(tray);  // an hour early: the user's, not the alarm's
    SetClock(tray, 6, 59, 5);
    Resume(tray);
    SetClock(tray, 7, 0, 0);
    Tick(tray);
    SetClock(tray, 7, 0, 30);
    Tick(tray);
    WriteTestSetting(kWakeUpKey, L"0");
    SendMessageW(tray.mainWindow, tray.controlMessage, kReloadSettings, 0);

    const std::vector<std::string> expected = {
        "arm 06:59:00 resume",
        "state continuous system",          // woken within the minute
        "state continuous system display",  // 07:00:00 Msg
        "arm 07:00:01 resume",              // 07:00:30: never in the past
        "state continuous system",          // its box closed, 07:00:30 waited for
        "state continuous system display",  // 07:00:30 Notice
        "arm 08:59:00 resume",
        "state continuous system",
        "state continuous",  // the pass of 07:00:30 ended
        "cancel",
    };
    EXPECT_EQ(g_calls, expected);
    EXPECT_EQ(boxes.boxes().size(), 1u);
    Restore(tray);
}

}  // namespace

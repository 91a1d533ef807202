#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <utility>
#include <vector>

#include "alarm/Actions.h"
#include "common/Dpi.h"
#include "common/MessageBoxes.h"
#include "tests/alarm/AlarmTestSupport.h"
#include "tests/alarm/SystemCallsScope.h"

namespace {

std::unique_ptr<BoxRecorder> g_recorder;
std::unique_ptr<TempFolder> g_folderOwner;
std::unique_ptr<CurrentDirectoryScope> g_inFolder;
std::wstring g_folder;
std::unique_ptr<SettingsFile> g_settings;
std::unique_ptr<TrayAlarm> g_tray;

class TrayEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        g_recorder.reset(new BoxRecorder);
        g_folderOwner.reset(new TempFolder);
        g_folder = g_folderOwner->path().text();
        g_inFolder.reset(new CurrentDirectoryScope(g_folderOwner->path()));
        WriteBytes(g_folder + L"\\Zavbell.txt", "X _______  01:00:00 Msg    hold\r\n");
        g_settings.reset(new SettingsFile(SettingsFile::ForCurrentDirectory()));
        g_tray.reset(new TrayAlarm(g_folder.c_str(), 5, TRUE, *g_settings));
    }
    // The window goes before the folder it was started in.
    void TearDown() override {
        g_tray.reset();
        g_settings.reset();
        g_inFolder.reset();
        g_folderOwner.reset();
        g_recorder.reset();
    }
};

::testing::Environment* const g_environment = ::testing::AddGlobalTestEnvironment(new TrayEnvironment);

}  // namespace

TrayAlarm& TestTray() { return *g_tray; }
const std::wstring& TestFolder() { return g_folder; }

void WriteTestSetting(const wchar_t* key, const wchar_t* value) {
    WritePrivateProfileStringW(L"Zavbell", key, value, (g_folder + L"\\Zavbell.ini").c_str());
}

namespace {

// ---- TimerInt ----

struct ClampCase {
    int read;
    int used;
};

TEST(ClampTimerInt, KeepsSanePeriodsAndReplacesTheOthers) {
    const ClampCase cases[] = {
        {300, 300}, {250, 250}, {500, 500}, {1, 1},
        {501, kTimerIntDefault}, {600, kTimerIntDefault}, {1000, kTimerIntDefault}, {INT_MAX, kTimerIntDefault},
        // 0 and below would make the timer fire as fast as the system allows.
        {0, kTimerIntZavMin}, {-1, kTimerIntZavMin}, {INT_MIN, kTimerIntZavMin},
    };
    for (const ClampCase& c : cases) {
        EXPECT_EQ(ClampTimerInt(c.read), c.used) << "TimerInt " << c.read;
    }
}

struct IniCase {
    const wchar_t* timerInt;   // nullptr: key missing
    const wchar_t* blinkInt;
    int watchPeriod;
    int blinkPeriod;
};

TEST(ReadIni, TakesBothPeriodsFromTheSettingsFile) {
    const IniCase cases[] = {
        {nullptr, nullptr, 300, 500},
        {L"250", L"800", 250, 800},
        {L"600", L"100", 300, 100},
        {L"0", nullptr, kTimerIntZavMin, 500},
        {L"-20", nullptr, kTimerIntZavMin, 500},
    };
    TrayAlarm& tray = TestTray();
    BoxRecorder recorder;
    for (const IniCase& c : cases) {
        WriteTestSetting(L"TimerInt", c.timerInt);
        WriteTestSetting(L"BlinkInt", c.blinkInt);
        tray.ReadIni();
        EXPECT_EQ(tray.watchPeriod, c.watchPeriod) << "TimerInt " << (c.timerInt ? "set" : "missing");
        EXPECT_EQ(tray.blinkPeriod, c.blinkPeriod);
    }
    WriteTestSetting(L"TimerInt", nullptr);
    WriteTestSetting(L"BlinkInt", nullptr);
    tray.ReadIni();
    EXPECT_TRUE(recorder.boxes().empty()) << "ReadIni reported a failure";
}

// The options dialog offers 100 to 3000 ms; 0 or letters blinked every 10 ms,
// -1 or a huge number once in weeks.
TEST(ReadIni, BlinkIntOutsideTheOptionsRangeIsTheDefault) {
    const struct {
        const wchar_t* blinkInt;
        int blinkPeriod;
    } cases[] = {{L"0", 500}, {L"abc", 500}, {L"-1", 500}, {L"99999999", 500}, {L"100", 100}, {L"3000", 3000}};
    TrayAlarm& tray = TestTray();
    for (const auto& c : cases) {
        WriteTestSetting(L"BlinkInt", c.blinkInt);
        tray.ReadIni();
        EXPECT_EQ(tray.blinkPeriod, c.blinkPeriod) << "BlinkInt " << Narrow(c.blinkInt);
    }
    WriteTestSetting(L"BlinkInt", nullptr);
    tray.ReadIni();
}

// ---- Old schedule format ----

struct FormatCase {
    const wchar_t* record;
    bool old;
};

TEST(IsOldFormatRecord, RecognisesRecordsWrittenBeforeVersion200) {
    const FormatCase cases[] = {
        {L"  EveryDay 07:30:00 Msg    x", false},
        {L"  EveryDay Start    Msg    x", false},
        {L"  EveryDay every15m Msg    x", false},
        {L"X _______  01:00:00 Msg    x", false},
        {L"EveryDay 07:30 Msg    x", true},      // hh:mm, blank at 14
        {L"EveryDay Start Msg    x", true},
        {L"EveryDay 15'毎 Msg    x", true},     // 毎 at 12, blank at 13
        {L"EveryDay 15'毎xMsg    x", false},
        {L"EveryDay 07:3", false},              // too short to look at 14
        {L"", false},
    };
    for (const FormatCase& c : cases) {
        EXPECT_EQ(IsOldFormatRecord(c.record), c.old) << "record \"" << WString(c.record).ToAnsi().get() << "\"";
    }
}

TEST(NeedsInitSchedule, EmptyOrOldFirstRecord) {
    StringList list;
    EXPECT_TRUE(NeedsInitSchedule(list)) << "an empty schedule";
    list.append(L"  EveryDay 07:30:00 Msg    x");
    EXPECT_FALSE(NeedsInitSchedule(list));
    list.append(L"EveryDay 07:30 Msg    x");
    EXPECT_FALSE(NeedsInitSchedule(list)) << "only the first record is looked at";
    list.insert(0, L"EveryDay 07:30 Msg    x");
    EXPECT_TRUE(NeedsInitSchedule(list));
}

// ---- The object ZAV runs on ----

TEST(TrayAlarm, BuildsItsWindowAndTrayRecords) {
    TrayAlarm& tray = TestTray();
    EXPECT_EQ(FindWindowW(L"ZAV_WINCLASS", L"Orrivane"), tray.mainWindow);
    EXPECT_EQ(tray.settingsProgramPath, (TestFolder() + L"\\ZAVSet.exe").c_str());
    EXPECT_EQ(tray.watch.schedulePath, (TestFolder() + L"\\Zavbell.txt").c_str());
    EXPECT_EQ(tray.watch.schedule.count(), 1);

    EXPECT_EQ(tray.trayRecord.cbSize, 956u);
    EXPECT_EQ(tray.trayRecord.hWnd, tray.mainWindow);
    EXPECT_EQ(tray.trayRecord.uID, 1u);
    EXPECT_EQ(tray.trayRecord.uFlags, 7u);
    EXPECT_EQ(tray.trayRecord.uCallbackMessage, RegisterWindowMessageW(L"ZAV_NOTIFYICON"));
    EXPECT_STREQ(tray.trayRecord.szTip, L"Orrivane");
    EXPECT_NE(tray.trayRecord.hIcon, nullptr) << "icon 101 not found";

    EXPECT_EQ(tray.balloonRecord.cbSize, 956u);
    EXPECT_EQ(tray.balloonRecord.hWnd, tray.mainWindow);
    EXPECT_EQ(tray.balloonRecord.uID, 1u);
    EXPECT_EQ(tray.balloonRecord.uFlags, static_cast<UINT>(NIF_INFO));
    EXPECT_STREQ(tray.balloonRecord.szInfo, L"Orrivane から");
    EXPECT_EQ(tray.balloonRecord.dwInfoFlags, static_cast<DWORD>(NIIF_INFO));
    EXPECT_EQ(tray.balloonRecord.uTimeout, 0u);
}

TEST(TrayAlarm, ReloadReplacesTheRecordsInTheSameList) {
    TrayAlarm& tray = TestTray();
    const StringList* before = &tray.watch.schedule;
    WriteBytes(TestFolder() + L"\\Zavbell.txt", "X _______  01:00:00 Msg    a\r\nX _______  02:00:00 Msg    b\r\n");
    LRESULT answer = SendMessageW(tray.mainWindow, tray.controlMessage, 0, 0);
    EXPECT_EQ(answer, 0);
    // An outer pass holds a reference to this very object.
    EXPECT_EQ(&tray.watch.schedule, before);
    ASSERT_EQ(tray.watch.schedule.count(), 2);
    EXPECT_EQ(tray.watch.schedule.at(1), L"X _______  02:00:00 Msg    b");
    WriteBytes(TestFolder() + L"\\Zavbell.txt", "X _______  01:00:00 Msg    hold\r\n");
    tray.ReloadSchedule();
    EXPECT_EQ(tray.watch.schedule.count(), 1);
}

TEST(OnMyNotifyIcon, AnswersTheShellAndUnknownRequests) {
    TrayAlarm& tray = TestTray();
    BoxRecorder recorder;
    EXPECT_EQ(SendMessageW(tray.mainWindow, tray.taskbarMessage, 0, 0), 1);
    EXPECT_EQ(SendMessageW(tray.mainWindow, WM_COMMAND, 40999, 0), 1);
    EXPECT_EQ(SendMessageW(tray.mainWindow, WM_TIMER, 7, 0), 1);
    EXPECT_EQ(SendMessageW(tray.mainWindow, tray.controlMessage, 9, 0), 0);
    // Another icon's callback is not this one's.
    EXPECT_EQ(SendMessageW(tray.mainWindow, tray.trayMessage, 2, WM_LBUTTONDBLCLK), 0);
    EXPECT_TRUE(recorder.boxes().empty());
}

// At the notification area's small size (Wine has no taskbar window: the
// system DPI's); loaded again on a DPI change, where a blink keeps its picture.
TEST(TrayAlarm, TrayIconHasTheNotificationAreasSmallSizeAndADpiChangeKeepsTheBlink) {
    TrayAlarm& tray = TestTray();
    ICONINFO info{};
    BITMAP mask{};
    ASSERT_TRUE(GetIconInfo(tray.trayRecord.hIcon, &info) && GetObjectW(info.hbmMask, sizeof(mask), &mask));
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    EXPECT_EQ(mask.bmWidth, MetricForDpi(SM_CXSMICON, SystemDpi()));
    SendMessageW(tray.mainWindow, WM_TIMER, kBlinkTimer, 0);  // the ringing picture
    SendMessageW(tray.mainWindow, WM_DPICHANGED, MAKEWPARAM(144, 144), 0);
    EXPECT_EQ(tray.trayRecord.hIcon, tray.ringingIcon.get());
    SendMessageW(tray.mainWindow, WM_TIMER, kBlinkTimer, 0);
}

// ---- The tray icon while Explorer is away ----

// Every call fails, as while Explorer is gone or restarting.
BOOL WINAPI NoNotificationArea(DWORD, PNOTIFYICONDATAW) {
    SetLastError(ERROR_TIMEOUT);
    return FALSE;
}

// Each failed tick used to open a box whose own loop ran the next tick.
TEST(BlinkTimer, AFailedTrayUpdateIsReportedOncePerBlinkAndALostIconComesBack) {
    TrayAlarm& tray = TestTray();
    BoxRecorder recorder;
    ActExecute(L"Blink  点滅中");
    // Explorer restarted and ZAV missed TaskbarCreated: the icon is gone.
    Shell_NotifyIconW(NIM_DELETE, &tray.trayRecord);
    for (int tick = 0; tick < 5; ++tick) SendMessageW(tray.mainWindow, WM_TIMER, kBlinkTimer, 0);
    EXPECT_EQ(recorder.boxes().size(), 0u) << "boxes for an icon that could be added again";
    EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &tray.trayRecord)) << "the icon was not added again";

    tray.notifyIcon = NoNotificationArea;
    for (int tick = 0; tick < 5; ++tick) SendMessageW(tray.mainWindow, WM_TIMER, kBlinkTimer, 0);
    ActExecute(L"Blink  次の点滅");
    for (int tick = 0; tick < 5; ++tick) SendMessageW(tray.mainWindow, WM_TIMER, kBlinkTimer, 0);
    tray.notifyIcon = Shell_NotifyIconW;
    ASSERT_EQ(recorder.boxes().size(), 2u) << "one box for each blink";
    EXPECT_EQ(Narrow(recorder.boxes()[0].text), "Shell_NotifyIcon Error Code =1460");
    EXPECT_TRUE(KillTimer(tray.mainWindow, kBlinkTimer)) << "the icon stopped blinking";
    tray.pendingBlinkMessage = WString();
}

std::vector<std::pair<UINT, DWORD>> g_filterChanges;

BOOL WINAPI RecordFilterChange(UINT message, DWORD action) {
    g_filterChanges.emplace_back(message, action);
    return TRUE;
}

// Windows drops Explorer's TaskbarCreated on its way to an elevated window
// unless the window lets it through, and the icon never came back. Wine
// filters nothing (ChangeWindowMessageFilter only answers TRUE), so what is
// let through is checked at the call.
TEST(TrayAlarm, LetsZavSetAndTaskbarCreatedThroughTheMessageFilter) {
    TrayAlarm& tray = TestTray();
    g_filterChanges.clear();
    OpenMessageFilter(tray, RecordFilterChange);
    std::vector<std::pair<UINT, DWORD>> expected = {{tray.controlMessage, MSGFLT_ADD},
                                                    {tray.taskbarMessage, MSGFLT_ADD}};
    EXPECT_EQ(g_filterChanges, expected);
}

// ---- A schedule that cannot be saved ----

WORD g_second = 0;
void NoonOfMaySixth(SYSTEMTIME* now) {
    *now = SYSTEMTIME{2024, 5, 1, 6, 12, 0, g_second, 0};
}

// A read-only Zavbell.txt: the used holds cannot be saved, and without a word
// they would come back at the next start. Said once, after the pass (a box
// inside it would run further passes in its loop), and again only after a
// save succeeded in between.
TEST(TrayAlarm, AScheduleThatCannotBeSavedIsReportedOnceAfterThePass) {
    TrayAlarm& tray = TestTray();
    const std::wstring path = TestFolder() + L"\\Zavbell.txt";
    WriteBytes(path, "# EveryDay 12:00:00 Msg    a\r\n# EveryDay 12:00:01 Msg    b\r\n");
    tray.ReloadSchedule();
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    const ClockSource previous = SetClockSource(NoonOfMaySixth);
    BoxRecorder recorder;
    for (g_second = 0; g_second < 2; ++g_second) {
        CheckSchedule(tray.watch, false);
        EXPECT_TRUE(recorder.boxes().empty()) << "a box inside the pass";
    }
    PumpFor(300);
    ASSERT_EQ(recorder.boxes().size(), 1u);
    EXPECT_EQ(Narrow(recorder.boxes()[0].text), Narrow(path + L" に書き込めませんでした"));

    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(SaveSchedule(tray.watch));
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(SaveSchedule(tray.watch));
    PumpFor(300);
    EXPECT_EQ(recorder.boxes().size(), 2u);

    SetClockSource(previous);
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    WriteBytes(path, "X _______  01:00:00 Msg    hold\r\n");
    tray.ReloadSchedule();
}

}  // namespace

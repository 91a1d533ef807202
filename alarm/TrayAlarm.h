// ZAV's main object: the hidden window, the tray icon records, the schedule
// and the settings. There is exactly one, reached through g_trayAlarm.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "common/Handles.h"
#include "common/Protocol.h"
#include "common/SettingsFile.h"
#include "alarm/Requester.h"
#include "alarm/Wake.h"
#include "common/WString.h"
#include "schedule/WatchPass.h"

// The full record including the balloon icon member; older, shorter layouts
// would lose the balloon fields that Notice fills.
static_assert(sizeof(NOTIFYICONDATAW) == 956, "NOTIFYICONDATAW must be the 956-byte record");

// Every registry key ZAV opens carries this flag, so that a 32-bit ZAV on
// 64-bit Windows reaches the 64-bit view: KEY_WOW64_64KEY under WOW64,
// KEY_WOW64_32KEY otherwise. Decided on the first call.
REGSAM RegistryView();

// ZAV's module instance (icons, menu, window class).
extern HINSTANCE g_zavInstance;

// Window timers of the main window.
constexpr UINT_PTR kClickTimer = 0;   // tells a single click from a double click
constexpr UINT_PTR kWatchTimer = 1;   // the watch pass
constexpr UINT_PTR kBlinkTimer = 2;   // swaps the tray icon while a Blink is pending
// Shows, with its own procedure, that the schedule could not be saved: the
// save fails in the middle of a pass, and a box there would run the next
// passes in its loop while the pass is between two records.
constexpr UINT_PTR kUnsavedTimer = 3;
// Fires just after the start of the next due second (or, with WakeUp, at the
// start of its lead), so that the alarm does not wait for the next watch tick.
constexpr UINT_PTR kLookTimer = 4;
// How far into its second the look comes: a timer that fires a little early
// finds the second before, already checked.
constexpr UINT kLookMarginMs = 5;
// The longest single wait of the look timer; a longer one would drift from
// the wall clock.
constexpr UINT kLookLongestMs = 60 * 60 * 1000;

constexpr UINT kTrayIconId = 1;
// Posted to the main window: sends the tray record with its new tip. The
// notification area is another process; the call waits for it, and the box of
// the alarm being performed should not.
constexpr UINT kShowTipMessage = WM_APP;
// The tray tip's first line; the next alarm goes on the second.
constexpr wchar_t kTrayTitle[] = L"Orrivane";

using NotifyIconCall = BOOL(WINAPI*)(DWORD message, PNOTIFYICONDATAW record);
using MessageFilterCall = BOOL(WINAPI*)(UINT message, DWORD action);

struct TrayAlarm {
    TrayAlarm(const WString& moduleDirectory, int osLevel, BOOL wow64, const SettingsFile& settings);
    ~TrayAlarm();
    TrayAlarm(const TrayAlarm&) = delete;
    TrayAlarm& operator=(const TrayAlarm&) = delete;

    void MainLoop();
    void ReadIni();
    void RunInitSchedule();
    // Replaces the records in place: an outer watch pass that is still
    // walking the list keeps a valid object and goes on by index.
    void ReloadSchedule();
    // ShellExecuteW of ZAVSet.exe with one command word; the result is not checked.
    void StartSettings(const wchar_t* commandWord, int show) const;

    WString moduleDirectory;
    int osLevel;
    BOOL wow64;
    const SettingsFile& settings;
    WString startupDirectory;
    WString settingsProgramPath;
    WString pendingBlinkMessage;
    // Counts Blink actions, so that the box of one blink does not end a
    // later blink that came due while the box was open.
    unsigned blinkSerial = 0;
    // The blink whose failed tray update was reported: one box per blink,
    // since the box's own loop runs the next ticks.
    unsigned blinkFailureReported = 0;
    int watchPeriod = kTimerIntDefault;
    int blinkPeriod = kBlinkIntDefault;
    WatchState watch;               // schedule path, schedule, lastChecked
    UINT trayMessage = 0;
    UINT controlMessage = 0;
    UINT taskbarMessage = 0;
    NOTIFYICONDATAW trayRecord;
    NOTIFYICONDATAW balloonRecord;
    // Icons 101 and 102 at the small-icon size of the notification area's
    // DPI; trayRecord shows one of them.
    UniqueIcon normalIcon;
    UniqueIcon ringingIcon;
    HWND mainWindow = nullptr;
    // Whom a test run is compared with (MayTestRun).
    Identity identity = OwnIdentity();
    // Every call to the notification area goes through here; tests put in
    // one that fails, as the shell does while Explorer is away.
    NotifyIconCall notifyIcon = Shell_NotifyIconW;

    // Shows trayRecord: NIM_MODIFY, or NIM_ADD when the icon is gone (Explorer
    // restarted unnoticed, or the first NIM_ADD came before the taskbar).
    BOOL UpdateTrayIcon();
    // Loads both icons again for the notification area's DPI now (after a
    // DPI change, or a new taskbar); trayRecord keeps showing the same one.
    void LoadTrayIcons();

    // ---- The next alarm (NextAlarm.cpp) ----
    // The next second a timer pass takes a record up, as the pass's now text
    // (PassText); empty when none comes due. A tick compares lastChecked
    // with it and computes nothing more.
    WString nextDueText;
    SYSTEMTIME nextDue{};
    unsigned nextReloads = 0;  // watch.reloads when it was taken
    bool tipPosted = false;    // kShowTipMessage is on its way
    bool wakeUp = false;       // WakeUp in Zavbell.ini
    WakeKeeper wake;
    // The clock of the next alarm; nullptr means GetLocalTime. Tests set it
    // together with the pass's (SetClockSource).
    ClockSource clock = nullptr;

    // Takes the next alarm anew: the tip, the look timer and the wake timer.
    // After a load, a reload, a change of the settings or the clock.
    void RefreshNextAlarm();
    // After a pass (and before each action it performs): takes the next
    // alarm anew once its second has been checked or the list was replaced.
    void AfterPass();
    // kLookTimer: the lead of a wake, or the due second itself.
    void Look();
    // Windows resumed from sleep (PBT_APMRESUMEAUTOMATIC).
    void OnResume();
    void ArmLookTimer(const SYSTEMTIME& now);
    SYSTEMTIME Now() const;
    bool InWakeLead(const SYSTEMTIME& now) const;
};

// The one TrayAlarm while it exists, for the window procedure and the actions.
extern TrayAlarm* g_trayAlarm;

// TimerInt as the watch timer uses it: above kTimerIntZavMax it becomes the
// default; 0 or below becomes kTimerIntZavMin (SetTimer would otherwise fire as
// fast as the system allows, or, for a negative value read as unsigned,
// almost never).
int ClampTimerInt(int value);

// BlinkInt as the blink timer uses it: outside kBlinkIntMin..kBlinkIntMax
// (0 or letters would blink every 10 ms, -1 or a huge value once in weeks)
// it becomes the default.
int ClampBlinkInt(int value);

// Lets the messages an elevated ZAV must hear from unelevated senders through
// the message filter: ZAVSet's control message, and Explorer's TaskbarCreated
// (without it the icon never comes back after Explorer restarts).
void OpenMessageFilter(const TrayAlarm& tray, MessageFilterCall change = ChangeWindowMessageFilter);

// "Orrivane", then on a line of its own the next alarm: its second (with
// （保留） for a hold-once record, which is only held then), the action word
// and the parameter, cut to fit szTip with "…".
WString TrayTipText(const WString& record, const SYSTEMTIME& due);

// True when a record is in the format used before version 2.00: a blank at
// code unit 14, or 毎 at 12 followed by a blank.
bool IsOldFormatRecord(const WString& record);

// Missing, empty or old-format schedules are handed to ZAVSet "initschedule".
bool NeedsInitSchedule(const StringList& schedule);

// The window procedure of ZAV_WINCLASS (TrayWindow.cpp).
LRESULT CALLBACK OnMyNotifyIcon(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

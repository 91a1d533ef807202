#include "alarm/TrayAlarm.h"

#include "alarm/Actions.h"
#include "alarm/resource.h"
#include "common/Dpi.h"
#include "common/MessageBoxes.h"
#include "common/Paths.h"
#include "common/Process.h"
#include "common/System.h"

namespace {

// The watch pass hands its actions over by reference to a record copy of
// its own; ActExecute takes its own copy before anything nested can run.
void PerformScheduledAction(const WString& actionText) {
    if (g_trayAlarm == nullptr) {
        ActExecute(actionText);
        return;
    }
    // Held first, so that moving on to the next alarm does not let the system
    // go for a moment while the pass that was waited for still runs.
    WakeKeeper::ActionHold hold(g_trayAlarm->wake, NeedsDisplay(actionText));
    // The tip, the look and the wake move on to the next alarm before the
    // action, which may wait for the user for long, or stop the computer.
    g_trayAlarm->AfterPass();
    ActExecute(actionText);
}

void StartSettingsFromSchedule(const wchar_t* commandWord) {
    if (g_trayAlarm != nullptr) g_trayAlarm->StartSettings(commandWord, SW_SHOW);
}

void CALLBACK ReportUnsavedSchedule(HWND window, UINT, UINT_PTR timer, DWORD) {
    KillTimer(window, timer);
    if (g_trayAlarm != nullptr)
        ShowError((g_trayAlarm->watch.schedulePath + L" に書き込めませんでした").text(), window);
}

// The pass says so once, until a save succeeds again; the box comes when
// the message loop is next idle.
void ReportSaveFailure(const WString&) {
    if (g_trayAlarm != nullptr)
        CheckWin32(SetTimer(g_trayAlarm->mainWindow, kUnsavedTimer, USER_TIMER_MINIMUM, ReportUnsavedSchedule),
                   "SetTimer in ReportSaveFailure");
}

}  // namespace

namespace {
REGSAM g_registryView = 0;  // 0 until the first call: no view flag is 0
}  // namespace

REGSAM RegistryView() {
    // Asked on first use, not while static objects are built: GetOsLevel can
    // show a box, and no box may open before wWinMain runs.
    if (g_registryView == 0) {
        BOOL wow64 = FALSE;
        GetOsLevel(&wow64, nullptr);
        g_registryView = wow64 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
    }
    return g_registryView;
}

HINSTANCE g_zavInstance = GetModuleHandleW(nullptr);
TrayAlarm* g_trayAlarm = nullptr;

int ClampTimerInt(int value) {
    if (value > kTimerIntZavMax) return kTimerIntDefault;
    if (value <= 0) return kTimerIntZavMin;
    return value;
}

int ClampBlinkInt(int value) {
    return (value < kBlinkIntMin || value > kBlinkIntMax) ? kBlinkIntDefault : value;
}

void OpenMessageFilter(const TrayAlarm& tray, MessageFilterCall change) {
    change(tray.controlMessage, MSGFLT_ADD);
    change(tray.taskbarMessage, MSGFLT_ADD);
}

bool IsOldFormatRecord(const WString& record) {
    return record.at(14) == L' ' || (record.at(12) == L'毎' && record.at(13) == L' ');
}

bool NeedsInitSchedule(const StringList& schedule) {
    return schedule.count() == 0 || IsOldFormatRecord(schedule.at(0));
}

TrayAlarm::TrayAlarm(const WString& moduleDirectory, int osLevel, BOOL wow64, const SettingsFile& settings)
    : moduleDirectory(moduleDirectory), osLevel(osLevel), wow64(wow64), settings(settings),
      startupDirectory(SpecialFolderPath(-1)),
      settingsProgramPath(JoinPath(moduleDirectory, kZavSetProgram)),
      trayRecord(), balloonRecord() {
    watch.schedulePath = ScheduleFilePath(startupDirectory);
    g_trayAlarm = this;
    SetActionHandler(PerformScheduledAction);
    SetSettingsStarter(StartSettingsFromSchedule);
    SetSaveFailureHandler(ReportSaveFailure);

    // Before anything looks at the schedule: a save killed halfway may have
    // left the only copy in its temporary file.
    RecoverScheduleFile(watch.schedulePath);
    watch.schedule.clear();
    if (!PathExists(watch.schedulePath)) {
        RunInitSchedule();
    } else if (LoadSchedule(watch) && NeedsInitSchedule(watch.schedule)) {
        // A file that exists but cannot be read (held open elsewhere, too
        // large) has had its box; ZAVSet could not read it either.
        RunInitSchedule();
    }

    trayMessage = RegisterWindowMessageW(kTrayMessageName);
    controlMessage = RegisterWindowMessageW(kControlMessageName);
    taskbarMessage = RegisterWindowMessageW(kTaskbarCreatedName);
    OpenMessageFilter(*this);

    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = OnMyNotifyIcon;
    windowClass.hInstance = g_zavInstance;
    windowClass.lpszClassName = kZavWindowClass;
    CheckWin32(RegisterClassW(&windowClass), "RegisterClass");

    mainWindow = CreateWindowExW(WS_EX_TOOLWINDOW, kZavWindowClass, kZavWindowTitle, WS_POPUP, 0, 0, 1, 1,
                                 nullptr, nullptr, g_zavInstance, nullptr);

    trayRecord.cbSize = sizeof(NOTIFYICONDATAW);
    trayRecord.hWnd = mainWindow;
    trayRecord.uID = kTrayIconId;
    trayRecord.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    trayRecord.uCallbackMessage = trayMessage;
    LoadTrayIcons();
    lstrcpynW(trayRecord.szTip, kTrayTitle, ARRAYSIZE(trayRecord.szTip));

    balloonRecord = trayRecord;
    balloonRecord.uFlags = NIF_INFO;
    lstrcpynW(balloonRecord.szInfo, L"Orrivane から", ARRAYSIZE(balloonRecord.szInfo));
    balloonRecord.dwInfoFlags = NIIF_INFO;

    ReadIni();
    notifyIcon(NIM_ADD, &trayRecord);
}

TrayAlarm::~TrayAlarm() {
    notifyIcon(NIM_DELETE, &trayRecord);
    CheckWin32(DestroyWindow(mainWindow), "DestroyWindow");
    g_trayAlarm = nullptr;
}

void TrayAlarm::RunInitSchedule() {
    ProcessRunner runner(settingsProgramPath, kWordInitSchedule, L"open", WString(), SW_SHOWNORMAL, nullptr);
    runner.launch();
    runner.waitPumping(100);
    watch.schedule.load(watch.schedulePath);
    runner.close();
}

void TrayAlarm::ReloadSchedule() {
    // A file that cannot be read now (locked, briefly missing) leaves the
    // alarms ZAV has; load's box says why.
    LoadSchedule(watch);
    RefreshNextAlarm();
}

void TrayAlarm::ReadIni() {
    watchPeriod = ClampTimerInt(settings.ReadInt(L"TimerInt", kTimerIntDefault));
    KillTimer(mainWindow, kWatchTimer);
    CheckWin32(SetTimer(mainWindow, kWatchTimer, watchPeriod, nullptr), "SetTimer in ReadIni");
    // Taken by the next Blink; a blink already running keeps its period.
    blinkPeriod = ClampBlinkInt(settings.ReadInt(L"BlinkInt", kBlinkIntDefault));
    wakeUp = settings.ReadInt(kWakeUpKey, 0) != 0;
    if (!wakeUp) wake.StopWaiting();
    // Arms or cancels the wake timer; also the first look after start-up.
    RefreshNextAlarm();
}

namespace {

// The DPI of the taskbar that holds the notification area; the system DPI
// where there is none (under Wine).
UINT NotificationAreaDpi() {
    HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    return taskbar != nullptr ? DpiOfWindow(taskbar) : SystemDpi();
}

}  // namespace

void TrayAlarm::LoadTrayIcons() {
    const bool ringing = trayRecord.hIcon != nullptr && trayRecord.hIcon == ringingIcon.get();
    const UINT dpi = NotificationAreaDpi();
    normalIcon.reset(LoadSmallIcon(g_zavInstance, IDI_ALARM, dpi));
    ringingIcon.reset(LoadSmallIcon(g_zavInstance, IDI_ALARM_RINGING, dpi));
    trayRecord.hIcon = ringing ? ringingIcon.get() : normalIcon.get();
}

BOOL TrayAlarm::UpdateTrayIcon() {
    if (notifyIcon(NIM_MODIFY, &trayRecord)) return TRUE;
    return notifyIcon(NIM_ADD, &trayRecord);
}

void TrayAlarm::MainLoop() {
    ShowWindow(mainWindow, SW_HIDE);
    UpdateWindow(mainWindow);
    if (!PathExists(settingsProgramPath.Unquote())) {
        ShowError(L"ZAVSet.exe が ZAV.exe と同じディレクトリにありません", mainWindow);
        return;
    }
    watch.lastChecked = L"Start   ";
    CheckSchedule(watch, true);
    CheckWin32(SetTimer(mainWindow, kWatchTimer, watchPeriod, nullptr), "SetTimer in MainLoop");
    RunMessageLoop();
}

void TrayAlarm::StartSettings(const wchar_t* commandWord, int show) const {
    ShellExecuteW(nullptr, L"open", settingsProgramPath.text(), commandWord, startupDirectory.text(), show);
}

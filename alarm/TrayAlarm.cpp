#include "alarm/TrayAlarm.h"

#include "alarm/Actions.h"
#include "alarm/resource.h"
#include "common/MessageBoxes.h"
#include "common/Paths.h"
#include "common/Process.h"
#include "common/System.h"

namespace {

REGSAM ChooseRegistryView() {
    BOOL wow64 = FALSE;
    GetOsLevel(&wow64, nullptr);
    return wow64 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
}

// The watch pass hands its actions over by reference to a record copy of
// its own; ActExecute takes its own copy before anything nested can run.
void PerformScheduledAction(const WString& actionText) {
    ActExecute(actionText);
}

void StartSettingsFromSchedule(const wchar_t* commandWord) {
    if (trayAlarm != nullptr) trayAlarm->StartSettings(commandWord, SW_SHOW);
}

}  // namespace

const REGSAM registryView = ChooseRegistryView();
HINSTANCE zavInstance = GetModuleHandleW(nullptr);
TrayAlarm* trayAlarm = nullptr;

int ClampTimerInt(int value) {
    if (value > kTimerIntMax) return kTimerIntDefault;
    if (value <= 0) return kTimerIntMin;
    return value;
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
      settingsProgramPath(JoinPath(moduleDirectory, L"ZAVSet.exe")),
      trayRecord(), balloonRecord() {
    watch.schedulePath = JoinPath(startupDirectory, L"Zavbell.txt").Unquote();
    trayAlarm = this;
    SetActionHandler(PerformScheduledAction);
    SetSettingsStarter(StartSettingsFromSchedule);

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

    trayMessage = RegisterWindowMessageW(L"ZAV_NOTIFYICON");
    controlMessage = RegisterWindowMessageW(L"ZAV_MESSAGE");
    taskbarMessage = RegisterWindowMessageW(L"TaskbarCreated");
    // An elevated ZAV must still hear an unelevated ZAVSet.
    ChangeWindowMessageFilter(controlMessage, MSGFLT_ADD);

    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = OnMyNotifyIcon;
    windowClass.hInstance = zavInstance;
    windowClass.lpszClassName = kZavWindowClass;
    CheckWin32(RegisterClassW(&windowClass), "RegisterClass");

    mainWindow = CreateWindowExW(WS_EX_TOOLWINDOW, kZavWindowClass, kZavWindowTitle, WS_POPUP, 0, 0, 1, 1,
                                 nullptr, nullptr, zavInstance, nullptr);

    trayRecord.cbSize = sizeof(NOTIFYICONDATAW);
    trayRecord.hWnd = mainWindow;
    trayRecord.uID = kTrayIconId;
    trayRecord.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    trayRecord.uCallbackMessage = trayMessage;
    trayRecord.hIcon = LoadIconW(zavInstance, MAKEINTRESOURCEW(IDI_ALARM));
    lstrcpynW(trayRecord.szTip, L"Orrivane", ARRAYSIZE(trayRecord.szTip));

    balloonRecord = trayRecord;
    balloonRecord.uFlags = NIF_INFO;
    lstrcpynW(balloonRecord.szInfo, L"Orrivane から", ARRAYSIZE(balloonRecord.szInfo));
    balloonRecord.dwInfoFlags = NIIF_INFO;

    ReadIni();
    Shell_NotifyIconW(NIM_ADD, &trayRecord);
}

TrayAlarm::~TrayAlarm() {
    Shell_NotifyIconW(NIM_DELETE, &trayRecord);
    CheckWin32(DestroyWindow(mainWindow), "DestroyWindow");
    trayAlarm = nullptr;
}

void TrayAlarm::RunInitSchedule() {
    ProcessRunner runner(settingsProgramPath, L"initschedule", L"open", WString(), SW_SHOWNORMAL, nullptr);
    runner.launch();
    runner.waitPumping(100);
    watch.schedule.load(watch.schedulePath);
    runner.close();
}

void TrayAlarm::ReloadSchedule() {
    // A file that cannot be read now (locked, briefly missing) leaves the
    // alarms ZAV has; load's box says why.
    LoadSchedule(watch);
}

void TrayAlarm::ReadIni() {
    watchPeriod = ClampTimerInt(settings.ReadInt(L"TimerInt", kTimerIntDefault));
    KillTimer(mainWindow, kWatchTimer);
    CheckWin32(SetTimer(mainWindow, kWatchTimer, watchPeriod, nullptr), "SetTimer in ReadIni");
    // Taken by the next Blink; a blink already running keeps its period.
    blinkPeriod = settings.ReadInt(L"BlinkInt", kBlinkIntDefault);
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

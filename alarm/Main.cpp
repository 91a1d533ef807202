// ZAV: the resident alarm.
#include <windows.h>

#include "alarm/TrayAlarm.h"
#include "common/MessageBoxes.h"
#include "common/Paths.h"
#include "common/SettingsFile.h"
#include "common/System.h"

namespace {

constexpr wchar_t kDoubleStart[] =
    L"ZAV.exe は２重に起動はできません\nこのメッセージが出た理由がわからない人は\nReadme.txt を読んで勉強してください";

// "ZAV.exe /R": make the running ZAV reload its schedule.
void HandleArguments(const WString& arguments) {
    if (arguments.Find(L"/R") == -1) {
        ShowError(L"引数ミス");
        return;
    }
    HWND running = FindWindowW(kZavWindowClass, kZavWindowTitle);
    if (running == nullptr) {
        ShowError(L"タスクトレイの Orrivane を見つけられませんでした");
        return;
    }
    SendMessageW(running, RegisterWindowMessageW(kControlMessageName), kReloadSchedule, 0);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
    g_zavInstance = instance;
    CommandLine commandLine = SplitCommandLine();
    // From the module: started as "ZAV" at a prompt, the command line names no folder.
    WString moduleDirectory = ProgramFolder();
    SettingsFile settings = SettingsFile::ForCurrentDirectory();

    int elevationWanted = settings.ReadInt(L"Elevation", 0);
    BOOL wow64 = FALSE;
    int elevation = 0;
    int osLevel = GetOsLevel(&wow64, &elevation);
    if (elevationWanted != 0 && elevation == kElevationLimited) {
        // Not checked: when the user refuses the consent prompt no ZAV runs.
        // The program by its full path, whatever name it was started by.
        CommandLine again = SplitCommandLine();
        ShellExecuteW(nullptr, L"runas", ProgramPath().text(), again.arguments.text(),
                      SpecialFolderPath(-1).text(), show);
        return 1;
    }

    // Starts with arguments use a name of their own, so "ZAV.exe /R" works
    // while the resident ZAV holds "ZAV.exe ".
    InstanceMutex mutex((WString(kZavMutexPrefix) + commandLine.arguments).text());
    int exitCode = 0;
    if (mutex.created()) {
        if (!commandLine.arguments.empty()) {
            HandleArguments(commandLine.arguments);
        } else {
            TrayAlarm tray(moduleDirectory, osLevel, wow64, settings);
            tray.MainLoop();
        }
    } else {
        ShowError(kDoubleStart);
        exitCode = 1;
    }
    mutex.Release();
    return exitCode;
}

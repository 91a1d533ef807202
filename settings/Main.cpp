// ZAVSet: the settings program that ZAV starts with one command word.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "common/MessageBoxes.h"
#include "common/Protocol.h"
#include "common/System.h"
#include "settings/CommandWords.h"
#include "settings/DialogBase.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    g_instance = instance;

    // One guard for every command word: no two ZAVSet screens at once, and
    // no initschedule while a dialog may be about to save the schedule.
    InstanceMutex mutex(kZavSetMutexName);
    if (!mutex.created()) {
        ShowError(L"他の画面と同時に起動はできません");
        mutex.Release();
        return 1;
    }

    StartInfo start;
    start.osLevel = GetOsLevel(&start.isWow64, &start.elevation);

    CheckHResult(OleInitialize(nullptr), "OleInitialize");
    // The dialogs use tooltips, up-down controls and progress bars.
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    RunCommandWord(SplitCommandLine().arguments, start);

    OleUninitialize();
    mutex.Release();
    return 0;
}

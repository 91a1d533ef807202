// Opens one of ZAVSet's parameter dialogs with a sample parameter, for the
// README's pictures (scripts/screenshots.sh): dialog_gallery.exe
// command | exit | media | wallpaper. Positions go to a Zavbell.ini in the
// temporary folder, never to a real one.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include "common/Paths.h"
#include "common/SettingsFile.h"
#include "common/System.h"
#include "settings/CommandDialog.h"
#include "settings/DialogBase.h"
#include "settings/ExitDialog.h"
#include "settings/MediaDialog.h"
#include "settings/WallpaperDialog.h"
#include "settings/resource.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    g_instance = instance;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    OleInitialize(nullptr);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    temp[lstrlenW(temp) - 1] = L'\0';  // JoinPath adds the separator
    SettingsFile settings(JoinPath(temp, L"gallery.ini"), L"Zavbell");
    WString which = WString(commandLine).Trim();
    if (which == L"command") {
        DCommand(L"Icon notepad.exe \"C:\\メモ\\今日の予定.txt\"", IDI_SETTINGS, settings, kElevationDefault)
            .Run(nullptr);
    } else if (which == L"exit") {
        DExit(L"再起動 強制終了 待機時間 =30秒", true, IDI_SETTINGS, settings, kElevationDefault).Run(nullptr);
    } else if (which == L"media") {
        DMedia(L"Repeat Vol:50% C:\\Windows\\Media\\Alarm01.wav", IDI_SETTINGS, settings, kElevationDefault)
            .Run(nullptr);
    } else if (which == L"wallpaper") {
        WString picture = JoinPath(temp, L"海辺.jpg");
        HANDLE file = CreateFileW(picture.text(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        CloseHandle(file);
        DWallpaper(L"Tile " + picture, kOs10, kElevationDefault, settings, L"C:\\windows").Run(nullptr);
        DeleteFileW(picture.text());
    }
    DeleteFileW(settings.path().text());
    OleUninitialize();
    return 0;
}

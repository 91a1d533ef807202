// Opens one of ZAVSet's dialogs with a sample, for the README's pictures
// (scripts/screenshots.sh): dialog_gallery.exe command | exit | media |
// wallpaper | edit | weekend | list. Positions and the list's schedule go to the
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
#include "settings/ScheduleEditDialog.h"
#include "settings/ScheduleListDialog.h"
#include "settings/WallpaperDialog.h"
#include "settings/resource.h"

namespace {

// The list's last line (a day that does not exist) selected, as a click
// would: under the list it says that the line never comes due. A thread
// timer, run by the list's own message loop.
void CALLBACK SelectLastLine(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND list = GetDlgItem(GetActiveWindow(), IDC_LIST_LINES);
    SendMessageW(list, LB_SETSEL, TRUE, SendMessageW(list, LB_GETCOUNT, 0, 0) - 1);
    SendMessageW(GetActiveWindow(), WM_COMMAND, MAKEWPARAM(IDC_LIST_LINES, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

}  // namespace

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
    } else if (which == L"edit" || which == L"weekend") {
        SetCurrentDirectoryW(temp);
        const wchar_t* line = which == L"edit" ? L"  3rd we-2 07:30:00 Msg    定例会議の資料を準備"
                                               : L"  S_____S  08:00:00 Msg    週末の朝";
        DSetAlarm(kOs10, FALSE, kElevationDefault, line).Run(nullptr);
    } else if (which == L"list") {
        WString path = JoinPath(temp, L"gallery.txt");
        StringList lines;
        for (const wchar_t* line :
             {L"  EveryDay Start    Msg    おはようございます", L"  3rd we-2 07:30:00 Msg    定例会議の資料を準備",
              L"  _M_W_F_  12:00:00 Notice 昼休み", L"  **/**E-1 17:00:00 Msg    月末の締め",
              L"  **/02/30 09:00:00 Msg    存在しない日"})
            lines.append(line);
        lines.save(path);
        SetTimer(nullptr, 0, 300, SelectLastLine);
        DSelSchedule(L"set", StartInfo{}, path, settings).Run(nullptr);
        DeleteFileW(path.text());
    }
    DeleteFileW(settings.path().text());
    OleUninitialize();
    return 0;
}

#include "alarm/Actions.h"
#include "alarm/TrayAlarm.h"
#include "common/Handles.h"
#include "common/MessageBoxes.h"
#include "common/Paths.h"
#include "common/Process.h"
#include "common/ProcessList.h"
#include "common/Protocol.h"

namespace {

constexpr wchar_t kNoScreenSaver[] = L"(なし)";
constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kText3dKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Screensavers\\ssText3d";
constexpr wchar_t kText3dFile[] = L"ssText3d.scr";
// CSIDL_SYSTEM: shlobj.h cannot be included beside the Shell action (its
// shldisp.h declares a class of that name).
constexpr int kSystemFolder = 0x0025;
// ERROR_OPERATION_IN_PROGRESS, missing from mingw-w64's winerror.h.
constexpr DWORD kOperationInProgress = 329;

LONG WriteText(HKEY key, const wchar_t* name, const WString& value) {
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.text()),
                          static_cast<DWORD>((value.length() + 1) * sizeof(wchar_t)));
}

// The user's screensaver settings under Control Panel\Desktop. Registry
// results are kept, not shown: a missing key leaves the system's choice.
class ScreenSaverSettings {
public:
    ScreenSaverSettings() {
        HKEY key = nullptr;
        lastResult_ = RegOpenKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE | RegistryView(),
                                    &key);
        key_.reset(key);
    }
    ~ScreenSaverSettings() {
        if (key_) RegFlushKey(key_.get());
    }
    ScreenSaverSettings(const ScreenSaverSettings&) = delete;
    ScreenSaverSettings& operator=(const ScreenSaverSettings&) = delete;

    void setActive(bool on) {
        if (SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, on ? 1 : 0, nullptr, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE)) {
            return;
        }
        if (GetLastError() == kOperationInProgress) {
            lastResult_ = WriteText(key_.get(), L"ScreenSaveActive", on ? L"1" : L"0");
            return;
        }
        CheckWin32(FALSE, on ? "SPI_SETSCREENSAVEACTIVE ON" : "SPI_SETSCREENSAVEACTIVE OFF");
    }

    void setFile(const WString& path) {
        setActive(!path.empty());
        lastResult_ = WriteText(key_.get(), L"SCRNSAVE.EXE", path);
    }

    void start() {
        if (key_) RegFlushKey(key_.get());
        PostMessageW(HWND_BROADCAST, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
    }

private:
    UniqueRegKey key_;
    LONG lastResult_;
};

bool ScreenSaverRunning() {
    BOOL running = FALSE;
    CheckWin32(SystemParametersInfoW(SPI_GETSCREENSAVERRUNNING, 0, &running, 0), "SPI_GETSCREENSAVERRUNNING");
    return running != FALSE;
}

// On 64-bit Windows a 32-bit ZAV cannot see the 64-bit screensavers'
// paths: Quillon64 does the break there.
void BreakWithHelper() {
    ProcessRunner helper(JoinPath(g_trayAlarm->moduleDirectory, kHelperProgram), kHelperBreakScreenSaver, L"open",
                         WString(), SW_SHOWNORMAL, nullptr);
    // Only ZAV's own box when Quillon64 is missing, not the shell's as well.
    helper.AddMask(SEE_MASK_FLAG_NO_UI);
    CheckWin32(helper.launch(), "exec.Exec()");
    helper.waitPumping(100);
    helper.close();
}

// Every wait dispatches messages: records that come due meanwhile still fire.
void StopRunningScreenSaver() {
    if (g_trayAlarm != nullptr && g_trayAlarm->wow64) {
        BreakWithHelper();
    } else {
        BreakScreenSaver();
    }
    WaitPumping(nullptr, 100);
    for (int i = 0; i < 50 && ScreenSaverRunning(); ++i) WaitPumping(nullptr, 100);
    WaitPumping(nullptr, 1000);
}

class WaitCursor {
public:
    WaitCursor() { SetCursor(LoadCursorW(nullptr, IDC_WAIT)); }
    ~WaitCursor() { SetCursor(LoadCursorW(nullptr, IDC_ARROW)); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

void Screen(const WString& parameter) {
    WaitCursor cursor;
    StopRunningScreenSaver();
    ScreenSaverSettings settings;
    if (parameter == kNoScreenSaver) {
        settings.setFile(WString());
        return;
    }
    settings.setFile(parameter);
    settings.start();
}

void ThreeDText(const WString& parameter) {
    WaitCursor cursor;
    StopRunningScreenSaver();
    ScreenSaverSettings settings;
    settings.setFile(JoinPath(SpecialFolderPath(kSystemFolder), kText3dFile));
    // Created when missing (a fresh profile has no such key): otherwise the
    // text would be lost and the screensaver show whatever it had.
    HKEY opened = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kText3dKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE | RegistryView(),
                    nullptr, &opened, nullptr);
    UniqueRegKey text3d(opened);
    if (text3d) {
        WriteText(text3d.get(), L"DisplayString", parameter);
        DWORD showText = 0;
        RegSetValueExW(text3d.get(), L"DisplayTime", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&showText),
                       sizeof(showText));
        RegFlushKey(text3d.get());
    }
    settings.start();
}

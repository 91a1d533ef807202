#include "alarm/Wallpaper.h"

#include <ole2.h>
#include <wininet.h>  // before shlobj.h: IActiveDesktop is declared only with it
#include <shlobj.h>
#include <wrl/client.h>

#include "alarm/SystemCalls.h"
#include "alarm/TrayAlarm.h"
#include "common/Handles.h"
#include "common/MessageBoxes.h"

using Microsoft::WRL::ComPtr;

namespace {

const wchar_t kNotInstalled[] = L"ActiveDesktop がインストールされていません";
const wchar_t kChangeFailed[] = L"壁紙の変更に失敗しました";

bool WriteDesktopValue(HKEY key, const wchar_t* name, const wchar_t* value) {
    const DWORD bytes = static_cast<DWORD>((lstrlenW(value) + 1) * sizeof(wchar_t));
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), bytes) == ERROR_SUCCESS;
}

enum class Outcome { Done, Refused, Failed };

// E_NOTIMPL is the object refusing the job (Wine answers so for all three).
Outcome ThroughActiveDesktop(IActiveDesktop* desktop, const KabeParameter& kabe) {
    WALLPAPEROPT options = {};
    options.dwSize = 8;
    options.dwStyle = kabe.none ? WPSTYLE_CENTER : static_cast<DWORD>(kabe.style);
    const HRESULT path = desktop->SetWallpaper(kabe.path.text(), 0);
    const HRESULT style = desktop->SetWallpaperOptions(&options, 0);
    if (path == E_NOTIMPL || style == E_NOTIMPL) return Outcome::Refused;
    if (FAILED(path) || FAILED(style)) return Outcome::Failed;
    const HRESULT applied = desktop->ApplyChanges(AD_APPLY_ALL);
    if (applied == E_NOTIMPL) return Outcome::Refused;
    return applied == S_OK ? Outcome::Done : Outcome::Failed;
}

// The box to show, or nullptr when the wallpaper was changed.
const wchar_t* ApplyWallpaper(const KabeParameter& kabe) {
    ComPtr<IActiveDesktop> desktop;
    if (FAILED(g_systemCalls.createActiveDesktop(&desktop)) || !desktop) {
        return SetWallpaperBySettings(kabe) ? nullptr : kNotInstalled;
    }
    switch (ThroughActiveDesktop(desktop.Get(), kabe)) {
    case Outcome::Done: return nullptr;
    case Outcome::Refused: return SetWallpaperBySettings(kabe) ? nullptr : kChangeFailed;
    default: return kChangeFailed;
    }
}

}  // namespace

DesktopStyleValues DesktopStyleValuesOf(int style) {
    // Center, tile, stretch, fit, fill, span.
    static const DesktopStyleValues kValues[kKabeStyleCount] = {
        {L"0", L"0"}, {L"0", L"1"}, {L"2", L"0"}, {L"6", L"0"}, {L"10", L"0"}, {L"22", L"0"},
    };
    return kValues[style >= 0 && style < kKabeStyleCount ? style : 0];
}

bool SetWallpaperBySettings(const KabeParameter& kabe) {
    const DesktopStyleValues values = DesktopStyleValuesOf(kabe.none ? 0 : kabe.style);
    HKEY rawKey = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE | RegistryView(),
                        nullptr, &rawKey, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    UniqueRegKey key(rawKey);
    if (!WriteDesktopValue(key.get(), L"WallpaperStyle", values.wallpaperStyle) ||
        !WriteDesktopValue(key.get(), L"TileWallpaper", values.tileWallpaper)) {
        return false;
    }
    // SPI_SETDESKWALLPAPER takes a non-const buffer.
    WString path = kabe.none ? WString() : kabe.path;
    return g_systemCalls.setWallpaperInfo(SPI_SETDESKWALLPAPER, 0, const_cast<wchar_t*>(path.text()),
                                          SPIF_UPDATEINIFILE | SPIF_SENDCHANGE) != FALSE;
}

// Declared in Actions.h, which cannot be included beside shlobj.h: its
// Shell clashes with the shell's coclass of that name.
void Kabe(const WString& parameter) {
    HWND owner = g_trayAlarm != nullptr ? g_trayAlarm->mainWindow : nullptr;
    SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    const KabeParameter kabe = ParseKabeParameter(parameter);
    if (!kabe.valid) {
        ShowError(L"SetKabeNormal ERROR", owner);
    } else {
        const HRESULT ole = OleInitialize(nullptr);
        const wchar_t* failure = ApplyWallpaper(kabe);
        if (failure != nullptr) ShowError(failure, owner);
        // Only a successful initialisation (S_FALSE too) is to be balanced.
        if (SUCCEEDED(ole)) OleUninitialize();
    }
    SetCursor(LoadCursorW(nullptr, IDC_ARROW));
}

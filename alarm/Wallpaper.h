// The Kabe action: the desktop wallpaper through the shell's Active Desktop,
// or through the desktop's own settings where that object is missing or
// refuses (Wine, editions without it).
#pragma once

#include "schedule/ActionParameters.h"

// WallpaperStyle and TileWallpaper under HKCU\Control Panel\Desktop for a
// style index of kKabeStyleWords.
struct DesktopStyleValues {
    const wchar_t* wallpaperStyle;
    const wchar_t* tileWallpaper;
};
DesktopStyleValues DesktopStyleValuesOf(int style);

// Writes the style values and sets the wallpaper with SPI_SETDESKWALLPAPER;
// false when either fails.
bool SetWallpaperBySettings(const KabeParameter& kabe);

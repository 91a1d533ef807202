// The wallpaper dialog (160): composes the parameter of a Kabe record (layout
// word, blank, picture path) and previews the picture.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <vector>

#include "common/SettingsFile.h"
#include "common/WString.h"
#include "settings/ModalDialog.h"

// An existing picture file of a type the system can show as wallpaper at
// this OS level (Windows 7 added jfif, jpe, tif, tiff and wdp).
bool IsAcceptedWallpaper(const WString& path, int osLevel);

// The layouts offered: three always, two more from Windows 7, "Span" from
// Windows 8 with more than one monitor.
int OfferedLayoutCount(int osLevel, int monitors);

// Cuts black edges off a 32-bit picture (rows of width pixels, colour in the
// low 24 bits): to the smallest rectangle holding every non-black pixel,
// when that spans at least two rows and two columns. Returns whether it cut.
bool CutBlackEdges(std::vector<uint32_t>& pixels, int& width, int& height);

// Whether the shell's Active Desktop object can be made; tests replace it.
using DesktopProbe = bool (*)();
DesktopProbe SetDesktopProbe(DesktopProbe probe);

class DWallpaper : public ModalDialog<DWallpaper> {
public:
    DWallpaper(const WString& parameter, int osLevel, int elevation, const SettingsFile& settings,
               const WString& windowsFolder);
    // True after OK (the parameter holds the new text); false after Cancel or
    // the close box (the parameter is empty).
    bool Run(HWND owner);
    const WString& parameter() const { return parameter_; }

private:
    friend class ModalDialog<DWallpaper>;
    static const DialogTables<DWallpaper> kTables;
    static LRESULT CALLBACK PreviewProc(HWND preview, UINT message, WPARAM wParam, LPARAM lParam);

    INT_PTR OnInitDialog();
    INT_PTR OnCloseBox(WPARAM, LPARAM);
    INT_PTR OnDestroy(WPARAM, LPARAM);
    void OnPathUpdate();
    void OnBrowse();
    void OnOk();
    void OnCancel();
    void OnDropFiles(HDROP drop);
    void PaintPreview(HWND preview);
    // The shell's thumbnail of the file at width x height, or null; each
    // failing step is reported once per path.
    HBITMAP Thumbnail(const WString& path, int width, int height);
    void ReportOnce(HRESULT hr, const char* name);

    WString parameter_;
    int osLevel_;
    const SettingsFile& settings_;
    WString windowsFolder_;
    WNDPROC previewProc_ = nullptr;
    WString reportedPath_;  // the path whose shell failures were shown
    bool reporting_ = false;
};

// Per-monitor DPI. The calls Windows 10 version 1607 added to user32 are
// looked up at run time: a static import would keep the programs from
// starting on older Windows, where every window has the system DPI and the
// answers here come from it.
#pragma once

#include <windows.h>

// The DPI of 100 %.
constexpr UINT kBaseDpi = USER_DEFAULT_SCREEN_DPI;

// The DPI a window is drawn at: its monitor's where the program is
// per-monitor aware, else the system's.
UINT DpiOfWindow(HWND window);
// The system DPI, which GDI's LOGPIXELSY always reports.
UINT SystemDpi();
// A system metric at a DPI: GetSystemMetricsForDpi, else GetSystemMetrics
// (which answers for the system DPI) scaled to dpi.
int MetricForDpi(int index, UINT dpi);
// An icon resource at the small-icon size of dpi (a title bar's, the
// notification area's), or null when there is no such resource. The caller
// destroys it.
HICON LoadSmallIcon(HINSTANCE instance, int iconId, UINT dpi);
// Turns Windows' own rescaling of a dialog on a DPI change off (from Windows
// 10 1703 on; before, and under Wine, there is none): the dialog's runner
// scales its controls and re-creates its fonts itself, the same way
// everywhere.
void TakeOverDialogDpiChanges(HWND dialog);

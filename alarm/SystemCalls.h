// The calls ZAV's actions make that a test must never make for real: they
// end the Wine session the tests run in (ExitWindowsEx), stop the machine, or
// change what the user's desktop shows. Actions reach them only through
// g_systemCalls; unit tests and the recording ZAV of the end-to-end tests put
// recorders in its members. Each action's work adds the members it needs.
#pragma once

#include <windows.h>

struct IActiveDesktop;
struct IAudioEndpointVolume;

struct SystemCalls {
    BOOL (WINAPI* exitWindowsEx)(UINT flags, DWORD reason);
    BOOL (WINAPI* setSystemPowerState)(BOOL suspend, BOOL force);

    // ---- Wallpaper (Kabe) ----
    // The shell's Active Desktop object (CoCreateInstance, in-process).
    HRESULT (*createActiveDesktop)(IActiveDesktop** desktop);
    // SystemParametersInfoW, used for SPI_SETDESKWALLPAPER.
    BOOL (WINAPI* setWallpaperInfo)(UINT action, UINT parameter, PVOID value, UINT flags);

    // ---- Volume (Mplay) ----
    // The default output device's volume, with ZAV's own session set to full
    // first; fails when COM is not initialised or the device has none.
    HRESULT (*openEndpointVolume)(IAudioEndpointVolume** endpoint);

    // Shell: starting the program of a record.
    HINSTANCE (WINAPI* shellExecute)(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                                     LPCWSTR directory, INT show);

    // ---- Waking from sleep for the next alarm ----
    // SetWaitableTimer, which ZAV calls with fResume TRUE only.
    BOOL (WINAPI* setWaitableTimer)(HANDLE timer, const LARGE_INTEGER* due, LONG period,
                                    PTIMERAPCROUTINE completion, LPVOID argument, BOOL resume);
    BOOL (WINAPI* cancelWaitableTimer)(HANDLE timer);
    EXECUTION_STATE (WINAPI* setThreadExecutionState)(EXECUTION_STATE state);
};

// The real calls, until a test replaces them.
extern SystemCalls g_systemCalls;

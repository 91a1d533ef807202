// The calls ZAV's actions make that a test must never make for real: they
// end the Wine session the tests run in (ExitWindowsEx), stop the machine, or
// change what the user's desktop shows. Actions reach them only through
// systemCalls; unit tests and the recording ZAV of the end-to-end tests put
// recorders in its members. Each action's work adds the members it needs.
#pragma once

#include <windows.h>
#include <vdmdbg.h>

struct SystemCalls {
    BOOL (WINAPI* exitWindowsEx)(UINT flags, DWORD reason);
    BOOL (WINAPI* setSystemPowerState)(BOOL suspend, BOOL force);

    // Shell: starting the program of a record.
    HINSTANCE (WINAPI* shellExecute)(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                                     LPCWSTR directory, INT show);
    // The 16-bit tasks of an NTVDM (vdmdbg.dll, loaded on the first call).
    // Wine's vdmdbg aborts the process when either is called.
    INT (WINAPI* vdmEnumTaskWOWEx)(DWORD processId, TASKENUMPROCEX callback, LPARAM data);
    BOOL (WINAPI* vdmTerminateTaskWOW)(DWORD processId, WORD task);
};

// The real calls, until a test replaces them.
extern SystemCalls systemCalls;

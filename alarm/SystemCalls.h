// The calls ZAV's actions make that a test must never make for real: they
// end the Wine session the tests run in (ExitWindowsEx), stop the machine, or
// change what the user's desktop shows. Actions reach them only through
// g_systemCalls; unit tests and the recording ZAV of the end-to-end tests put
// recorders in its members. Each action's work adds the members it needs.
#pragma once

#include <windows.h>

struct SystemCalls {
    BOOL (WINAPI* exitWindowsEx)(UINT flags, DWORD reason);
    BOOL (WINAPI* setSystemPowerState)(BOOL suspend, BOOL force);
};

// The real calls, until a test replaces them.
extern SystemCalls g_systemCalls;

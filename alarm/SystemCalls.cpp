#include "alarm/SystemCalls.h"

#include <shellapi.h>

namespace {

// vdmdbg.dll exists only where 16-bit programs can run; it is loaded once an
// NTVDM.EXE is listed and stays loaded for the rest of the run.
FARPROC VdmProcedure(const char* name) {
    static HMODULE library = LoadLibraryW(L"vdmdbg.dll");
    return library != nullptr ? GetProcAddress(library, name) : nullptr;
}

INT WINAPI LoadedEnumTaskWOWEx(DWORD processId, TASKENUMPROCEX callback, LPARAM data) {
    auto call = reinterpret_cast<INT(WINAPI*)(DWORD, TASKENUMPROCEX, LPARAM)>(
        reinterpret_cast<void*>(VdmProcedure("VDMEnumTaskWOWEx")));
    return call != nullptr ? call(processId, callback, data) : 0;
}

BOOL WINAPI LoadedTerminateTaskWOW(DWORD processId, WORD task) {
    auto call = reinterpret_cast<BOOL(WINAPI*)(DWORD, WORD)>(
        reinterpret_cast<void*>(VdmProcedure("VDMTerminateTaskWOW")));
    return call != nullptr ? call(processId, task) : FALSE;
}

}  // namespace

SystemCalls systemCalls = {
    ExitWindowsEx,
    SetSystemPowerState,

    ShellExecuteW,
    LoadedEnumTaskWOWEx,
    LoadedTerminateTaskWOW,
};

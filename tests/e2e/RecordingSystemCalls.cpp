// Linked into the recording ZAV.exe of the end-to-end tests: the power calls
// are written to "systemcalls.log" beside the program instead of being made.
// Under Wine a real ExitWindowsEx would end every program of the prefix, the
// test run included.
#include <windows.h>

#include <cstdio>

#include "alarm/SystemCalls.h"

namespace {

void Log(const char* line) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    wchar_t* slash = wcsrchr(path, L'\\');
    if (length == 0 || slash == nullptr) return;
    lstrcpyW(slash + 1, L"systemcalls.log");
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line, static_cast<DWORD>(strlen(line)), &written, nullptr);
    CloseHandle(file);
}

BOOL WINAPI RecordExitWindowsEx(UINT flags, DWORD reason) {
    char line[64];
    snprintf(line, sizeof(line), "ExitWindowsEx %u %lu\r\n", flags, static_cast<unsigned long>(reason));
    Log(line);
    return TRUE;
}

BOOL WINAPI RecordSetSystemPowerState(BOOL suspend, BOOL force) {
    char line[64];
    snprintf(line, sizeof(line), "SetSystemPowerState %d %d\r\n", suspend, force);
    Log(line);
    return TRUE;
}

// Runs before wWinMain; g_systemCalls itself is filled at link time.
struct InstallRecorders {
    InstallRecorders() {
        g_systemCalls.exitWindowsEx = RecordExitWindowsEx;
        g_systemCalls.setSystemPowerState = RecordSetSystemPowerState;
    }
} installRecorders;

}  // namespace

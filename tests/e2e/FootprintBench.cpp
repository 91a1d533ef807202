// ZAV's footprint: idle for a minute under Wine with a 1,000-record schedule,
// its CPU time and peak working set, and the sizes of the three programs.
// ORRIVANE_BENCH_SECONDS shortens or lengthens the idle time (default 60),
// ORRIVANE_BENCH_RECORDS changes the number of records (default 1000).
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>

#include "tests/e2e/BenchSupport.h"
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {


void PrintSize(const char* label, const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        std::printf("%-16s missing\n", label);
        return;
    }
    ULONGLONG size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    std::printf("%-16s %llu bytes (%.1f KiB)\n", label, size, size / 1024.0);
}

}  // namespace

int wmain() {
    int seconds = 60;
    if (const char* text = std::getenv("ORRIVANE_BENCH_SECONDS")) seconds = std::atoi(text) > 0 ? std::atoi(text) : 60;
    int records = 1000;
    if (const char* text = std::getenv("ORRIVANE_BENCH_RECORDS")) records = std::atoi(text) > 0 ? std::atoi(text) : 1000;

    Sandbox sandbox;
    sandbox.InstallSettingsProgram(StandInProgramPath());
    sandbox.WriteSchedule(QuietSchedule(records, L"負荷測定用の予定"));
    ZavProcess zav;
    if (!zav.Start(sandbox) || zav.WaitForWindow() == nullptr) {
        std::printf("ZAV did not start\n");
        return 1;
    }

    // Under Wine an idle GUI process costs CPU of its own (the X11 driver and
    // Wine's service threads); Wine's notepad, idle beside ZAV for the same
    // time, shows how much of ZAV's figure that is.
    PROCESS_INFORMATION notepad = {};
    if (RunningUnderWine()) {
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_SHOWMINNOACTIVE;
        wchar_t commandLine[] = L"notepad.exe";
        if (CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &notepad)) {
            WaitForInputIdle(notepad.hProcess, kWaitMs);
        }
    }
    ULONGLONG notepadStart = notepad.hProcess != nullptr ? CpuTicks(notepad.hProcess) : 0;
    ULONGLONG cpuStart = CpuTicks(zav.handle());
    ULONGLONG wallStart = GetTickCount64();
    // The watch runs by itself; this only waits for the minute to pass.
    WaitUntil([] { return false; }, static_cast<DWORD>(seconds) * 1000);
    ULONGLONG cpuUsed = CpuTicks(zav.handle()) - cpuStart;
    ULONGLONG wallMs = GetTickCount64() - wallStart;
    bool haveBaseline = notepad.hProcess != nullptr;
    ULONGLONG notepadUsed = haveBaseline ? CpuTicks(notepad.hProcess) - notepadStart : 0;
    if (haveBaseline) {
        // Started here, ended here by its handle.
        TerminateProcess(notepad.hProcess, 0);
        WaitForSingleObject(notepad.hProcess, kWaitMs);
        CloseHandle(notepad.hThread);
        CloseHandle(notepad.hProcess);
    }

    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    BOOL haveMemory = GetProcessMemoryInfo(zav.handle(), &memory, sizeof(memory));
    bool stillRunning = zav.Running();
    zav.Close();

    double cpuMs = cpuUsed / 10000.0;
    std::printf("ZAV idle %.1f s with %d records: CPU %.0f ms = %.3f %% of one core (goal < 0.5 %%)%s\n",
                wallMs / 1000.0, records, cpuMs, 100.0 * cpuMs / wallMs, stillRunning ? "" : " [ZAV ENDED EARLY]");
    if (haveBaseline) {
        std::printf("Wine's idle notepad beside it: CPU %.0f ms = %.3f %% (Wine's own cost of an idle GUI process)\n",
                    notepadUsed / 10000.0, 100.0 * (notepadUsed / 10000.0) / wallMs);
    }
    if (haveMemory) {
        std::printf("ZAV peak working set %.1f MiB, working set at the end %.1f MiB\n",
                    memory.PeakWorkingSetSize / 1048576.0, memory.WorkingSetSize / 1048576.0);
    } else {
        std::printf("ZAV working set: GetProcessMemoryInfo failed (%lu)\n", GetLastError());
    }
    std::wstring bin = TestProgramDirectory();
    PrintSize("ZAV.exe", ZavProgramPath());
    PrintSize("ZAVSet.exe", SettingsProgramPath());
    PrintSize("Quillon64.exe", bin + L"\\..\\..\\x64\\bin\\Quillon64.exe");
    return stillRunning ? 0 : 1;
}

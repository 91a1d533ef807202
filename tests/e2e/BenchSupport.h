// What the benchmark programs of ZAV share.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/e2e/Harness.h"

namespace e2e {

// Records that ZAV examines every second but that do not come due while a
// benchmark runs: every day, twelve hours away from now, each with its own
// text "<label> <n>".
std::vector<std::wstring> QuietSchedule(int records, const std::wstring& label);

// Polls done() every millisecond, without the harness's 15 ms step that
// would round every figure up; false after the time-out.
bool WaitFinely(const std::function<bool()>& done, DWORD timeoutMs = kWaitMs);

// Kernel and user time a process has used so far, in 100 ns units.
ULONGLONG CpuTicks(HANDLE process);

}  // namespace e2e

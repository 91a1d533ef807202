#include "tests/e2e/BenchSupport.h"

#include "tests/e2e/Harness.h"

namespace e2e {

std::vector<std::wstring> QuietSchedule(int records, const std::wstring& label) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    std::vector<std::wstring> schedule;
    for (int i = 0; i < records; ++i) {
        SYSTEMTIME at = now;
        at.wHour = static_cast<WORD>((now.wHour + 12) % 24);
        at.wMinute = static_cast<WORD>(i % 60);
        at.wSecond = static_cast<WORD>((i / 60) % 60);
        schedule.push_back(EveryDayRecord(at, L"Msg", label + L" " + std::to_wstring(i)));
    }
    return schedule;
}

bool WaitFinely(const std::function<bool()>& done, DWORD timeoutMs) {
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!done()) {
        if (GetTickCount64() >= deadline) return false;
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(1);
    }
    return true;
}

ULONGLONG CpuTicks(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    ULARGE_INTEGER k, u;
    k.LowPart = kernel.dwLowDateTime;
    k.HighPart = kernel.dwHighDateTime;
    u.LowPart = user.dwLowDateTime;
    u.HighPart = user.dwHighDateTime;
    return k.QuadPart + u.QuadPart;
}

}  // namespace e2e

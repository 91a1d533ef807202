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

}  // namespace e2e

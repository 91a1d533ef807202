// What the benchmark programs of ZAV share.
#pragma once

#include <string>
#include <vector>

namespace e2e {

// Records that ZAV examines every second but that do not come due while a
// benchmark runs: every day, twelve hours away from now, each with its own
// text "<label> <n>".
std::vector<std::wstring> QuietSchedule(int records, const std::wstring& label);

}  // namespace e2e

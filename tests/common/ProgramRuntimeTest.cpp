// The shipped programs' runtime replacement (common/ProgramRuntime.cpp),
// seen from outside through runtime_probe.exe: where the C++ runtime would
// throw, the program ends at once with kRuntimeFailureExitCode (the
// toolchain's runtime would end it through abort, with 3).
#include <gtest/gtest.h>

#include "common/Paths.h"
#include "common/ProgramRuntime.h"
#include "common/Process.h"
#include "tests/common/TestSupport.h"

namespace {

DWORD RunRuntimeProbe(const wchar_t* job) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    ProcessRunner runner(JoinPath(DirectoryOf(self), L"runtime_probe.exe"), job, L"", L"", SW_HIDE, nullptr);
    if (!runner.launch()) return 0xFFFFFFFF;
    return runner.waitPumping(20);
}

TEST(ProgramRuntime, EndsTheProgramWhereTheRuntimeWouldThrow) {
    const struct {
        const wchar_t* job;
        DWORD exitCode;
    } kJobs[] = {
        {L"fine", 0},
        {L"alloc", kRuntimeFailureExitCode},
        {L"at", kRuntimeFailureExitCode},
        {L"pure", kRuntimeFailureExitCode},
    };
    for (const auto& row : kJobs) {
        EXPECT_EQ(row.exitCode, RunRuntimeProbe(row.job)) << Narrow(row.job);
    }
}

}  // namespace

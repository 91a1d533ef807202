#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/Handles.h"
#include "common/Paths.h"
#include "schedule/ScheduleFile.h"
#include "tests/common/TestSupport.h"
#include "tests/schedule/ScheduleTestSupport.h"

namespace {

// No process has this id: ids are below 2^26 on Windows and far below under Wine.
constexpr DWORD kGoneProcess = 0x7FFFFFF0;

// This test program started suspended: a process that runs but never saves.
class RunningProcess {
public:
    RunningProcess() {
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring commandLine = std::wstring(L"\"") + self + L"\" --gtest_list_tests";
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        CreateProcessW(self, &commandLine[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                       &info_);
    }
    ~RunningProcess() {
        if (!info_.hProcess) return;
        TerminateProcess(info_.hProcess, 0);
        WaitForSingleObject(info_.hProcess, 5000);
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    RunningProcess(const RunningProcess&) = delete;
    RunningProcess& operator=(const RunningProcess&) = delete;
    DWORD id() const { return info_.dwProcessId; }

private:
    PROCESS_INFORMATION info_ = {};
};

class Recovery : public ::testing::Test {
protected:
    WString Schedule() const { return JoinPath(folder_.path(), L"Zavbell.txt"); }
    WString Temporary(DWORD processId) const { return SaveTemporaryPath(Schedule(), processId); }
    std::wstring NameOf(const WString& path) const { return FileNameOf(path).text(); }
    // Written with a last-write time `age` seconds in the past.
    void WriteAged(const WString& path, const std::string& bytes, int age) {
        ASSERT_TRUE(WriteBytes(path, bytes));
        UniqueHandle file(
            CreateFileW(path.text(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(static_cast<bool>(file));
        FILETIME now;
        GetSystemTimeAsFileTime(&now);
        ULARGE_INTEGER t;
        t.LowPart = now.dwLowDateTime;
        t.HighPart = now.dwHighDateTime;
        t.QuadPart -= static_cast<ULONGLONG>(age) * 10000000ULL;
        FILETIME then = {t.LowPart, t.HighPart};
        ASSERT_TRUE(SetFileTime(file.get(), nullptr, nullptr, &then));
    }
    std::vector<std::wstring> Files() const {
        std::vector<std::wstring> names = FilesIn(folder_.path());
        std::sort(names.begin(), names.end());
        return names;
    }

    TempFolder folder_;
};

TEST_F(Recovery, AMissingScheduleComesBackFromTheNewestCompleteSave) {
    const std::string older = Cp932Lines({L"  EveryDay 07:00:00 Msg    古い保存"});
    const std::string newer = Cp932Lines({L"  EveryDay 07:00:00 Msg    新しい保存", L"X _______  01:00:00 Msg    例"});
    WriteAged(Temporary(kGoneProcess), older, 60);
    WriteAged(Temporary(kGoneProcess - 4), newer, 30);
    // Newest of all, but cut short by the kill: it does not end in LF.
    WriteAged(Temporary(kGoneProcess - 8), newer.substr(0, newer.size() - 5), 10);
    // Empty: killed before it wrote anything.
    WriteAged(Temporary(kGoneProcess - 12), "", 5);

    EXPECT_TRUE(RecoverScheduleFile(Schedule()));
    EXPECT_EQ(newer, ReadBytes(Schedule()));
    EXPECT_EQ((std::vector<std::wstring>{L"Zavbell.txt"}), Files()) << "every leftover is removed";
}

TEST_F(Recovery, LeftoversOfProgramsThatNoLongerRunGoAndTheScheduleStays) {
    const std::string schedule = Cp932Lines({L"  EveryDay 07:00:00 Msg    今の予定"});
    ASSERT_TRUE(WriteBytes(Schedule(), schedule));
    RunningProcess saver;
    ASSERT_NE(0u, saver.id());
    const WString running = Temporary(saver.id());
    WriteAged(running, "being written", 0);
    WriteAged(Temporary(kGoneProcess), Cp932Lines({L"older"}), 60);
    // A leftover named after this very process: it has not saved yet, so an
    // earlier process with the same id left it.
    WriteAged(Temporary(GetCurrentProcessId()), Cp932Lines({L"mine"}), 60);
    // Not a save's temporary file: left alone.
    WriteAged(JoinPath(folder_.path(), L"Zavbell.txt.abc.tmp"), "other", 0);

    EXPECT_FALSE(RecoverScheduleFile(Schedule()));
    EXPECT_EQ(schedule, ReadBytes(Schedule()));
    std::vector<std::wstring> expected = {L"Zavbell.txt", L"Zavbell.txt.abc.tmp", NameOf(running)};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, Files()) << "the running saver keeps its file";
}

TEST_F(Recovery, NothingCompleteLeavesTheScheduleMissing) {
    WriteAged(Temporary(kGoneProcess), "  EveryDay 07:00:00 Msg    cut sho", 10);
    EXPECT_FALSE(RecoverScheduleFile(Schedule()));
    EXPECT_TRUE(Files().empty());
}

TEST_F(Recovery, ARelativePathIsTheCurrentDirectory) {
    CurrentDirectoryScope scope(folder_.path());
    WriteAged(Temporary(kGoneProcess), Cp932Lines({L"recovered"}), 10);
    EXPECT_TRUE(RecoverScheduleFile(WString(L"Zavbell.txt")));
    EXPECT_EQ(Cp932Lines({L"recovered"}), ReadBytes(Schedule()));
}

TEST_F(Recovery, AStampChangesWithTheSizeAndTheWriteTime) {
    EXPECT_FALSE(StampOf(Schedule()).exists);
    WriteAged(Schedule(), "abc\r\n", 60);
    const FileStamp first = StampOf(Schedule());
    EXPECT_TRUE(first.exists);
    EXPECT_EQ(5u, first.size);
    EXPECT_EQ(first, StampOf(Schedule()));
    WriteAged(Schedule(), "abd\r\n", 30);
    EXPECT_NE(first, StampOf(Schedule())) << "same size, later write";
    WriteAged(Schedule(), "abcd\r\n", 60);
    EXPECT_NE(first, StampOf(Schedule())) << "same time, other size";
}

}  // namespace

// The process list and closing by path, with fake screensavers started from
// a folder of the test's own (a copy of fake_saver.exe as *.scr or NTVDM.EXE).
// The two vdmdbg calls are replaced: under Wine calling them aborts.
#include <gtest/gtest.h>

#include <aclapi.h>

#include <algorithm>
#include <cwchar>
#include <utility>

#include "common/Handles.h"
#include "common/Paths.h"
#include "common/ProcessList.h"
#include "common/System.h"
#include "tests/common/TestSupport.h"

namespace {

WString FakeSaverPath() {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return JoinPath(DirectoryOf(self), L"fake_saver.exe");
}

struct WindowOf {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindWindowOf(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowOf*>(data);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search->processId) return TRUE;
    search->found = window;
    return FALSE;
}

// A copy of the fake started from `folder` under `name`; ended by its id at
// the end when it still runs.
class Fake {
public:
    Fake(const WString& folder, const wchar_t* name, const wchar_t* arguments) : path_(JoinPath(folder, name)) {
        CopyFileW(FakeSaverPath().text(), path_.text(), FALSE);
        std::wstring line = L"\"" + std::wstring(path_.text()) + L"\" " + arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        if (!CreateProcessW(path_.text(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.text(), &startup,
                            &info_)) {
            return;
        }
        // Its window must exist before anything asks it to close.
        for (int i = 0; i < 500 && !HasWindow(); ++i) Sleep(10);
    }
    ~Fake() {
        if (info_.hProcess == nullptr) return;
        if (Running()) TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, 5000);
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    Fake(const Fake&) = delete;
    Fake& operator=(const Fake&) = delete;

    bool HasWindow() const {
        WindowOf search{info_.dwProcessId, nullptr};
        EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    }
    bool Running() const { return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
    bool Ends(DWORD ms) const { return WaitForSingleObject(info_.hProcess, ms) == WAIT_OBJECT_0; }
    bool started() const { return info_.hProcess != nullptr; }
    const WString& path() const { return path_; }
    DWORD id() const { return info_.dwProcessId; }
    DWORD threadId() const { return info_.dwThreadId; }

private:
    WString path_;
    PROCESS_INFORMATION info_ = {};
};

int IndexOfId(const ProcessList& list, int id) {
    for (int i = 0; i < list.count(); ++i) {
        if (list.record(i).id == id) return i;
    }
    return -1;
}

// ---- The list ----

TEST(ProcessList, SortedInsertKeepsOrdinalOrderWithEqualPathsAfterAndGrowsBy100) {
    const wchar_t* names[] = {L"C:\\b.exe", L"C:\\a.exe", L"C:\\B.exe", L"\\\\srv\\x.exe", L"C:\\a.exe", L"D:\\z.scr"};
    for (bool sorted : {true, false}) {
        ProcessList list(sorted);
        EXPECT_EQ(list.capacity(), 100);
        std::vector<std::pair<std::wstring, int>> expected;
        for (int serial = 0; serial < 250; ++serial) {
            const wchar_t* name = names[(serial * 7) % 6];
            list.insert(name, ProcessRecord{serial, kProcess, kElevationDefault, true});
            expected.emplace_back(name, serial);
            if (serial == 99 || serial == 100) {
                EXPECT_EQ(list.capacity(), serial == 99 ? 100 : 200);
            }
        }
        EXPECT_EQ(list.capacity(), 300);
        if (sorted) {
            // The oracle: a stable sort by code units keeps equal paths in insertion order.
            std::stable_sort(expected.begin(), expected.end(),
                             [](const auto& a, const auto& b) { return a.first < b.first; });
        }
        ASSERT_EQ(list.count(), 250);
        for (int i = 0; i < 250; ++i) {
            EXPECT_EQ(Narrow(list.path(i)), Narrow(expected[i].first)) << (sorted ? "sorted " : "unsorted ") << i;
            EXPECT_EQ(list.record(i).id, expected[i].second) << (sorted ? "sorted " : "unsorted ") << i;
        }
    }
}

TEST(ProcessList, EnumerateListsThisProgramWithItsRecord) {
    ProcessList list;
    BoxRecorder boxes;
    list.enumerate();
    int elevation = 0;
    GetOsLevel(nullptr, &elevation);
    int at = IndexOfId(list, static_cast<int>(GetCurrentProcessId()));
    ASSERT_GE(at, 0) << list.count() << " processes listed";
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_EQ(CompareStringOrdinal(list.path(at).text(), -1, self, -1, TRUE), CSTR_EQUAL) << Narrow(list.path(at));
    EXPECT_EQ(list.record(at).kind, kProcess);
    EXPECT_EQ(list.record(at).elevation, elevation);
    EXPECT_TRUE(list.record(at).canEnd);
    for (int i = 0; i < list.count(); ++i) {
        const WString& path = list.path(i);
        EXPECT_TRUE((path.at(1) == L':' && path.at(2) == L'\\') || path.Left(2) == L"\\\\") << Narrow(path);
    }
    // Wine: 64-bit processes are left out of a 32-bit list (error 998), silently.
    // (Windows may refuse the token of a process it let the list open: a box.)
    if (RunningUnderWine()) {
        EXPECT_TRUE(boxes.boxes().empty()) << Narrow(boxes.boxes()[0].text);
    }
}

// The token of a process that lets nobody read it, as services and other
// users' programs have.
TEST(ProcessList, AnUnreadableTokenIsListedWithoutABox) {
    TempFolder folder;
    Fake guarded(folder.path(), L"guarded.exe", L"polite");
    ASSERT_TRUE(guarded.HasWindow());
    UniqueHandle process(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, guarded.id()));
    HANDLE token = nullptr;
    ASSERT_TRUE(OpenProcessToken(process.get(), WRITE_DAC, &token));
    ACL empty;
    InitializeAcl(&empty, sizeof(empty), ACL_REVISION);
    ASSERT_EQ(SetSecurityInfo(token, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &empty, nullptr),
              static_cast<DWORD>(ERROR_SUCCESS));
    CloseHandle(token);
    BoxRecorder boxes;
    ProcessList list;
    list.enumerate();
    int at = IndexOfId(list, static_cast<int>(guarded.id()));
    ASSERT_GE(at, 0);
    EXPECT_EQ(list.record(at).elevation, 0);
    EXPECT_TRUE(boxes.boxes().empty()) << Narrow(boxes.boxes()[0].text);
}

// ---- Closing by path ----

int g_ticks = 0;
void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++g_ticks; }

TEST(ProcessList, ClosesPoliteAndStubbornProgramsAndAnswers1ForOneNotRunning) {
    TempFolder folder;
    BoxRecorder boxes;
    {
        Fake polite(folder.path(), L"polite.scr", L"polite");
        ASSERT_TRUE(polite.started() && polite.HasWindow());
        ProcessList list;
        EXPECT_EQ(list.closeByPath(polite.path().Upper(), 5000), kCloseEnded);
        EXPECT_TRUE(polite.Ends(0));
    }
    {
        Fake stubborn(folder.path(), L"stubborn.scr", L"stubborn");
        ASSERT_TRUE(stubborn.started() && stubborn.HasWindow());
        ProcessList list;
        // The wait dispatches this thread's messages: ZAV's watch timer goes on.
        g_ticks = 0;
        UINT_PTR timer = SetTimer(nullptr, 0, 50, CountTick);
        ULONGLONG start = GetTickCount64();
        EXPECT_EQ(list.closeByPath(stubborn.path(), 400), kCloseTerminated);
        EXPECT_GE(GetTickCount64() - start, 390u) << "the wait was cut short";
        KillTimer(nullptr, timer);
        EXPECT_GE(g_ticks, 3) << "no timer ticked during the wait";
        EXPECT_TRUE(stubborn.Ends(5000));
    }
    ProcessList list;
    EXPECT_EQ(list.closeByPath(JoinPath(folder.path(), L"absent.scr"), 5000), kCloseNotListed);
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST(ProcessList, OfTwoWithOnePathTheLaterListedIsClosed) {
    TempFolder folder;
    Fake first(folder.path(), L"twice.scr", L"polite");
    Fake second(folder.path(), L"twice.scr", L"polite");
    ASSERT_TRUE(first.HasWindow() && second.HasWindow());
    ProcessList list;
    list.enumerate();
    int a = IndexOfId(list, static_cast<int>(first.id()));
    int b = IndexOfId(list, static_cast<int>(second.id()));
    ASSERT_GE(a, 0);
    ASSERT_GE(b, 0);
    const Fake& later = a > b ? first : second;
    const Fake& earlier = a > b ? second : first;
    EXPECT_EQ(list.closeByPath(first.path(), 5000), kCloseEnded);
    EXPECT_TRUE(later.Ends(0));
    EXPECT_TRUE(earlier.Running()) << "the earlier listed one was closed as well";
}

// The listed program ended and its id went to another one meanwhile.
TEST(ProcessList, AnIdTakenOverByAnotherProgramIsNotClosed) {
    TempFolder folder;
    Fake other(folder.path(), L"other.exe", L"polite");
    ASSERT_TRUE(other.HasWindow());
    ProcessList list;
    list.insert(JoinPath(folder.path(), L"ended.scr"),
                ProcessRecord{static_cast<int>(other.id()), kProcess, kElevationDefault, true});
    EXPECT_EQ(list.closeByPath(JoinPath(folder.path(), L"ended.scr"), 100), kCloseNotListed);
    EXPECT_TRUE(other.Running()) << "the program that took the id over was closed";
}

// ---- 16-bit tasks ----

struct VdmFake {
    DWORD ntvdm = 0;
    DWORD thread = 0;
    bool hasTask = true;
    std::vector<DWORD> enumerated;
    std::vector<std::pair<DWORD, WORD>> terminated;
};
VdmFake g_vdm;

INT WINAPI FakeEnumTasks(DWORD processId, TASKENUMPROCEX callback, LPARAM data) {
    g_vdm.enumerated.push_back(processId);
    if (processId != g_vdm.ntvdm || !g_vdm.hasTask) return 0;
    char module[] = "TASK16";
    char file[] = "C:\\OLD16\\TASK16.EXE";
    callback(g_vdm.thread, 3, 7, module, file, data);
    return 1;
}

BOOL WINAPI FakeTerminateTask(DWORD processId, WORD task) {
    g_vdm.terminated.emplace_back(processId, task);
    return TRUE;
}

class VdmSeam {
public:
    VdmSeam() : saved_(g_vdmCalls) {
        g_vdm = VdmFake();
        g_vdmCalls.enumTaskWOWEx = FakeEnumTasks;
        g_vdmCalls.terminateTaskWOW = FakeTerminateTask;
    }
    ~VdmSeam() { g_vdmCalls = saved_; }

private:
    VdmCalls saved_;
};

TEST(ProcessList, SixteenBitTasksAreListedUnderTheirNtvdmAndClosedThroughIt) {
    TempFolder folder;
    VdmSeam seam;
    Fake ntvdm(folder.path(), L"ntvdm.exe", L"polite");
    ASSERT_TRUE(ntvdm.HasWindow());
    g_vdm.ntvdm = ntvdm.id();
    g_vdm.thread = ntvdm.threadId();

    ProcessList list;
    list.enumerate();
    // Only the NTVDM's tasks are asked for (and vdmdbg is loaded for it only).
    EXPECT_EQ(g_vdm.enumerated, std::vector<DWORD>{ntvdm.id()});
    int host = IndexOfId(list, static_cast<int>(ntvdm.id()));
    int task = IndexOfId(list, -static_cast<int>(ntvdm.threadId()));
    ASSERT_GE(host, 0);
    ASSERT_GE(task, 0) << "the task is not listed";
    EXPECT_LT(task, host) << "a task goes before its NTVDM";
    EXPECT_EQ(list.path(task), L"C:\\OLD16\\TASK16.EXE");
    EXPECT_EQ(list.record(task).kind, kTask16);
    EXPECT_EQ(list.record(task).elevation, list.record(host).elevation);
    EXPECT_EQ(list.record(task).canEnd, list.record(host).canEnd);

    EXPECT_EQ(list.closeByPath(L"c:\\old16\\task16.exe", 100), kCloseTaskEnded);
    EXPECT_EQ(g_vdm.terminated, (std::vector<std::pair<DWORD, WORD>>{{ntvdm.id(), 7}}));
    // WM_CLOSE went to the task's windows: those of the NTVDM on its thread.
    EXPECT_TRUE(ntvdm.Ends(5000));
}

TEST(ProcessList, ATaskGoneBeforeItsCloseAnswers1) {
    TempFolder folder;
    VdmSeam seam;
    Fake ntvdm(folder.path(), L"NTVDM.EXE", L"polite");
    ASSERT_TRUE(ntvdm.HasWindow());
    g_vdm.ntvdm = ntvdm.id();
    g_vdm.thread = ntvdm.threadId();
    ProcessList list;
    list.enumerate();
    ASSERT_GE(IndexOfId(list, -static_cast<int>(ntvdm.threadId())), 0);
    g_vdm.hasTask = false;
    EXPECT_EQ(list.closeByPath(L"C:\\OLD16\\TASK16.EXE", 100), kCloseNotListed);
    EXPECT_TRUE(g_vdm.terminated.empty());
    EXPECT_TRUE(ntvdm.Running()) << "nothing was asked to close";
}

// ---- The break ----

// Wine keeps a process's first answer to SPI_GETSCREENSAVERRUNNING for the
// rest of its run: no test of this program may ask before the fake runs, so
// the case with nothing running is left to the end-to-end scenarios, which
// ask a fresh Quillon64 each time.
TEST(BreakScreenSaver, ClosesTheRunningScreenSaver) {
    TempFolder folder;
    Fake saver(folder.path(), L"saver.scr", L"polite running");
    ASSERT_TRUE(saver.HasWindow());
    BoxRecorder boxes;
    EXPECT_TRUE(BreakScreenSaver());
    EXPECT_TRUE(saver.Ends(0));
    if (RunningUnderWine()) {
        // Wine has no SPI_GETSCREENSAVESECURE (1439): the box, then the break goes on.
        ASSERT_EQ(boxes.boxes().size(), 1u);
        EXPECT_EQ(boxes.boxes()[0].text, L"SPI_GETSCREENSAVESECURE Error Code =1439");
    } else {
        EXPECT_TRUE(boxes.boxes().empty());
    }
}

}  // namespace

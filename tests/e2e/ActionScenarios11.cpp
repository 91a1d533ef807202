// Shell, Screen and 3DText end to end, and Quillon64 on its own: the real
// ZAV.exe and Quillon64.exe in a sandbox, actions handed over as test runs
// (ZAV_TEST) or as due records, programs started through a recorder and
// screensavers played by fake_saver.exe copied in as *.scr.
//
// Wine: the prefix is WoW64, so ZAV always asks Quillon64 to stop a
// screensaver; Wine has no SPI_GETSCREENSAVESECURE (error 1439), so
// Quillon64 shows that box whenever a screensaver runs and the scenarios
// press its OK; the SC_SCREENSAVE broadcast starts nothing there.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <memory>

#include "common/Protocol.h"
#include "common/SharedBlock.h"
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

const wchar_t kSecureBoxText[] = L"SPI_GETSCREENSAVESECURE Error Code =1439";
const wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
const wchar_t kText3dKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Screensavers\\ssText3d";
constexpr int kLeadSeconds = 3;
constexpr double kLatenessLimit = 2.0;

std::wstring RecorderProgramPath() { return TestProgramDirectory() + L"\\recorder.exe"; }
std::wstring FakeSaverProgramPath() { return TestProgramDirectory() + L"\\fake_saver.exe"; }

// Every visible dialog of a process, whatever its caption (a shell box too).
std::vector<HWND> Dialogs(DWORD processId) {
    return VisibleWindows(processId, L"#32770");
}

// ---- The registry values the scenarios change, put back afterwards ----

// A value as ZAV sees it: in the 64-bit view of the registry.
bool ReadValue(const wchar_t* key, const wchar_t* name, DWORD type, void* data, DWORD bytes) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &opened) != ERROR_SUCCESS) {
        return false;
    }
    DWORD found = 0;
    LONG result = RegQueryValueExW(opened, name, nullptr, &found, static_cast<BYTE*>(data), &bytes);
    RegCloseKey(opened);
    return result == ERROR_SUCCESS && found == type;
}

bool ReadText(HKEY, const wchar_t* key, const wchar_t* name, std::wstring* value) {
    wchar_t data[1024] = {};
    if (!ReadValue(key, name, REG_SZ, data, sizeof(data) - sizeof(wchar_t))) return false;
    *value = data;
    return true;
}

bool ReadNumber(const wchar_t* key, const wchar_t* name, DWORD* value) {
    return ReadValue(key, name, REG_DWORD, value, sizeof(*value));
}

std::wstring ScreenSaverFile() {
    std::wstring value;
    ReadText(HKEY_CURRENT_USER, kDesktopKey, L"SCRNSAVE.EXE", &value);
    return value;
}

// Read from the registry, not with SPI_GETSCREENSAVEACTIVE: Wine keeps a
// process's first answer to that for the rest of its run.
bool ScreenSaverActive() {
    std::wstring value;
    return ReadText(HKEY_CURRENT_USER, kDesktopKey, L"ScreenSaveActive", &value) && value == L"1";
}

// The fake screensaver's window: it holds the screensaver-running flag by
// then. (Not asked with SPI_GETSCREENSAVERRUNNING: Wine keeps a process's
// first answer to that, and this program asks no more than once.)
bool FakeWindowOf(DWORD processId) {
    for (HWND w = FindWindowExW(nullptr, nullptr, L"OrrivaneFakeScreenSaver", nullptr); w != nullptr;
         w = FindWindowExW(nullptr, w, L"OrrivaneFakeScreenSaver", nullptr)) {
        if (ProcessOf(w) == processId) return true;
    }
    return false;
}

void SetScreenSaverFile(const std::wstring* value) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) return;
    if (value == nullptr) {
        RegDeleteValueW(key, L"SCRNSAVE.EXE");
    } else {
        RegSetValueExW(key, L"SCRNSAVE.EXE", 0, REG_SZ, reinterpret_cast<const BYTE*>(value->c_str()),
                       static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t)));
    }
    RegCloseKey(key);
}

class ScreenSaverSettingsGuard {
public:
    ScreenSaverSettingsGuard() {
        hadFile_ = ReadText(HKEY_CURRENT_USER, kDesktopKey, L"SCRNSAVE.EXE", &file_);
        active_ = ScreenSaverActive();
        HKEY key = nullptr;
        hadText3d_ = RegOpenKeyExW(HKEY_CURRENT_USER, kText3dKey, 0, KEY_READ | KEY_WOW64_64KEY, &key) == ERROR_SUCCESS;
        if (hadText3d_) {
            RegCloseKey(key);
            hadString_ = ReadText(HKEY_CURRENT_USER, kText3dKey, L"DisplayString", &string_);
            hadTime_ = ReadNumber(kText3dKey, L"DisplayTime", &time_);
        }
    }
    ~ScreenSaverSettingsGuard() {
        SetScreenSaverFile(hadFile_ ? &file_ : nullptr);
        SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, active_ ? 1 : 0, nullptr, SPIF_UPDATEINIFILE);
        if (!hadText3d_) {
            RegDeleteKeyExW(HKEY_CURRENT_USER, kText3dKey, KEY_WOW64_64KEY, 0);
            return;
        }
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kText3dKey, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) return;
        if (hadString_) {
            RegSetValueExW(key, L"DisplayString", 0, REG_SZ, reinterpret_cast<const BYTE*>(string_.c_str()),
                           static_cast<DWORD>((string_.size() + 1) * sizeof(wchar_t)));
        } else {
            RegDeleteValueW(key, L"DisplayString");
        }
        if (hadTime_) {
            RegSetValueExW(key, L"DisplayTime", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&time_), sizeof(time_));
        } else {
            RegDeleteValueW(key, L"DisplayTime");
        }
        RegCloseKey(key);
    }
    ScreenSaverSettingsGuard(const ScreenSaverSettingsGuard&) = delete;
    ScreenSaverSettingsGuard& operator=(const ScreenSaverSettingsGuard&) = delete;

private:
    bool hadFile_ = false;
    std::wstring file_;
    bool active_ = false;
    bool hadText3d_ = false;
    bool hadString_ = false;
    std::wstring string_;
    bool hadTime_ = false;
    DWORD time_ = 0;
};

// ---- A hidden top-level window that counts the screensaver start broadcasts ----

int g_broadcasts = 0;

LRESULT CALLBACK ListenerWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_SCREENSAVE) {
        ++g_broadcasts;
        return 0;   // not to DefWindowProc: this test starts no screensaver
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

class BroadcastListener {
public:
    BroadcastListener() {
        g_broadcasts = 0;
        WNDCLASSW windowClass = {};
        windowClass.lpfnWndProc = ListenerWindow;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"OrrivaneBroadcastListener";
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    }
    ~BroadcastListener() { DestroyWindow(window_); }
    BroadcastListener(const BroadcastListener&) = delete;
    BroadcastListener& operator=(const BroadcastListener&) = delete;
    int count() const { return g_broadcasts; }

private:
    HWND window_;
};

// ---- Programs the scenarios start themselves ----

class Started {
public:
    Started() = default;
    ~Started() {
        if (info_.hProcess == nullptr) return;
        // Only this process, by its handle, when a scenario failed early.
        if (Running()) TerminateProcess(info_.hProcess, 0xDEAD);
        WaitForSingleObject(info_.hProcess, 5000);
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    Started(const Started&) = delete;
    Started& operator=(const Started&) = delete;

    bool Start(const Sandbox& sandbox, const std::wstring& fileName, const std::wstring& arguments) {
        return StartInSandbox(sandbox, fileName, arguments, &info_);
    }
    bool Running() const { return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
    bool WaitForExit(DWORD ms = kWaitMs) const { return WaitUntil([this] { return !Running(); }, ms); }
    DWORD ExitCode() const {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }
    DWORD id() const { return info_.dwProcessId; }

private:
    PROCESS_INFORMATION info_ = {};
};

// Presses OK on the screensaver-secure box of any Quillon64 (see the top).
int AnswerSecureBoxes() {
    int answered = 0;
    for (DWORD helper : ProcessesNamed(L"Quillon64.exe")) {
        for (const Box& box : FindBoxes(helper, L"Quillon64")) {
            if (box.text == kSecureBoxText && AnswerBox(box.window)) ++answered;
        }
    }
    return answered;
}

class ActionScenario : public ZavFixture {
protected:
    void SetUp() override {
        sandbox.InstallStandIn();
        ASSERT_TRUE(CopyFileW(RecorderProgramPath().c_str(), sandbox.PathOf(L"recorder.exe").c_str(), FALSE));
    }
    void TearDown() override {
        if (zav.Running()) {
            EXPECT_TRUE(zav.Close(15000)) << "ZAV did not end after WM_CLOSE";
        }
        // A recorder left waiting or a helper still at work ends by itself.
        EXPECT_TRUE(WaitUntil([] {
            return ProcessesNamed(L"recorder.exe").empty() && ProcessesNamed(L"Quillon64.exe").empty();
        }, 15000)) << "a recorder or Quillon64 was left running";
    }

    void InstallHelper() {
        ASSERT_TRUE(CopyFileW(HelperProgramPath().c_str(), sandbox.PathOf(L"Quillon64.exe").c_str(), FALSE))
            << "no Quillon64.exe at " << Narrow(HelperProgramPath()) << ": build the x64 tree";
    }

    void StartZav(const std::vector<std::wstring>& records = {}) {
        sandbox.WriteSchedule(records.empty() ? std::vector<std::wstring>{L"X _______  01:00:00 Msg    hold"} : records);
        ASSERT_NO_FATAL_FAILURE(Restart());
    }

    // A test run of one action text, as ZAVSet's test-run button asks it.
    std::unique_ptr<AsyncSend> TestRun(const std::wstring& actionText) {
        block.reset(new SharedBlock);
        EXPECT_TRUE(CreateTestRunBlock(*block, actionText));
        return std::unique_ptr<AsyncSend>(new AsyncSend(zav.window(), ControlMessage(), kTestRun, 0));
    }

    // Waits until what a test run does last is seen (ZAV answers the test
    // run before it performs it), pressing Quillon64's secure box meanwhile.
    bool FinishRun(const std::function<bool()>& over, int* secureBoxes, DWORD timeoutMs = 20000) {
        return WaitUntil([&] {
            *secureBoxes += AnswerSecureBoxes();
            return over();
        }, timeoutMs);
    }

    std::vector<std::wstring> RecorderLines() const { return sandbox.ReadLines(L"recorder.log"); }

    // Ends the recorders still waiting as they were told, once a scenario has
    // seen that they were: TearDown would wait for them.
    static void EndWaitingRecorders() {
        for (DWORD id : ProcessesNamed(L"recorder.exe")) {
            HANDLE recorder = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
            if (recorder == nullptr) continue;
            TerminateProcess(recorder, 0);
            WaitForSingleObject(recorder, 5000);
            CloseHandle(recorder);
        }
    }

    std::unique_ptr<SharedBlock> block;
};

// ---- Shell ----

TEST_F(ActionScenario, ShellStartsAQuotedPathWithItsArgumentsInItsFolder) {
    std::wstring folder = sandbox.PathOf(L"my tools");
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    std::wstring program = folder + L"\\recorder.exe";
    ASSERT_TRUE(CopyFileW(RecorderProgramPath().c_str(), program.c_str(), FALSE));
    ASSERT_NO_FATAL_FAILURE(StartZav());
    std::wstring log = L"my tools\\recorder.log";

    auto run = TestRun(L"Shell  \"" + program + L"\"  eins  zwei ");
    ASSERT_TRUE(run->Wait());
    EXPECT_TRUE(WaitUntil([&] { return sandbox.ReadLines(log).size() == 1; })) << Lines(sandbox.ReadLines(log));
    run = TestRun(L"Shell  Icon \"" + program + L"\" drei");
    ASSERT_TRUE(run->Wait());
    EXPECT_TRUE(WaitUntil([&] { return sandbox.ReadLines(log).size() == 2; })) << Lines(sandbox.ReadLines(log));
    std::vector<std::wstring> expected = {L"eins  zwei\t" + folder + L"\t1", L"drei\t" + folder + L"\t6"};
    EXPECT_EQ(sandbox.ReadLines(log), expected) << Lines(sandbox.ReadLines(log)) << "\nexpected:" << Lines(expected);
    EXPECT_TRUE(FindBoxes(zav.id()).empty());
}

TEST_F(ActionScenario, ShellReportsAMissingProgramAndAnEmptyCommandWithCode2) {
    ASSERT_NO_FATAL_FAILURE(StartZav());
    for (const wchar_t* parameter : {L"nothere.exe /x", L"icon recorder.exe", L"Icon ", L"Icon     "}) {
        auto run = TestRun(std::wstring(L"Shell  ") + parameter);
        HWND box = WaitForBox(zav.id(), L"Execute Error Code = 2");
        ASSERT_NE(box, nullptr) << "\"" << Narrow(parameter) << "\"";
        EXPECT_EQ(Dialogs(zav.id()).size(), 1u) << "more than ZAV's own box";
        EXPECT_TRUE(AnswerBox(box));
        EXPECT_TRUE(run->Wait());
    }
    // "Icon " alone must not start ZAV (its own command line) again: such a
    // ZAV would stay, showing its double-start box.
    EXPECT_FALSE(WaitUntil([] { return ProcessesNamed(L"ZAV.exe").size() > 1; }, 500));
    EXPECT_TRUE(RecorderLines().empty()) << Lines(RecorderLines());
}

TEST_F(ActionScenario, ShellDoesNotWaitForItsProgram) {
    SYSTEMTIME due = LocalTimeAfter(kLeadSeconds);
    SYSTEMTIME next = LocalTimeAfter(kLeadSeconds + 1);
    ASSERT_NO_FATAL_FAILURE(StartZav({EveryDayRecord(due, L"Shell", L"\"" + sandbox.PathOf(L"recorder.exe") + L"\" wait 4000"),
                                      EveryDayRecord(next, L"Msg", L"一秒後")}));
    HWND box = WaitForBox(zav.id(), L"一秒後", kLeadSeconds * 1000 + kWaitMs);
    SYSTEMTIME seen;
    GetLocalTime(&seen);
    ASSERT_NE(box, nullptr);
    EXPECT_LT(SecondsBetween(next, seen), kLatenessLimit) << "ZAV waited for the started program";
    EXPECT_EQ(RecorderLines().size(), 1u);
    EXPECT_FALSE(ProcessesNamed(L"recorder.exe").empty()) << "the recorder should still be waiting";
    EXPECT_TRUE(AnswerBox(box));
    EndWaitingRecorders();
}

// ---- Screen and 3DText ----

TEST_F(ActionScenario, ScreenStopsAPoliteScreenSaverAndStartsTheNewOne) {
    ScreenSaverSettingsGuard settings;
    ASSERT_NO_FATAL_FAILURE(InstallHelper());
    ASSERT_TRUE(CopyFileW(FakeSaverProgramPath().c_str(), sandbox.PathOf(L"old.scr").c_str(), FALSE));
    Started old;
    ASSERT_TRUE(old.Start(sandbox, L"old.scr", L"polite running"));
    ASSERT_TRUE(WaitUntil([&] { return FakeWindowOf(old.id()); }));
    ASSERT_NO_FATAL_FAILURE(StartZav());
    SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, 0, nullptr, SPIF_UPDATEINIFILE);
    BroadcastListener listener;

    std::wstring chosen = sandbox.PathOf(L"new.scr");
    auto run = TestRun(L"Screen " + chosen);
    int secureBoxes = 0;
    ASSERT_TRUE(FinishRun([&] { return listener.count() > 0; }, &secureBoxes)) << "no SC_SCREENSAVE broadcast";
    EXPECT_EQ(secureBoxes, RunningUnderWine() ? 1 : 0);
    EXPECT_FALSE(old.Running()) << "the running screensaver was not stopped";
    EXPECT_EQ(Narrow(ScreenSaverFile()), Narrow(chosen));
    EXPECT_TRUE(ScreenSaverActive());
    EXPECT_TRUE(WaitUntil([&] { return listener.count() > 0; }, 3000)) << "no SC_SCREENSAVE broadcast";
}

TEST_F(ActionScenario, ScreenTerminatesAStubbornScreenSaverAfterFiveSeconds) {
    ScreenSaverSettingsGuard settings;
    ASSERT_NO_FATAL_FAILURE(InstallHelper());
    ASSERT_TRUE(CopyFileW(FakeSaverProgramPath().c_str(), sandbox.PathOf(L"stubborn.scr").c_str(), FALSE));
    Started old;
    ASSERT_TRUE(old.Start(sandbox, L"stubborn.scr", L"stubborn running"));
    ASSERT_TRUE(WaitUntil([&] { return FakeWindowOf(old.id()); }));
    ASSERT_NO_FATAL_FAILURE(StartZav());

    BroadcastListener listener;
    auto run = TestRun(L"Screen " + sandbox.PathOf(L"new.scr"));
    // The wait for the stubborn one starts once the break is past its checks.
    ULONGLONG asked = 0;
    ULONGLONG ended = 0;
    int secureBoxes = 0;
    ASSERT_TRUE(WaitUntil([&] {
        if (AnswerSecureBoxes() > 0) ++secureBoxes;
        if (asked == 0 && (secureBoxes > 0 || !RunningUnderWine())) asked = GetTickCount64();
        if (ended == 0 && !old.Running()) ended = GetTickCount64();
        return listener.count() > 0;  // the new screensaver's start comes last
    }, 25000));
    ASSERT_NE(ended, 0u) << "the stubborn screensaver still runs";
    double seconds = (ended - asked) / 1000.0;
    EXPECT_GT(seconds, 4.0) << "terminated before the 5 s wait was over";
    EXPECT_LT(seconds, 9.0);
    // Wine keeps the screensaver-running flag of a terminated process set:
    // cleared here so that the next scenarios see no screensaver.
    BOOL before = FALSE;
    SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, FALSE, &before, 0);
}

TEST_F(ActionScenario, ScreenNoneEmptiesTheFileTurnsItOffAndBroadcastsNothing) {
    ScreenSaverSettingsGuard settings;
    ASSERT_NO_FATAL_FAILURE(InstallHelper());
    std::wstring before = L"C:\\windows\\before.scr";
    SetScreenSaverFile(&before);
    SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, 1, nullptr, SPIF_UPDATEINIFILE);
    ASSERT_NO_FATAL_FAILURE(StartZav());
    BroadcastListener listener;

    ULONGLONG start = GetTickCount64();
    auto run = TestRun(L"Screen (なし)");
    int secureBoxes = 0;
    // Without a screensaver to start, the setting comes last.
    ASSERT_TRUE(FinishRun([] { return ScreenSaverFile().empty() && !ScreenSaverActive(); }, &secureBoxes));
    // A figure, not a limit: about 1.1 s plus Quillon64's start.
    std::printf("Screen with nothing running: %.2f s\n", (GetTickCount64() - start) / 1000.0);
    EXPECT_EQ(secureBoxes, 0) << "Quillon64 asked about a screensaver although none ran";
    EXPECT_EQ(ScreenSaverFile(), L"");
    EXPECT_FALSE(ScreenSaverActive());
    EXPECT_FALSE(WaitUntil([&] { return listener.count() > 0; }, 1000)) << "(なし) broadcast a start";
}

TEST_F(ActionScenario, ThreeDTextWritesItsTextCreatingTheMissingKey) {
    ScreenSaverSettingsGuard settings;
    // Absent as in a fresh profile (and in Wine's prefix).
    RegDeleteKeyExW(HKEY_CURRENT_USER, kText3dKey, KEY_WOW64_64KEY, 0);
    ASSERT_NO_FATAL_FAILURE(InstallHelper());
    ASSERT_NO_FATAL_FAILURE(StartZav());
    BroadcastListener listener;

    auto run = TestRun(L"3DText おはよう");
    int secureBoxes = 0;
    ASSERT_TRUE(FinishRun([&] { return listener.count() > 0; }, &secureBoxes)) << "no SC_SCREENSAVE broadcast";
    wchar_t system[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_SYSTEM, nullptr, 0, system);
    EXPECT_EQ(Narrow(ScreenSaverFile()), Narrow(std::wstring(system) + L"\\ssText3d.scr"));
    EXPECT_TRUE(ScreenSaverActive());
    std::wstring text;
    EXPECT_TRUE(ReadText(HKEY_CURRENT_USER, kText3dKey, L"DisplayString", &text)) << "no DisplayString";
    EXPECT_EQ(Narrow(text), Narrow(L"おはよう"));
    DWORD time = 1;
    EXPECT_TRUE(ReadNumber(kText3dKey, L"DisplayTime", &time)) << "no DisplayTime";
    EXPECT_EQ(time, 0u);
    EXPECT_TRUE(WaitUntil([&] { return listener.count() > 0; }, 3000)) << "no SC_SCREENSAVE broadcast";
}

// A screensaver that is not a *.scr (or a protected one) is not stopped: ZAV
// polls the full 5 s and waits 1 s more, answering all the while.
TEST_F(ActionScenario, MsgDueDuringTheStopsWaitFiresAtItsSecond) {
    ScreenSaverSettingsGuard settings;
    ASSERT_NO_FATAL_FAILURE(InstallHelper());
    ASSERT_TRUE(CopyFileW(FakeSaverProgramPath().c_str(), sandbox.PathOf(L"holder.exe").c_str(), FALSE));
    Started holder;
    ASSERT_TRUE(holder.Start(sandbox, L"holder.exe", L"polite running"));
    ASSERT_TRUE(WaitUntil([&] { return FakeWindowOf(holder.id()); }));
    std::wstring before = L"C:\\windows\\before.scr";
    SetScreenSaverFile(&before);
    SystemParametersInfoW(SPI_SETSCREENSAVEACTIVE, 1, nullptr, SPIF_UPDATEINIFILE);
    SYSTEMTIME due = LocalTimeAfter(kLeadSeconds);
    SYSTEMTIME during = LocalTimeAfter(kLeadSeconds + 3);
    ASSERT_NO_FATAL_FAILURE(StartZav({EveryDayRecord(due, L"Screen", L"(なし)"), EveryDayRecord(during, L"Msg", L"待ちの間")}));
    HWND box = nullptr;
    WaitUntil([&] {
        AnswerSecureBoxes();
        box = WaitForBox(zav.id(), L"待ちの間", 0);
        return box != nullptr;
    }, (kLeadSeconds + 3) * 1000 + kWaitMs);
    SYSTEMTIME seen;
    GetLocalTime(&seen);
    ASSERT_NE(box, nullptr);
    EXPECT_GE(SecondsBetween(during, seen), 0.0);
    EXPECT_LT(SecondsBetween(during, seen), kLatenessLimit) << "the Msg waited for the screensaver stop";
    EXPECT_TRUE(holder.Running()) << "a program that is no screensaver file was closed";
    EXPECT_TRUE(AnswerBox(box));
    // The polling gives up; the setting is made all the same.
    EXPECT_TRUE(WaitUntil([] { return ScreenSaverFile().empty() && !ScreenSaverActive(); }, 10000));
    PostMessageW(FindWindowW(L"OrrivaneFakeScreenSaver", nullptr), WM_CLOSE, 0, 0);
    EXPECT_TRUE(holder.WaitForExit());
}

TEST_F(ActionScenario, ScreenWithoutTheHelperShowsOneBoxAndStillMakesTheSetting) {
    ScreenSaverSettingsGuard settings;
    ASSERT_NO_FATAL_FAILURE(StartZav());
    std::wstring chosen = sandbox.PathOf(L"new.scr");
    auto run = TestRun(L"Screen " + chosen);
    HWND box = WaitForBox(zav.id(), L"exec.Exec() Error Code =2");
    ASSERT_NE(box, nullptr) << "boxes: " << Dialogs(zav.id()).size();
    // Only ZAV's box: the shell's own "not found" box is not shown first.
    EXPECT_EQ(Dialogs(zav.id()).size(), 1u);
    EXPECT_TRUE(AnswerBox(box));
    int secureBoxes = 0;
    ASSERT_TRUE(FinishRun([&] { return ScreenSaverFile() == chosen; }, &secureBoxes));
}

// ---- Quillon64 on its own ----

class HelperScenario : public ActionScenario {
protected:
    void SetUp() override {
        ActionScenario::SetUp();
        ASSERT_NO_FATAL_FAILURE(InstallHelper());
    }
    // Runs Quillon64 with the arguments; answers the one box it shows with
    // `text` (none expected when text is nullptr) and returns its exit code.
    DWORD RunWithBox(const std::wstring& arguments, const wchar_t* text) {
        Started helper;
        EXPECT_TRUE(helper.Start(sandbox, L"Quillon64.exe", arguments));
        if (text != nullptr) {
            HWND box = nullptr;
            WaitUntil([&] {
                std::vector<Box> boxes = FindBoxes(helper.id(), L"Quillon64");
                if (!boxes.empty()) box = boxes.front().window;
                return box != nullptr || !helper.Running();
            });
            EXPECT_NE(box, nullptr) << "no box for \"" << Narrow(arguments) << "\"";
            if (box != nullptr) {
                EXPECT_EQ(Narrow(BoxText(box)), Narrow(text)) << "\"" << Narrow(arguments) << "\"";
                EXPECT_EQ(Dialogs(helper.id()).size(), 1u) << "more than one box";
                EXPECT_TRUE(AnswerBox(box));
            }
        }
        EXPECT_TRUE(helper.WaitForExit()) << "\"" << Narrow(arguments) << "\"";
        EXPECT_TRUE(Dialogs(helper.id()).empty());
        return helper.ExitCode();
    }
};

TEST_F(HelperScenario, RefusesADirectStartAndShowsWordsAndTextsAsTyped) {
    const struct {
        const wchar_t* arguments;
        const wchar_t* box;
    } cases[] = {
        {L"", L"直接起動してはいけません"},
        {L"    ", L"直接起動してはいけません"},
        {L"@getopenfilename", L"不正な指示 getopenfilename"},   // the words are case-sensitive
        {L"hello %s %d", L"hello %s %d"},
    };
    for (const auto& c : cases) EXPECT_EQ(RunWithBox(c.arguments, c.box), 0u) << Narrow(c.arguments);
}

TEST_F(HelperScenario, RunsCommandLinesWaitingAfterAColonOnly) {
    std::wstring recorder = L"\"" + sandbox.PathOf(L"recorder.exe") + L"\"";
    ULONGLONG start = GetTickCount64();
    EXPECT_EQ(RunWithBox(L":" + recorder + L" wait 1500", nullptr), 0u);
    EXPECT_GE(GetTickCount64() - start, 1500u) << "\":\" did not wait for the program";
    EXPECT_EQ(RecorderLines().size(), 1u);

    EXPECT_EQ(RunWithBox(L"/  " + recorder + L" wait 3000", nullptr), 0u);
    EXPECT_FALSE(ProcessesNamed(L"recorder.exe").empty()) << "\"/\" waited for the program";
    EXPECT_TRUE(WaitUntil([&] { return RecorderLines().size() == 2; }));
    if (RecorderLines().size() == 2) {
        EXPECT_EQ(RecorderLines()[1].substr(0, 10), L"wait 3000\t");
    }
    EndWaitingRecorders();

    EXPECT_EQ(RunWithBox(L":nothere.exe a", L"x64 ＤＯＳコマンド nothere.exe a 実行エラー Code=2"), 0u);
    // Nothing after ":": Quillon64 must not start itself again.
    EXPECT_EQ(RunWithBox(L":   ", L"x64 ＤＯＳコマンド  実行エラー Code=2"), 0u);
    EXPECT_EQ(RunWithBox(L"/", L"x64 ＤＯＳコマンド  実行エラー Code=2"), 0u);
    EXPECT_TRUE(ProcessesNamed(L"Quillon64.exe").empty());
}

// The file-pick request exactly as ZAVSet writes it.
class FileRequestBlock {
public:
    FileRequestBlock(const std::wstring& title, const std::wstring& filter, const std::wstring& file, int maxFile)
        : fileOffset_(16 + 2 * static_cast<int>(title.size() + filter.size())), maxFile_(maxFile) {
        DWORD numbers[3] = {0x100D, 1, static_cast<DWORD>(maxFile)};
        std::wstring field = file;
        field.resize(maxFile, L'\0');
        ok_ = block_.create(kHelperBlockName, fileOffset_ + 2 * maxFile) && block_.write(numbers, 12) &&
              block_.write(title.c_str(), 2 * static_cast<int>(title.size() + 1)) &&
              block_.write(filter.c_str(), 2 * static_cast<int>(filter.size() + 1)) &&
              block_.write(field.c_str(), 2 * maxFile);
    }
    bool ok() const { return ok_; }
    std::wstring File() const {
        const wchar_t* field = reinterpret_cast<const wchar_t*>(static_cast<const char*>(block_.view()) + fileOffset_);
        return std::wstring(field, wcsnlen(field, maxFile_));
    }

private:
    SharedBlock block_;
    int fileOffset_;
    int maxFile_;
    bool ok_;
};

TEST_F(HelperScenario, PicksAFileAsZavSetAsksAndLeavesTheBlockOnCancel) {
    const std::wstring title = L"スクリーンセーバーの指定";
    std::wstring chosen = sandbox.PathOf(L"pick.scr");
    ASSERT_TRUE(CopyFileW(FakeSaverProgramPath().c_str(), chosen.c_str(), FALSE));
    for (int button : {IDOK, IDCANCEL}) {
        FileRequestBlock request(title, L"スクリーンセーバー(*.scr)\n*.scr\n\n", L"C:\\before.scr", 1040);
        ASSERT_TRUE(request.ok());
        Started helper;
        ASSERT_TRUE(helper.Start(sandbox, L"Quillon64.exe", L"@GetOpenFileName"));
        HWND dialog = nullptr;
        ASSERT_TRUE(WaitUntil([&] {
            for (HWND window : Dialogs(helper.id())) {
                if (TitleOf(window) == title) dialog = window;
            }
            return dialog != nullptr;
        })) << "no file dialog titled with the request's title";
        if (button == IDOK) {
            SendMessageW(GetDlgItem(dialog, 0x47C), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(chosen.c_str()));
        }
        EXPECT_TRUE(AnswerBox(dialog, button));
        ASSERT_TRUE(helper.WaitForExit());
        if (button == IDOK) {
            EXPECT_NE(helper.ExitCode(), 0u);
            EXPECT_EQ(Narrow(request.File()), Narrow(chosen));
        } else {
            EXPECT_EQ(helper.ExitCode(), 0u);
            EXPECT_EQ(request.File(), L"C:\\before.scr");
        }
    }
}

TEST_F(HelperScenario, PicksAFolderOpeningOnTheRequestsFolder) {
    const std::wstring title = L"フォルダーを選んでください";
    // The Windows folder, not the sandbox: on a busy machine Wine's browser
    // was seen to lose the selection of a folder under %TEMP% (where other
    // programs keep writing) and to open on the profile folder instead.
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    std::wstring initial = L" \"" + std::wstring(windows) + L"\" ";
    std::string bytes(1, '\0');
    bytes.append(reinterpret_cast<const char*>(title.c_str()), 2 * (title.size() + 1));
    int folderOffset = static_cast<int>(bytes.size());
    bytes.append(reinterpret_cast<const char*>(initial.c_str()), 2 * (initial.size() + 1));
    bytes.resize(folderOffset + 2 * 2600, '\0');
    SharedBlock request;
    ASSERT_TRUE(request.create(kHelperBlockName, static_cast<int>(bytes.size())) &&
                request.write(bytes.data(), static_cast<int>(bytes.size())));
    Started helper;
    ASSERT_TRUE(helper.Start(sandbox, L"Quillon64.exe", L"@GetOpenDirName"));
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        std::vector<HWND> dialogs = Dialogs(helper.id());
        if (!dialogs.empty()) dialog = dialogs.front();
        return dialog != nullptr;
    })) << "no folder browser";
    // Wine fills and expands the folder tree after the browser shows: OK is
    // pressed once the tree has held still for a while.
    HWND tree = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        tree = FindWindowExW(dialog, nullptr, L"SysTreeView32", nullptr);
        for (HWND child = FindWindowExW(dialog, nullptr, nullptr, nullptr); tree == nullptr && child != nullptr;
             child = FindWindowExW(dialog, child, nullptr, nullptr)) {
            tree = FindWindowExW(child, nullptr, L"SysTreeView32", nullptr);
        }
        return tree != nullptr;
    })) << "no folder tree";
    LRESULT items = -1;
    ULONGLONG since = GetTickCount64();
    WaitUntil([&] {
        LRESULT now = SendMessageW(tree, TVM_GETCOUNT, 0, 0);
        if (now != items) {
            items = now;
            since = GetTickCount64();
        }
        return GetTickCount64() - since >= 700;
    });
    EXPECT_TRUE(AnswerBox(dialog, IDOK));
    ASSERT_TRUE(helper.WaitForExit());
    EXPECT_EQ(helper.ExitCode(), 1u);
    const wchar_t* answer = reinterpret_cast<const wchar_t*>(static_cast<const char*>(request.view()) + folderOffset);
    EXPECT_EQ(CompareStringOrdinal(answer, -1, windows, -1, TRUE), CSTR_EQUAL) << Narrow(answer);
}

TEST_F(HelperScenario, EndsWith0AndNoDialogWithoutOrWithAMalformedBlock) {
    EXPECT_EQ(RunWithBox(L"@GetOpenFileName", nullptr), 0u);
    EXPECT_EQ(RunWithBox(L"@GetOpenDirName", nullptr), 0u);
    // maxFile far past the block's end.
    FileRequestBlock request(L"t", L"f\n*.f\n\n", L"", 8);
    ASSERT_TRUE(request.ok());
    SharedBlock same;
    ASSERT_TRUE(same.open(kHelperBlockName));
    int huge = 0x7FFFFFFF;
    ASSERT_TRUE(same.seek(8) && same.write(&huge, 4));
    EXPECT_EQ(RunWithBox(L"@GetOpenFileName", nullptr), 0u);
    EXPECT_EQ(RunWithBox(L"@BreakScreenSaver", nullptr), 0u);
}

}  // namespace

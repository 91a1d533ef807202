// ZAVSet.exe end to end under Wine, beside the real ZAV.exe: the first start
// with its tutorial schedule, the conversion of old schedules, the about box
// from the tray menu, and the refusals of a second instance and of a direct
// start. Every window is read from outside, as a user would see it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/System.h"
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

const wchar_t kSecondInstanceText[] = L"他の画面と同時に起動はできません";
const wchar_t kDirectStartText[] = L"直接起動してはいけません";
const wchar_t kConvertedText[] =
    L"Ver.2.00 以前からのスケジュールを変換しました\n旧スケジュールは \"old Zavbell.txt\" にあります";
const wchar_t kAboutCaption[] = L"Orrivane のバージョン情報";
constexpr WORD kTrayAbout = 40002;     // the tray menu's "About(&A)"

constexpr int kStartMessages = 7;

// The tutorial schedule that a first start writes, as the schedule tests keep
// it: 17 records in code page 932, each ended by CR LF. The build gives its
// Unix path; Wine shows the Unix root as drive Z:.
std::wstring TutorialPath() {
    std::string path = ORRIVANE_TUTORIAL_FILE;
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    return std::wstring(path.begin(), path.end());
}

std::string TutorialBytes() { return ReadBytes(TutorialPath()); }

std::vector<std::wstring> TutorialRecords() {
    std::vector<std::wstring> records;
    std::string bytes = TutorialBytes();
    for (size_t at = 0, end; (end = bytes.find("\r\n", at)) != std::string::npos; at = end + 2) {
        records.push_back(Decode(932, bytes.substr(at, end - at)));
    }
    return records;
}

// Bytes shown readably in a failure: printable ASCII as is, the rest in hex.
std::string Visible(const std::string& bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F) {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += digits[c >> 4];
            out += digits[c & 15];
        }
    }
    return out;
}

std::wstring ImageOf(DWORD processId) {
    std::wstring image;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process == nullptr) return image;
    wchar_t path[MAX_PATH * 2] = {};
    DWORD size = MAX_PATH * 2;
    if (QueryFullProcessImageNameW(process, 0, path, &size)) image = path;
    CloseHandle(process);
    return image;
}

// A visible dialog of a ZAVSet.exe process in the sandbox: its title and, for
// boxes, its text decide.
struct SettingsWindow {
    HWND window = nullptr;
    DWORD processId = 0;
};

struct DialogSearch {
    std::wstring image;         // the sandbox's ZAVSet.exe
    std::wstring title;
    const wchar_t* boxText;     // nullptr: any
    DWORD skipProcess;
    SettingsWindow found;
};

BOOL CALLBACK FindSettingsDialog(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<DialogSearch*>(data);
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    if (!IsWindowVisible(window) || lstrcmpW(className, L"#32770") != 0) return TRUE;
    DWORD processId = ProcessOf(window);
    if (processId == search->skipProcess || TitleOf(window) != search->title) return TRUE;
    if (search->boxText != nullptr && BoxText(window) != search->boxText) return TRUE;
    if (lstrcmpiW(ImageOf(processId).c_str(), search->image.c_str()) != 0) return TRUE;
    search->found = SettingsWindow{window, processId};
    return FALSE;
}

// Waits for a dialog of the sandbox's ZAVSet.exe titled `title` (and showing
// `boxText` when given), leaving out one process.
SettingsWindow WaitForSettingsDialog(const Sandbox& sandbox, const std::wstring& title, const wchar_t* boxText,
                                     DWORD skipProcess = 0, DWORD timeoutMs = kWaitMs) {
    DialogSearch search{sandbox.PathOf(L"ZAVSet.exe"), title, boxText, skipProcess, {}};
    WaitUntil([&] {
        EnumWindows(FindSettingsDialog, reinterpret_cast<LPARAM>(&search));
        return search.found.window != nullptr;
    }, timeoutMs);
    return search.found;
}

SettingsWindow WaitForSettingsBox(const Sandbox& sandbox, const wchar_t* text, DWORD skipProcess = 0,
                                  DWORD timeoutMs = kWaitMs) {
    return WaitForSettingsDialog(sandbox, L"Orrivane", text, skipProcess, timeoutMs);
}

// A process watched from outside by its id: opened before the window that
// leads to its end is answered, so its exit code can still be read.
class WatchedProcess {
public:
    explicit WatchedProcess(DWORD processId)
        : handle_(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId)) {}
    ~WatchedProcess() {
        if (handle_ != nullptr) CloseHandle(handle_);
    }
    WatchedProcess(const WatchedProcess&) = delete;
    WatchedProcess& operator=(const WatchedProcess&) = delete;
    bool valid() const { return handle_ != nullptr; }
    bool WaitForExit(DWORD timeoutMs = kWaitMs) {
        return WaitUntil([this] { return WaitForSingleObject(handle_, 0) == WAIT_OBJECT_0; }, timeoutMs);
    }
    DWORD ExitCode() const {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(handle_, &code);
        return code;
    }

private:
    HANDLE handle_;
};

// ZAVSet.exe started by the test itself, in the sandbox, as a user would
// start the program file.
class SettingsProcess {
public:
    SettingsProcess() = default;
    ~SettingsProcess() {
        if (info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(info_.hProcess, 0xDEAD);
            WaitForSingleObject(info_.hProcess, 5000);
        }
        if (info_.hThread != nullptr) CloseHandle(info_.hThread);
        if (info_.hProcess != nullptr) CloseHandle(info_.hProcess);
    }
    SettingsProcess(const SettingsProcess&) = delete;
    SettingsProcess& operator=(const SettingsProcess&) = delete;

    bool Start(const Sandbox& sandbox, const std::wstring& arguments) {
        return StartInSandbox(sandbox, L"ZAVSet.exe", arguments, &info_);
    }
    DWORD id() const { return info_.dwProcessId; }
    bool WaitForExit(DWORD timeoutMs = kWaitMs) {
        return WaitUntil([this] { return WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0; }, timeoutMs);
    }
    DWORD ExitCode() const {
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION info_ = {};
};

// Whether ZAVSet titles its dialogs as elevated: the same check the program
// makes. Under Wine every program runs with a full (elevated) token, so there
// the suffix "(昇格中)" is always expected.
bool RunsElevated() {
    int elevation = 0;
    GetOsLevel(nullptr, &elevation);
    return elevation == kElevationFull;
}

class SettingsScenario : public ZavFixture {
protected:
    void SetUp() override { sandbox.InstallSettingsProgram(SettingsProgramPath()); }

    // ZAV started without waiting for its window.
    void StartZav() { ASSERT_TRUE(zav.Start(sandbox)) << "CreateProcessW of ZAV.exe failed: " << GetLastError(); }
    // The conversion box of the ZAVSet that ZAV started with "initschedule";
    // answers it and checks that ZAVSet then ends with 0.
    void AnswerConversionBox() {
        SettingsWindow box = WaitForSettingsBox(sandbox, kConvertedText);
        ASSERT_NE(box.window, nullptr) << "no conversion box from ZAVSet";
        WatchedProcess settings(box.processId);
        ASSERT_TRUE(settings.valid());
        EXPECT_TRUE(AnswerBox(box.window));
        ASSERT_TRUE(settings.WaitForExit()) << "ZAVSet still runs after the conversion box";
        EXPECT_EQ(settings.ExitCode(), 0u);
    }

    // A second ZAVSet's "他の画面と同時に起動はできません": answers it and checks
    // that this ZAVSet then ends with 1. `skipProcess` is a ZAVSet already open.
    void AnswerSecondInstanceRefusal(const char* what, DWORD skipProcess = 0) {
        SettingsWindow refusal = WaitForSettingsBox(sandbox, kSecondInstanceText, skipProcess);
        ASSERT_NE(refusal.window, nullptr) << what;
        EXPECT_NE(refusal.processId, skipProcess);
        WatchedProcess settings(refusal.processId);
        ASSERT_TRUE(settings.valid());
        EXPECT_TRUE(AnswerBox(refusal.window));
        ASSERT_TRUE(settings.WaitForExit()) << "the refused ZAVSet still runs";
        EXPECT_EQ(settings.ExitCode(), 1u);
    }
};

// ---- The first start ----

TEST_F(SettingsScenario, FirstStartWritesTheTutorialAndShowsItsSevenMessagesInOrder) {
    ASSERT_FALSE(sandbox.Exists(L"Zavbell.txt"));
    ASSERT_NO_FATAL_FAILURE(Restart());

    // ZAV waited for "initschedule"; the file is in place before its first box.
    std::vector<std::wstring> tutorial = TutorialRecords();
    ASSERT_EQ(tutorial.size(), 17u) << "tutorial file " << Narrow(TutorialPath());
    std::string expected = TutorialBytes();
    std::string written = ReadBytes(sandbox.PathOf(L"Zavbell.txt"));
    EXPECT_EQ(Visible(expected), Visible(written)) << "Zavbell.txt is not the 17 tutorial records in CP932 with CR LF";
    EXPECT_FALSE(sandbox.Exists(L"old Zavbell.txt")) << "a first start converts nothing";

    // While the last message is open, the test holds ZAVSet's single-instance
    // mutex: the ZAVSet that ZAV starts for the zzzzzz record then shows its
    // refusal, which is how the test sees that it was started at all without
    // the schedule list and its explanation (the list's own scenarios drive those).
    HANDLE settingsMutex = nullptr;
    for (int i = 0; i < kStartMessages; ++i) {
        std::wstring message = tutorial[i].substr(27);
        HWND box = WaitForBox(zav.id(), message);
        ASSERT_NE(box, nullptr) << "message " << i + 1 << " \"" << Narrow(message) << "\" not shown";
        std::vector<Box> boxes = FindBoxes(zav.id());
        EXPECT_EQ(boxes.size(), 1u) << "message " << i + 1 << ": the messages come one at a time";
        if (i == kStartMessages - 1) {
            settingsMutex = CreateMutexW(nullptr, TRUE, L"ZAVSet.exe");
            ASSERT_NE(settingsMutex, nullptr);
            ASSERT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << "a ZAVSet is still running";
        }
        EXPECT_TRUE(AnswerBox(box)) << "message " << i + 1;
    }

    EXPECT_NO_FATAL_FAILURE(AnswerSecondInstanceRefusal("ZAV did not start ZAVSet after the seventh message"));
    ReleaseMutex(settingsMutex);
    CloseHandle(settingsMutex);

    // Nothing more: no further message, the schedule unchanged, ZAV still there.
    EXPECT_TRUE(FindBoxes(zav.id()).empty());
    EXPECT_EQ(Visible(expected), Visible(ReadBytes(sandbox.PathOf(L"Zavbell.txt"))));
    EXPECT_TRUE(zav.Running());
    EndZav();
}

TEST_F(SettingsScenario, InitScheduleIsRefusedWhileAnotherZavSetRuns) {
    // The test holds ZAVSet's single-instance mutex as an open ZAVSet screen would.
    HANDLE settingsMutex = CreateMutexW(nullptr, TRUE, L"ZAVSet.exe");
    ASSERT_NE(settingsMutex, nullptr);
    ASSERT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << "a ZAVSet is still running";
    ASSERT_NO_FATAL_FAILURE(StartZav());

    EXPECT_NO_FATAL_FAILURE(
        AnswerSecondInstanceRefusal("the ZAVSet started with initschedule showed no refusal"));
    ReleaseMutex(settingsMutex);
    CloseHandle(settingsMutex);

    // Nothing was written: ZAV's reload finds no file, says so, and goes on
    // with an empty schedule.
    std::wstring missing = sandbox.PathOf(L"Zavbell.txt") + L"\nファイルがないのかもしれません";
    HWND box = WaitForBox(zav.id(), missing);
    ASSERT_NE(box, nullptr) << "no \"" << Narrow(missing) << "\" box from ZAV";
    EXPECT_TRUE(AnswerBox(box));
    ASSERT_NE(zav.WaitForWindow(), nullptr);
    EXPECT_FALSE(sandbox.Exists(L"Zavbell.txt"));
    EXPECT_FALSE(sandbox.Exists(L"old Zavbell.txt"));
    EXPECT_TRUE(FindBoxes(zav.id()).empty());
    EXPECT_TRUE(zav.Running());
    EndZav();
}

// ---- Old schedules ----

TEST_F(SettingsScenario, OldScheduleIsConvertedAndBackedUp) {
    // The format before Ver.2.00: date 0-7, hold flag 8, time 9-13. The
    // timed records are held so that none comes due during the test.
    const std::vector<std::wstring> old = {
        L"EveryDayX15'毎 Msg    十五分ごと",
        L"EveryDayX12:00 Notice 昼休み",
        L"EveryDay Start Msg    変換後の起動メッセージ",
        L"EveryDayX07:30 Msg    保留された朝の予定",
    };
    sandbox.WriteSchedule(old);
    std::string oldBytes = ReadBytes(sandbox.PathOf(L"Zavbell.txt"));
    ASSERT_NO_FATAL_FAILURE(StartZav());

    ASSERT_NO_FATAL_FAILURE(AnswerConversionBox());
    // ZAV loaded the converted schedule: its start-up record runs.
    ASSERT_NE(zav.WaitForWindow(), nullptr);
    HWND box = WaitForBox(zav.id(), L"変換後の起動メッセージ");
    EXPECT_NE(box, nullptr) << "the converted Start record did not run";

    EXPECT_EQ(Visible(oldBytes), Visible(ReadBytes(sandbox.PathOf(L"old Zavbell.txt"))))
        << "\"old Zavbell.txt\" is not the old schedule";
    // Ordered by sort key: unheld before held ("X"), Start before times,
    // times by their digits before every15m.
    const std::vector<std::wstring> converted = {
        L"  EveryDay Start    Msg    変換後の起動メッセージ",
        L"X EveryDay 07:30:00 Msg    保留された朝の予定",
        L"X EveryDay 12:00:00 Notice 昼休み",
        L"X EveryDay every15m Msg    十五分ごと",
    };
    std::vector<std::wstring> now = sandbox.ReadSchedule();
    EXPECT_EQ(now, converted) << "Zavbell.txt:" << Lines(now);
    if (box != nullptr) {
        EXPECT_TRUE(AnswerBox(box));
    }
    EndZav();
}

TEST_F(SettingsScenario, EmptyScheduleIsLeftAsItIsAtEveryStart) {
    sandbox.WriteSchedule({});
    sandbox.WriteLines(L"old Zavbell.txt", {L"EveryDayX07:30 Msg    前の変換で残した予定"});
    const std::string backup = ReadBytes(sandbox.PathOf(L"old Zavbell.txt"));
    for (int start = 1; start <= 2; ++start) {
        SCOPED_TRACE("start " + std::to_string(start));
        ASSERT_NO_FATAL_FAILURE(StartZav());
        // ZAV waits for ZAVSet's "initschedule" before it makes its window:
        // ZAVSet ended without a box, there being nothing to convert.
        ASSERT_NE(zav.WaitForWindow(), nullptr);
        EXPECT_TRUE(ProcessesNamed(L"ZAVSet.exe").empty()) << "ZAVSet waits on a box";
        EXPECT_EQ(ReadBytes(sandbox.PathOf(L"old Zavbell.txt")), backup) << "the backup of a real schedule was replaced";
        EXPECT_TRUE(sandbox.Exists(L"Zavbell.txt"));
        EXPECT_EQ(ReadBytes(sandbox.PathOf(L"Zavbell.txt")), "");
        EndZav();
    }
}

// ---- The about box ----

TEST_F(SettingsScenario, AboutFromTheTrayMenuShowsTheBoxAndASecondZavSetIsRefused) {
    sandbox.WriteSchedule({StartRecord(L"Msg", L"保留", L'X')});
    ASSERT_NO_FATAL_FAILURE(Restart());
    LRESULT answer = -1;
    ASSERT_TRUE(SendAndWait(zav.window(), WM_COMMAND, kTrayAbout, 0, &answer));

    std::wstring caption = std::wstring(kAboutCaption) + (RunsElevated() ? L"(昇格中)" : L"");
    SettingsWindow about = WaitForSettingsDialog(sandbox, caption, nullptr);
    ASSERT_NE(about.window, nullptr) << "no about box titled \"" << Narrow(caption) << "\"";
    struct { int id; const wchar_t* text; } texts[] = {
        {2002, L"Orrivane"},
        {2003, L"Ver.3.01"},
        {2004, L"多機能でも軽い！指定時刻の動作が豊富な汎用アラームプログラム\n動作の種類\n"
               L"　１）メッセージの表示\n　２）音声・動画ファイルの再生\n　３）通知メッセージの表示\n"
               L"　４）ブリンクしてメッセージの表示\n　５）スクリーンセーバーの実行\n"
               L"　６）３Ｄテキストメッセージの実行\n　７）ウインドウズの壁紙変更\n"
               L"　８）ＤＯＳコマンドの実行\n　９）パソコンの停止・リブート\n"
               L"日付、曜日指定のプログラム起動時動作の指定も可能です\n"},
        {2005, L"Orrivane 開発チーム"},
        {2006, L"E-Mail:support@orrivane.example"},
        {2007, L"https://orrivane.example/"},
        {2008, L"OK"},
    };
    for (const auto& item : texts) {
        EXPECT_EQ(Narrow(TextOf(about.window, item.id)), Narrow(item.text)) << "control " << item.id;
    }
    Screenshot(L"about-box", about.window);

    // The tray's About again while the box is open: the second ZAVSet refuses.
    ASSERT_TRUE(SendAndWait(zav.window(), WM_COMMAND, kTrayAbout, 0, &answer));
    ASSERT_NO_FATAL_FAILURE(AnswerSecondInstanceRefusal("the second ZAVSet showed no refusal", about.processId));
    // The first box is unaffected and ends with Enter (OK is the default button).
    ASSERT_TRUE(IsWindowVisible(about.window));
    EXPECT_EQ(Narrow(TextOf(about.window, 2003)), "Ver.3.01");
    WatchedProcess first(about.processId);
    ASSERT_TRUE(first.valid());
    PostKey(GetDlgItem(about.window, 2008), VK_RETURN);
    ASSERT_TRUE(first.WaitForExit()) << "Enter did not close the about box";
    EXPECT_EQ(first.ExitCode(), 0u);
    EXPECT_TRUE(zav.Running());
    EndZav();
}

// ---- Direct starts ----

struct DirectStartCase {
    const wchar_t* arguments;
    const char* name;
};

class SettingsDirectStart : public SettingsScenario, public ::testing::WithParamInterface<DirectStartCase> {};

TEST_P(SettingsDirectStart, IsRefusedAndEndsWithZero) {
    SettingsProcess settings;
    ASSERT_TRUE(settings.Start(sandbox, GetParam().arguments)) << "CreateProcessW failed: " << GetLastError();
    HWND box = WaitForBox(settings.id(), kDirectStartText);
    ASSERT_NE(box, nullptr) << "no \"直接起動してはいけません\" box";
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr) << "the refusal has no owner";
    EXPECT_TRUE(AnswerBox(box));
    ASSERT_TRUE(settings.WaitForExit());
    EXPECT_EQ(settings.ExitCode(), 0u);
    EXPECT_FALSE(sandbox.Exists(L"Zavbell.txt")) << "a refused start writes nothing";
}

INSTANTIATE_TEST_SUITE_P(Words, SettingsDirectStart,
                         ::testing::Values(DirectStartCase{L"", "NoWord"}, DirectStartCase{L"Set", "SetInOtherCase"},
                                           DirectStartCase{L"set about", "TwoWords"},
                                           DirectStartCase{L"/about", "Slashed"}),
                         [](const ::testing::TestParamInfo<DirectStartCase>& info) { return info.param.name; });

TEST_F(SettingsScenario, InitScheduleStartedByHandWritesTheTutorialWithoutABox) {
    SettingsProcess settings;
    ASSERT_TRUE(settings.Start(sandbox, L"initschedule"));
    ASSERT_TRUE(settings.WaitForExit());
    EXPECT_EQ(settings.ExitCode(), 0u);
    std::vector<std::wstring> expected = TutorialRecords();
    ASSERT_EQ(expected.size(), 17u) << "tutorial file " << Narrow(TutorialPath());
    EXPECT_EQ(sandbox.ReadSchedule(), expected) << Lines(sandbox.ReadSchedule());
}

}  // namespace

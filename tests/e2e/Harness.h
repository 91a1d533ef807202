// End-to-end harness: runs the real ZAV.exe (and ZAVSet.exe or its stand-in)
// under Wine in a folder of its own and drives it from outside as a user
// would: its windows found by class and title, boxes answered by pressing
// their buttons, the tray driven through its callback message.
//
// Every wait polls with a deadline; nothing relies on a fixed sleep.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/SharedBlock.h"
#include "tests/common/TestSupport.h"

namespace e2e {

constexpr DWORD kWaitMs = 10000;
constexpr DWORD kPollMs = 15;

// Polls done() every kPollMs (dispatching this thread's messages in
// between) until it is true or timeoutMs have passed. Returns done()'s last answer.
bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = kWaitMs);

// ---- Texts and times ----
std::wstring FormatTime(const SYSTEMTIME& time); // "hh:mm:ss"
// The local time plus a number of seconds.
SYSTEMTIME LocalTimeAfter(int seconds);
// Seconds between two local times of the same or the next day (b - a).
double SecondsBetween(const SYSTEMTIME& a, const SYSTEMTIME& b);
// "Msg    text": the action word padded to six code units, a blank, the parameter.
std::wstring ActionText(const std::wstring& actionWord, const std::wstring& parameter);
// "  EveryDay hh:mm:ss Msg    text": a record due at that time every day.
std::wstring EveryDayRecord(const SYSTEMTIME& at, const std::wstring& actionWord, const std::wstring& parameter,
                            wchar_t holdFlag = L' ');
// "  EveryDay Start    Msg    text": a record run at every start of ZAV.
std::wstring StartRecord(const std::wstring& actionWord, const std::wstring& parameter, wchar_t holdFlag = L' ');

// Lines for a failure message, each quoted on a line of its own.
std::string Lines(const std::vector<std::wstring>& lines);

// ---- Where the programs are ----
std::wstring TestProgramDirectory();   // the folder of the running test program (the build's bin)
std::wstring ZavProgramPath();         // bin\ZAV.exe
std::wstring SettingsProgramPath();    // bin\ZAVSet.exe, the real one
std::wstring StandInProgramPath();     // standin\ZAVSet.exe, the recording stand-in
std::wstring HelperProgramPath();      // Quillon64.exe of the 64-bit tree beside this one

// A fresh folder under %TEMP% (a TempFolder) holding ZAV.exe, deleted with everything in it
// when the sandbox goes. Texts are read and written in the ANSI code page, as
// the programs do.
class Sandbox {
public:
    Sandbox();
    ~Sandbox();
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    const std::wstring& directory() const { return directory_; }
    std::wstring PathOf(const std::wstring& name) const;
    bool Exists(const std::wstring& name) const;

    // Lines in the ANSI code page, each ended by CR LF.
    void WriteLines(const std::wstring& name, const std::vector<std::wstring>& lines) const;
    // The lines of a file (CR LF or LF), empty when it is missing.
    std::vector<std::wstring> ReadLines(const std::wstring& name) const;
    void WriteSchedule(const std::vector<std::wstring>& records) const { WriteLines(L"Zavbell.txt", records); }
    std::vector<std::wstring> ReadSchedule() const { return ReadLines(L"Zavbell.txt"); }
    // Zavbell.ini, section Zavbell.
    void WriteSetting(const std::wstring& key, int value) const;

    // Copies the stand-in (or another program) in as ZAVSet.exe.
    void InstallStandIn() const;
    void InstallSettingsProgram(const std::wstring& sourcePath) const;
    // The command words the stand-in was started with, in order.
    std::vector<std::wstring> StandInWords() const { return ReadLines(L"standin.log"); }
    // What the stand-in copies over Zavbell.txt when it is started with "initschedule".
    void PrepareInitSchedule(const std::vector<std::wstring>& records) const {
        WriteLines(L"initschedule.txt", records);
    }

private:
    TempFolder folder_;  // before directory_, which is taken from it
    std::wstring directory_;
};

// Starts the program file `fileName` of the sandbox with the sandbox as its
// current directory, as a user starting it there would.
bool StartInSandbox(const Sandbox& sandbox, const std::wstring& fileName, const std::wstring& arguments,
                    PROCESS_INFORMATION* info);

// One ZAV.exe process started in a sandbox (its folder is the current
// directory). The destructor ends it cleanly when it still runs (WM_CLOSE to
// its hidden window) and only as a last resort by TerminateProcess.
class ZavProcess {
public:
    ZavProcess() = default;
    ~ZavProcess();
    ZavProcess(const ZavProcess&) = delete;
    ZavProcess& operator=(const ZavProcess&) = delete;

    // Starts "<sandbox>\ZAV.exe arguments".
    bool Start(const Sandbox& sandbox, const std::wstring& arguments = L"");
    // The hidden window "Orrivane" of class ZAV_WINCLASS, once this process
    // has created it; nullptr after the time-out.
    HWND WaitForWindow(DWORD timeoutMs = kWaitMs);
    HWND window() const { return window_; }
    DWORD id() const { return info_.dwProcessId; }
    HANDLE handle() const { return info_.hProcess; }

    bool Running() const;
    bool WaitForExit(DWORD timeoutMs = kWaitMs);
    DWORD ExitCode() const;
    // WM_CLOSE to the hidden window, then waits for the process to end.
    bool Close(DWORD timeoutMs = kWaitMs);

private:
    void Release();
    PROCESS_INFORMATION info_ = {};
    HWND window_ = nullptr;
};

// Ids of the running processes with that program file name ("ZAV.exe").
std::vector<DWORD> ProcessesNamed(const std::wstring& fileName);
DWORD ProcessOf(HWND window);
std::wstring TitleOf(HWND window);
// Visible top-level windows of a process with that class and, unless it is
// nullptr, that title.
std::vector<HWND> VisibleWindows(DWORD processId, const wchar_t* className, const wchar_t* title = nullptr);

// ---- Message boxes ("#32770", caption "Orrivane") ----
struct Box {
    HWND window;
    std::wstring text;
};
// Every visible box of that process with that caption, in no particular order.
std::vector<Box> FindBoxes(DWORD processId, const std::wstring& caption = L"Orrivane");
// The first box of that process showing exactly that text.
HWND WaitForBox(DWORD processId, const std::wstring& text, DWORD timeoutMs = kWaitMs);
// Any box of that process; its text through *text.
HWND WaitForAnyBox(DWORD processId, std::wstring* text, DWORD timeoutMs = kWaitMs);
std::wstring BoxText(HWND box);
// The one way the tests answer a box: press its button and wait until the box is gone.
bool AnswerBox(HWND box, int button = IDOK);
// The boxes' texts for a failure message: "[text] [text] ".
std::string Texts(const std::vector<Box>& boxes);

// ---- Driving a running ZAV ----
UINT TrayCallbackMessage();   // "ZAV_NOTIFYICON"
UINT ControlMessage();        // "ZAV_MESSAGE"
UINT TaskbarCreatedMessage(); // "TaskbarCreated"
// The tray's callback for icon 1 with a mouse message; false when ZAV did not answer.
bool SendTrayMouse(HWND zav, UINT mouseMessage);
// A message sent and answered within the time-out; false when it was not.
bool SendAndWait(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result,
                 DWORD timeoutMs = kWaitMs);

// The action text of a test run as ZAVSet writes it into ZAV_TEST: UTF-16 with its NUL.
bool CreateTestRunBlock(SharedBlock& block, const std::wstring& actionText);

// A message sent from a thread of its own, for requests that ZAV answers
// only after a box of theirs was closed (a test run of Msg). The destructor
// waits for the answer.
class AsyncSend {
public:
    AsyncSend(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    ~AsyncSend();
    AsyncSend(const AsyncSend&) = delete;
    AsyncSend& operator=(const AsyncSend&) = delete;
    bool Done() const;
    // Waits for the answer; false after the time-out.
    bool Wait(DWORD timeoutMs = kWaitMs) const;
    LRESULT Result() const { return result_; }

private:
    static DWORD WINAPI Run(void* self);
    HWND window_;
    UINT message_;
    WPARAM wParam_;
    LPARAM lParam_;
    LRESULT result_ = 0;
    HANDLE thread_ = nullptr;
};

// The tray menu: a visible "#32768" window of that process.
HWND WaitForMenu(DWORD processId, DWORD timeoutMs = kWaitMs);
bool MenuVisible(DWORD processId);
// Posts a key press (down and up) to a window, as the menu's own loop reads it.
void PostKey(HWND window, UINT virtualKey);

// ---- What the notification area shows ----
// Wine draws tray icons in a top-level window of its own, "Wine System Tray"
// (on Windows they are in Explorer's taskbar, which this does not look for).
// The first icon's rectangle there in screen coordinates, once Wine shows
// it (the tray window appears with the first icon added); false when there
// is no such window within the time-out.
bool WineTrayArea(RECT* area, DWORD timeoutMs = kWaitMs);
// Has the Wine System Tray window erased and drawn afresh with its icons.
void RepaintWineTray();
// The pixels of a screen rectangle, row by row.
std::vector<COLORREF> CapturePixels(const RECT& area);
// The pixels once they have not changed for holdMs and show more than one
// colour (something is drawn); empty after the time-out.
std::vector<COLORREF> SteadyPixels(const RECT& area, DWORD holdMs = 300, DWORD timeoutMs = kWaitMs);
// A balloon (a visible "tooltips_class32" window of any process, in Wine the
// tray's own); nullptr after the time-out.
HWND WaitForBalloon(DWORD timeoutMs = kWaitMs);

// When ORRIVANE_SCREENSHOTS names a folder (an absolute Unix path, under
// Wine): the whole X screen into <folder>/<name>.png, by ImageMagick's import
// on the Xvfb display, and returns once the picture is written. A window
// given as `settle` is repainted first and waited for until it is on the X
// screen, so a box that has just appeared is in the picture. Otherwise nothing.
void Screenshot(const std::wstring& name, HWND settle = nullptr);

// ---- Programs a test did not start itself ----

// Runs "cmd /c <command>" with the sandbox as current directory, as a user
// typing the command at a prompt in that folder. The handle of cmd goes to
// *cmd; false when cmd could not be started.
bool RunInCmd(const Sandbox& sandbox, const std::wstring& command, HANDLE* cmd);

// A running process of a program file that another program started, taken by
// its name, and ended as ZavProcess ends its own: WM_CLOSE to its ZAV window,
// TerminateProcess only as a last resort.
class OtherProcess {
public:
    OtherProcess() = default;
    ~OtherProcess();
    OtherProcess(const OtherProcess&) = delete;
    OtherProcess& operator=(const OtherProcess&) = delete;

    // Waits for a process with that file name to appear and opens it.
    bool Find(const std::wstring& fileName, DWORD timeoutMs = kWaitMs);
    DWORD id() const { return id_; }
    bool Running() const;
    bool WaitForExit(DWORD timeoutMs = kWaitMs) const;
    DWORD ExitCode() const;
    // Its window "Orrivane" of class ZAV_WINCLASS; nullptr after the time-out.
    HWND WaitForZavWindow(DWORD timeoutMs = kWaitMs) const;
    bool Close(DWORD timeoutMs = kWaitMs) const;

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// Several ZAV.exe started in the sandbox at one instant: created suspended,
// then all let go together. Each is ended on destruction as ZavProcess does.
class ZavCrowd {
public:
    ZavCrowd() = default;
    ~ZavCrowd();
    ZavCrowd(const ZavCrowd&) = delete;
    ZavCrowd& operator=(const ZavCrowd&) = delete;

    bool Start(const Sandbox& sandbox, int count);
    const std::vector<PROCESS_INFORMATION>& processes() const { return processes_; }
    bool Running(size_t i) const;

private:
    std::vector<PROCESS_INFORMATION> processes_;
};
// ---- Files of a sandbox ----
// Names of the sandbox's files that match a wildcard pattern ("Zavbell.txt.*.tmp").
std::vector<std::wstring> FilesMatching(const Sandbox& sandbox, const std::wstring& pattern);

// ---- ZAVSet's dialogs from outside ----

// The caption as ZAVSet shows it: under Wine every program has a full token,
// so its titles carry "(昇格中)".
std::wstring Titled(const wchar_t* caption);
// A visible dialog (#32770) with exactly that title; nullptr after the time-out.
HWND WaitForDialog(const std::wstring& title);
// The same, and enabled: not the owner of a box or picker that is open.
HWND WaitForEnabledDialog(const std::wstring& title);
// What a click on the button sends; posted, since the handler may open a
// modal window of its own.
void Press(HWND dialog, int id);
// Selects only that line of the list box listId and tells the dialog.
void SelectOnly(HWND dialog, int index, int listId = 1100);
std::vector<std::wstring> Entries(HWND dialog, int listId = 1100);
// A control of another process: its text through WM_GETTEXT.
std::wstring TextOf(HWND dialog, int id);
// Waits until the window is gone.
bool Closed(HWND window);

// ---- Fixtures ----

// A sandbox and the ZAV run in it, for the scenario files' fixtures.
class ZavFixture : public ::testing::Test {
protected:
    // The stand-in ZAVSet.exe and the schedule written, then ZAV started.
    void StartZav(const std::vector<std::wstring>& records) {
        sandbox.InstallStandIn();
        sandbox.WriteSchedule(records);
        ASSERT_NO_FATAL_FAILURE(Restart());
    }
    // ZAV started in the sandbox as it is, and its hidden window found.
    void Restart() {
        ASSERT_TRUE(zav.Start(sandbox)) << "CreateProcessW of ZAV.exe failed: " << GetLastError();
        ASSERT_NE(zav.WaitForWindow(), nullptr) << "no window of class ZAV_WINCLASS titled Orrivane";
    }
    // Ends ZAV as the tray menu's exit does (WM_CLOSE posts the same quit).
    void EndZav() {
        ASSERT_TRUE(zav.Close()) << "ZAV did not end after WM_CLOSE";
        EXPECT_EQ(zav.ExitCode(), 0u);
    }

    // Declared first: the process ends before its folder is deleted.
    Sandbox sandbox;
    ZavProcess zav;
};

// ---- ZAV with the real ZAVSet beside it ----

constexpr WORD kTraySet = 40003;     // the tray menu's settings entry
constexpr WORD kTrayTimer = 40004;   // the tray menu's timer entry
constexpr int kScheduleList = 1100;  // the list box of the schedule list
constexpr int kListOk = 1110;
constexpr int kListCancel = 1109;
constexpr int kParameter = 1261;  // the parameter field of the editor and the timer

// The list, editor and timer scenarios: a sandbox with the real ZAVSet.exe,
// ZAV started there and closed after the scenario.
class ZavSetScenario : public ZavFixture {
protected:
    void SetUp() override { sandbox.InstallSettingsProgram(SettingsProgramPath()); }
    void TearDown() override {
        if (zav.Running()) {
            EXPECT_TRUE(zav.Close());
        }
    }
    // ZAV started on the records and the schedule list opened from its tray
    // menu, once it shows every record; nullptr when a step failed.
    HWND OpenList(const std::vector<std::wstring>& records);
};

}  // namespace e2e

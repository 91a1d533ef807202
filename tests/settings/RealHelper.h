// The real Quillon64.exe in the settings tests: found in the x64 tree, put
// beside the test program where ZAVSet looks for it, and its file picker
// answered while the requester waits for it.
#pragma once

#include <windows.h>

#include <functional>

#include "common/WString.h"

// Quillon64.exe as the x64 tree built it (build/x64/bin), seen from this
// program in build/x86/bin. The x86 tree cannot depend on a target of the
// other tree, so the program is looked up when the test runs.
WString BuiltHelperPath();

// Quillon64.exe copied beside this test program, where HelperProgramPath()
// looks for it, for the object's life; removed afterwards, so that the
// other tests find no helper there.
class HelperBesideTest {
public:
    HelperBesideTest();
    ~HelperBesideTest();
    HelperBesideTest(const HelperBesideTest&) = delete;
    HelperBesideTest& operator=(const HelperBesideTest&) = delete;
    bool ok() const { return ok_; }
    const WString& path() const { return path_; }

private:
    WString path_;
    bool ok_ = false;
};

// Runs `step` once on the file picker of the Quillon64 that this process
// starts: a visible #32770 of a Quillon64.exe whose parent is this process.
// The picker belongs to another process, so the dialog harness, which looks
// at this thread's windows, cannot reach it; a thread timer, dispatched by
// the requester's own wait (it pumps messages between its one-second sleeps),
// looks for it instead and runs the step on this thread, the owner's. Without
// a picker after limitMs the watch records a failure and ends that Quillon64
// by its process id, so the requester's wait returns.
class HelperPickerWatch {
public:
    explicit HelperPickerWatch(std::function<void(HWND picker)> step, DWORD limitMs = 30000);
    ~HelperPickerWatch();
    HelperPickerWatch(const HelperPickerWatch&) = delete;
    HelperPickerWatch& operator=(const HelperPickerWatch&) = delete;
    bool answered() const { return answered_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void Look();

    std::function<void(HWND picker)> step_;
    ULONGLONG deadline_;
    UINT_PTR timer_ = 0;
    bool answered_ = false;
    bool inStep_ = false;
};

// The file name box of Quillon64's picker (Wine's picker and Windows' old
// style one alike).
constexpr int kPickerFileNameBox = 0x47C;

// Controls of another process's dialog: GetWindowTextW and SetWindowTextW
// do not reach a control of another process on Windows, WM_GETTEXT and
// WM_SETTEXT do.
std::wstring ControlText(HWND dialog, int id);
std::wstring ComboEntry(HWND combo, int index);

// Answers the helper's picker as a user does: the path typed into the file
// name box, then OK.
void AnswerHelperPicker(HWND picker, const wchar_t* path);

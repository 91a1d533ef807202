#include "common/Process.h"

void PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // A nested pump must not swallow the quit request of the loop
            // that owns the thread: put it back and let that loop see it.
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

int RunMessageLoop(HWND dialog) {
    MSG msg = {};
    BOOL got;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0 && got != -1) {
        if (dialog != nullptr && IsDialogMessageW(dialog, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    // -1: GetMessageW failed and no WM_QUIT was seen.
    return got == 0 ? static_cast<int>(msg.wParam) : -1;
}

#ifndef _WIN64
// The record the 32-bit programs hand to the shell is the 60-byte one.
static_assert(sizeof(SHELLEXECUTEINFOW) == 60, "SHELLEXECUTEINFOW layout");
#endif

ProcessRunner::ProcessRunner(const WString& file, const WString& parameters, const WString& verb,
                             const WString& directory, int show, HWND owner)
    : info_(), file_(file), parameters_(parameters), verb_(verb), directory_(directory) {
    info_.cbSize = sizeof(info_);
    info_.fMask = SEE_MASK_NOCLOSEPROCESS;
    info_.hwnd = owner;
    info_.nShow = show;
    Bind();
}

ProcessRunner::~ProcessRunner() {
    close();
}

// The record points into the owned texts; any change of a text may move its
// buffer, so the pointers are taken again after every change.
void ProcessRunner::Bind() {
    info_.lpVerb = verb_.empty() ? nullptr : verb_.text();
    info_.lpFile = file_.text();
    info_.lpParameters = parameters_.empty() ? nullptr : parameters_.text();
    info_.lpDirectory = directory_.empty() ? nullptr : directory_.text();
}

void ProcessRunner::SetParameters(const WString& parameters) {
    parameters_ = parameters;
    Bind();
}

BOOL ProcessRunner::launch() {
    // A second launch must not leak the first process's handle.
    close();
    BOOL started = ShellExecuteExW(&info_);
    if (!started) info_.hProcess = nullptr;
    return started;
}

DWORD ProcessRunner::waitPumping(DWORD sleepMs, const volatile BYTE* cancel) {
    if (info_.hProcess == nullptr) return 0;
    while (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
        if (cancel != nullptr && *cancel != 0) break;
        PumpMessages();
        SleepEx(sleepMs, TRUE);
    }
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

void ProcessRunner::close() {
    if (info_.hProcess != nullptr) CloseHandle(info_.hProcess);
    info_.hProcess = nullptr;
}

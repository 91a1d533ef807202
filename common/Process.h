// Starting another program and waiting for it while the caller's windows stay alive.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "common/WString.h"

// Dispatches every waiting message and returns when the queue is empty.
void PumpMessages();
// GetMessageW until WM_QUIT (or an error); returns WM_QUIT's wParam.
int RunMessageLoop(HWND dialog = nullptr);

class ProcessRunner {
public:
    ProcessRunner(const WString& file, const WString& parameters, const WString& verb,
                  const WString& directory, int show, HWND owner);
    ~ProcessRunner();
    ProcessRunner(const ProcessRunner&) = delete;
    ProcessRunner& operator=(const ProcessRunner&) = delete;

    void SetParameters(const WString& parameters);
    // Adds SEE_MASK_* flags (SEE_MASK_FLAG_NO_UI: no shell box of its own).
    void AddMask(ULONG mask) { info_.fMask |= mask; }
    BOOL launch();
    // Polls the process every sleepMs ms, pumping messages in between; stops
    // when it ends or when *cancel becomes non-zero. Returns the exit code.
    DWORD waitPumping(DWORD sleepMs, const volatile BYTE* cancel = nullptr);
    void close();
    HANDLE process() const { return info_.hProcess; }

private:
    void Bind();
    SHELLEXECUTEINFOW info_;
    WString file_;
    WString parameters_;
    WString verb_;
    WString directory_;
};

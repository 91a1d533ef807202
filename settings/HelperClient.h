// ZAVSet's side of a file pick through Quillon64: on 64-bit Windows the
// 32-bit settings program has the 64-bit helper show the file-open dialog
// (so that it sees the 64-bit system folder), through the shared block
// X64_FILEMAPPING.
#pragma once

#include <windows.h>

#include <memory>

#include "common/Process.h"
#include "common/WString.h"

// Quillon64.exe beside the running program.
WString HelperProgramPath();

// Bytes of the file-pick request for a title of titleLength, a filter of
// filterLength and a file buffer of maxFile code units; 0 when that is more
// than a block can hold.
int FilePickBlockSize(int titleLength, int filterLength, int maxFile);

class HelperClient {
public:
    HelperClient() = default;
    HelperClient(const HelperClient&) = delete;
    HelperClient& operator=(const HelperClient&) = delete;

    // Finds the helper program; when it is missing, says so (owned by owner)
    // and every later pickFile answers 0.
    void prepare(HWND owner, const WString& program = HelperProgramPath());
    bool ready() const { return runner_ != nullptr; }

    // Shows the helper's file-open dialog. buffer holds maxFile code units and
    // comes in holding the initial name. Returns kHelperChosen when a file
    // was chosen and buffer now holds its path (always NUL-terminated within
    // maxFile); 0 leaves buffer as it was, also when the helper crashed or
    // the request could not be written whole.
    DWORD pickFile(DWORD flags, const wchar_t* title, const wchar_t* filter, DWORD filterIndex, wchar_t* buffer,
                   int maxFile);

private:
    HWND owner_ = nullptr;
    WString program_;
    std::unique_ptr<ProcessRunner> runner_;
};

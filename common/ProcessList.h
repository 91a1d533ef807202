// The running programs with their image paths, closing a program by its
// path, and stopping a running screensaver. ZAV and Quillon64 both link this
// file: in the 64-bit helper (_WIN64) a record's kind tells a 32-bit process
// from a 64-bit one, and there are no 16-bit tasks.
#pragma once

#include <windows.h>
#ifndef _WIN64
#include <vdmdbg.h>
#endif

#include <memory>

#include "common/WString.h"

struct ProcessRecord {
    int id;          // the process id; a 16-bit task: minus the id of the thread that runs it
    int kind;        // kTask16 or kProcess (32-bit ZAV); kProcess32 or kProcess64 (Quillon64)
    int elevation;   // Elevation code of the token (a task takes its NTVDM's); 0 when unreadable
    bool canEnd;     // the process opened with SYNCHRONIZE | PROCESS_TERMINATE
};

// Kinds of ProcessRecord.
constexpr int kTask16 = 1;
constexpr int kProcess = 2;
constexpr int kProcess32 = 2;   // under WOW64, seen from the 64-bit helper
constexpr int kProcess64 = 3;

// Results of closeByPath.
enum CloseResult {
    kCloseNotListed = 1,   // no listed process has that path (any more)
    kCloseFailed = 2,      // could not be opened for ending, or TerminateProcess failed
    kCloseEnded = 3,       // ended by itself after its windows were asked to close
    kCloseTerminated = 4,  // did not end within the wait and was terminated
    kCloseTaskEnded = 5,   // a 16-bit task, asked to close and then terminated
};

class ProcessList {
public:
    // Sorted: insertions keep the paths in ordinal order, equal paths after
    // the ones already there. Unsorted: appended.
    explicit ProcessList(bool sorted = false);
    ProcessList(const ProcessList&) = delete;
    ProcessList& operator=(const ProcessList&) = delete;

    // Lists the running processes afresh.
    void enumerate();
    void insert(const WString& path, const ProcessRecord& record);
    // Closes the listed program with that path (the last listed of equal
    // ones), waiting up to waitMs for it to end; a CloseResult.
    int closeByPath(const WString& path, DWORD waitMs);

    int count() const { return count_; }
    int capacity() const { return capacity_; }
    const WString& path(int i) const { return paths_[i]; }
    const ProcessRecord& record(int i) const { return records_[i]; }

private:
    int closeProcess(const WString& path, const ProcessRecord& record, DWORD waitMs);
#ifndef _WIN64
    void listTasks(const ProcessRecord& ntvdm);
    int closeTask(const WString& path, DWORD waitMs);
#endif

    std::unique_ptr<WString[]> paths_;
    std::unique_ptr<ProcessRecord[]> records_;
    int count_ = 0;
    int capacity_ = 0;
    bool sorted_;
};

// Waits up to ms for the handle (none: just the time) while the thread's
// windows go on working; true when the handle was signalled. Ends early when
// the thread was asked to quit.
bool WaitPumping(HANDLE handle, DWORD ms);

// Stops a running screensaver that is not password-protected: closes the
// first listed *.scr process (Windows 8 and later) or clicks (older). True
// when that worked. ZAV runs it on 32-bit Windows, Quillon64 on 64-bit.
bool BreakScreenSaver();

#ifndef _WIN64
// The 16-bit tasks of an NTVDM, the list's own seam: the two calls of
// vdmdbg.dll (loaded on the first call), which unit tests replace, as
// Wine's vdmdbg aborts the process when either is called.
struct VdmCalls {
    INT(WINAPI* enumTaskWOWEx)(DWORD processId, TASKENUMPROCEX callback, LPARAM data);
    BOOL(WINAPI* terminateTaskWOW)(DWORD processId, WORD task);
};
extern VdmCalls g_vdmCalls;
#endif

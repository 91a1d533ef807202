#include "common/ProcessList.h"

#include <psapi.h>

#include "common/Handles.h"
#include "common/MessageBoxes.h"
#include "common/Paths.h"
#include "common/Process.h"
#include "common/System.h"

namespace {

constexpr int kRoomStep = 100;
constexpr DWORD kFirstIdRoom = 256;

bool SamePathNoCase(const WString& a, const WString& b) {
    return CompareStringOrdinal(a.text(), -1, b.text(), -1, TRUE) == CSTR_EQUAL;
}

// Drive paths ("C:\...") and network paths ("\\...") only.
bool IsFilePath(const WString& path) {
    return (path.at(1) == L':' && path.at(2) == L'\\') || (path.at(0) == L'\\' && path.at(1) == L'\\');
}

WString ImagePath(HANDLE process) {
    HMODULE first = nullptr;
    DWORD needed = 0;
    wchar_t buffer[MAX_PATH] = {};
    if (!K32EnumProcessModules(process, &first, sizeof(first), &needed)) return WString();
    if (K32GetModuleFileNameExW(process, first, buffer, MAX_PATH) == 0) return WString();
    return WString(buffer);
}

// Silent: the value is not used, and a box per unreadable token (system
// services, other users) would hold a screensaver stop in Quillon64, whom
// ZAV waits for without a limit, until each was answered.
int ElevationOf(HANDLE process) {
    return ProcessElevation(process);
}

#ifdef _WIN64
int ProcessKind(HANDLE process) {
    BOOL wow64 = FALSE;
    if (!IsWow64Process(process, &wow64)) return 0;
    return wow64 ? kProcess32 : kProcess64;
}
#else
int ProcessKind(HANDLE) { return kProcess; }

bool IsNtvdm(const WString& path) {
    return path.Right(10).Upper() == L"\\NTVDM.EXE";
}
#endif

struct WindowsToClose {
    DWORD processId;
    DWORD threadId;   // 0: any thread of the process
};

BOOL CALLBACK PostCloseTo(HWND window, LPARAM data) {
    const auto* target = reinterpret_cast<const WindowsToClose*>(data);
    DWORD processId = 0;
    DWORD threadId = GetWindowThreadProcessId(window, &processId);
    if (processId == target->processId && (target->threadId == 0 || threadId == target->threadId)) {
        PostMessageW(window, WM_CLOSE, 0, 0);
    }
    return TRUE;
}

void PostCloseToWindows(DWORD processId, DWORD threadId) {
    WindowsToClose target{processId, threadId};
    EnumWindows(PostCloseTo, reinterpret_cast<LPARAM>(&target));
}

}  // namespace

bool WaitPumping(HANDLE handle, DWORD ms) {
    ULONGLONG deadline = GetTickCount64() + ms;
    for (;;) {
        ULONGLONG now = GetTickCount64();
        DWORD left = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
        DWORD woke = handle != nullptr
                         ? MsgWaitForMultipleObjectsEx(1, &handle, left, QS_ALLINPUT, MWMO_INPUTAVAILABLE)
                         : MsgWaitForMultipleObjectsEx(0, nullptr, left, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (handle != nullptr && woke == WAIT_OBJECT_0) return true;
        if (woke != (handle != nullptr ? WAIT_OBJECT_0 + 1 : WAIT_OBJECT_0)) {
            // Time-out or failure.
            return handle != nullptr && WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
        }
        PumpMessages();
        // PumpMessages puts a quit request back for the outer loop; waiting
        // on would only wake for it again and again.
        MSG quit;
        if (PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) {
            return handle != nullptr && WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
        }
    }
}

ProcessList::ProcessList(bool sorted)
    : paths_(new WString[kRoomStep]), records_(new ProcessRecord[kRoomStep]), capacity_(kRoomStep),
      sorted_(sorted) {}

void ProcessList::insert(const WString& path, const ProcessRecord& record) {
    if (count_ == capacity_) {
        int room = capacity_ + kRoomStep;
        std::unique_ptr<WString[]> paths(new WString[room]);
        std::unique_ptr<ProcessRecord[]> records(new ProcessRecord[room]);
        for (int i = 0; i < count_; ++i) {
            paths[i] = std::move(paths_[i]);
            records[i] = records_[i];
        }
        paths_ = std::move(paths);
        records_ = std::move(records);
        capacity_ = room;
    }
    int at = count_;
    if (sorted_) {
        // The first place whose path is greater: equal paths go after.
        int low = 0;
        int high = count_;
        while (low < high) {
            int middle = (low + high) / 2;
            if (CompareStringOrdinal(paths_[middle].text(), -1, path.text(), -1, FALSE) == CSTR_GREATER_THAN) {
                high = middle;
            } else {
                low = middle + 1;
            }
        }
        at = low;
    }
    for (int i = count_; i > at; --i) {
        paths_[i] = std::move(paths_[i - 1]);
        records_[i] = records_[i - 1];
    }
    paths_[at] = path;
    records_[at] = record;
    ++count_;
}

void ProcessList::enumerate() {
    count_ = 0;
    DWORD room = kFirstIdRoom;
    std::unique_ptr<DWORD[]> ids;
    DWORD returned = 0;
    for (;;) {
        ids.reset(new DWORD[room]);
        DWORD bytes = room * sizeof(DWORD);
        BOOL listed = K32EnumProcesses(ids.get(), bytes, &returned);
        CheckWin32(listed, "EnumProcesses");
        if (!listed) return;
        if (returned != bytes) break;
        // A full buffer may have cut the list short.
        room *= 2;
    }
    for (DWORD i = 0; i < returned / sizeof(DWORD); ++i) {
        DWORD id = ids[i];
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id);
        if (process == nullptr) continue;
        WString path = ImagePath(process);
        if (!IsFilePath(path)) {
            CheckWin32(CloseHandle(process), "CloseHandle1");
            continue;
        }
        ProcessRecord record = {static_cast<int>(id), ProcessKind(process), ElevationOf(process), false};
        CheckWin32(CloseHandle(process), "CloseHandle2");
        HANDLE ender = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, id);
        record.canEnd = ender != nullptr;
        if (ender != nullptr) CheckWin32(CloseHandle(ender), "CloseHandle3");
#ifndef _WIN64
        if (IsNtvdm(path)) listTasks(record);
#endif
        insert(path, record);
    }
}

int ProcessList::closeByPath(const WString& path, DWORD waitMs) {
    if (count_ == 0) enumerate();
    for (int i = count_ - 1; i >= 0; --i) {
        if (!SamePathNoCase(paths_[i], path)) continue;
        if (records_[i].id > 0) return closeProcess(paths_[i], records_[i], waitMs);
#ifndef _WIN64
        return closeTask(path, waitMs);
#endif
    }
    return kCloseNotListed;
}

int ProcessList::closeProcess(const WString& path, const ProcessRecord& record, DWORD waitMs) {
    UniqueHandle process(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION | PROCESS_VM_READ,
                                     FALSE, static_cast<DWORD>(record.id)));
    if (!process) return kCloseFailed;
    // The id is the one listed: that program may have ended since and the id
    // gone to another, which must not be closed. The handle keeps the id
    // from being reused again until the close is over.
    if (!SamePathNoCase(ImagePath(process.get()), path)) return kCloseNotListed;
    PostCloseToWindows(static_cast<DWORD>(record.id), 0);
    if (WaitPumping(process.get(), waitMs)) return kCloseEnded;
    return TerminateProcess(process.get(), 0) ? kCloseTerminated : kCloseFailed;
}

#ifndef _WIN64

namespace {

// vdmdbg.dll exists only where 16-bit programs can run; it is loaded once an
// NTVDM.EXE is listed and stays loaded for the rest of the run.
FARPROC VdmProcedure(const char* name) {
    static HMODULE library = LoadLibraryW(L"vdmdbg.dll");
    return library != nullptr ? GetProcAddress(library, name) : nullptr;
}

// g_vdmCalls points at these rather than at imports, whose addresses are
// known only at run time: so it is filled at link time, before any
// initialiser could put a fake in.
INT WINAPI LoadedEnumTaskWOWEx(DWORD processId, TASKENUMPROCEX callback, LPARAM data) {
    auto call = reinterpret_cast<INT(WINAPI*)(DWORD, TASKENUMPROCEX, LPARAM)>(
        reinterpret_cast<void*>(VdmProcedure("VDMEnumTaskWOWEx")));
    return call != nullptr ? call(processId, callback, data) : 0;
}

BOOL WINAPI LoadedTerminateTaskWOW(DWORD processId, WORD task) {
    auto call =
        reinterpret_cast<BOOL(WINAPI*)(DWORD, WORD)>(reinterpret_cast<void*>(VdmProcedure("VDMTerminateTaskWOW")));
    return call != nullptr ? call(processId, task) : FALSE;
}

struct TaskSearch {
    ProcessList* list;          // listing: where the tasks go
    ProcessRecord ntvdm;
    const WString* path;        // closing: the path and its short form
    const WString* shortPath;
    DWORD waitMs;
    bool matched;
};

BOOL WINAPI ListTask(DWORD threadId, WORD, WORD, PSZ, PSZ fileName, LPARAM data) {
    auto* search = reinterpret_cast<TaskSearch*>(data);
    ProcessRecord task = {-static_cast<int>(threadId), kTask16, search->ntvdm.elevation, search->ntvdm.canEnd};
    search->list->insert(WString(fileName != nullptr ? fileName : ""), task);
    return FALSE;   // go on with the next task
}

BOOL WINAPI CloseMatchingTask(DWORD threadId, WORD, WORD task, PSZ, PSZ fileName, LPARAM data) {
    auto* search = reinterpret_cast<TaskSearch*>(data);
    WString name(fileName != nullptr ? fileName : "");
    if (!SamePathNoCase(name, *search->path) && !SamePathNoCase(name, *search->shortPath)) return FALSE;
    DWORD ntvdm = static_cast<DWORD>(search->ntvdm.id);
    PostCloseToWindows(ntvdm, threadId);
    WaitPumping(nullptr, search->waitMs);
    g_vdmCalls.terminateTaskWOW(ntvdm, task);
    search->matched = true;
    return TRUE;    // stop this enumeration
}

}  // namespace

VdmCalls g_vdmCalls = {LoadedEnumTaskWOWEx, LoadedTerminateTaskWOW};

void ProcessList::listTasks(const ProcessRecord& ntvdm) {
    TaskSearch search = {this, ntvdm, nullptr, nullptr, 0, false};
    g_vdmCalls.enumTaskWOWEx(static_cast<DWORD>(ntvdm.id), ListTask, reinterpret_cast<LPARAM>(&search));
}

int ProcessList::closeTask(const WString& path, DWORD waitMs) {
    wchar_t shortBuffer[MAX_PATH] = {};
    GetShortPathNameW(path.text(), shortBuffer, MAX_PATH);
    WString shortPath(shortBuffer);
    bool matched = false;
    for (int i = 0; i < count_ && !matched; ++i) {
        if (records_[i].id <= 0 || !IsNtvdm(paths_[i])) continue;
        TaskSearch search = {this, records_[i], &path, &shortPath, waitMs, false};
        g_vdmCalls.enumTaskWOWEx(static_cast<DWORD>(records_[i].id), CloseMatchingTask,
                                 reinterpret_cast<LPARAM>(&search));
        matched = search.matched;
    }
    // A task that had ended before it could be matched was not closed here.
    return matched ? kCloseTaskEnded : kCloseNotListed;
}

#endif

bool BreakScreenSaver() {
    BOOL running = FALSE;
    CheckWin32(SystemParametersInfoW(SPI_GETSCREENSAVERRUNNING, 0, &running, 0), "SPI_GETSCREENSAVERRUNNING");
    if (!running) return false;
    BOOL secure = FALSE;
    CheckWin32(SystemParametersInfoW(SPI_GETSCREENSAVESECURE, 0, &secure, 0), "SPI_GETSCREENSAVESECURE");
    if (secure) return false;
    if (GetOsLevel(nullptr, nullptr) > kOs7) {
        ProcessList list;
        list.enumerate();
        for (int i = 0; i < list.count(); ++i) {
            if (ExtensionOf(list.path(i).Unquote()).Lower() != L"scr") continue;
            int result = list.closeByPath(list.path(i), 5000);
            return result == kCloseEnded || result == kCloseTerminated;
        }
        return false;
    }
    // Windows 7 and older end a screensaver on any mouse input.
    INPUT click = {};
    click.type = INPUT_MOUSE;
    click.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    UINT down = SendInput(1, &click, sizeof(click));
    PumpMessages();
    click.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    UINT up = SendInput(1, &click, sizeof(click));
    PumpMessages();
    return down != 0 && up != 0;
}

#include "schedule/ScheduleFile.h"

#include <vector>

#include "common/Handles.h"
#include "common/Paths.h"

namespace {

constexpr wchar_t kTemporarySuffix[] = L".tmp";

ULONGLONG Join(DWORD high, DWORD low) {
    return (static_cast<ULONGLONG>(high) << 32) | low;
}

// A process that cannot be opened for lack of rights still runs (another
// user's, or an elevated one); any other failure means the id is free.
bool ProcessRuns(DWORD processId) {
    UniqueHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return GetLastError() == ERROR_ACCESS_DENIED;
    return WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT;
}

// The process id in "<schedule file name>.<id>.tmp"; 0 for any other name.
DWORD SaverOf(const WString& name, const WString& scheduleName) {
    const int prefix = scheduleName.length() + 1;
    const int suffix = lstrlenW(kTemporarySuffix);
    const int digits = name.length() - prefix - suffix;
    if (digits < 1 || digits > 10) return 0;
    if (lstrcmpiW(name.Left(scheduleName.length()).text(), scheduleName.text()) != 0 ||
        name.at(scheduleName.length()) != L'.' || lstrcmpiW(name.Right(suffix).text(), kTemporarySuffix) != 0)
        return 0;
    ULONGLONG id = 0;
    for (int i = prefix; i < prefix + digits; ++i) {
        const wchar_t c = name.at(i);
        if (c < L'0' || c > L'9') return 0;
        id = id * 10 + static_cast<ULONGLONG>(c - L'0');
    }
    return id > 0xFFFFFFFFULL ? 0 : static_cast<DWORD>(id);
}

// Every save ends its file with CR LF, and writes it in pieces none of which
// ends in LF except the last (see WriteAll in StringList.cpp): a temporary
// file whose last byte is LF was written to its end.
bool IsComplete(const WString& path) {
    UniqueHandle file(CreateFileW(path.text(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart == 0) return false;
    LARGE_INTEGER last;
    last.QuadPart = size.QuadPart - 1;
    char byte = 0;
    DWORD got = 0;
    return SetFilePointerEx(file.get(), last, nullptr, FILE_BEGIN) && ReadFile(file.get(), &byte, 1, &got, nullptr) &&
           got == 1 && byte == '\n';
}

// Tries to open the schedule for a short while as long as a writer has it
// open: an editor's save takes milliseconds.
constexpr int kHoldAttempts = 20;
constexpr DWORD kHoldRetryMs = 25;

bool IdentityOf(HANDLE file, ScheduleHold::Identity* identity) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info)) return false;
    identity->volume = info.dwVolumeSerialNumber;
    identity->indexHigh = info.nFileIndexHigh;
    identity->indexLow = info.nFileIndexLow;
    return true;
}

struct Leftover {
    WString path;
    ULONGLONG written;
};

}  // namespace

WString SaveTemporaryPath(const WString& schedulePath, DWORD processId) {
    return schedulePath + L"." + WString(static_cast<int>(processId)) + kTemporarySuffix;
}

WString FullPathOf(const WString& path) {
    wchar_t full[MAX_PATH * 4];
    const DWORD length = GetFullPathNameW(path.text(), MAX_PATH * 4, full, nullptr);
    if (length == 0 || length >= MAX_PATH * 4) return WString();
    return WString(full);
}

bool RecoverScheduleFile(const WString& path) {
    const WString schedulePath = FullPathOf(path);
    if (schedulePath.empty()) return false;
    const WString directory = DirectoryOf(schedulePath);
    const WString scheduleName = FileNameOf(schedulePath);
    const DWORD self = GetCurrentProcessId();

    // Saves of programs that no longer run. A file named after this very
    // process is one too: this process has not saved yet, so it was left by
    // an earlier process that had the same id.
    std::vector<Leftover> leftovers;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((schedulePath + L".*" + kTemporarySuffix).text(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            const DWORD saver = SaverOf(WString(found.cFileName), scheduleName);
            if (saver == 0 || (saver != self && ProcessRuns(saver))) continue;
            leftovers.push_back({JoinPath(directory, found.cFileName),
                                 Join(found.ftLastWriteTime.dwHighDateTime, found.ftLastWriteTime.dwLowDateTime)});
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }

    bool recovered = false;
    if (!PathExists(schedulePath)) {
        const Leftover* newest = nullptr;
        for (const Leftover& leftover : leftovers) {
            if ((!newest || leftover.written > newest->written) && IsComplete(leftover.path)) newest = &leftover;
        }
        // Without MOVEFILE_REPLACE_EXISTING: a schedule that appeared in the
        // meantime is newer than any leftover.
        if (newest) recovered = MoveFileExW(newest->path.text(), schedulePath.text(), MOVEFILE_WRITE_THROUGH) != 0;
    }
    for (const Leftover& leftover : leftovers) DeleteFileW(leftover.path.text());
    return recovered;
}

FileStamp StampOf(const WString& path) {
    FileStamp stamp;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.text(), GetFileExInfoStandard, &data)) return stamp;
    stamp.exists = true;
    stamp.size = Join(data.nFileSizeHigh, data.nFileSizeLow);
    stamp.written = Join(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime);
    return stamp;
}

FileStamp StampOfHandle(HANDLE file) {
    FileStamp stamp;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file, &info)) return stamp;
    stamp.exists = true;
    stamp.size = Join(info.nFileSizeHigh, info.nFileSizeLow);
    stamp.written = Join(info.ftLastWriteTime.dwHighDateTime, info.ftLastWriteTime.dwLowDateTime);
    return stamp;
}

ScheduleHold::ScheduleHold(const WString& path) : path_(path) {
    for (int attempt = 1;; ++attempt) {
        file_.reset(CreateFileW(path.text(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                0, nullptr));
        if (file_) {
            existed_ = true;
            held_ = IdentityOf(file_.get(), &identity_);
            return;
        }
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) {
            held_ = true;
            return;
        }
        if (error != ERROR_SHARING_VIOLATION || attempt == kHoldAttempts) return;
        Sleep(kHoldRetryMs);
    }
}

FileStamp ScheduleHold::stamp() const {
    return file_ ? StampOfHandle(file_.get()) : FileStamp();
}

bool ScheduleHold::StillNamed() const {
    UniqueHandle now(CreateFileW(path_.text(), FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                                 nullptr));
    if (!now) return !existed_ && GetLastError() == ERROR_FILE_NOT_FOUND;
    Identity identity;
    return existed_ && IdentityOf(now.get(), &identity) && identity == identity_;
}

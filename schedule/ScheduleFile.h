// Zavbell.txt as a file: the temporary files that saves write beside it, the
// recovery ZAV runs at start-up, and the stamp by which ZAV notices that
// someone else changed the file.
#pragma once

#include <windows.h>

#include "common/WString.h"

// "<schedule path>.<process id>.tmp": where a save by that process writes
// the new schedule before it is renamed over the old one.
WString SaveTemporaryPath(const WString& schedulePath, DWORD processId);

// The absolute form of a path (GetFullPathNameW); empty when it has none.
WString FullPathOf(const WString& path);

// Run by ZAV before anything reads the schedule. When the schedule file is
// missing, the newest complete temporary file of a save whose program no
// longer runs becomes the schedule. Then every temporary file of a save
// whose program no longer runs is removed. True when the schedule was
// recovered.
bool RecoverScheduleFile(const WString& schedulePath);

// Size and last-write time of a file: what ZAV compares to tell whether the
// file changed since it last read or wrote it.
struct FileStamp {
    bool exists = false;
    ULONGLONG size = 0;
    ULONGLONG written = 0;

    bool operator==(const FileStamp& other) const {
        return exists == other.exists && size == other.size && written == other.written;
    }
    bool operator!=(const FileStamp& other) const { return !(*this == other); }
};

FileStamp StampOf(const WString& path);

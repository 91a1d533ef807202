// Zavbell.txt as a file: the temporary files that saves write beside it, the
// recovery ZAV runs at start-up, the stamp by which ZAV notices that someone
// else changed the file, and the hold that keeps others from writing it
// while ZAV saves.
#pragma once

#include <windows.h>

#include "common/Handles.h"
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
// The same of an open file.
FileStamp StampOfHandle(HANDLE file);

// The schedule held open from before a save looks at it until the save's
// rename has replaced it, so that no other program's save can land unseen
// in between. Writers are shut out: an editor that writes the file in place
// fails with a sharing violation (its own save fails visibly). Deletes and
// renames are shared, since the save's own rename must replace the file; an
// editor that saves by replacing the file is seen by StillNamed.
class ScheduleHold {
public:
    // A missing file is held as missing. When a writer has the file open,
    // tries again for a short while before it gives up (held() false).
    explicit ScheduleHold(const WString& path);
    ScheduleHold(const ScheduleHold&) = delete;
    ScheduleHold& operator=(const ScheduleHold&) = delete;

    bool held() const { return held_; }
    // The held file's stamp, read through the hold ("exists" false for a
    // missing file).
    FileStamp stamp() const;
    // True while the path still names the held file (or, when it was
    // missing, still nothing).
    bool StillNamed() const;
    // Lets the file go: where the system cannot replace a file that is
    // open, the save's rename comes after this.
    void Release() { file_.reset(); }

    // Which file a handle refers to, whatever its name.
    struct Identity {
        DWORD volume = 0;
        DWORD indexHigh = 0;
        DWORD indexLow = 0;
        bool operator==(const Identity& other) const {
            return volume == other.volume && indexHigh == other.indexHigh && indexLow == other.indexLow;
        }
    };

private:
    WString path_;
    UniqueHandle file_;
    bool held_ = false;
    bool existed_ = false;
    Identity identity_;  // of the held file, kept after Release
};

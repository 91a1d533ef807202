// The watch pass: which records are due in the current second, and running
// them. ZAV calls CheckSchedule once at start-up (start = true) and on every
// tick of its watch timer (start = false).
#pragma once

#include <windows.h>

#include <vector>

#include "common/WString.h"
#include "schedule/ScheduleFile.h"
#include "schedule/StringList.h"

// Performs one action text (the record from column 20). ZAV installs ActExecute.
using ActionHandler = void (*)(const WString& actionText);
// Starts ZAVSet with a command word. ZAV installs its launcher ("zzzzzz").
using SettingsStarter = void (*)(const wchar_t* commandWord);
// Fills in the local time; nullptr means GetLocalTime. Tests set the clock.
using ClockSource = void (*)(SYSTEMTIME* now);

// Each returns the previous one; the defaults do nothing.
ActionHandler SetActionHandler(ActionHandler handler);
SettingsStarter SetSettingsStarter(SettingsStarter starter);
ClockSource SetClockSource(ClockSource source);

// One change ZAV made to a record of the file: a hold-once flag used up
// (after: the record with a blank flag) or a run-once record performed
// (remove).
struct ScheduleEdit {
    WString before;  // the record as ZAV read it
    WString after;
    bool remove = false;
};

struct WatchState {
    StringList schedule;
    // The now text of the last second a timer pass checked; ZAV sets it to
    // "Start   " before the start-up pass.
    WString lastChecked;
    WString schedulePath;
    // Passes running now, nested in one another's actions. Only the outermost
    // removes run-once records from the list, so that no enclosing walk loses
    // its place; nested passes leave them marked and save the file without them.
    int passDepth = 0;
    bool removalPending = false;
    // The file as ZAV last read or wrote it. A save that finds another stamp
    // reads the file again first: someone else changed it.
    FileStamp fileStamp;
    // ZAV's own changes that have not reached the file yet (none after a
    // save that succeeded).
    std::vector<ScheduleEdit> pendingEdits;
    // Counts the times the list was replaced by what the file holds.
    unsigned reloads = 0;
};

// Reads the schedule file into a list of its own and takes it, with ZAV's
// own changes that have not reached the file yet applied, only when that
// succeeded. False, with the records kept, when the file cannot be read
// (load's box says so).
bool LoadSchedule(WatchState& state);

// Writes the list without its 'D' records. When the file changed since ZAV
// last read or wrote it, ZAV reads it again, applies its own changes to the
// lines that are still there exactly as it knew them, takes that as its list
// and writes it: ZAV never writes back lines it did not read. False, with
// the file untouched and the changes kept for the next save, when the file
// cannot be read or written.
bool SaveSchedule(WatchState& state);

// Each edit changes (or removes) the first record that is exactly its
// `before` text; an edit that finds none changes nothing.
void ApplyEdits(StringList& list, const std::vector<ScheduleEdit>& edits);

// Handlers called from here may run nested message loops and so nested
// passes, reloads of state.schedule included: the walk goes on by index over
// whatever the list holds at each step. Records marked 'D' (run once,
// waiting for removal) never run. The pass saves its marks before it calls
// an action, so a reload from inside the action finds them in the file;
// after a reload, the rest of the pass skips the action texts it already
// performed and the holds it already used.
void CheckSchedule(WatchState& state, bool start);

// rule: columns 2-18 of a record; now: "yy/mm/dd hh:mm:ss" of time.
bool IsDue(const WString& rule, const WString& now, const SYSTEMTIME& time, bool start);

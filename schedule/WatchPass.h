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
// Told that the schedule file could not be saved: once, and again only after
// a save succeeded in between. Called in the middle of a pass; ZAV installs
// one that shows its box after the pass.
using SaveFailureHandler = void (*)(const WString& schedulePath);

// Each returns the previous one; the defaults do nothing.
ActionHandler SetActionHandler(ActionHandler handler);
SettingsStarter SetSettingsStarter(SettingsStarter starter);
ClockSource SetClockSource(ClockSource source);
SaveFailureHandler SetSaveFailureHandler(SaveFailureHandler handler);

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
    // The index each running pass is at, the outermost first. A reload moves
    // each to the place of the record it stood at in the new list.
    std::vector<int> walks;
    // The file as ZAV last read or wrote it. A save that finds another stamp
    // reads the file again first: someone else changed it.
    FileStamp fileStamp;
    // ZAV's own changes that have not reached the file yet (none after a
    // save that succeeded).
    std::vector<ScheduleEdit> pendingEdits;
    // Counts the times the list was replaced by what the file holds.
    unsigned reloads = 0;
    // A failed save was reported and no save succeeded since.
    bool saveFailureTold = false;
};

// Reads the schedule file into a list of its own and takes it, with ZAV's
// own changes that have not reached the file yet applied, only when that
// succeeded. False, with the records kept, when the file cannot be read
// (load's box says so).
bool LoadSchedule(WatchState& state);

// Writes the list without its 'D' records, in the encoding it was read in.
// When the file changed since ZAV last read or wrote it, ZAV reads it again,
// applies its own changes to the lines that are still there exactly as it
// knew them, takes that as its list and writes it: ZAV never writes back
// lines it did not read. The file is held against writers from that look to
// the rename (ScheduleHold); a save that fails is tried again a few times,
// and a file replaced meanwhile is then read and merged. False, with the
// file untouched, the changes kept for the next save and the failure
// handler told, when the file cannot be read or written.
bool SaveSchedule(WatchState& state);

// Each edit changes (or removes) the first record that is exactly its
// `before` text; an edit that finds none changes nothing. markRemovals: a
// run-once record is marked 'D' instead of removed, so that a pass walking
// the list finds it where it was.
void ApplyEdits(StringList& list, const std::vector<ScheduleEdit>& edits, bool markRemovals = false);

// Handlers called from here may run nested message loops and so nested
// passes, reloads of state.schedule included: after a reload the walk goes
// on from the place of the record it stood at in the new list (or by index
// when that record and the one after it are gone). Records marked 'D' (run once,
// waiting for removal) never run. The pass saves its marks before it calls
// an action, so a reload from inside the action finds them in the file;
// after a reload, the rest of the pass skips the action texts it already
// performed and the holds it already used.
void CheckSchedule(WatchState& state, bool start);

// rule: columns 2-18 of a record; now: "yy/mm/dd hh:mm:ss" of time.
bool IsDue(const WString& rule, const WString& now, const SYSTEMTIME& time, bool start);

// The watch pass: which records are due in the current second, and running
// them. ZAV calls CheckSchedule once at start-up (start = true) and on every
// tick of its watch timer (start = false).
#pragma once

#include <windows.h>

#include "common/WString.h"
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
};

// Handlers called from here may run nested message loops and so nested
// passes, reloads of state.schedule included: the walk goes on by index over
// whatever the list holds at each step. Records marked 'D' (run once,
// waiting for removal) never run.
void CheckSchedule(WatchState& state, bool start);

// rule: columns 2-18 of a record; now: "yy/mm/dd hh:mm:ss" of time.
bool IsDue(const WString& rule, const WString& now, const SYSTEMTIME& time, bool start);
// For the full four-digit year (Gregorian leap years).
int DaysInMonth(int year, int month);

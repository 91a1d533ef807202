// When a record next comes due: the first second, from a given one on, in
// which ZAV's timer pass would find it due. Computed from the rules, never by
// running the pass: per record a few steps by months or days and the first
// matching second of a day by arithmetic, so a whole schedule takes
// milliseconds. Callers compute it after a change (load, reload, a pass that
// did something), never on every tick.
//
// Convention for `from`: it is included. It is the first second no timer
// pass has checked yet; after the pass of second S, ask with S + 1.
#pragma once

#include <windows.h>

#include "common/WString.h"
#include "schedule/StringList.h"

// The first second at or after `from` (local time, milliseconds ignored)
// in which a timer pass takes the record up: performs it, or, for a "#"
// record, uses up its hold (that second counts as due; nothing runs then).
// False when there is none within the search: "X" and "D" records, Start
// lines (they come due at start-up only), rules that match no day or no
// second, and dates whose two-digit year has passed this century. The search
// reaches at least nine years ahead (29 February across a century) and up
// to the end of the current century for a year written out. *due gets the
// second with its weekday filled in and zero milliseconds.
bool NextDue(const WString& record, const SYSTEMTIME& from, SYSTEMTIME* due);

// A Start line comes due when ZAV starts on a day its date rule matches:
// the first such day from `from`'s day on (time fields zero). False for
// every other time rule, for "X" and "D", and for a date that never comes.
bool NextStartDay(const WString& record, const SYSTEMTIME& from, SYSTEMTIME* day);

// The earliest NextDue over a schedule; records due in the same second: the
// first in file order. index is -1 when none of them ever comes due.
struct NextAlarm {
    int index = -1;
    SYSTEMTIME due{};
};
NextAlarm NextAlarmOf(const StringList& schedule, const SYSTEMTIME& from);

// "2026/12/08(火) 07:00:00" (the weekday from wDayOfWeek), or the date and
// weekday alone: how the editor, the list and the tray show a next time.
WString DueText(const SYSTEMTIME& due, bool withTime = true);
// Follows DueText where a "#" record's due second only uses up its hold.
extern const wchar_t kHeldOnceMark[];  // "（保留）"

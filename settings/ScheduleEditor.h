// The schedule editor (dialog 120) as the schedule list opens it, and what
// the editor and the list say about when a line next comes due.
#pragma once

#include <windows.h>

#include "common/WString.h"
#include "settings/CommandWords.h"

// Runs the editor owned by owner on line (empty for a new schedule; isNew
// also for a copy, whose edited text is added beside the original). True,
// with line replaced by the composed record, when the user confirmed;
// false, with line as it was, when the user cancelled.
bool EditScheduleLine(HWND owner, WString& line, bool isNew, const StartInfo& start);

// When the line next comes due from now on: "次回: 2026/12/08(火) 07:00:00",
// "（保留）" after it for a line held once, the day of a Start line's next
// start, or why there is none. *never (when given): the line's rules match
// no second from now on, whatever its hold flag.
WString NextDueLabel(const WString& line, const SYSTEMTIME& now, bool* never = nullptr);

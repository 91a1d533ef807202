// The schedule editor (dialog 120) as the schedule list opens it.
#pragma once

#include <windows.h>

#include "common/WString.h"
#include "settings/CommandWords.h"

// Runs the editor owned by owner on line (empty for a new schedule; isNew
// also for a copy, whose edited text is added beside the original). True,
// with line replaced by the composed record, when the user confirmed;
// false, with line as it was, when the user cancelled.
bool EditScheduleLine(HWND owner, WString& line, bool isNew, const StartInfo& start);

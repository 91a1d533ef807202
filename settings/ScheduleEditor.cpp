#include "settings/ScheduleEditor.h"

#include "schedule/NextDue.h"
#include "schedule/ScheduleRecord.h"
#include "settings/AlarmDialog.h"

namespace {

const wchar_t kNextPrefix[] = L"次回: ";
const wchar_t kHeldSuffix[] = L"（保留）";
const wchar_t kAtStartSuffix[] = L"の起動時";
const wchar_t kNever[] = L"次回: なし（このままでは実行されません）";
const wchar_t kHeldAlways[] = L"次回: なし（ずっと保留）";

// The line as its rules alone would run it: with a blank hold flag.
WString Unheld(const WString& line) {
    WString unheld = line;
    unheld.SetAt(kHoldFlagColumn, kHoldNone);
    return unheld;
}

// The next second, or for a Start line the day of its next start (time
// fields zero); false when none comes.
bool NextOf(const WString& line, const SYSTEMTIME& now, SYSTEMTIME* due, bool* atStart) {
    *atStart = TimeRuleOf(line) == kStartTimeRule;
    return *atStart ? NextStartDay(line, now, due) : NextDue(line, now, due);
}

}  // namespace

// A copy (isNew with the original's text) is edited like a modification:
// the editor reads whatever line it is given; the list decides where the
// result goes.
bool EditScheduleLine(HWND owner, WString& line, bool, const StartInfo& start) {
    DSetAlarm editor(start.osLevel, start.isWow64, start.elevation, line);
    if (editor.Run(owner) != 1 || editor.lineText().empty()) return false;
    line = editor.lineText();
    return true;
}

WString NextDueLabel(const WString& line, const SYSTEMTIME& now) {
    const wchar_t flag = HoldFlagOf(line);
    SYSTEMTIME due;
    bool atStart;
    if (!NextOf(flag == kHoldAlways ? Unheld(line) : line, now, &due, &atStart)) return kNever;
    if (flag == kHoldAlways) return kHeldAlways;
    WString label = WString(kNextPrefix) + DueText(due, !atStart);
    if (atStart) label += kAtStartSuffix;
    if (flag == kHoldOnce) label += kHeldSuffix;
    return label;
}

bool NeverComesDue(const WString& line, const SYSTEMTIME& now) {
    SYSTEMTIME due;
    bool atStart;
    return !NextOf(Unheld(line), now, &due, &atStart);
}

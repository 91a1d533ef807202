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

WString NextDueLabel(const WString& line, const SYSTEMTIME& now, bool* never) {
    const wchar_t flag = HoldFlagOf(line);
    // "X" stands aside: the rules alone say whether the line could ever run.
    WString rules = line;
    if (flag == kHoldAlways) rules.SetAt(kHoldFlagColumn, kHoldNone);
    const bool atStart = TimeRuleOf(line) == kStartTimeRule;
    SYSTEMTIME due;
    const bool found = atStart ? NextStartDay(rules, now, &due) : NextDue(rules, now, &due);
    if (never) *never = !found;
    if (!found) return kNever;
    if (flag == kHoldAlways) return kHeldAlways;
    WString label = WString(kNextPrefix) + DueText(due, !atStart);
    if (atStart) label += kAtStartSuffix;
    if (flag == kHoldOnce) label += kHeldSuffix;
    return label;
}

#include "settings/ScheduleEditor.h"

#include "settings/ScheduleEditDialog.h"

// A copy (isNew with the original's text) is edited like a modification:
// the editor reads whatever line it is given; the list decides where the
// result goes.
bool EditScheduleLine(HWND owner, WString& line, bool, const StartInfo& start) {
    DSetAlarm editor(start.osLevel, start.isWow64, start.elevation, line);
    if (editor.Run(owner) != 1 || editor.lineText().empty()) return false;
    line = editor.lineText();
    return true;
}

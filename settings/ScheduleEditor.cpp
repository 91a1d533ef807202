#include "settings/ScheduleEditor.h"

// The editor is not built yet: every edit counts as cancelled, so Add, copy
// and modify leave the list as it is.
bool EditScheduleLine(HWND, WString&, bool, const StartInfo&) {
    return false;
}

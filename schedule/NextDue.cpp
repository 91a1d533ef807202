#include "schedule/NextDue.h"

// Not computed yet: nothing ever comes due.
bool NextDue(const WString&, const SYSTEMTIME&, SYSTEMTIME*) {
    return false;
}

bool NextStartDay(const WString&, const SYSTEMTIME&, SYSTEMTIME*) {
    return false;
}

NextAlarm NextAlarmOf(const StringList&, const SYSTEMTIME&) {
    return NextAlarm{};
}

#include "alarm/Wake.h"

#include <wchar.h>

#include "alarm/SystemCalls.h"
#include "common/MessageBoxes.h"
#include "schedule/ScheduleRecord.h"

ULONGLONG TicksOf(const SYSTEMTIME& time) {
    FILETIME file{};
    SystemTimeToFileTime(&time, &file);
    return (static_cast<ULONGLONG>(file.dwHighDateTime) << 32) | file.dwLowDateTime;
}

SYSTEMTIME TimeOfTicks(ULONGLONG ticks) {
    const FILETIME file{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    SYSTEMTIME time{};
    FileTimeToSystemTime(&file, &time);
    return time;
}

WString PassText(const SYSTEMTIME& time) {
    wchar_t text[kRuleTextLength + 1];
    wsprintfW(text, L"%02d/%02d/%02d %02d:%02d:%02d", time.wYear % 100, time.wMonth, time.wDay, time.wHour,
              time.wMinute, time.wSecond);
    return WString(text);
}

bool SecondReached(const WString& lastChecked, const WString& second) {
    // Within a century the order of these texts is the order of the seconds.
    return second.length() == kRuleTextLength && lastChecked.length() == kRuleTextLength && lastChecked.at(2) == L'/' &&
           wmemcmp(lastChecked.text(), second.text(), kRuleTextLength) >= 0;
}

void WakeKeeper::Arm(const SYSTEMTIME* due, const SYSTEMTIME& now) {
    if (due == nullptr) {
        if (armedAt_ != 0) g_systemCalls.cancelWaitableTimer(timer_.get());
        armedAt_ = 0;
        return;
    }
    // The timer runs on UTC. Each local time converts with its own day's
    // offset, so a due second across a change to or from summer time wakes
    // at the right moment; one that fails to convert stays as it was (off
    // by the zone's offset at worst).
    SYSTEMTIME dueUtc = *due;
    SYSTEMTIME nowUtc = now;
    TzSpecificLocalTimeToSystemTime(nullptr, due, &dueUtc);
    TzSpecificLocalTimeToSystemTime(nullptr, &now, &nowUtc);
    ULONGLONG at = TicksOf(dueUtc) - kWakeLeadSeconds * kTicksPerSecond;
    const ULONGLONG soonest = TicksOf(nowUtc) + kTicksPerSecond;
    if (at < soonest) at = soonest;
    if (at == armedAt_) return;
    if (!timer_) timer_.reset(CreateWaitableTimerW(nullptr, TRUE, nullptr));
    LARGE_INTEGER when;
    when.QuadPart = static_cast<LONGLONG>(at);
    // A machine that cannot wake by timer still succeeds (ERROR_NOT_SUPPORTED).
    const BOOL set = timer_ && g_systemCalls.setWaitableTimer(timer_.get(), &when, 0, nullptr, nullptr, TRUE);
    armedAt_ = set ? at : 0;
    // Once: the next alarms would each bring the same box.
    if (!set && !failureTold_) {
        failureTold_ = true;
        CheckWin32(FALSE, "SetWaitableTimer");
    }
}

void WakeKeeper::Wait(const WString& second) {
    waiting_ = true;
    until_ = second;
    Apply();
}

void WakeKeeper::PassEnded(const WString& lastChecked) {
    if (!waiting_ || !SecondReached(lastChecked, until_)) return;
    waiting_ = false;
    Apply();
}

void WakeKeeper::StopWaiting() {
    waiting_ = false;
    Apply();
}

// The thread's state is one value, not a count: it is set to what the
// waiting and every held action need together, and only when that changes.
void WakeKeeper::Apply() {
    EXECUTION_STATE wanted = ES_CONTINUOUS;
    if (waiting_ || actions_ > 0) wanted |= ES_SYSTEM_REQUIRED;
    if (displays_ > 0) wanted |= ES_DISPLAY_REQUIRED;
    if (wanted == applied_) return;
    g_systemCalls.setThreadExecutionState(wanted);
    applied_ = wanted;
}

WakeKeeper::ActionHold::ActionHold(WakeKeeper& keeper, bool display)
    : keeper_(keeper), held_(keeper.waiting_), display_(display && keeper.waiting_) {
    if (!held_) return;
    ++keeper_.actions_;
    if (display_) ++keeper_.displays_;
    keeper_.Apply();
}

WakeKeeper::ActionHold::~ActionHold() {
    if (!held_) return;
    --keeper_.actions_;
    if (display_) --keeper_.displays_;
    keeper_.Apply();
}

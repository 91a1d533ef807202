// Waking the computer from sleep for the next alarm (WakeUp=1 in
// Zavbell.ini), and keeping it on, with the display for what the user must
// see, while that alarm is performed. The destructive calls go through
// g_systemCalls.
#pragma once

#include <windows.h>

#include "common/Handles.h"
#include "common/WString.h"

// How long before its second an alarm wakes the computer. Windows keeps an
// unattended wake up for at least two minutes; ZAV holds it from then on.
constexpr int kWakeLeadSeconds = 60;

constexpr ULONGLONG kTicksPerMs = 10000;
constexpr ULONGLONG kTicksPerSecond = 1000 * kTicksPerMs;

// A SYSTEMTIME in 100 ns units and back, in the time it is given in (local
// stays local).
ULONGLONG TicksOf(const SYSTEMTIME& time);
SYSTEMTIME TimeOfTicks(ULONGLONG ticks);

// The watch pass's now text of a second, "yy/mm/dd hh:mm:ss": what
// lastChecked holds once the pass has checked that second.
WString PassText(const SYSTEMTIME& time);
// lastChecked is that second or a later one. False for "Start   " and for an
// empty second.
bool SecondReached(const WString& lastChecked, const WString& second);

class WakeKeeper {
public:
    // Arms the wake timer for kWakeLeadSeconds before `due` (local time), but
    // never before the next second; nullptr cancels it.
    void Arm(const SYSTEMTIME* due, const SYSTEMTIME& now);
    // From the wake (or the lead) until the pass of `second` (a PassText)
    // has ended, the system stays on; actions started meanwhile are held.
    void Wait(const WString& second);
    bool waiting() const { return waiting_; }
    // A pass has ended with nothing of it still running (passDepth 0).
    void PassEnded(const WString& lastChecked);
    // The option was turned off: nothing is waited for any more.
    void StopWaiting();

    // Keeps the system (and for `display` the display) on while an action
    // runs, when it starts while the keeper waits.
    class ActionHold {
    public:
        ActionHold(WakeKeeper& keeper, bool display);
        ~ActionHold();
        ActionHold(const ActionHold&) = delete;
        ActionHold& operator=(const ActionHold&) = delete;

    private:
        WakeKeeper& keeper_;
        bool held_;
        bool display_;
    };

private:
    void Apply();

    // One timer for the whole run: closing it at the end deletes it, and a
    // deleted timer wakes nothing.
    UniqueHandle timer_;
    ULONGLONG armedAt_ = 0;  // UTC ticks; 0 while not armed
    bool failureTold_ = false;
    bool waiting_ = false;
    WString until_;
    int actions_ = 0;   // held actions running, nested in one another's loops
    int displays_ = 0;  // those of them the user must see
    EXECUTION_STATE applied_ = ES_CONTINUOUS;
};

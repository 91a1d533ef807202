// The countdown before ZAV stops the computer (dialog 9500).
#pragma once

#include <windows.h>

#include "common/Handles.h"
#include "common/WString.h"

// Results of Exit.
constexpr int kExitStopped = 1;    // shutdown or restart requested
constexpr int kExitCancelled = 2;  // cancelled in the countdown
constexpr int kExitSuspended = 3;  // sleep or hibernation requested

// One per countdown dialog, on the stack of the Exit that shows it: two
// countdowns open at once count and end on their own.
struct ExitCountdown {
    HWND window = nullptr;
    int iconResource = 0;
    UniqueIcon smallIcon;
    WString title;
    int total = 0;
    int remaining = 0;
    // The first decision is final: a tick that arrives while another box
    // keeps the dialog's loop from returning must not undo a cancel.
    enum Decision { Undecided, GoOn, Cancelled } decision = Undecided;
};

// Shows the countdown and returns true when the computer is to be stopped:
// "即実行" or the count reaching 0. Cancel, closing the window and an end
// of ZAV while it counts (a quit met by the dialog's loop) return false.
bool RunExitCountdown(int iconResource, const WString& title, int wait);

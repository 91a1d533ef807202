// Who may have ZAV perform a test run. ZAV lets ZAV_MESSAGE through the
// message filter so that an unelevated ZAVSet reaches an elevated ZAV; any
// other local program can then send it too, after writing its own ZAV_TEST.
// The block tells who made it: its owner (an elevated administrator's
// objects belong to the Administrators group, an unelevated program's to
// the user) and its integrity label.
#pragma once

#include <windows.h>

#include "common/WString.h"

struct Identity {
    WString owner;    // the owner's SID as text ("S-1-5-32-544"); empty when the system keeps none
    DWORD integrity;  // a mandatory level RID (SECURITY_MANDATORY_MEDIUM_RID …)
};

// ZAV's own: the owner the system gives a named block ZAV makes (its token's
// default owner on Windows; none under Wine, which keeps no security for
// named mappings) and the integrity level of its token.
Identity OwnIdentity();

// The owner and label of a block (a mapping opened with READ_CONTROL); a
// block without a label counts as medium, as Windows treats it. False when
// they cannot be read.
bool BlockIdentity(HANDLE mapping, Identity* identity);

// True when the block comes from a process of at least ZAV's elevation: a
// level not below ZAV's, or ZAV's own owner from a process not below
// medium. Windows labels nothing a high-level process makes, so an elevated
// ZAVSet is known by the owner alone.
bool MayTestRun(const Identity& zav, const Identity& block);

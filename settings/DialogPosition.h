// Remembered dialog positions in Zavbell.ini.
//
// Most dialogs store -1 as "never saved" and restore only positions >= 0, so
// a dialog left on a monitor left of or above the primary one reopens where
// the system puts it. The command, media and exit dialogs store INT_MIN
// instead and honour negative positions.
#pragma once

#include <windows.h>

#include <climits>

#include "common/SettingsFile.h"

enum class PositionRule { kMinusOne, kIntMin };
constexpr int kPositionUnset = -1;
constexpr int kPositionUnsetIntMin = INT_MIN;

bool IsStoredPositionUsable(PositionRule rule, int left, int top);
// Whether a window of the given screen rectangle would touch some monitor. A
// stored place on none (a monitor since removed) is not restored: an
// invisible modal dialog would block ZAVSet.
bool IsOnSomeMonitor(const RECT& place);
bool IsStoredRectUsable(int left, int top, int width, int height);
// Moves the dialog to the stored position when the rule allows and the place
// is on a monitor (size and Z order unchanged); returns whether it moved.
bool RestorePosition(HWND dialog, const SettingsFile& settings, const wchar_t* leftKey, const wchar_t* topKey,
                     PositionRule rule);
void SavePosition(HWND dialog, const SettingsFile& settings, const wchar_t* leftKey, const wchar_t* topKey);
// Position and size (the schedule list), always with the -1 rule, and only
// onto a monitor.
bool RestoreRect(HWND dialog, const SettingsFile& settings, const wchar_t* leftKey, const wchar_t* topKey,
                 const wchar_t* widthKey, const wchar_t* heightKey);
void SaveRect(HWND dialog, const SettingsFile& settings, const wchar_t* leftKey, const wchar_t* topKey,
              const wchar_t* widthKey, const wchar_t* heightKey);
// Where DS_CENTER puts a dialog, for one that changed its size after the
// system placed it: the middle of the work area of its owner's monitor (its
// own without an owner).
void CentreInWorkArea(HWND dialog);

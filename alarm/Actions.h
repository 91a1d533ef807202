// The action dispatcher and the nine actions a schedule record can name.
#pragma once

#include "common/WString.h"

// Recognises the action word at the start of an action text ("Msg    text")
// and performs it with the parameter (the text from index 7). Taken by
// value: a nested pass or a reload may replace the record it came from
// while the action waits for the user.
void ActExecute(WString actionText);

// The action text a test-run block holds, performed after the sender was
// answered; nothing when the block is missing or its maker may not
// (MayTestRun).
void RunTestRecord();

// A message as a box shows it: at most kShownMessageUnits code units, then
// "…". Longer texts made boxes taller than the screen, without their OK
// button; the schedule keeps the whole text. The tray tip is cut the same
// way to its own length.
constexpr int kShownMessageUnits = 1000;
WString ShownMessage(const WString& message, int units = kShownMessageUnits);

// Msg, Mplay, Notice and Blink show the user something: performed after a
// wake from sleep they keep the display on, the others only the system.
bool NeedsDisplay(const WString& actionText);

// The longest file name Mplay and Shell hand to MCIWndCreateW and
// ShellExecuteW: a path that fits MAX_PATH with its NUL. A longer one cannot
// be opened there anyway, and Wine's calls overflow their stack on it (from
// about 1,000 units for ShellExecuteW, 2,500 for MCIWndCreateW), which ended
// ZAV at every run of such a record. Windows' ShellExecuteW takes a URL of
// up to 2,083 units, which Wine's does not: ZAV keeps to the path limit.
constexpr int kLongestFileName = MAX_PATH - 1;

// Message actions (Actions.cpp).
void Msg(const WString& parameter);
void Notice(const WString& parameter);
void Blink(const WString& parameter);

void Mplay(const WString& parameter);                  // Media.cpp
bool Shell(HWND owner, const WString& parameter);      // Command.cpp
void Screen(const WString& parameter);                 // ScreenSaver.cpp
void ThreeDText(const WString& parameter);             // ScreenSaver.cpp, action word "3DText"
void Kabe(const WString& parameter);                   // Wallpaper.cpp
int Exit(int iconResource, const WString& parameter);  // Shutdown.cpp

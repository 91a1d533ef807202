// Helpers of the schedule tests: raw file bytes, code page 932 text, a clock
// the tests set, and recorders behind the watch pass's action and ZAVSet seams.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/WString.h"
#include "tests/common/TestSupport.h"
#include "schedule/WatchPass.h"

using Lines = std::vector<std::wstring>;

// Each line in code page 932 followed by CR LF: what ZAVSet writes.
std::string Cp932Lines(const Lines& lines);
// A list holding the lines, and the lines a list holds.
StringList ListOf(const Lines& lines);
Lines Records(const StringList& list);
// Names of the files in a folder (no "." and "..").
std::vector<std::wstring> FilesIn(const WString& folder);

// A valid local time with its day of the week filled in by the system.
SYSTEMTIME MakeTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);
// The same date moved by a number of days or seconds.
SYSTEMTIME AddSeconds(const SYSTEMTIME& time, long long seconds);
// "yy/mm/dd hh:mm:ss".
WString NowText(const SYSTEMTIME& time);
// "2024-02-29 13:05:00 (th)" for assertion messages.
std::string Describe(const SYSTEMTIME& time);

// Installs a fixed clock, a recording action handler and a recording ZAVSet
// starter for its lifetime, and restores the previous ones after.
class PassHarness {
public:
    PassHarness();
    ~PassHarness();
    PassHarness(const PassHarness&) = delete;
    PassHarness& operator=(const PassHarness&) = delete;

    static void SetNow(const SYSTEMTIME& time);
    static SYSTEMTIME Now();
    // Everything handed to the action handler and the starter, in order; a
    // start of ZAVSet appears as "<start zzzzzz>".
    static std::vector<std::wstring>& Performed();
    // Called after recording each action; nullptr for none. Tests use it to
    // re-enter the pass as a message box's loop would.
    using Reaction = void (*)(const WString& actionText);
    static void SetReaction(Reaction reaction);

private:
    ActionHandler previousHandler_;
    SettingsStarter previousStarter_;
    ClockSource previousClock_;
};

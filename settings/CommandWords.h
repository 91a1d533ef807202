// ZAVSet's command words: the one word ZAV passes decides which dialog runs.
#pragma once

#include <windows.h>

#include "common/WString.h"

// What the entry learnt about the system before dispatching.
struct StartInfo {
    int osLevel = 0;
    BOOL isWow64 = FALSE;
    int elevation = 0;
};

using CommandHandler = void (*)(const WString& word, const StartInfo& start);

struct CommandWord {
    const wchar_t* word;
    CommandHandler run;
};

// The entry of the table whose word equals word exactly (lstrcmpW: whole and
// case-sensitive), or nullptr.
const CommandWord* FindCommandWord(const WString& word);

// Runs the handler of word, or refuses a direct start with
// "直接起動してはいけません" when no entry matches.
void RunCommandWord(const WString& word, const StartInfo& start);

// The handlers, one per dialog that a word opens.
void OpenScheduleList(const WString& word, const StartInfo& start);   // "set", "zzzzzz"
void OpenTimer(const WString& word, const StartInfo& start);          // "timer"
void OpenAbout(const WString& word, const StartInfo& start);          // "about"
void RunInitSchedule(const WString& word, const StartInfo& start);    // "initschedule"

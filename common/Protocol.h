// What ZAV, ZAVSet and Quillon64 agree on: names of windows, messages,
// mutexes, shared blocks, programs, files and command words. Spelled once
// here; every program includes this header and none includes another's.
#pragma once

#include <windows.h>

#include "common/Paths.h"
#include "common/WString.h"

// ZAV's hidden main window, found by ZAVSet and by a second ZAV.
constexpr wchar_t kZavWindowClass[] = L"ZAV_WINCLASS";
constexpr wchar_t kZavWindowTitle[] = L"Orrivane";

// Registered window messages.
constexpr wchar_t kControlMessageName[] = L"ZAV_MESSAGE";       // ZAVSet (or "ZAV /R") to ZAV
constexpr wchar_t kTrayMessageName[] = L"ZAV_NOTIFYICON";       // the tray icon's callback
constexpr wchar_t kTaskbarCreatedName[] = L"TaskbarCreated";    // Explorer restarted

// wParam of ZAV_MESSAGE.
constexpr WPARAM kReloadSchedule = 0;   // Zavbell.txt was rewritten
constexpr WPARAM kReloadSettings = 1;   // Zavbell.ini was rewritten
constexpr WPARAM kTestRun = 2;          // perform the action text in ZAV_TEST now

// Single-instance mutexes. ZAV appends its arguments to its name, so that
// "ZAV.exe /R" runs beside the resident ZAV, which holds "ZAV.exe ".
constexpr wchar_t kZavMutexPrefix[] = L"ZAV.exe ";
constexpr wchar_t kZavSetMutexName[] = L"ZAVSet.exe";

// Named shared-memory blocks.
constexpr wchar_t kHelperBlockName[] = L"X64_FILEMAPPING";
constexpr wchar_t kTestRunBlockName[] = L"ZAV_TEST";

// The programs, all in one folder.
constexpr wchar_t kZavProgram[] = L"ZAV.exe";
constexpr wchar_t kZavSetProgram[] = L"ZAVSet.exe";
constexpr wchar_t kHelperProgram[] = L"Quillon64.exe";

// ZAVSet's command words (the one argument ZAV gives it).
constexpr wchar_t kWordSet[] = L"set";
constexpr wchar_t kWordExplain[] = L"zzzzzz";
constexpr wchar_t kWordAbout[] = L"about";
constexpr wchar_t kWordTimer[] = L"timer";
constexpr wchar_t kWordInitSchedule[] = L"initschedule";

// Quillon64's command words.
constexpr wchar_t kHelperPickFile[] = L"@GetOpenFileName";
constexpr wchar_t kHelperPickFolder[] = L"@GetOpenDirName";
constexpr wchar_t kHelperBreakScreenSaver[] = L"@BreakScreenSaver";
// Quillon64's exit code when a file or a folder was chosen; any other code
// (0, or the exception code of a crash) means nothing was.
constexpr DWORD kHelperChosen = 1;

// The files of the folder ZAV starts in.
constexpr wchar_t kScheduleFileName[] = L"Zavbell.txt";
constexpr wchar_t kScheduleBackupName[] = L"old Zavbell.txt";
constexpr wchar_t kSettingsFileName[] = L"Zavbell.ini";
constexpr wchar_t kSettingsSection[] = L"Zavbell";

// Zavbell.txt in folder, without quotes, as every reader and writer opens it.
inline WString ScheduleFilePath(const WString& folder) {
    return JoinPath(folder, kScheduleFileName).Unquote();
}

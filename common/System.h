// Command line, Windows version, WOW64 and elevation, single instance guard.
#pragma once

#include <windows.h>

#include "common/WString.h"

struct CommandLine {
    WString program;
    WString arguments;
};
// An empty line means the process's own command line.
CommandLine SplitCommandLine(const WString& line = WString());

// OS level codes.
enum OsLevel { kOsUnsupported = 0, kOsVista = 1, kOs7 = 2, kOs8 = 3, kOs81 = 4, kOs10 = 5, kOs11 = 6 };
// Elevation codes.
enum Elevation { kElevationDefault = 1, kElevationLimited = 2, kElevationFull = 3 };

int GetOsLevel(BOOL* wow64, int* elevation);
// The elevation code of a process's token; 0 when it cannot be queried.
// With a closeLabel each failing call shows its box (the token's
// CloseHandle named so); without one the query is silent.
int ProcessElevation(HANDLE process, const char* closeLabel = nullptr);

class InstanceMutex {
public:
    explicit InstanceMutex(const wchar_t* name);
    InstanceMutex(const InstanceMutex&) = delete;
    InstanceMutex& operator=(const InstanceMutex&) = delete;
    bool created() const { return created_; }
    HANDLE handle() const { return handle_; }
    // The program releases the mutex before it returns from its main function
    // and never closes the handle explicitly (the process end does).
    void Release();

private:
    bool created_;
    HANDLE handle_;
};

// "program" quoted when it holds a blank, then " arguments" when not empty.
WString QuoteCommand(const WString& program, const WString& arguments);

// A shell link at linkPath to target; COM must be initialised by the caller.
bool CreateShortcut(const WString& linkPath, const WString& target, const WString& arguments,
                    bool runAs);

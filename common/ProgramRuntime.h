// The exit code with which ZAV, ZAVSet and Quillon64 end where the C++
// runtime would have thrown (out of memory, a container index out of range, a
// pure virtual call): the status Windows reports for a program that failed
// fast. ProgramRuntime.cpp, linked into the programs only, holds the code.
#pragma once

#include <windows.h>

constexpr DWORD kRuntimeFailureExitCode = 0xC0000409;

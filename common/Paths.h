// Path helpers. A backslash is the only separator they know.
#pragma once

#include "common/WString.h"

WString JoinPath(const WString& dir, const WString& name);
WString DirectoryOf(const WString& path);
WString FileNameOf(const WString& path);
WString ExtensionOf(const WString& path);

// id -1: the process's current directory; otherwise a CSIDL shell folder.
// After a failure (reported with a box) the result is the empty text.
WString SpecialFolderPath(int id);
WString SpecialFolderFile(int id, const WString& name);

// The full path of the running program's own file. Taken from the module,
// not the command line: a program started as "ZAV" at a prompt in its folder
// has no folder in its command line.
WString ProgramPath();
// The folder of that file, where ZAV, ZAVSet and Quillon64 lie together.
WString ProgramFolder();

// True when the file or directory exists (GetFileAttributesW succeeds).
bool PathExists(const WString& path);

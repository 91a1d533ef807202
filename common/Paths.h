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

// True when the file or directory exists (GetFileAttributesW succeeds).
bool PathExists(const WString& path);

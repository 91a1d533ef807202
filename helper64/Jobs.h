// Quillon64's jobs and its reading of the requests in X64_FILEMAPPING. The
// block was written by another process: nothing in it is trusted, every
// length and text end is checked against the mapped view before use.
#pragma once

#include <windows.h>

#include <memory>

#include "common/SharedBlock.h"
#include "common/WString.h"

// A file-pick request: flags, filter index and maxFile at 0, 4 and 8, the
// title from 12, the filter after it (parts ended by line feeds), the file
// field of maxFile units after that.
struct FileRequest {
    DWORD flags = 0;
    DWORD filterIndex = 0;
    int maxFile = 0;
    WString title;
    std::unique_ptr<wchar_t[]> filter;  // NUL for every line feed, ending in two NULs; none: no filter
    int filterUnits = 0;           // with all its NULs
    int fileOffset = 0;            // byte offset of the file field
    std::unique_ptr<wchar_t[]> file;  // maxFile units, the last one a NUL
};
// False when the request does not lie wholly inside the block: maxFile not
// positive, a text without its NUL, or the file field past the end.
bool ReadFileRequest(SharedBlock& block, FileRequest* request);

// A folder-pick request: a byte (nonzero: offer the new-folder button), the
// title from offset 1, the initial folder after it.
struct FolderRequest {
    bool newFolderButton = false;
    WString title;
    WString folder;                // unquoted; empty: none
    int folderOffset = 0;          // byte offset of the folder field
};
bool ReadFolderRequest(SharedBlock& block, FolderRequest* request);
// The chosen folder with its NUL over the folder field; false, writing
// nothing, when it would pass the end of the block.
bool WriteFolderAnswer(SharedBlock& block, const FolderRequest& request, const WString& folder);

// The jobs; each returns Quillon64's exit code.
int PickFile();              // "@GetOpenFileName": nonzero when a file was chosen
int PickFolder();            // "@GetOpenDirName": 1 when a folder was chosen
int StopScreenSaver();       // "@BreakScreenSaver": 0
// ":" (wait for the program to end) or "/" (do not wait) and the command line.
int RunCommandLine(const WString& command, bool wait);
// The whole argument text: the job it names, or the refusal or information box.
int RunHelper(const WString& arguments);

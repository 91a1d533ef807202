// Helpers shared by all test programs: a box recorder behind the box hook,
// a private temporary folder, text in other code pages, file bytes, and the
// path of the probe child program.
#pragma once

#include <windows.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "common/MessageBoxes.h"
#include "common/WString.h"

struct RecordedBox {
    HWND owner;
    std::wstring text;
    std::wstring caption;
    UINT style;
};

// Installs the box hook for its lifetime and records every box; each box
// answers with `answer`.
class BoxRecorder {
public:
    explicit BoxRecorder(int answer = IDOK);
    ~BoxRecorder();
    BoxRecorder(const BoxRecorder&) = delete;
    BoxRecorder& operator=(const BoxRecorder&) = delete;
    const std::vector<RecordedBox>& boxes() const;

private:
    BoxHook previous_;
};

// A new empty folder under the temporary directory, removed with everything
// in it at the end.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const WString& path() const { return path_; }

private:
    WString path_;
};

// Makes a folder the current directory for its lifetime.
class CurrentDirectoryScope {
public:
    explicit CurrentDirectoryScope(const WString& folder);
    ~CurrentDirectoryScope();
    CurrentDirectoryScope(const CurrentDirectoryScope&) = delete;
    CurrentDirectoryScope& operator=(const CurrentDirectoryScope&) = delete;

private:
    wchar_t saved_[MAX_PATH];
};

// Removes a folder with everything in it, read-only files too; a folder that
// is not there counts as removed. False when something is left.
bool RemoveTree(const std::filesystem::path& folder);

// Creates an empty file at path; false when it exists already or cannot be made.
bool CreateEmptyFile(const WString& path);

// probe_child.exe beside the test program.
WString ProbeChildPath();

// Text in a code page (CP_UTF8, 932, CP_ACP …) and back, converted here
// rather than by the code under test. Characters the code page lacks become
// its default character.
std::string Encode(UINT codePage, const std::wstring& text);
std::wstring Decode(UINT codePage, const std::string& bytes);

// Readable forms (UTF-8) for assertion messages.
inline std::string Narrow(const wchar_t* text) { return Encode(CP_UTF8, text != nullptr ? text : L""); }
inline std::string Narrow(const WString& text) { return Narrow(text.text()); }
inline std::string Narrow(const std::wstring& text) { return Encode(CP_UTF8, text); }

// GoogleTest prints a WString in an assertion message as quoted UTF-8, so
// EXPECT_EQ on two WStrings reads without Narrow.
void PrintTo(const WString& text, std::ostream* out);

// The whole file as bytes, read while other programs may be replacing it;
// `exists` false when it cannot be opened.
std::string ReadBytes(const wchar_t* path, bool* exists = nullptr);
inline std::string ReadBytes(const WString& path, bool* exists = nullptr) { return ReadBytes(path.text(), exists); }
inline std::string ReadBytes(const std::wstring& path, bool* exists = nullptr) {
    return ReadBytes(path.c_str(), exists);
}
// Replaces the file by exactly these bytes; false when it could not be written whole.
bool WriteBytes(const wchar_t* path, const std::string& bytes);
inline bool WriteBytes(const WString& path, const std::string& bytes) { return WriteBytes(path.text(), bytes); }
inline bool WriteBytes(const std::wstring& path, const std::string& bytes) {
    return WriteBytes(path.c_str(), bytes);
}

// True when the tests run under Wine rather than Windows.
bool RunningUnderWine();

// Runs probe_child.exe with the arguments and returns its exit code
// (0xFFFFFFFF when it could not be started).
DWORD RunProbe(const WString& arguments);

#include "common/Paths.h"

#include <shlobj.h>

#include <memory>

#include "common/MessageBoxes.h"

WString JoinPath(const WString& dir, const WString& name) {
    WString bare = dir.Unquote();
    bool driveRoot = bare.length() == 3 && bare.at(1) == L':' && bare.at(2) == L'\\';
    return dir + (driveRoot ? L"" : L"\\") + name;
}

WString DirectoryOf(const WString& path) {
    int slash = path.FindLast(L'\\');
    if (slash < 0) return WString();
    if (slash == 2) return path.Left(3).Unquote();
    return path.Left(slash).Unquote();
}

WString FileNameOf(const WString& path) {
    int slash = path.FindLast(L'\\');
    if (slash < 0) return path;
    return path.From(slash + 1);
}

WString ExtensionOf(const WString& path) {
    int dot = path.FindLast(L'.');
    if (dot < 0) return WString();
    return path.From(dot + 1);
}

namespace {

WString CurrentDirectory() {
    wchar_t buffer[MAX_PATH];
    DWORD written = GetCurrentDirectoryW(MAX_PATH, buffer);
    CheckWin32(written, "GetCurrentDirectory");
    // A directory longer than the buffer is reported by the size it needs
    // and nothing is written: it is treated like a failure.
    if (written == 0 || written >= MAX_PATH) return WString();
    return WString(buffer);
}

}  // namespace

WString SpecialFolderPath(int id) {
    if (id == -1) return CurrentDirectory();

    IMalloc* shellAllocator = nullptr;
    HRESULT hr = SHGetMalloc(&shellAllocator);
    CheckHResult(hr, "SHGetMalloc Error");
    if (FAILED(hr) || shellAllocator == nullptr) return WString();

    WString result;
    LPITEMIDLIST items = nullptr;
    hr = SHGetSpecialFolderLocation(nullptr, id, &items);
    CheckHResult(hr, "SHGetSpecialFolderLocation");
    if (SUCCEEDED(hr) && items != nullptr) {
        wchar_t buffer[MAX_PATH];
        buffer[0] = L'\0';
        BOOL found = SHGetPathFromIDListW(items, buffer);
        CheckWin32(found, "SHGetPathFromIDList");
        if (found) result = buffer;
        // The item list belongs to the shell allocator.
        shellAllocator->Free(items);
    }
    shellAllocator->Release();
    return result;
}

WString SpecialFolderFile(int id, const WString& name) {
    return JoinPath(SpecialFolderPath(id), name);
}

bool PathExists(const WString& path) {
    return GetFileAttributesW(path.text()) != INVALID_FILE_ATTRIBUTES;
}

WString ProgramPath() {
    // GetModuleFileNameW cuts a path longer than the buffer and says so only
    // by filling it: try again with more room.
    for (DWORD size = MAX_PATH;; size *= 2) {
        std::unique_ptr<wchar_t[]> buffer(new wchar_t[size]);
        DWORD written = GetModuleFileNameW(nullptr, buffer.get(), size);
        CheckWin32(written, "GetModuleFileName");
        if (written == 0) return WString();
        if (written < size) return WString(buffer.get(), static_cast<int>(written));
        if (size >= 32768) return WString();
    }
}

WString ProgramFolder() {
    return DirectoryOf(ProgramPath());
}

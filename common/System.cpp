#include "common/System.h"

#include <shlobj.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <initializer_list>

#include "common/MessageBoxes.h"
#include "common/Paths.h"

CommandLine SplitCommandLine(const WString& line) {
    WString whole = line.empty() ? WString(GetCommandLineW()) : line;
    // The program part ends at the closing quote when the line opens with one
    // (a path may hold blanks), otherwise at the first blank.
    bool quoted = whole.at(0) == L'"';
    WString searched = quoted ? whole.From(1) : whole;
    int end = searched.Find(quoted ? L"\"" : L" ");
    if (end < 0) {
        // No end found: the whole rest is the program and there are no
        // arguments. For a quote that is never closed this keeps a path with
        // blanks whole instead of handing a piece of it over as arguments.
        return {searched.Unquote(), WString()};
    }
    return {searched.Left(end).Unquote(), searched.From(end + 1).Trim()};
}

int ProcessElevation(HANDLE process, const char* closeLabel) {
    auto check = [closeLabel](BOOL result, const char* name) {
        if (closeLabel != nullptr) CheckWin32(result, name);
    };
    HANDLE token = nullptr;
    BOOL opened = OpenProcessToken(process, TOKEN_QUERY, &token);
    check(opened, "OpenProcessToken");
    if (!opened) return 0;
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    DWORD returned = 0;
    BOOL queried = GetTokenInformation(token, TokenElevationType, &type, sizeof(type), &returned);
    check(queried, "GetTokenInformation");
    check(CloseHandle(token), closeLabel);
    if (!queried) return 0;
    switch (type) {
    case TokenElevationTypeDefault: return kElevationDefault;
    case TokenElevationTypeFull: return kElevationFull;
    case TokenElevationTypeLimited: return kElevationLimited;
    }
    return 0;
}

namespace {

// True when the running Windows is at least the given version in every field
// named by `fields` (VER_MAJORVERSION, VER_MINORVERSION, VER_SERVICEPACKMAJOR,
// VER_BUILDNUMBER); the fields are compared as one version, highest first.
bool VersionAtLeast(DWORD fields, DWORD major, DWORD minor = 0, WORD servicePack = 0, DWORD build = 0) {
    OSVERSIONINFOEXW wanted = {};
    wanted.dwOSVersionInfoSize = sizeof(wanted);
    wanted.dwMajorVersion = major;
    wanted.dwMinorVersion = minor;
    wanted.wServicePackMajor = servicePack;
    wanted.dwBuildNumber = build;
    DWORDLONG mask = 0;
    for (DWORD field : {VER_MAJORVERSION, VER_MINORVERSION, VER_SERVICEPACKMAJOR, VER_BUILDNUMBER}) {
        if (fields & field) mask = VerSetConditionMask(mask, field, VER_GREATER_EQUAL);
    }
    return VerifyVersionInfoW(&wanted, fields, mask) != FALSE;
}

constexpr DWORD kMajor = VER_MAJORVERSION;
constexpr DWORD kMajorMinorBuild = VER_MAJORVERSION | VER_MINORVERSION | VER_BUILDNUMBER;
constexpr DWORD kMajorMinorServicePack = VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR;

int DetectOsLevel() {
    if (VersionAtLeast(kMajorMinorBuild, 10, 0, 0, 22000)) return kOs11;
    if (VersionAtLeast(kMajor, 10)) return kOs10;
    if (VersionAtLeast(kMajorMinorServicePack, 6, 3)) return kOs81;
    if (VersionAtLeast(kMajorMinorServicePack, 6, 2)) return kOs8;
    if (VersionAtLeast(kMajorMinorServicePack, 6, 1)) return kOs7;
    if (VersionAtLeast(kMajorMinorServicePack, 6, 0)) return kOsVista;
    return kOsUnsupported;
}

// 0 when the token could not be queried (after the error box).
int ElevationCode() { return ProcessElevation(GetCurrentProcess(), "CloseHandle"); }

}  // namespace

int GetOsLevel(BOOL* wow64, int* elevation) {
    int level = DetectOsLevel();
    if (level == kOsUnsupported) ShowError(L"このＯＳではサポートされていません。");
    if (wow64 != nullptr) {
        *wow64 = FALSE;
        if (!IsWow64Process(GetCurrentProcess(), wow64)) *wow64 = FALSE;
    }
    if (elevation != nullptr) *elevation = ElevationCode();
    return level;
}

InstanceMutex::InstanceMutex(const wchar_t* name) : created_(false), handle_(nullptr) {
    HANDLE existing = OpenMutexW(MUTEX_ALL_ACCESS, FALSE, name);
    if (existing != nullptr) {
        // Another process holds the name. The handle is closed at once and
        // forgotten: a stale value could later name an unrelated object that
        // Release() would then act on.
        CloseHandle(existing);
        return;
    }
    // A mutex of an elevated instance refuses the open of a normal one: the
    // name is taken all the same. Going on to create would fail the same way
    // and leave a second resident program running with no mutex at all.
    if (GetLastError() == ERROR_ACCESS_DENIED) return;
    SECURITY_ATTRIBUTES inheritable = {};
    inheritable.nLength = sizeof(inheritable);
    inheritable.lpSecurityDescriptor = nullptr;
    inheritable.bInheritHandle = TRUE;
    HANDLE made = CreateMutexW(&inheritable, TRUE, name);
    // Another start may have made the mutex between the open and here: then
    // this handle names its mutex (ERROR_ALREADY_EXISTS, not owned). A create
    // that fails (refused, or the name taken by another kind of object) is
    // no free name either.
    if (made != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(made);
        return;
    }
    if (made == nullptr) return;
    created_ = true;
    handle_ = made;
}

void InstanceMutex::Release() {
    if (handle_ != nullptr) ReleaseMutex(handle_);
}

WString QuoteCommand(const WString& program, const WString& arguments) {
    WString command = program.Find(L" ") >= 0 ? L"\"" + program + L"\"" : program;
    if (!arguments.empty()) {
        command += L" ";
        command += arguments;
    }
    return command;
}

bool CreateShortcut(const WString& linkPath, const WString& target, const WString& arguments, bool runAs) {
    Microsoft::WRL::ComPtr<IShellLinkW> link;
    Microsoft::WRL::ComPtr<IPersistFile> file;
    bool ok = SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&link)));
    ok = ok && SUCCEEDED(link->SetWorkingDirectory(DirectoryOf(target).text()));
    ok = ok && SUCCEEDED(link->SetPath(target.text()));
    ok = ok && SUCCEEDED(link->SetArguments(arguments.text()));
    ok = ok && SUCCEEDED(link.As(&file));
    ok = ok && SUCCEEDED(file->Save(linkPath.text(), TRUE));
    if (ok && runAs) {
        Microsoft::WRL::ComPtr<IShellLinkDataList> data;
        DWORD flags = 0;
        ok = SUCCEEDED(link.As(&data));
        ok = ok && SUCCEEDED(data->GetFlags(&flags));
        ok = ok && SUCCEEDED(data->SetFlags(flags | SLDF_RUNAS_USER));
        ok = ok && SUCCEEDED(file->Save(linkPath.text(), TRUE));
    }
    return ok;
}

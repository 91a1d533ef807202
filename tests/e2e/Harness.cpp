#include "tests/e2e/Harness.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cwchar>

#include "common/Handles.h"
#include "common/Protocol.h"
#include "common/System.h"

namespace e2e {

namespace {

ULONGLONG ToTicks(const SYSTEMTIME& time) {
    FILETIME file = {};
    SystemTimeToFileTime(&time, &file);
    ULARGE_INTEGER value;
    value.LowPart = file.dwLowDateTime;
    value.HighPart = file.dwHighDateTime;
    return value.QuadPart;
}

constexpr ULONGLONG kTicksPerSecond = 10000000ULL;

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

struct WindowSearch {
    DWORD processId;
    const wchar_t* className;
    const wchar_t* title;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    if (IsWindowVisible(window) && ProcessOf(window) == search->processId && ClassOf(window) == search->className &&
        (search->title == nullptr || TitleOf(window) == search->title)) {
        search->found.push_back(window);
    }
    return TRUE;
}

}  // namespace

DWORD ProcessOf(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
}

std::wstring TitleOf(HWND window) {
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);
    return title;
}

std::vector<HWND> VisibleWindows(DWORD processId, const wchar_t* className, const wchar_t* title) {
    WindowSearch search{processId, className, title, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (done()) return true;
        if (GetTickCount64() >= deadline) return done();
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(kPollMs);
    }
}

std::string Lines(const std::vector<std::wstring>& lines) {
    std::string all;
    for (const std::wstring& line : lines) all += "\n  \"" + Narrow(line) + "\"";
    return all;
}

std::wstring FormatTime(const SYSTEMTIME& time) {
    wchar_t text[16];
    swprintf(text, 16, L"%02u:%02u:%02u", time.wHour, time.wMinute, time.wSecond);
    return text;
}

SYSTEMTIME LocalTimeAfter(int seconds) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    now.wMilliseconds = 0;
    ULONGLONG ticks = ToTicks(now) + static_cast<ULONGLONG>(seconds) * kTicksPerSecond;
    FILETIME file;
    file.dwLowDateTime = static_cast<DWORD>(ticks);
    file.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    SYSTEMTIME result;
    FileTimeToSystemTime(&file, &result);
    return result;
}

double SecondsBetween(const SYSTEMTIME& a, const SYSTEMTIME& b) {
    return (static_cast<double>(ToTicks(b)) - static_cast<double>(ToTicks(a))) / kTicksPerSecond;
}

std::wstring ActionText(const std::wstring& actionWord, const std::wstring& parameter) {
    std::wstring text = actionWord;
    if (text.size() < 6) text.append(6 - text.size(), L' ');
    return text + L" " + parameter;
}

std::wstring EveryDayRecord(const SYSTEMTIME& at, const std::wstring& actionWord, const std::wstring& parameter,
                            wchar_t holdFlag) {
    return std::wstring(1, holdFlag) + L" EveryDay " + FormatTime(at) + L" " + ActionText(actionWord, parameter);
}

std::wstring StartRecord(const std::wstring& actionWord, const std::wstring& parameter, wchar_t holdFlag) {
    return std::wstring(1, holdFlag) + L" EveryDay Start    " + ActionText(actionWord, parameter);
}

std::wstring TestProgramDirectory() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring whole = path;
    return whole.substr(0, whole.find_last_of(L'\\'));
}

std::wstring ZavProgramPath() { return TestProgramDirectory() + L"\\ZAV.exe"; }
std::wstring SettingsProgramPath() { return TestProgramDirectory() + L"\\ZAVSet.exe"; }
std::wstring StandInProgramPath() { return TestProgramDirectory() + L"\\..\\standin\\ZAVSet.exe"; }
std::wstring HelperProgramPath() {
    return TestProgramDirectory() + L"\\..\\..\\x64\\bin\\Quillon64.exe";
}

// ---- Sandbox ----

Sandbox::Sandbox() : directory_(folder_.path().text()) {
    CopyFileW(ZavProgramPath().c_str(), PathOf(L"ZAV.exe").c_str(), FALSE);
}

Sandbox::~Sandbox() {
    // A program that just ended may hold its image a moment longer.
    WaitUntil([this] { return RemoveTree(directory_); }, 3000);
}

std::wstring Sandbox::PathOf(const std::wstring& name) const { return directory_ + L"\\" + name; }

bool Sandbox::Exists(const std::wstring& name) const {
    return GetFileAttributesW(PathOf(name).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Sandbox::WriteLines(const std::wstring& name, const std::vector<std::wstring>& lines) const {
    std::string bytes;
    for (const std::wstring& line : lines) bytes += Encode(CP_ACP, line) + "\r\n";
    WriteBytes(PathOf(name), bytes);
}

std::vector<std::wstring> Sandbox::ReadLines(const std::wstring& name) const {
    bool exists = false;
    std::string bytes = ReadBytes(PathOf(name), &exists);
    std::vector<std::wstring> lines;
    if (!exists) return lines;
    std::wstring text = Decode(CP_ACP, bytes);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        std::wstring line = text.substr(start, end - start);
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

void Sandbox::WriteSetting(const std::wstring& key, int value) const {
    WritePrivateProfileStringW(L"Zavbell", key.c_str(), std::to_wstring(value).c_str(), PathOf(L"Zavbell.ini").c_str());
}

void Sandbox::InstallStandIn() const { InstallSettingsProgram(StandInProgramPath()); }

void Sandbox::InstallSettingsProgram(const std::wstring& sourcePath) const {
    CopyFileW(sourcePath.c_str(), PathOf(L"ZAVSet.exe").c_str(), FALSE);
}

// ---- ZavProcess ----

ZavProcess::~ZavProcess() {
    if (info_.hProcess != nullptr && Running() && !Close(5000)) {
        // Last resort only: a ZAV that did not end on WM_CLOSE.
        TerminateProcess(info_.hProcess, 0xDEAD);
        WaitForSingleObject(info_.hProcess, 5000);
    }
    Release();
}

void ZavProcess::Release() {
    if (info_.hThread != nullptr) CloseHandle(info_.hThread);
    if (info_.hProcess != nullptr) CloseHandle(info_.hProcess);
    info_ = PROCESS_INFORMATION{};
    window_ = nullptr;
}

bool StartInSandbox(const Sandbox& sandbox, const std::wstring& fileName, const std::wstring& arguments,
                    PROCESS_INFORMATION* info) {
    std::wstring program = sandbox.PathOf(fileName);
    std::wstring commandLine = L"\"" + program + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    return CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                          sandbox.directory().c_str(), &startup, info) != FALSE;
}

bool ZavProcess::Start(const Sandbox& sandbox, const std::wstring& arguments) {
    Release();
    return StartInSandbox(sandbox, L"ZAV.exe", arguments, &info_);
}

HWND ZavProcess::WaitForWindow(DWORD timeoutMs) {
    WaitUntil([this] {
        for (HWND w = FindWindowExW(nullptr, nullptr, L"ZAV_WINCLASS", L"Orrivane"); w != nullptr;
             w = FindWindowExW(nullptr, w, L"ZAV_WINCLASS", L"Orrivane")) {
            if (ProcessOf(w) == info_.dwProcessId) {
                window_ = w;
                return true;
            }
        }
        return !Running();
    }, timeoutMs);
    return window_;
}

bool ZavProcess::Running() const {
    return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

bool ZavProcess::WaitForExit(DWORD timeoutMs) {
    return WaitUntil([this] { return !Running(); }, timeoutMs);
}

DWORD ZavProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
}

bool ZavProcess::Close(DWORD timeoutMs) {
    if (!Running()) return true;
    HWND target = window_ != nullptr && IsWindow(window_) ? window_ : WaitForWindow(0);
    if (target == nullptr) return false;
    PostMessageW(target, WM_CLOSE, 0, 0);
    return WaitForExit(timeoutMs);
}

std::vector<DWORD> ProcessesNamed(const std::wstring& fileName) {
    std::vector<DWORD> found;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return found;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (lstrcmpiW(entry.szExeFile, fileName.c_str()) == 0) found.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return found;
}

// ---- Boxes ----

std::wstring BoxText(HWND box) {
    wchar_t text[4096] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 4096);
    return text;
}

// By class and caption, never by Z order: Wine does not apply MB_TOPMOST.
std::vector<Box> FindBoxes(DWORD processId, const std::wstring& caption) {
    std::vector<Box> boxes;
    for (HWND window : VisibleWindows(processId, L"#32770")) {
        if (TitleOf(window) == caption) boxes.push_back(Box{window, BoxText(window)});
    }
    return boxes;
}

HWND WaitForBox(DWORD processId, const std::wstring& text, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] {
        for (const Box& box : FindBoxes(processId)) {
            if (box.text == text) {
                found = box.window;
                return true;
            }
        }
        return false;
    }, timeoutMs);
    return found;
}

HWND WaitForAnyBox(DWORD processId, std::wstring* text, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] {
        std::vector<Box> boxes = FindBoxes(processId);
        if (boxes.empty()) return false;
        found = boxes.front().window;
        if (text != nullptr) *text = boxes.front().text;
        return true;
    }, timeoutMs);
    return found;
}

bool AnswerBox(HWND box, int button) {
    if (!IsWindow(box)) return false;
    // The command a click on the button sends. WM_CLOSE is not used: Wine
    // answers it with IDCANCEL for every box, Windows only for boxes with a
    // Cancel button or a single OK button.
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
    return WaitUntil([box] { return !IsWindow(box) || !IsWindowVisible(box); });
}

std::string Texts(const std::vector<Box>& boxes) {
    std::string all;
    for (const Box& box : boxes) all += "[" + Narrow(box.text) + "] ";
    return all;
}

// ---- Messages ----

UINT TrayCallbackMessage() { return RegisterWindowMessageW(L"ZAV_NOTIFYICON"); }
UINT ControlMessage() { return RegisterWindowMessageW(L"ZAV_MESSAGE"); }
UINT TaskbarCreatedMessage() { return RegisterWindowMessageW(L"TaskbarCreated"); }

bool SendAndWait(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result, DWORD timeoutMs) {
    DWORD_PTR answer = 0;
    LRESULT sent = SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, timeoutMs, &answer);
    if (result != nullptr) *result = static_cast<LRESULT>(answer);
    return sent != 0;
}

bool SendTrayMouse(HWND zav, UINT mouseMessage) {
    return SendAndWait(zav, TrayCallbackMessage(), 1, mouseMessage, nullptr);
}

bool CreateTestRunBlock(SharedBlock& block, const std::wstring& actionText) {
    int bytes = static_cast<int>((actionText.size() + 1) * sizeof(wchar_t));
    return block.create(kTestRunBlockName, bytes) && block.write(actionText.c_str(), bytes);
}

AsyncSend::AsyncSend(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    : window_(window), message_(message), wParam_(wParam), lParam_(lParam) {
    thread_ = CreateThread(nullptr, 0, &AsyncSend::Run, this, 0, nullptr);
}

AsyncSend::~AsyncSend() {
    if (thread_ == nullptr) return;
    WaitForSingleObject(thread_, 4 * kWaitMs);
    CloseHandle(thread_);
}

DWORD WINAPI AsyncSend::Run(void* self) {
    auto* send = static_cast<AsyncSend*>(self);
    DWORD_PTR answer = 0;
    // Long enough for a box that a test keeps open for a while.
    SendMessageTimeoutW(send->window_, send->message_, send->wParam_, send->lParam_, SMTO_NORMAL, 3 * kWaitMs,
                        &answer);
    send->result_ = static_cast<LRESULT>(answer);
    return 0;
}

bool AsyncSend::Done() const {
    return thread_ == nullptr || WaitForSingleObject(thread_, 0) == WAIT_OBJECT_0;
}

bool AsyncSend::Wait(DWORD timeoutMs) const {
    return WaitUntil([this] { return Done(); }, timeoutMs);
}

// ---- Menu ----

bool MenuVisible(DWORD processId) { return !VisibleWindows(processId, L"#32768").empty(); }

HWND WaitForMenu(DWORD processId, DWORD timeoutMs) {
    HWND menu = nullptr;
    WaitUntil([&] {
        std::vector<HWND> menus = VisibleWindows(processId, L"#32768");
        if (!menus.empty()) menu = menus.front();
        return menu != nullptr;
    }, timeoutMs);
    return menu;
}

void PostKey(HWND window, UINT virtualKey) {
    UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    PostMessageW(window, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    PostMessageW(window, WM_KEYUP, virtualKey, 1 | (scan << 16) | (1u << 30) | (1u << 31));
}

// ---- Notification area ----

namespace {

struct ClassSearch {
    const wchar_t* className;
    HWND found;
};

BOOL CALLBACK FindVisibleOfClass(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<ClassSearch*>(data);
    if (IsWindowVisible(window) && ClassOf(window) == search->className) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The first visible window of a class: a child of `parent`, or a top-level
// window of any process when parent is nullptr.
HWND FirstVisibleOfClass(HWND parent, const wchar_t* className) {
    ClassSearch search{className, nullptr};
    if (parent != nullptr) {
        EnumChildWindows(parent, FindVisibleOfClass, reinterpret_cast<LPARAM>(&search));
    } else {
        EnumWindows(FindVisibleOfClass, reinterpret_cast<LPARAM>(&search));
    }
    return search.found;
}

}  // namespace

bool WineTrayArea(RECT* area, DWORD timeoutMs) {
    return WaitUntil([area] {
        HWND tray = FindWindowW(nullptr, L"Wine System Tray");
        if (tray == nullptr || !IsWindowVisible(tray)) return false;
        HWND icon = FirstVisibleOfClass(tray, L"__winex11_tray_icon");
        return icon != nullptr && GetWindowRect(icon, area) != FALSE;
    }, timeoutMs);
}

void RepaintWineTray() {
    HWND tray = FindWindowW(nullptr, L"Wine System Tray");
    if (tray != nullptr) {
        RedrawWindow(tray, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
}

std::vector<COLORREF> SteadyPixels(const RECT& area, DWORD holdMs, DWORD timeoutMs) {
    std::vector<COLORREF> last;
    ULONGLONG since = GetTickCount64();
    bool steady = WaitUntil([&] {
        std::vector<COLORREF> now = CapturePixels(area);
        if (now != last) {
            last = now;
            since = GetTickCount64();
            return false;
        }
        bool drawn = !now.empty() && std::count(now.begin(), now.end(), now.front()) < static_cast<long>(now.size());
        return drawn && GetTickCount64() - since >= holdMs;
    }, timeoutMs);
    return steady ? last : std::vector<COLORREF>();
}

std::vector<COLORREF> CapturePixels(const RECT& area) {
    int width = area.right - area.left;
    int height = area.bottom - area.top;
    std::vector<COLORREF> pixels;
    if (width <= 0 || height <= 0) return pixels;
    WindowDC screen(nullptr);
    HDC memory = CreateCompatibleDC(screen.get());
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    UniqueGdiObject bitmap(CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap.get());
        BitBlt(memory, 0, 0, width, height, screen.get(), area.left, area.top, SRCCOPY);
        GdiFlush();
        const COLORREF* first = static_cast<const COLORREF*>(bits);
        pixels.assign(first, first + width * height);
        // Deselected before the bitmap's owner deletes it.
        SelectObject(memory, old);
    }
    DeleteDC(memory);
    return pixels;
}

HWND WaitForBalloon(DWORD timeoutMs) {
    HWND balloon = nullptr;
    WaitUntil([&] {
        balloon = FirstVisibleOfClass(nullptr, L"tooltips_class32");
        return balloon != nullptr;
    }, timeoutMs);
    return balloon;
}

// ---- Screenshots ----

namespace {

// The DOS form (Z:\\...) of a Unix path, through Wine's own converter; empty
// outside Wine or when the path cannot be converted.
std::wstring DosPathOfUnix(const std::wstring& unixPath) {
    using Converter = WCHAR* (*)(const char*);
    auto convert = reinterpret_cast<Converter>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    if (convert == nullptr) return std::wstring();
    WCHAR* dos = convert(Narrow(unixPath).c_str());
    if (dos == nullptr) return std::wstring();
    std::wstring result = dos;
    HeapFree(GetProcessHeap(), 0, dos);
    return result;
}

}  // namespace

void Screenshot(const std::wstring& name, HWND settle) {
    wchar_t folder[MAX_PATH] = {};
    if (GetEnvironmentVariableW(L"ORRIVANE_SCREENSHOTS", folder, MAX_PATH) == 0) return;
    std::wstring picture = std::wstring(folder) + L"/" + name + L".png";
    std::wstring dosPicture = DosPathOfUnix(picture);
    if (dosPicture.empty()) return;
    if (settle != nullptr) {
        RedrawWindow(settle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        // Wine maps a new window's X window and sends it its pixels some time
        // after the window is visible to Win32 (up to half a second on a busy
        // machine). The screen DC reads the X screen itself, so this waits
        // until the window is really on it.
        RECT area = {};
        if (GetWindowRect(settle, &area)) SteadyPixels(area);
    }
    // Wine starts a Unix program but hands back a process handle that is
    // signalled at once: waiting on it would let the scenario close the box
    // (or end ZAV) before import has read the screen. import writes to a
    // second name that only becomes the picture once it is complete, and the
    // picture's appearance is what is waited for.
    DeleteFileW(dosPicture.c_str());
    std::wstring part = picture + L".part";
    std::wstring commandLine = L"/bin/sh -c \"/usr/bin/import -window root 'png:" + part + L"' && mv '" + part +
                               L"' '" + picture + L"'\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        return;
    }
    UniqueHandle thread(info.hThread);
    UniqueHandle process(info.hProcess);
    WaitUntil([&dosPicture] { return GetFileAttributesW(dosPicture.c_str()) != INVALID_FILE_ATTRIBUTES; });
}

// ---- Programs a test did not start itself ----

namespace {

HWND ZavWindowOf(DWORD processId) {
    for (HWND w = FindWindowExW(nullptr, nullptr, L"ZAV_WINCLASS", L"Orrivane"); w != nullptr;
         w = FindWindowExW(nullptr, w, L"ZAV_WINCLASS", L"Orrivane")) {
        if (ProcessOf(w) == processId) return w;
    }
    return nullptr;
}

bool StillRunning(HANDLE process) { return process != nullptr && WaitForSingleObject(process, 0) == WAIT_TIMEOUT; }

// WM_CLOSE to its ZAV window; TerminateProcess when it has none (a ZAV
// waiting in a box) or does not end.
void EndProcess(HANDLE process, DWORD processId) {
    if (!StillRunning(process)) return;
    HWND window = ZavWindowOf(processId);
    if (window != nullptr) {
        PostMessageW(window, WM_CLOSE, 0, 0);
        if (WaitUntil([process] { return !StillRunning(process); }, 5000)) return;
    }
    TerminateProcess(process, 0xDEAD);
    WaitForSingleObject(process, 5000);
}

}  // namespace

bool RunInCmd(const Sandbox& sandbox, const std::wstring& command, HANDLE* cmd) {
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    std::wstring program = std::wstring(system) + L"\\cmd.exe";
    std::wstring commandLine = L"cmd.exe /c " + command;
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        sandbox.directory().c_str(), &startup, &info)) {
        return false;
    }
    CloseHandle(info.hThread);
    *cmd = info.hProcess;
    return true;
}

OtherProcess::~OtherProcess() {
    EndProcess(process_, id_);
    if (process_ != nullptr) CloseHandle(process_);
}

bool OtherProcess::Find(const std::wstring& fileName, DWORD timeoutMs) {
    WaitUntil([&] {
        for (DWORD id : ProcessesNamed(fileName)) {
            process_ = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, id);
            if (process_ != nullptr) {
                id_ = id;
                return true;
            }
        }
        return false;
    }, timeoutMs);
    return process_ != nullptr;
}

bool OtherProcess::Running() const { return StillRunning(process_); }

bool OtherProcess::WaitForExit(DWORD timeoutMs) const {
    return WaitUntil([this] { return !Running(); }, timeoutMs);
}

DWORD OtherProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_, &code);
    return code;
}

HWND OtherProcess::WaitForZavWindow(DWORD timeoutMs) const {
    HWND window = nullptr;
    WaitUntil([&] {
        window = ZavWindowOf(id_);
        return window != nullptr || !Running();
    }, timeoutMs);
    return window;
}

bool OtherProcess::Close(DWORD timeoutMs) const {
    if (!Running()) return true;
    HWND window = ZavWindowOf(id_);
    if (window == nullptr) return false;
    PostMessageW(window, WM_CLOSE, 0, 0);
    return WaitForExit(timeoutMs);
}

ZavCrowd::~ZavCrowd() {
    for (PROCESS_INFORMATION& info : processes_) {
        EndProcess(info.hProcess, info.dwProcessId);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
}

bool ZavCrowd::Start(const Sandbox& sandbox, int count) {
    std::wstring program = sandbox.PathOf(L"ZAV.exe");
    for (int i = 0; i < count; ++i) {
        std::wstring commandLine = L"\"" + program + L"\"";
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info = {};
        if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                            sandbox.directory().c_str(), &startup, &info)) {
            return false;
        }
        processes_.push_back(info);
    }
    // Let go together, so that the starts meet at the single-instance guard.
    for (PROCESS_INFORMATION& info : processes_) ResumeThread(info.hThread);
    return true;
}

bool ZavCrowd::Running(size_t i) const { return StillRunning(processes_[i].hProcess); }

// ---- Files of a sandbox ----

std::vector<std::wstring> FilesMatching(const Sandbox& sandbox, const std::wstring& pattern) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(sandbox.PathOf(pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

// ---- ZAVSet's dialogs from outside ----

namespace {

struct TitleSearch {
    std::wstring title;
    bool enabledOnly;
    HWND found;
};

BOOL CALLBACK FindTitled(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<TitleSearch*>(data);
    wchar_t className[32] = {};
    wchar_t title[256] = {};
    GetClassNameW(window, className, 32);
    GetWindowTextW(window, title, 256);
    if (!IsWindowVisible(window) || (search->enabledOnly && !IsWindowEnabled(window)) ||
        lstrcmpW(className, L"#32770") != 0 || search->title != title)
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND WaitForTitled(const std::wstring& title, bool enabledOnly) {
    TitleSearch search{title, enabledOnly, nullptr};
    WaitUntil([&] {
        search.found = nullptr;
        EnumWindows(FindTitled, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    });
    return search.found;
}

}  // namespace

std::wstring Titled(const wchar_t* caption) {
    int elevation = 0;
    GetOsLevel(nullptr, &elevation);
    return std::wstring(caption) + (elevation == kElevationFull ? L"(昇格中)" : L"");
}

HWND WaitForDialog(const std::wstring& title) { return WaitForTitled(title, false); }
HWND WaitForEnabledDialog(const std::wstring& title) { return WaitForTitled(title, true); }

void Press(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void SelectOnly(HWND dialog, int index, int listId) {
    HWND list = GetDlgItem(dialog, listId);
    SendMessageW(list, LB_SETSEL, FALSE, -1);
    SendMessageW(list, LB_SETSEL, TRUE, index);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(listId, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

std::vector<std::wstring> Entries(HWND dialog, int listId) {
    HWND list = GetDlgItem(dialog, listId);
    std::vector<std::wstring> entries;
    int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[512] = {};
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        entries.emplace_back(text);
    }
    return entries;
}

std::wstring TextOf(HWND dialog, int id) {
    wchar_t text[512] = {};
    GetDlgItemTextW(dialog, id, text, 512);
    return text;
}

bool Closed(HWND window) {
    return WaitUntil([window] { return !IsWindow(window); });
}

// ---- ZAV with the real ZAVSet beside it ----

HWND ZavSetScenario::OpenList(const std::vector<std::wstring>& records) {
    sandbox.WriteSchedule(records);
    if (!zav.Start(sandbox) || zav.WaitForWindow() == nullptr) return nullptr;
    LRESULT answer = 0;
    if (!SendAndWait(zav.window(), WM_COMMAND, kTraySet, 0, &answer)) return nullptr;
    HWND list = WaitForEnabledDialog(Titled(L"スケジュール設定内容の表示と変更"));
    if (list != nullptr) WaitUntil([&] { return Entries(list).size() == records.size(); });
    return list;
}

}  // namespace e2e

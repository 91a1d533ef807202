#include "tests/settings/RealHelper.h"

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Paths.h"
#include "common/Protocol.h"
#include "tests/common/TestSupport.h"

namespace {

WString OwnDirectory() {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return DirectoryOf(self);
}

// Quillon64 processes started by this one.
std::vector<DWORD> OwnHelpers() {
    std::vector<DWORD> found;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return found;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ParentProcessID == GetCurrentProcessId() && lstrcmpiW(entry.szExeFile, kHelperProgram) == 0)
            found.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return found;
}

struct PickerSearch {
    std::vector<DWORD> processes;
    HWND picker = nullptr;
};

BOOL CALLBACK FindPicker(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<PickerSearch*>(param);
    wchar_t className[16] = L"";
    GetClassNameW(window, className, 16);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (lstrcmpW(className, L"#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    for (DWORD helper : search->processes) {
        if (helper == process) {
            search->picker = window;
            return FALSE;
        }
    }
    return TRUE;
}

HelperPickerWatch* g_watch = nullptr;

}  // namespace

WString BuiltHelperPath() {
    return JoinPath(OwnDirectory(), L"..\\..\\x64\\bin\\Quillon64.exe");
}

HelperBesideTest::HelperBesideTest() : path_(JoinPath(OwnDirectory(), kHelperProgram)) {
    ok_ = CopyFileW(BuiltHelperPath().text(), path_.text(), FALSE) != FALSE;
    EXPECT_TRUE(ok_) << "no Quillon64.exe at " << Narrow(BuiltHelperPath()) << ": build the x64 tree";
}

HelperBesideTest::~HelperBesideTest() {
    DeleteFileW(path_.text());
}

HelperPickerWatch::HelperPickerWatch(std::function<void(HWND picker)> step, DWORD limitMs)
    : step_(std::move(step)), deadline_(GetTickCount64() + limitMs) {
    g_watch = this;
    timer_ = SetTimer(nullptr, 0, 50, Tick);
}

HelperPickerWatch::~HelperPickerWatch() {
    KillTimer(nullptr, timer_);
    g_watch = nullptr;
}

void CALLBACK HelperPickerWatch::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (g_watch != nullptr) g_watch->Look();
}

void HelperPickerWatch::Look() {
    if (answered_ || inStep_) return;
    PickerSearch search;
    search.processes = OwnHelpers();
    if (!search.processes.empty()) EnumWindows(FindPicker, reinterpret_cast<LPARAM>(&search));
    if (search.picker != nullptr) {
        inStep_ = true;
        step_(search.picker);
        inStep_ = false;
        answered_ = true;
        return;
    }
    if (GetTickCount64() < deadline_) return;
    answered_ = true;
    ADD_FAILURE() << "Quillon64 showed no file picker";
    for (DWORD helper : search.processes) {
        HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, helper);
        if (process == nullptr) continue;
        TerminateProcess(process, 0);
        CloseHandle(process);
    }
}

std::wstring ComboEntry(HWND combo, int index) {
    LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR) return L"";
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(length));
    return text;
}

std::wstring ControlText(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    std::wstring text(static_cast<size_t>(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]))));
    return text;
}

void AnswerHelperPicker(HWND picker, const wchar_t* path) {
    SendDlgItemMessageW(picker, kPickerFileNameBox, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path));
    PostMessageW(picker, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(picker, IDOK)));
}

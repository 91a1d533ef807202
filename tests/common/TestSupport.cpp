#include "tests/common/TestSupport.h"

#include "common/Handles.h"
#include "common/Paths.h"
#include "common/Process.h"

namespace {

std::vector<RecordedBox> g_boxes;
int g_answer = IDOK;

int RecordBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style) {
    g_boxes.push_back({owner, text, caption, style});
    return g_answer;
}

}  // namespace

BoxRecorder::BoxRecorder(int answer) {
    g_boxes.clear();
    g_answer = answer;
    previous_ = SetBoxHook(RecordBox);
}

BoxRecorder::~BoxRecorder() {
    SetBoxHook(previous_);
}

const std::vector<RecordedBox>& BoxRecorder::boxes() const {
    return g_boxes;
}

TempFolder::TempFolder() {
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    WString folder(base);
    // GetTempPathW ends the path with a backslash; JoinPath adds its own.
    if (folder.Right(1) == L"\\") folder = folder.Left(folder.length() - 1);
    for (int attempt = 0; attempt < 1000; ++attempt) {
        WString candidate = JoinPath(folder, L"orrivane_common_");
        candidate += WString(static_cast<int>(GetCurrentProcessId()));
        candidate += L"_";
        candidate += WString(attempt);
        if (CreateDirectoryW(candidate.text(), nullptr)) {
            path_ = candidate;
            return;
        }
    }
}

TempFolder::~TempFolder() {
    if (path_.empty()) return;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(JoinPath(path_, L"*").text(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                DeleteFileW(JoinPath(path_, found.cFileName).text());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(path_.text());
}

CurrentDirectoryScope::CurrentDirectoryScope(const WString& folder) {
    saved_[0] = L'\0';
    GetCurrentDirectoryW(MAX_PATH, saved_);
    SetCurrentDirectoryW(folder.text());
}

CurrentDirectoryScope::~CurrentDirectoryScope() {
    SetCurrentDirectoryW(saved_);
}

bool CreateEmptyFile(const WString& path) {
    HANDLE created = CreateFileW(path.text(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (created == INVALID_HANDLE_VALUE) return false;
    CloseHandle(created);
    return true;
}

WString ProbeChildPath() {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return JoinPath(DirectoryOf(self), L"probe_child.exe");
}

std::string Narrow(const wchar_t* text) {
    int needed = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return std::string();
    std::string out(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], needed, nullptr, nullptr);
    out.resize(static_cast<size_t>(needed - 1));
    return out;
}

std::string ReadBytes(const wchar_t* path, bool* exists) {
    UniqueHandle file(CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (exists != nullptr) *exists = static_cast<bool>(file);
    std::string bytes;
    if (!file) return bytes;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr) && got > 0) bytes.append(buffer, got);
    return bytes;
}

bool WriteBytes(const wchar_t* path, const std::string& bytes) {
    UniqueHandle file(CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    if (bytes.empty()) return true;
    return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

bool RunningUnderWine() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

DWORD RunProbe(const WString& arguments) {
    ProcessRunner runner(ProbeChildPath(), arguments, L"", L"", SW_HIDE, nullptr);
    if (!runner.launch()) return 0xFFFFFFFF;
    return runner.waitPumping(20);
}

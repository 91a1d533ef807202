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
    std::error_code error;
    const std::filesystem::path base = std::filesystem::temp_directory_path(error);
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::wstring name = L"orrivane_test_" + std::to_wstring(GetCurrentProcessId()) + L"_" + std::to_wstring(attempt);
        if (std::filesystem::create_directory(base / name, error)) {
            path_ = WString((base / name).wstring().c_str());
            return;
        }
    }
}

TempFolder::~TempFolder() {
    if (!path_.empty()) RemoveTree(path_.text());
}

bool RemoveTree(const std::filesystem::path& folder) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (!fs::exists(folder, error)) return true;
    // DeleteFileW refuses a read-only file, as the programs under test may leave one.
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    fs::remove_all(folder, error);
    return !fs::exists(folder, error);
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

std::string Encode(UINT codePage, const std::wstring& text) {
    if (text.empty()) return std::string();
    const int length = static_cast<int>(text.size());
    int needed = WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(needed > 0 ? needed : 0), '\0');
    if (needed > 0) WideCharToMultiByte(codePage, 0, text.data(), length, &out[0], needed, nullptr, nullptr);
    return out;
}

std::wstring Decode(UINT codePage, const std::string& bytes) {
    if (bytes.empty()) return std::wstring();
    const int length = static_cast<int>(bytes.size());
    int needed = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    std::wstring out(static_cast<size_t>(needed > 0 ? needed : 0), L'\0');
    if (needed > 0) MultiByteToWideChar(codePage, 0, bytes.data(), length, &out[0], needed);
    return out;
}

void PrintTo(const WString& text, std::ostream* out) {
    *out << '"' << Narrow(text) << '"';
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

// Stand-in for ZAVSet.exe in ZAV's end-to-end tests: appends the command word
// it was started with to standin.log in its current directory and ends. For
// "initschedule" it first puts initschedule.txt (when the test left one) in
// place of Zavbell.txt, as the real program writes the initial schedule.
#include <windows.h>

#include "common/System.h"

namespace {

void AppendLine(const wchar_t* path, const WString& line) {
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    AnsiText text = (line + L"\r\n").ToAnsi();
    DWORD written = 0;
    WriteFile(file, text.get(), static_cast<DWORD>(lstrlenA(text.get())), &written, nullptr);
    CloseHandle(file);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    WString word = SplitCommandLine().arguments;
    if (word == L"initschedule" && GetFileAttributesW(L"initschedule.txt") != INVALID_FILE_ATTRIBUTES) {
        CopyFileW(L"initschedule.txt", L"Zavbell.txt", FALSE);
    }
    // Written last: a test that sees the word knows the schedule is in place.
    AppendLine(L"standin.log", word);
    return 0;
}

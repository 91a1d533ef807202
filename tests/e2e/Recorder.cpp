// A program that records how it was started, for the Shell and Quillon64
// scenarios: one line "arguments<TAB>current directory<TAB>show command"
// appended to recorder.log beside its own file. "wait MS" as its arguments
// makes it stay that long before it ends (after the line is written).
#include <windows.h>

#include "common/Paths.h"
#include "common/System.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    WString arguments = SplitCommandLine().arguments;
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    STARTUPINFOW startup = {};
    GetStartupInfoW(&startup);
    int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    WString line = arguments + L"\t" + SpecialFolderPath(-1) + L"\t" + WString(show) + L"\r\n";

    HANDLE log = CreateFileW(JoinPath(DirectoryOf(self), L"recorder.log").text(), FILE_APPEND_DATA,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log != INVALID_HANDLE_VALUE) {
        AnsiText text = line.ToAnsi();
        DWORD written = 0;
        WriteFile(log, text.get(), static_cast<DWORD>(lstrlenA(text.get())), &written, nullptr);
        CloseHandle(log);
    }
    if (arguments.Find(L"wait ") == 0) Sleep(static_cast<DWORD>(arguments.From(5).Trim().ToInt(0)));
    return 0;
}

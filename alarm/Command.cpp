#include "alarm/Actions.h"
#include "alarm/SystemCalls.h"
#include "common/MessageBoxes.h"
#include "common/Paths.h"
#include "common/System.h"

namespace {

constexpr wchar_t kMinimisedPrefix[] = L"Icon ";

// A URL ("https://…", "mailto:…") goes to the shell as a URL, which takes up
// to 2,083 units (INTERNET_MAX_URL_LENGTH without its NUL); a file name no
// more than a path. A scheme has two or more letters, digits, "+", "-" or
// "." after a letter: "C:" is a drive.
constexpr int kLongestUrl = 2083;

bool IsUrl(const WString& name) {
    const int colon = name.Find(L":");
    if (colon < 2 || !IsCharAlphaW(name.at(0))) return false;
    for (int i = 1; i < colon; ++i) {
        const wchar_t c = name.at(i);
        if (!IsCharAlphaNumericW(c) && c != L'+' && c != L'-' && c != L'.') return false;
    }
    return true;
}

bool ReportExecuteError(HWND owner, INT_PTR code) {
    ShowError((L"Execute Error Code = " + WString(static_cast<int>(code))).text(), owner);
    return false;
}

}  // namespace

bool Shell(HWND owner, const WString& parameter) {
    bool minimised = parameter.Find(kMinimisedPrefix) == 0;
    WString command = (minimised ? parameter.From(lstrlenW(kMinimisedPrefix)) : parameter).Trim();
    // An empty line would make SplitCommandLine take ZAV's own command line
    // and start ZAV again: it is reported like a missing program instead.
    INT_PTR result = ERROR_FILE_NOT_FOUND;
    if (!command.empty()) {
        CommandLine split = SplitCommandLine(command);
        // The system's code for a name too long: above 32, no answer of
        // ShellExecuteW's, so it is reported here.
        if (split.program.length() > (IsUrl(split.program) ? kLongestUrl : kLongestFileName))
            return ReportExecuteError(owner, ERROR_FILENAME_EXCED_RANGE);
        if (!split.program.empty()) {
            result = reinterpret_cast<INT_PTR>(
                g_systemCalls.shellExecute(owner, L"open", split.program.text(), split.arguments.text(),
                                         DirectoryOf(split.program).text(), minimised ? SW_MINIMIZE : SW_SHOWNORMAL));
        }
    }
    return result > 32 || ReportExecuteError(owner, result);
}

#include "alarm/Actions.h"
#include "alarm/SystemCalls.h"
#include "common/MessageBoxes.h"
#include "common/Paths.h"
#include "common/System.h"

namespace {

constexpr wchar_t kMinimisedPrefix[] = L"Icon ";

}  // namespace

bool Shell(HWND owner, const WString& parameter) {
    bool minimised = parameter.Find(kMinimisedPrefix) == 0;
    WString command = (minimised ? parameter.From(lstrlenW(kMinimisedPrefix)) : parameter).Trim();
    // An empty line would make SplitCommandLine take ZAV's own command line
    // and start ZAV again: it is reported like a missing program instead.
    INT_PTR result = ERROR_FILE_NOT_FOUND;
    if (!command.empty()) {
        CommandLine split = SplitCommandLine(command);
        if (!split.program.empty()) {
            result = reinterpret_cast<INT_PTR>(
                g_systemCalls.shellExecute(owner, L"open", split.program.text(), split.arguments.text(),
                                         DirectoryOf(split.program).text(), minimised ? SW_MINIMIZE : SW_SHOWNORMAL));
        }
    }
    if (result > 32) return true;
    ShowError((L"Execute Error Code = " + WString(static_cast<int>(result))).text(), owner);
    return false;
}

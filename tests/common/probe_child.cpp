// The second process of the foundation tests. It does one job named by its
// first argument and reports through its exit code:
//   mutex NAME         -> 1 when its InstanceMutex created the mutex, 2 when not
//                         (NAME is the rest of the line and may hold blanks)
//   sleep MS CODE      -> sleeps MS milliseconds, then ends with CODE
//   block NAME         -> opens the shared block NAME, reads a 32-bit number,
//                         writes number + 1 right after it; ends with the
//                         number read, or 0 when the block cannot be opened
#include <windows.h>

#include "common/SharedBlock.h"
#include "common/System.h"
#include "common/WString.h"

namespace {

// The words of the arguments, split at blanks.
WString Word(const WString& arguments, int index) {
    WString rest = arguments.Trim();
    for (int i = 0; i < index; ++i) {
        int blank = rest.Find(L" ");
        if (blank < 0) return WString();
        rest = rest.From(blank + 1).Trim();
    }
    int blank = rest.Find(L" ");
    return blank < 0 ? rest : rest.Left(blank);
}

int MutexJob(const WString& name) {
    InstanceMutex guard(name.text());
    int code = guard.created() ? 1 : 2;
    guard.Release();
    return code;
}

int BlockJob(const WString& name) {
    SharedBlock block;
    if (!block.open(name.text())) return 0;
    int number = 0;
    if (!block.read(&number, sizeof(number))) return 0;
    int answer = number + 1;
    block.write(&answer, sizeof(answer));
    block.close();
    return number;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    WString arguments = SplitCommandLine().arguments;
    WString job = Word(arguments, 0);
    if (job == L"mutex") return MutexJob(arguments.Trim().From(job.length() + 1).Trim());
    if (job == L"sleep") {
        Sleep(static_cast<DWORD>(Word(arguments, 1).ToInt(0)));
        return Word(arguments, 2).ToInt(0);
    }
    if (job == L"block") return BlockJob(Word(arguments, 1));
    return 99;
}

// Quillon64: the 64-bit helper that ZAV and ZAVSet start on 64-bit Windows.
// One job per start, named by its argument; the answer is the exit code and,
// for the dialogs, the request block.
#include <windows.h>

#include "common/MessageBoxes.h"
#include "common/System.h"
#include "helper64/Jobs.h"

namespace {

// Before wWinMain: the caption of every box, then the unsupported-OS box.
int CheckOsAtStart() {
    SetBoxCaption(L"Quillon64");
    return GetOsLevel(nullptr, nullptr);
}

[[maybe_unused]] const int osLevelAtStart = CheckOsAtStart();

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return RunHelper(SplitCommandLine().arguments);
}

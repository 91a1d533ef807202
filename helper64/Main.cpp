// Quillon64: the 64-bit helper that ZAV and ZAVSet start on 64-bit Windows.
// Its jobs arrive with the helper's own work; until then it ends at once.
#include <windows.h>

#include "common/MessageBoxes.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    SetBoxCaption(L"Quillon64");
    return 0;
}

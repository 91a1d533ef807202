#include "settings/ZavLink.h"

#include "common/MessageBoxes.h"
#include "common/Protocol.h"

HWND FindZav() {
    return FindWindowW(kZavWindowClass, kZavWindowTitle);
}

void ReportZavMissing(HWND owner) {
    ShowError(L"タスクトレイの Orrivane を見つけられませんでした", owner);
}

bool TellZav(WPARAM what, HWND owner) {
    HWND zav = FindZav();
    if (zav == nullptr) {
        ReportZavMissing(owner);
        return false;
    }
    // Sent, not posted: ZAV has read the file again (or taken the test run's
    // text, before it performs it) when this returns, so ZAVSet may end or
    // close the test block.
    SendMessageW(zav, RegisterWindowMessageW(kControlMessageName), what, 0);
    return true;
}

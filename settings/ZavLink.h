// How ZAVSet reaches the running ZAV: its hidden window and ZAV_MESSAGE.
#pragma once

#include <windows.h>

// ZAV's window (class ZAV_WINCLASS, title "Orrivane"), or null.
HWND FindZav();
// Sends ZAV_MESSAGE with what (kReloadSchedule, kReloadSettings, kTestRun)
// and waits until ZAV has handled it. Without a running ZAV shows
// "タスクトレイの Orrivane を見つけられませんでした" and gives false.
bool TellZav(WPARAM what, HWND owner);
// The box shown when ZAV's window is not there.
void ReportZavMissing(HWND owner);

// A stand-in screensaver for the screensaver-stop tests, copied as *.scr (or
// as NTVDM.EXE for the 16-bit tests). Arguments: "polite" ends on WM_CLOSE,
// "stubborn" ignores it; a second word "running" holds the system's
// screensaver-running flag while it lives, as a real screensaver does (every
// process then sees a running screensaver; the flag goes with the process).
// It ends by itself after a minute, so a failed test leaves nothing behind.
#include <windows.h>

#include "common/System.h"

namespace {

constexpr UINT_PTR kLifeTimer = 1;
constexpr UINT kLifeMs = 60000;
bool g_stubborn = false;

LRESULT CALLBACK SaverWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        if (g_stubborn) return 0;
        DestroyWindow(window);
        return 0;
    case WM_TIMER:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_SYSCOMMAND:
        // The start broadcast of a new screensaver reaches this window too.
        if ((wParam & 0xFFF0) == SC_SCREENSAVE) return 0;
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    WString arguments = SplitCommandLine().arguments;
    g_stubborn = arguments.Find(L"stubborn") == 0;
    bool running = arguments.Find(L"running") >= 0;
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = SaverWindow;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"OrrivaneFakeScreenSaver";
    RegisterClassW(&windowClass);
    // Set before the window exists: a test that sees the window may rely on it.
    BOOL before = FALSE;
    if (running) SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, TRUE, &before, 0);
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"fake screensaver", WS_POPUP, 0, 0, 1, 1, nullptr,
                                  nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    SetTimer(window, kLifeTimer, kLifeMs, nullptr);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    if (running) SystemParametersInfoW(SPI_SETSCREENSAVERRUNNING, FALSE, &before, 0);
    return 0;
}

#include "common/Dpi.h"

#include "common/Handles.h"

namespace {

template <typename Call>
Call User32Call(const char* name) {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 != nullptr ? reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

}  // namespace

UINT SystemDpi() {
    static const auto dpiForSystem = User32Call<UINT(WINAPI*)()>("GetDpiForSystem");
    if (dpiForSystem != nullptr) return dpiForSystem();
    WindowDC screen(nullptr);
    int dpi = GetDeviceCaps(screen.get(), LOGPIXELSY);
    return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

UINT DpiOfWindow(HWND window) {
    static const auto dpiForWindow = User32Call<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    UINT dpi = dpiForWindow != nullptr && window != nullptr ? dpiForWindow(window) : 0;
    return dpi != 0 ? dpi : SystemDpi();
}

int MetricForDpi(int index, UINT dpi) {
    static const auto metricForDpi = User32Call<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
    if (metricForDpi != nullptr) return metricForDpi(index, dpi);
    return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

HICON LoadSmallIcon(HINSTANCE instance, int iconId, UINT dpi) {
    // Not LR_SHARED: the shared copy keeps the size of its first load.
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(iconId), IMAGE_ICON, MetricForDpi(SM_CXSMICON, dpi),
                                         MetricForDpi(SM_CYSMICON, dpi), LR_DEFAULTCOLOR));
}

void TakeOverDialogDpiChanges(HWND dialog) {
    using SetBehaviorCall = BOOL(WINAPI*)(HWND, DIALOG_DPI_CHANGE_BEHAVIORS, DIALOG_DPI_CHANGE_BEHAVIORS);
    static const auto setBehavior = User32Call<SetBehaviorCall>("SetDialogDpiChangeBehavior");
    if (setBehavior != nullptr) setBehavior(dialog, DDC_DISABLE_ALL, DDC_DISABLE_ALL);
}

#include "common/MessageBoxes.h"

#include <cwchar>
#include <iterator>

namespace {

BoxHook g_hook = nullptr;
// Copied, so a caller may pass a text that does not outlive the call.
wchar_t g_caption[64] = L"Orrivane";

// Room for any label the programs pass plus the code.
constexpr int kReportUnits = 320;

}  // namespace

BoxHook SetBoxHook(BoxHook hook) {
    BoxHook previous = g_hook;
    g_hook = hook;
    return previous;
}

void SetBoxCaption(const wchar_t* caption) {
    lstrcpynW(g_caption, caption != nullptr ? caption : L"", static_cast<int>(std::size(g_caption)));
}

const wchar_t* BoxCaption() {
    return g_caption;
}

int ShowBox(HWND owner, const wchar_t* text, UINT style) {
    if (text == nullptr) text = L"";
    if (g_hook != nullptr) return g_hook(owner, text, g_caption, style);
    return MessageBoxW(owner, text, g_caption, style);
}

int ShowError(const wchar_t* text, HWND owner) {
    return ShowBox(owner, text, kBoxBase | MB_ICONERROR);
}

int ShowInfo(const wchar_t* text, HWND owner) {
    return ShowBox(owner, text, kBoxBase | MB_ICONINFORMATION);
}

int AskBox(const wchar_t* text, HWND owner, UINT buttons) {
    return ShowBox(owner, text, buttons | kBoxBase | MB_ICONQUESTION);
}

void CheckWin32(LONG_PTR result, const char* name) {
    if (result != 0) return;
    // Taken first: nothing below may overwrite the failed call's error.
    DWORD error = GetLastError();
    wchar_t text[kReportUnits];
    // The MS runtime's own formatter: %hs is the 8-bit label there.
    _snwprintf_s(text, kReportUnits, _TRUNCATE, L"%hs Error Code =%d", name != nullptr ? name : "",
                 static_cast<int>(error));
    ShowError(text);
}

void CheckHResult(HRESULT hr, const char* name) {
    if (hr >= 0) return;
    wchar_t text[kReportUnits];
    _snwprintf_s(text, kReportUnits, _TRUNCATE, L"%hs Error Code =0x%08x", name != nullptr ? name : "",
                 static_cast<unsigned>(hr));
    ShowError(text);
}

// Every message box of the system goes through ShowBox. Tests install a
// BoxHook that records the box and returns a chosen button instead.
#pragma once

#include <windows.h>

#include "common/WString.h"

using BoxHook = int (*)(HWND owner, const wchar_t* text, const wchar_t* caption, UINT style);

// Installs a hook (nullptr restores real boxes) and returns the previous one.
BoxHook SetBoxHook(BoxHook hook);
// The caption of every box: "Orrivane", or "Quillon64" in the helper.
void SetBoxCaption(const wchar_t* caption);
const wchar_t* BoxCaption();

int ShowBox(HWND owner, const wchar_t* text, UINT style);

constexpr UINT kBoxBase = MB_TOPMOST | MB_SETFOREGROUND;        // 0x50000
int ShowError(const wchar_t* text, HWND owner = nullptr);       // 0x50010
int ShowInfo(const wchar_t* text, HWND owner = nullptr);        // 0x50040
int AskBox(const wchar_t* text, HWND owner, UINT buttons);      // buttons | 0x50020

// Report a failed Windows call: "%hs Error Code =%d" / "%hs Error Code =0x%08x".
void CheckWin32(LONG_PTR result, const char* name);
void CheckHResult(HRESULT hr, const char* name);

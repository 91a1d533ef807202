// Windows the settings tests build their controls in.
#pragma once

#include <windows.h>

#include <string>

#include "settings/DialogBase.h"

// A hidden top-level window of the dialog class with a CWinLib bound to it;
// children are added with Add and addressed by id, as in a dialog.
class TestDialog {
public:
    TestDialog() {
        window_ = CreateWindowExW(0, L"#32770", L"テスト", WS_POPUP | WS_CAPTION, 100, 100, 400, 300, nullptr,
                                  nullptr, g_instance, nullptr);
        lib.window = window_;
        lib.dpi = DpiOfWindow(window_);
    }
    ~TestDialog() {
        if (window_) DestroyWindow(window_);
    }
    TestDialog(const TestDialog&) = delete;
    TestDialog& operator=(const TestDialog&) = delete;

    HWND Add(const wchar_t* className, int id, DWORD style, int x, int y, int width, int height,
             const wchar_t* text = L"") {
        return CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height, window_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_instance, nullptr);
    }
    HWND window() const { return window_; }
    HWND item(int id) const { return GetDlgItem(window_, id); }

    CWinLib lib;

private:
    HWND window_ = nullptr;
};

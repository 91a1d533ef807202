// A window of ZAV's class and title in the test program: it records every
// ZAV_MESSAGE a dialog sends, and the action text of each test run.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "common/Protocol.h"
#include "common/SharedBlock.h"
#include "settings/DialogBase.h"

class ZavRecorder {
public:
    ZavRecorder() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &ZavRecorder::Proc;
        windowClass.hInstance = g_instance;
        windowClass.lpszClassName = kZavWindowClass;
        RegisterClassW(&windowClass);   // a second recorder finds the class registered
        current_ = this;
        window_ = CreateWindowExW(0, kZavWindowClass, kZavWindowTitle, WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  g_instance, nullptr);
    }
    ~ZavRecorder() {
        DestroyWindow(window_);
        current_ = nullptr;
    }
    ZavRecorder(const ZavRecorder&) = delete;
    ZavRecorder& operator=(const ZavRecorder&) = delete;

    std::vector<WPARAM> messages;           // wParam of each ZAV_MESSAGE, in order
    std::vector<std::wstring> testRuns;     // the text in ZAV_TEST at each wParam 2

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        static const UINT control = RegisterWindowMessageW(kControlMessageName);
        if (message == control && current_ != nullptr) {
            current_->messages.push_back(wParam);
            if (wParam == kTestRun) {
                SharedBlock block;
                current_->testRuns.push_back(block.open(kTestRunBlockName)
                                                 ? std::wstring(static_cast<const wchar_t*>(block.view()))
                                                 : L"(no block)");
            }
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    static inline ZavRecorder* current_ = nullptr;
    HWND window_ = nullptr;
};

// Puts ZAV's system calls back as they were when the scope ends, so a test
// can put recorders into its members.
#pragma once

#include "alarm/SystemCalls.h"

class SystemCallsScope {
public:
    SystemCallsScope() : saved_(g_systemCalls) {}
    ~SystemCallsScope() { g_systemCalls = saved_; }
    SystemCallsScope(const SystemCallsScope&) = delete;
    SystemCallsScope& operator=(const SystemCallsScope&) = delete;

private:
    SystemCalls saved_;
};

// A thread timer that calls step() every 50 ms from whatever message loop
// runs (a dialog's, a box's), so a test can drive its own modal windows.
// step() may run nested loops itself; it is then called from inside them too.
class LoopDriver {
public:
    template <typename Step>
    explicit LoopDriver(Step step) : step_(new Holder<Step>(step)) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 50, Tick);
    }
    ~LoopDriver() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
        delete step_;
    }
    LoopDriver(const LoopDriver&) = delete;
    LoopDriver& operator=(const LoopDriver&) = delete;

private:
    struct Callable {
        virtual ~Callable() = default;
        virtual void Call() = 0;
    };
    template <typename Step>
    struct Holder : Callable {
        explicit Holder(Step s) : step(s) {}
        void Call() override { step(); }
        Step step;
    };
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (current_ != nullptr) current_->step_->Call();
    }
    static inline LoopDriver* current_ = nullptr;
    Callable* step_;
    UINT_PTR timer_ = 0;
};

// Dispatches this thread's messages for a while, as a message box's loop would.
inline void PumpFor(DWORD ms) {
    const DWORD end = GetTickCount() + ms;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(message.wParam));
                return;
            }
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

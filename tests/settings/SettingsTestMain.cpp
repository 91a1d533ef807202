// The settings tests run their windows in this program, as ZAVSet would.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "settings/DialogBase.h"

int wmain(int argc, wchar_t** argv) {
    g_instance = GetModuleHandleW(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

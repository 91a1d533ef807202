// The hold dialog from its real template: the button of the current flag,
// the chosen flag, and a line whose flag is none of the four.
#include <windows.h>

#include <gtest/gtest.h>

#include "common/System.h"
#include "settings/HoldDialog.h"
#include "settings/resource.h"
#include "tests/settings/DialogHarness.h"

namespace {

TEST(HoldDialogTest, ChecksTheCurrentFlagAndOkGivesTheChosenOne) {
    DSetHold hold(L'#', kElevationDefault);
    INT_PTR result = RunDialog([&] { return hold.Run(nullptr); }, [](HWND dialog) {
        EXPECT_EQ(L"保留状態変更", WindowText(dialog));
        EXPECT_TRUE(Checked(dialog, IDC_HOLD_ONCE));
        EXPECT_FALSE(Checked(dialog, IDC_HOLD_NONE));
        SetChecked(dialog, IDC_HOLD_ALWAYS, true);
        Click(dialog, IDC_HOLD_OK);
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(L'X', hold.flag());
}

TEST(HoldDialogTest, AnUnknownFlagChecksNothingAndOkThenChangesNothing) {
    DSetHold hold(L'?', kElevationDefault);
    INT_PTR result = RunDialog([&] { return hold.Run(nullptr); }, [](HWND dialog) {
        for (int id = IDC_HOLD_NONE; id <= IDC_HOLD_ALWAYS; ++id) EXPECT_FALSE(Checked(dialog, id)) << id;
        Click(dialog, IDC_HOLD_OK);
    });
    EXPECT_EQ(0, result) << "OK with no button checked is a Cancel, never a NUL flag";
    EXPECT_EQ(L'?', hold.flag());
}

TEST(HoldDialogTest, CancelEndsWithZero) {
    DSetHold hold(L' ', kElevationDefault);
    INT_PTR result = RunDialog([&] { return hold.Run(nullptr); }, [](HWND dialog) {
        EXPECT_TRUE(Checked(dialog, IDC_HOLD_NONE));
        SetChecked(dialog, IDC_HOLD_RUN_ONCE, true);
        Click(dialog, IDC_HOLD_CANCEL);
    });
    EXPECT_EQ(0, result);
    EXPECT_EQ(L' ', hold.flag());
}

}  // namespace

// The runner's static text colours.
#include <windows.h>

#include <gtest/gtest.h>

#include "settings/ModalDialog.h"

namespace {

TEST(StaticColourTest, ListedControlsGetTheirColourOthersWindowText) {
    const StaticColour table[] = {{10, kRed}, {11, kBlue}, {12, kGreen}};
    EXPECT_EQ(RGB(255, 0, 0), StaticTextColour(table, 10));
    EXPECT_EQ(RGB(0, 0, 255), StaticTextColour(table, 11));
    EXPECT_EQ(RGB(0, 128, 0), StaticTextColour(table, 12));
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), StaticTextColour(table, 13));
}

TEST(StaticColourTest, PaintStaticSetsButtonFaceAndReturnsItsBrush) {
    HDC dc = CreateCompatibleDC(nullptr);
    SetBkColor(dc, RGB(1, 2, 3));
    INT_PTR brush = PaintStatic(dc, kGreen);
    EXPECT_EQ(reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE)), brush);
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), GetBkColor(dc));
    EXPECT_EQ(RGB(0, 128, 0), GetTextColor(dc));
    DeleteDC(dc);
}

}  // namespace

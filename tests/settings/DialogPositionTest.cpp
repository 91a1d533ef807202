// Remembered dialog positions: the rules, and the keys read and written.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>

#include "common/Paths.h"
#include "common/SettingsFile.h"
#include "settings/DialogPosition.h"
#include "tests/common/TestSupport.h"
#include "tests/settings/SettingsTestSupport.h"

namespace {

struct PositionCase {
    PositionRule rule;
    int left;
    int top;
    bool usable;
};

const PositionCase kPositionCases[] = {
    {PositionRule::kMinusOne, -1, -1, false},      // never saved
    {PositionRule::kMinusOne, 0, 0, true},
    {PositionRule::kMinusOne, 120, 80, true},
    {PositionRule::kMinusOne, -5, 80, false},      // a monitor left of the primary one is not restored
    {PositionRule::kMinusOne, 120, -1, false},
    {PositionRule::kIntMin, INT_MIN, INT_MIN, false},
    {PositionRule::kIntMin, INT_MIN, 10, false},
    {PositionRule::kIntMin, 10, INT_MIN, false},
    {PositionRule::kIntMin, -1, -1, true},          // negative positions are honoured
    {PositionRule::kIntMin, -1280, 40, true},
    {PositionRule::kIntMin, 0, 0, true},
};

TEST(RememberedPositionTest, Rules) {
    for (const PositionCase& c : kPositionCases) {
        EXPECT_EQ(c.usable, IsStoredPositionUsable(c.rule, c.left, c.top))
            << (c.rule == PositionRule::kIntMin ? "INT_MIN" : "-1") << " rule, left " << c.left << ", top "
            << c.top;
    }
}

TEST(RememberedPositionTest, RectRule) {
    EXPECT_TRUE(IsStoredRectUsable(0, 0, 1, 1));
    EXPECT_FALSE(IsStoredRectUsable(-1, -1, -1, -1));
    EXPECT_FALSE(IsStoredRectUsable(10, 10, 0, 200));
    EXPECT_FALSE(IsStoredRectUsable(10, 10, 300, 0));
    EXPECT_FALSE(IsStoredRectUsable(-2, 10, 300, 200));
    EXPECT_FALSE(IsStoredRectUsable(10, -2, 300, 200));
}

class PositionFileTest : public testing::Test {
protected:
    TempFolder folder;
    SettingsFile settings{JoinPath(folder.path(), L"Zavbell.ini"), L"Zavbell"};
    TestDialog dialog;
    BoxRecorder boxes;

    POINT TopLeft() const {
        RECT rect{};
        GetWindowRect(dialog.window(), &rect);
        return {rect.left, rect.top};
    }
};

TEST_F(PositionFileTest, MinusOneRuleLeavesNegativePositionAlone) {
    settings.WriteInt(L"SetAlarmLeft", -5);
    settings.WriteInt(L"SetAlarmTop", 40);
    POINT before = TopLeft();
    EXPECT_FALSE(RestorePosition(dialog.window(), settings, L"SetAlarmLeft", L"SetAlarmTop", PositionRule::kMinusOne));
    POINT after = TopLeft();
    EXPECT_EQ(before.x, after.x);
    EXPECT_EQ(before.y, after.y);
}

TEST_F(PositionFileTest, MissingKeysMeanUnsetUnderBothRules) {
    EXPECT_FALSE(RestorePosition(dialog.window(), settings, L"SetAlarmLeft", L"SetAlarmTop", PositionRule::kMinusOne));
    EXPECT_FALSE(RestorePosition(dialog.window(), settings, L"SetCmdLeft", L"SetCmdTop", PositionRule::kIntMin));
    EXPECT_FALSE(RestoreRect(dialog.window(), settings, L"SelScheduleLeft", L"SelScheduleTop", L"SelScheduleWidth",
                             L"SelScheduleHeight"));
}

TEST_F(PositionFileTest, StoredPositionIsRestoredAndSavedBack) {
    settings.WriteInt(L"SetTimerLeft", 210);
    settings.WriteInt(L"SetTimerTop", 150);
    EXPECT_TRUE(RestorePosition(dialog.window(), settings, L"SetTimerLeft", L"SetTimerTop", PositionRule::kMinusOne));
    POINT at = TopLeft();
    EXPECT_EQ(210, at.x);
    EXPECT_EQ(150, at.y);

    SetWindowPos(dialog.window(), nullptr, 33, 44, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SavePosition(dialog.window(), settings, L"SetTimerLeft", L"SetTimerTop");
    EXPECT_EQ(33, settings.ReadInt(L"SetTimerLeft", -1));
    EXPECT_EQ(44, settings.ReadInt(L"SetTimerTop", -1));
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(PositionFileTest, IntMinRuleRestoresNegativePosition) {
    settings.WriteInt(L"SetCmdLeft", -300);
    settings.WriteInt(L"SetCmdTop", -20);
    EXPECT_TRUE(RestorePosition(dialog.window(), settings, L"SetCmdLeft", L"SetCmdTop", PositionRule::kIntMin));
    POINT at = TopLeft();
    EXPECT_EQ(-300, at.x);
    EXPECT_EQ(-20, at.y);
}

// A place on no monitor (one since removed) would open an invisible modal
// dialog that blocks ZAVSet: it is not restored under any rule.
TEST_F(PositionFileTest, PlaceOnNoMonitorIsNotRestored) {
    settings.WriteInt(L"SetCmdLeft", -20000);
    settings.WriteInt(L"SetCmdTop", -20000);
    settings.WriteInt(L"SetAlarmLeft", 20000);
    settings.WriteInt(L"SetAlarmTop", 20000);
    settings.WriteInt(L"SelScheduleLeft", 20000);
    settings.WriteInt(L"SelScheduleTop", 100);
    settings.WriteInt(L"SelScheduleWidth", 500);
    settings.WriteInt(L"SelScheduleHeight", 400);
    POINT before = TopLeft();
    EXPECT_FALSE(RestorePosition(dialog.window(), settings, L"SetCmdLeft", L"SetCmdTop", PositionRule::kIntMin));
    EXPECT_FALSE(RestorePosition(dialog.window(), settings, L"SetAlarmLeft", L"SetAlarmTop", PositionRule::kMinusOne));
    EXPECT_FALSE(RestoreRect(dialog.window(), settings, L"SelScheduleLeft", L"SelScheduleTop", L"SelScheduleWidth",
                             L"SelScheduleHeight"));
    POINT after = TopLeft();
    EXPECT_EQ(before.x, after.x);
    EXPECT_EQ(before.y, after.y);
}

TEST_F(PositionFileTest, RectIsRestoredAndSavedBack) {
    settings.WriteInt(L"SelScheduleLeft", 20);
    settings.WriteInt(L"SelScheduleTop", 30);
    settings.WriteInt(L"SelScheduleWidth", 500);
    settings.WriteInt(L"SelScheduleHeight", 350);
    EXPECT_TRUE(RestoreRect(dialog.window(), settings, L"SelScheduleLeft", L"SelScheduleTop", L"SelScheduleWidth",
                            L"SelScheduleHeight"));
    RECT rect{};
    GetWindowRect(dialog.window(), &rect);
    EXPECT_EQ(20, rect.left);
    EXPECT_EQ(30, rect.top);
    EXPECT_EQ(500, rect.right - rect.left);
    EXPECT_EQ(350, rect.bottom - rect.top);

    MoveWindow(dialog.window(), 5, 6, 450, 320, FALSE);
    SaveRect(dialog.window(), settings, L"SelScheduleLeft", L"SelScheduleTop", L"SelScheduleWidth",
             L"SelScheduleHeight");
    EXPECT_EQ(5, settings.ReadInt(L"SelScheduleLeft", -1));
    EXPECT_EQ(6, settings.ReadInt(L"SelScheduleTop", -1));
    EXPECT_EQ(450, settings.ReadInt(L"SelScheduleWidth", -1));
    EXPECT_EQ(320, settings.ReadInt(L"SelScheduleHeight", -1));
}

TEST_F(PositionFileTest, FailedGetWindowRectIsReportedAndWritesNothing) {
    HWND gone = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, gone);
    DestroyWindow(gone);
    SavePosition(gone, settings, L"SetTimerLeft", L"SetTimerTop");
    SaveRect(gone, settings, L"SelScheduleLeft", L"SelScheduleTop", L"SelScheduleWidth", L"SelScheduleHeight");
    for (const wchar_t* key : {L"SetTimerLeft", L"SetTimerTop", L"SelScheduleLeft", L"SelScheduleTop",
                               L"SelScheduleWidth", L"SelScheduleHeight"})
        EXPECT_EQ(-1, settings.ReadInt(key, -1)) << Narrow(key) << " written after a failed GetWindowRect";
    ASSERT_EQ(2u, boxes.boxes().size());
    for (const RecordedBox& box : boxes.boxes())
        EXPECT_EQ(0u, Narrow(box.text.c_str()).find("GetWindowRect Error Code =")) << Narrow(box.text.c_str());
}

}  // namespace

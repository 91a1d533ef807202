// The options dialog from its real template: what it shows for stored
// values, what OK writes to Zavbell.ini and tells ZAV, and what it refuses.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "common/Paths.h"
#include "common/SettingsFile.h"
#include "common/System.h"
#include "settings/OptionsDialog.h"
#include "settings/resource.h"
#include "tests/common/TestSupport.h"
#include "tests/settings/DialogHarness.h"
#include "tests/settings/ZavRecorder.h"

namespace {

struct IntervalCase {
    const wchar_t* text;
    int min;
    int max;
    bool expected;
};

const IntervalCase kIntervalCases[] = {
    {L"300", 100, 900, true},
    {L"125", 100, 900, true},       // not a multiple of 50: still accepted
    {L"100", 100, 900, true},
    {L"900", 100, 900, true},
    {L"925", 100, 900, false},
    {L"99", 100, 900, false},
    {L"３００", 100, 900, false},    // full-width digits
    {L"3００", 100, 900, false},
    {L" 300", 100, 900, true},
    {L"300 ", 100, 900, false},
    {L"", 100, 900, false},
    {L"3000", 100, 3000, true},
    {L"3050", 100, 3000, false},
};

TEST(IsIntervalTextTest, Table) {
    for (const IntervalCase& c : kIntervalCases)
        EXPECT_EQ(c.expected, IsIntervalText(c.text, c.min, c.max))
            << "\"" << Narrow(c.text) << "\" in [" << c.min << ", " << c.max << "]";
}

class OptionsDialogTest : public testing::Test {
protected:
    WString Ini() const { return JoinPath(folder_.path(), L"Zavbell.ini"); }
    SettingsFile Settings() const { return SettingsFile(Ini(), L"Zavbell"); }
    std::wstring Value(const wchar_t* key) const {
        wchar_t text[64] = L"";
        GetPrivateProfileStringW(L"Zavbell", key, L"(none)", text, 64, Ini().text());
        return text;
    }
    INT_PTR Run(bool splitToken, std::vector<DialogStep> steps) {
        SettingsFile settings = Settings();
        DSetParam dialog(settings, splitToken, kElevationLimited);
        return RunDialog([&] { return dialog.Run(nullptr); }, std::move(steps));
    }

    TempFolder folder_;
};

TEST_F(OptionsDialogTest, OpensWithTheStoredValuesAndOkWritesEveryKeyAndTellsZav) {
    Settings().WriteInt(L"TimerInt", 1200);     // shown as the default
    Settings().WriteInt(L"Elevation", 1);
    ZavRecorder zav;
    BoxRecorder boxes;
    INT_PTR result = Run(true, {[](HWND dialog) {
        EXPECT_EQ(L"パラメータの設定", WindowText(dialog));
        EXPECT_EQ(L"500", ItemText(dialog, IDC_PARAM_BLINK));
        EXPECT_EQ(L"300", ItemText(dialog, IDC_PARAM_TIMER));
        EXPECT_TRUE(Enabled(dialog, IDC_PARAM_ELEVATION));
        EXPECT_TRUE(Checked(dialog, IDC_PARAM_ELEVATION));
        EXPECT_FALSE(Checked(dialog, IDC_PARAM_WAKE)) << "waking from sleep is off by default";
        EXPECT_EQ(GetDlgItem(dialog, IDC_PARAM_BLINK),
                  reinterpret_cast<HWND>(SendDlgItemMessageW(dialog, IDC_PARAM_BLINK_SPIN, UDM_GETBUDDY, 0, 0)));
        EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_PARAM_TIMER, WM_GETFONT, 0, 0),
                  SendDlgItemMessageW(dialog, IDC_PARAM_BLINK, WM_GETFONT, 0, 0))
            << "one font for both number fields";
        // One click of the spin moves by 50.
        SendDlgItemMessageW(dialog, IDC_PARAM_TIMER_SPIN, WM_KEYDOWN, VK_UP, 0);
        EXPECT_EQ(L"350", ItemText(dialog, IDC_PARAM_TIMER));
        TypeText(dialog, IDC_PARAM_BLINK, L"3000");
        TypeText(dialog, IDC_PARAM_TIMER, L"125");
        SetChecked(dialog, IDC_PARAM_ELEVATION, false);
        SetChecked(dialog, IDC_PARAM_WAKE, true);
        Click(dialog, IDC_PARAM_OK);
    }});
    EXPECT_EQ(1, result);
    EXPECT_EQ(L"1", Value(kWakeUpKey));
    EXPECT_EQ(L"3000", Value(L"BlinkInt"));
    EXPECT_EQ(L"125", Value(L"TimerInt"));
    EXPECT_EQ(L"0", Value(L"Elevation"));
    EXPECT_NE(L"(none)", Value(L"ParamLeft"));
    EXPECT_NE(L"(none)", Value(L"ParamTop"));
    EXPECT_EQ(std::vector<WPARAM>{kReloadSettings}, zav.messages);
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(OptionsDialogTest, WithoutASplitTokenElevationIsDisabledAndStoredAsZero) {
    Settings().WriteInt(L"Elevation", 1);
    Settings().WriteInt(kWakeUpKey, 1);
    ZavRecorder zav;
    INT_PTR result = Run(false, {[](HWND dialog) {
        EXPECT_FALSE(Enabled(dialog, IDC_PARAM_ELEVATION));
        EXPECT_FALSE(Enabled(dialog, IDC_PARAM_HELP));
        EXPECT_FALSE(Checked(dialog, IDC_PARAM_ELEVATION));
        EXPECT_TRUE(Checked(dialog, IDC_PARAM_WAKE));
        SetChecked(dialog, IDC_PARAM_WAKE, false);
        Click(dialog, IDC_PARAM_OK);
    }});
    EXPECT_EQ(1, result);
    EXPECT_EQ(L"0", Value(L"Elevation"));
    EXPECT_EQ(L"0", Value(kWakeUpKey));
}

TEST_F(OptionsDialogTest, BadIntervalsAreRefusedWithTheInputKeptAndNothingWritten) {
    ZavRecorder zav;
    BoxRecorder boxes;
    bool openAfterRefusals = false;
    INT_PTR result = Run(true, {[&](HWND dialog) {
        TypeText(dialog, IDC_PARAM_TIMER, L"925");
        Click(dialog, IDC_PARAM_OK);
        ASSERT_EQ(1u, boxes.boxes().size());
        EXPECT_EQ(L"監視時間間隔に正しい値を入力して下さい\n倍角数字の場合もエラー", boxes.boxes()[0].text);
        EXPECT_EQ(GetDlgItem(dialog, IDC_PARAM_TIMER), GetFocus());
        TypeText(dialog, IDC_PARAM_TIMER, L"300");
        TypeText(dialog, IDC_PARAM_BLINK, L"９９");  // full-width digits are read as 99
        Click(dialog, IDC_PARAM_OK);
        ASSERT_EQ(2u, boxes.boxes().size());
        EXPECT_EQ(L"ブリンク間隔に正しい値を入力して下さい\n倍角数字の場合もエラー", boxes.boxes()[1].text);
        EXPECT_EQ(L"９９", ItemText(dialog, IDC_PARAM_BLINK));
        openAfterRefusals = IsWindowVisible(dialog) != FALSE;
        EXPECT_FALSE(PathExists(Ini())) << "nothing is written before every check passed";
        Click(dialog, IDC_PARAM_CANCEL);
    }});
    EXPECT_TRUE(openAfterRefusals);
    EXPECT_EQ(0, result);
    EXPECT_FALSE(PathExists(Ini())) << "Cancel writes nothing";
    EXPECT_TRUE(zav.messages.empty());
}

TEST_F(OptionsDialogTest, AnUnwritableIniIsReportedAndZavIsNotTold) {
    // A folder where Zavbell.ini should be: every profile write fails.
    ASSERT_TRUE(CreateDirectoryW(Ini().text(), nullptr));
    ZavRecorder zav;
    BoxRecorder boxes;
    INT_PTR result = Run(true, {[&](HWND dialog) {
        Click(dialog, IDC_PARAM_OK);
        ASSERT_EQ(1u, boxes.boxes().size());
        EXPECT_EQ(L"Zavbell.ini に書き込めませんでした", boxes.boxes()[0].text);
        EXPECT_TRUE(IsWindowVisible(dialog));
        Click(dialog, IDC_PARAM_CANCEL);
    }});
    EXPECT_EQ(0, result);
    EXPECT_TRUE(zav.messages.empty());
    RemoveDirectoryW(Ini().text());
}

TEST_F(OptionsDialogTest, WithoutZavTheSettingsAreWrittenAndTheTrayBoxShown) {
    BoxRecorder boxes;
    INT_PTR result = Run(true, {[](HWND dialog) { Click(dialog, IDC_PARAM_OK); }});
    EXPECT_EQ(1, result);
    EXPECT_EQ(L"300", Value(L"TimerInt"));
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(L"タスクトレイの Orrivane を見つけられませんでした", boxes.boxes()[0].text);
}

}  // namespace

// The schedule edit dialog from its real template: each form of the rules
// through its controls and back, each refusal's field, and the dialog's own
// behaviour. What the line means, each refusal's rule and generated
// malformed lines are ScheduleLine's tables in schedule_tests.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "common/System.h"
#include "settings/ScheduleEditDialog.h"
#include "settings/resource.h"
#include "tests/common/TestSupport.h"
#include "tests/settings/DialogHarness.h"

namespace {

// Monday 15 June 2026, 10:20:30.
void Clock2026(SYSTEMTIME* now) {
    *now = SYSTEMTIME{2026, 6, 1, 15, 10, 20, 30, 0};
}
class ScheduleEditDialogTest : public testing::Test {
protected:
    TempFolder folder;
    CurrentDirectoryScope inFolder{folder.path()};  // SetAlarmLeft/Top go to this Zavbell.ini
};

// ---- The line through the controls and back ----

// One line per form of each rule, shown in the controls and composed from
// them unchanged: how the forms read and compose is ScheduleLine's
// (tests/schedule/ScheduleLineTest.cpp); this is the mapping onto the
// controls of each method.
TEST_F(ScheduleEditDialogTest, EachFormThroughTheControls) {
    BoxRecorder boxes;
    const wchar_t* const lines[] = {
        L"! 27/02E-3 **:30:00 Msg    月末の三日前", L"  **/**/15 08:**:05 Notice 通知",
        L"X _M_W_F_  22:15:00 3DText 会議",         L"# 26/12/24 Start    Shell  notepad.exe",
        L"  EveryDay every05s Kabe   (なし)",       L"  3rd sa-9 every30m Screen (なし)",
    };
    for (const wchar_t* line : lines) {
        DSetAlarm dialog(kOs10, FALSE, kElevationDefault, line, Clock2026);
        INT_PTR result = RunDialog([&] { return dialog.Run(nullptr); }, [](HWND d) { Click(d, IDC_ALARM_OK); });
        EXPECT_EQ(1, result) << Narrow(line);
        EXPECT_EQ(Narrow(line), Narrow(dialog.lineText()));
    }
    EXPECT_TRUE(boxes.boxes().empty());
}

// ---- Refusals: the box, owned by the open dialog, the focus on the field ----

// The control that has the focus; a combo box's for the edit inside it.
int FocusedControl(HWND dialog) {
    HWND focus = GetFocus();
    if (focus != nullptr && GetParent(focus) != dialog) focus = GetParent(focus);
    return GetDlgCtrlID(focus);
}

// One dialog, a refusal from each kind of control in the order of the
// check (which field each rule names is ScheduleLine's): the focus goes to
// the named field, and neither the dialog nor the input goes away.
TEST_F(ScheduleEditDialogTest, EachRefusalPutsTheFocusOnItsField) {
    struct Step {
        int checkedId;  // clicked into the checked state first (0: none)
        int field;      // typed into (0: nothing typed)
        const wchar_t* text;
        int focus;
        const wchar_t* message;
    };
    const Step steps[] = {
        {0, 0, nullptr, IDC_ALARM_SUNDAY, L"曜日を入力して下さい"},
        {IDC_ALARM_BY_DATE, IDC_ALARM_MONTH, L"13", IDC_ALARM_MONTH, L"正しい月を入力して下さい"},
        {0, IDC_ALARM_MONTH, L"2", 0, nullptr},
        {0, IDC_ALARM_SECOND, L"６０", IDC_ALARM_SECOND, L"正しい秒を入力して下さい"},
        {0, IDC_ALARM_SECOND, L"0", IDC_PARAM_EDIT, L"メッセージが入力されていません"},
        {IDC_ALARM_BY_INTERVAL, IDC_PARAM_EDIT, L"x", IDC_ALARM_INTERVAL, L"ｎ分毎を指定してください"},
    };
    BoxRecorder boxes;
    DSetAlarm dialog(kOs10, FALSE, kElevationDefault, L"", Clock2026);
    INT_PTR result = RunDialog([&] { return dialog.Run(nullptr); },
                               [&](HWND d) {
                                   size_t shown = 0;
                                   for (const Step& step : steps) {
                                       if (step.checkedId != 0) SetChecked(d, step.checkedId, true);
                                       if (step.field != 0) TypeText(d, step.field, step.text);
                                       if (step.message == nullptr) continue;
                                       if (step.focus == IDC_ALARM_INTERVAL)
                                           SendDlgItemMessageW(d, IDC_ALARM_INTERVAL, CB_SETCURSEL, -1, 0);
                                       Click(d, IDC_ALARM_OK);
                                       const std::string what = Narrow(step.message);
                                       ASSERT_EQ(shown + 1, boxes.boxes().size()) << what;
                                       EXPECT_EQ(what, Narrow(boxes.boxes()[shown].text));
                                       EXPECT_EQ(d, boxes.boxes()[shown].owner) << what;
                                       EXPECT_EQ(d, FindOpenDialog()) << what << ": the dialog stays open";
                                       EXPECT_EQ(step.focus, FocusedControl(d)) << what;
                                       if (step.field != 0) {
                                           EXPECT_EQ(Narrow(step.text), ItemTextUtf8(d, step.field)) << what;
                                       }
                                       ++shown;
                                   }
                                   Click(d, IDC_ALARM_CANCEL);
                               });
    EXPECT_EQ(0, result);
    EXPECT_TRUE(dialog.lineText().empty());
    // Nothing was written before the checks passed: no position saved.
    EXPECT_FALSE(GetFileAttributesW(L"Zavbell.ini") != INVALID_FILE_ATTRIBUTES &&
                 ReadBytes(L"Zavbell.ini").find("SetAlarm") != std::string::npos);
}

// ---- Behaviour ----

TEST_F(ScheduleEditDialogTest, ControlsFollowTheUser) {
    BoxRecorder boxes;
    DSetAlarm dialog(kOs10, FALSE, kElevationDefault, L"  lastwe-2 every15m Msg    x", Clock2026);
    INT_PTR result =
        RunDialog([&] { return dialog.Run(nullptr); },
                  [](HWND d) {
                      EXPECT_EQ(Narrow(L"最"), ItemTextUtf8(d, IDC_ALARM_NTH_PREFIX));
                      EXPECT_EQ(5, SelectedEntry(d, IDC_ALARM_NTH));
                      EXPECT_EQ(3, SelectedEntry(d, IDC_ALARM_NTH_WEEKDAY));
                      EXPECT_EQ(2, SelectedEntry(d, IDC_ALARM_DAYS_BEFORE));
                      EXPECT_TRUE(Visible(d, IDC_ALARM_NTH_GROUP));
                      EXPECT_FALSE(Visible(d, IDC_ALARM_WEEKDAY_GROUP));
                      EXPECT_TRUE(Visible(d, IDC_ALARM_INTERVAL));
                      EXPECT_FALSE(Visible(d, IDC_ALARM_HOUR));
                      EXPECT_EQ(Narrow(L"分毎"), ItemTextUtf8(d, IDC_ALARM_INTERVAL_UNIT));
                      SelectEntry(d, IDC_ALARM_NTH, 0);
                      EXPECT_EQ(Narrow(L"第"), ItemTextUtf8(d, IDC_ALARM_NTH_PREFIX));
                      SetChecked(d, IDC_ALARM_SECONDS, true);
                      EXPECT_EQ(Narrow(L"秒毎"), ItemTextUtf8(d, IDC_ALARM_INTERVAL_UNIT));
                      // The date method: unchecking 月末日から gives 28.
                      SetChecked(d, IDC_ALARM_BY_DATE, true);
                      EXPECT_TRUE(Visible(d, IDC_ALARM_DATE_GROUP));
                      EXPECT_FALSE(Visible(d, IDC_ALARM_NTH_GROUP));
                      SetChecked(d, IDC_ALARM_FROM_END, true);
                      EXPECT_EQ(Narrow(L"前"), ItemTextUtf8(d, IDC_ALARM_WEEKDAY_SHOWN));
                      EXPECT_FALSE(Enabled(d, IDC_ALARM_EVERY_DATE));
                      SetChecked(d, IDC_ALARM_FROM_END, false);
                      EXPECT_EQ("28", ItemTextUtf8(d, IDC_ALARM_DAY));
                      EXPECT_TRUE(Enabled(d, IDC_ALARM_EVERY_DATE));
                      SetChecked(d, IDC_ALARM_BY_NTH, true);
                      // Escape does nothing; Enter is OK.
                      SendMessageW(d, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
                      EXPECT_TRUE(IsWindowVisible(d));
                      SendMessageW(d, WM_COMMAND,
                                   MAKEWPARAM(static_cast<WORD>(SendMessageW(d, DM_GETDEFID, 0, 0)), BN_CLICKED), 0);
                  });
    EXPECT_EQ(1, result);
    EXPECT_EQ("  1st we-2 every15s Msg    x", Narrow(dialog.lineText()));
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(ScheduleEditDialogTest, NewScheduleDefaultsAndTimeStates) {
    BoxRecorder boxes;
    DSetAlarm dialog(kOs10, FALSE, kElevationDefault, L"", Clock2026);
    INT_PTR result = RunDialog([&] { return dialog.Run(nullptr); },
                               [](HWND d) {
                                   EXPECT_EQ(Narrow(L"スケジュールの設定"), Narrow(WindowText(d)));
                                   EXPECT_TRUE(Checked(d, IDC_ALARM_BY_WEEKDAY));
                                   EXPECT_TRUE(Checked(d, IDC_ACTION_FIRST));
                                   EXPECT_FALSE(Visible(d, IDC_ALARM_HOLD_LABEL));
                                   EXPECT_EQ("10", ItemTextUtf8(d, IDC_ALARM_HOUR));
                                   EXPECT_TRUE(Enabled(d, IDC_ACTION_FIRST + kActNotice)) << "Windows 10";
                                   // The dialog's twelve tips and the action block's twelve.
                                   std::vector<DialogTip> tips = DialogTips(d);
                                   EXPECT_EQ(24u, tips.size());
                                   for (const DialogTip& tip : tips)
                                       if (tip.controlId == IDC_ALARM_YEAR_SPIN) {
                                           EXPECT_EQ(Narrow(L"西暦下２桁を指定してください"), Narrow(tip.text));
                                       }
                                   EXPECT_TRUE(Enabled(d, IDC_ALARM_TODAY));
                                   Click(d, IDC_ALARM_TODAY);
                                   EXPECT_TRUE(Checked(d, IDC_ALARM_SUNDAY + 1)) << "15 June 2026 is a Monday";
                                   EXPECT_FALSE(Enabled(d, IDC_ALARM_TODAY));
                                   SetChecked(d, IDC_ALARM_EVERY_HOUR, true);
                                   EXPECT_FALSE(Enabled(d, IDC_AT_START));
                                   EXPECT_FALSE(Enabled(d, IDC_ALARM_HOUR));
                                   EXPECT_TRUE(Enabled(d, IDC_ALARM_MINUTE));
                                   TypeText(d, IDC_ALARM_SECOND, L"7");
                                   TypeText(d, IDC_PARAM_EDIT, L"テスト");
                                   Click(d, IDC_ALARM_OK);
                               });
    EXPECT_EQ(1, result);
    EXPECT_EQ(Narrow(L"  _M_____  **:20:07 Msg    テスト"), Narrow(dialog.lineText()));
    EXPECT_NE(std::string::npos, ReadBytes(L"Zavbell.ini").find("SetAlarmLeft")) << "OK saves the position";
}

TEST_F(ScheduleEditDialogTest, HoldLabelCancelAndUnknownAction) {
    BoxRecorder boxes;
    DSetAlarm held(kOs10, FALSE, kElevationDefault, L"# EveryDay 07:00:00 Msg    x", Clock2026);
    INT_PTR result = RunDialog([&] { return held.Run(nullptr); },
                               [](HWND d) {
                                   EXPECT_TRUE(Visible(d, IDC_ALARM_HOLD_LABEL));
                                   EXPECT_EQ(Narrow(L"１回保留中"), ItemTextUtf8(d, IDC_ALARM_HOLD_LABEL));
                                   TypeText(d, IDC_PARAM_EDIT, L"changed");
                                   Click(d, IDC_ALARM_CANCEL);
                               });
    EXPECT_EQ(0, result);
    EXPECT_TRUE(held.lineText().empty());

    DSetAlarm beforeVista(kOsUnsupported, FALSE, kElevationDefault, L"  EveryDay Start    Msg    x", Clock2026);
    RunDialog([&] { return beforeVista.Run(nullptr); },
              [](HWND d) {
                  EXPECT_FALSE(Enabled(d, IDC_ACTION_FIRST + kActNotice)) << "notifications need Vista";
                  Click(d, IDC_ALARM_CANCEL);
              });

    DSetAlarm unknown(kOs10, FALSE, kElevationDefault, L"  EveryDay Start    zzzzzz", Clock2026);
    EXPECT_FALSE(unknown.Run(nullptr));
    EXPECT_TRUE(unknown.lineText().empty());
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(Narrow(L"不正な動作"), Narrow(boxes.boxes()[0].text));
}

TEST_F(ScheduleEditDialogTest, TextOutsideTheCodePageAsksAtOk) {
    BoxRecorder refuse(IDNO);
    DSetAlarm dialog(kOs10, FALSE, kElevationDefault, L"  EveryDay 07:00:00 Msg    x", Clock2026);
    INT_PTR result = RunDialog([&] { return dialog.Run(nullptr); },
                               [](HWND d) {
                                   TypeText(d, IDC_PARAM_EDIT, L"α☃");
                                   Click(d, IDC_ALARM_OK);
                                   EXPECT_TRUE(IsWindowVisible(d));
                                   Click(d, IDC_ALARM_CANCEL);
                               });
    EXPECT_EQ(0, result);
    ASSERT_EQ(1u, refuse.boxes().size());
    EXPECT_NE(std::wstring::npos, refuse.boxes()[0].text.find(L"☃"));
}

// ---- Tab order and place ----

// In each layout of the laid-over groups, Tab takes the groups in their
// order on screen (top to bottom, then left to right): a control counts at
// the top left of the group box around its centre, or at its own outside
// every group. The dialog opens centred at the height it is shown at.
TEST_F(ScheduleEditDialogTest, TabFollowsTheScreenInEveryLayoutAndTheDialogOpensCentred) {
    DSetAlarm dialog(kOs10, FALSE, kElevationDefault, L"", Clock2026);
    RunDialog([&] { return dialog.Run(nullptr); },
              [](HWND d) {
                  RECT shown{}, own{}, group{};
                  GetWindowRect(d, &shown);
                  MONITORINFO monitor{};
                  monitor.cbSize = sizeof(monitor);
                  GetMonitorInfoW(MonitorFromWindow(d, MONITOR_DEFAULTTONEAREST), &monitor);
                  EXPECT_NEAR(monitor.rcWork.top + monitor.rcWork.bottom, shown.top + shown.bottom, 2) << "not centred";
                  for (int method = IDC_ALARM_BY_WEEKDAY; method <= IDC_ALARM_EVERY_DAY; ++method)
                      for (bool interval : {false, true}) {
                          SetChecked(d, method, true);
                          SetChecked(d, IDC_ALARM_BY_INTERVAL, interval);
                          std::vector<std::pair<LONG, LONG>> places;
                          HWND first = GetNextDlgTabItem(d, nullptr, FALSE), c = first;
                          do {
                              GetWindowRect(c, &own);
                              POINT centre{(own.left + own.right) / 2, (own.top + own.bottom) / 2};
                              places.emplace_back(own.top, own.left);
                              for (HWND box = GetWindow(d, GW_CHILD); box != nullptr; box = GetWindow(box, GW_HWNDNEXT))
                                  if ((GetWindowLongW(box, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX &&
                                      IsWindowVisible(box) && GetWindowRect(box, &group) && PtInRect(&group, centre))
                                      places.back() = {group.top, group.left};
                          } while ((c = GetNextDlgTabItem(d, c, FALSE)) != first && places.size() < 80);
                          EXPECT_TRUE(std::is_sorted(places.begin(), places.end()))
                              << method << (interval ? " interval" : "");
                      }
                  Click(d, IDC_ALARM_CANCEL);
              });
}

// ---- When the line next comes due ----

// Live, as the rules change; OK on a line that never comes due asks, and No
// (the default) keeps the dialog open.
TEST_F(ScheduleEditDialogTest, NextTimeFollowsTheRulesAndOkOnALineThatNeverComesDueAsks) {
    DSetAlarm dialog(kOs10, FALSE, kElevationDefault, L"# EveryDay 07:00:00 Msg    x", Clock2026);
    std::wstring shown;
    INT_PTR result = RunDialog([&] { return dialog.Run(nullptr); },
                               [&](HWND d) {
                                   auto look = [&] { shown += ItemText(d, IDC_ALARM_NEXT_DUE) + L"|"; };
                                   look();
                                   TypeText(d, IDC_ALARM_HOUR, L"11");
                                   look();
                                   SetChecked(d, IDC_ALARM_BY_WEEKDAY, true);  // no weekday chosen
                                   look();
                                   SetChecked(d, IDC_ALARM_EVERY_DAY, true);
                                   SetChecked(d, IDC_AT_START, true);
                                   look();
                                   SetChecked(d, IDC_ALARM_BY_DATE, true);
                                   SetChecked(d, IDC_ALARM_EVERY_YEAR, true);
                                   TypeText(d, IDC_ALARM_MONTH, L"2");
                                   TypeText(d, IDC_ALARM_DAY, L"30");
                                   for (int answer : {IDNO, IDYES}) {
                                       BoxRecorder boxes(answer);
                                       Click(d, IDC_ALARM_OK);
                                       ASSERT_EQ(1u, boxes.boxes().size()) << answer;
                                       EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_DEFBUTTON2),
                                                 boxes.boxes()[0].style & (MB_TYPEMASK | MB_DEFMASK));
                                       EXPECT_EQ(answer == IDNO, IsWindowVisible(d) != FALSE) << answer;
                                   }
                               });
    // Monday 15 June 2026, 10:20:30; the line is held once.
    EXPECT_EQ(Narrow(L"次回: 2026/06/16(火) 07:00:00（保留）|次回: 2026/06/15(月) 11:00:00（保留）|"
                     L"次回: なし（このままでは実行されません）|次回: 2026/06/15(月)の起動時（保留）|"),
              Narrow(shown));
    EXPECT_EQ(1, result);
    EXPECT_EQ("# **/02/30 Start    Msg    x", Narrow(dialog.lineText()));
}

}  // namespace

// The schedule edit dialog from its real template: every form of the record
// read and composed again unchanged, each refusal, generated malformed lines,
// the century of the weekday display, and the dialog's own behaviour.
#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "common/System.h"
#include "schedule/ScheduleRecord.h"
#include "schedule/WatchPass.h"
#include "settings/AlarmDialog.h"
#include "settings/resource.h"
#include "tests/common/TestSupport.h"
#include "tests/settings/DialogHarness.h"

namespace {

// Monday 15 June 2026, 10:20:30.
void Clock2026(SYSTEMTIME* now) {
    *now = SYSTEMTIME{2026, 6, 1, 15, 10, 20, 30, 0};
}
// The same day a century on (a Tuesday).
void Clock2126(SYSTEMTIME* now) {
    *now = SYSTEMTIME{2126, 6, 2, 15, 10, 20, 30, 0};
}

class AlarmDialogTest : public testing::Test {
protected:
    TempFolder folder;
    CurrentDirectoryScope inFolder{folder.path()};  // SetAlarmLeft/Top go to this Zavbell.ini
};

struct Outcome {
    INT_PTR result;
    WString line;
};

Outcome OpenAndOk(const WString& line, ClockSource clock = Clock2026) {
    DSetAlarm dialog(kOs10, FALSE, kElevationDefault, line, clock);
    INT_PTR result = RunDialog([&] { return dialog.Run(nullptr); }, [](HWND d) { Click(d, IDC_ALARM_OK); });
    return Outcome{result, dialog.lineText()};
}

// ---- Every form of the date and time rules, read and composed unchanged ----

const wchar_t* const kRoundTrips[] = {
    L"  _M_W_F_  22:15:00 Msg    会議",
    L"  SMTWTFS  07:00:00 Msg    おはよう",
    L"  S_____S  00:00:59 Shell  \"C:\\a b.exe\" /x",
    L"! 23/02E-3 12:00:00 Msg    月末の三日前",
    L"  23/02E   12:00:00 Msg    月末",
    L"  **/**E-9 08:30:00 Msg    x",
    L"  **/**/15 **:30:00 Msg    毎月15日",
    L"  26/12/24 08:**:05 Notice 通知",
    L"  **/02/29 23:59:59 Blink  閏日",
    L"  05/**/** 01:02:03 Msg    x",
    L"  lastwe-2 09:00:00 Msg    x",
    L"  lastsu   09:00:00 Msg    x",
    L"  1st mo   09:00:00 Msg    x",
    L"  2nd tu-1 09:00:00 Msg    x",
    L"  3rd sa-9 09:00:00 Msg    x",
    L"  5th fr   09:00:00 Msg    x",
    L"  EveryDay every15m Msg    x",
    L"  EveryDay every05s Msg    x",
    L"  EveryDay every30m Msg    x",
    L"  EveryDay Start    Msg    起動",
    L"# EveryDay **:**:00 Shell  notepad.exe",
    L"X _M_____  07:00:00 3DText hi",
    L"  _____F_  every01s Kabe   (なし)",
    L"  EveryDay 12:00:00 Screen (なし)",
};

TEST_F(AlarmDialogTest, EachFormReadAndComposedUnchanged) {
    BoxRecorder boxes;
    for (const wchar_t* line : kRoundTrips) {
        Outcome outcome = OpenAndOk(line);
        EXPECT_EQ(1, outcome.result) << Narrow(line);
        EXPECT_EQ(Narrow(line), Narrow(outcome.line));
    }
    EXPECT_TRUE(boxes.boxes().empty());
}

// ---- Reading takes ASCII digits in range only ----

// Columns that are no number in their control's range leave the control at
// its default from the clock (15 June 2026, a Monday, 10:20:30): a "1x"
// month is no January, a 99th hour no spin past 23, an unknown interval or
// weekday no empty combo box.
TEST_F(AlarmDialogTest, ReadingTakesOnlyAsciiDigitsInRange) {
    BoxRecorder boxes;
    const wchar_t* const rows[][2] = {
        {L"  EveryDay 99:7x:31 Msg    x", L"  EveryDay 10:20:31 Msg    x"},
        {L"  EveryDay １２:-1:+5 Msg    x", L"  EveryDay 10:20:30 Msg    x"},
        {L"  26/1x/05 12:00:00 Msg    x", L"  26/06/05 12:00:00 Msg    x"},
        {L"  ab/13/00 12:00:00 Msg    x", L"  26/06/15 12:00:00 Msg    x"},
        {L"  26/02E-x 12:00:00 Msg    x", L"  26/02E   12:00:00 Msg    x"},
        {L"  EveryDay every07m Msg    x", L"  EveryDay every01m Msg    x"},
        {L"  2nd xx-x 09:00:00 Msg    x", L"  2nd mo   09:00:00 Msg    x"},
    };
    for (const auto& row : rows) {
        Outcome outcome = OpenAndOk(row[0]);
        EXPECT_EQ(1, outcome.result) << Narrow(row[0]);
        EXPECT_EQ(Narrow(row[1]), Narrow(outcome.line)) << Narrow(row[0]);
    }
    EXPECT_TRUE(boxes.boxes().empty());
}

// ---- Refusals: the box, owned by the open dialog, and nothing written ----

struct Refusal {
    const wchar_t* line;  // empty: a new schedule
    int field;            // typed into (0: nothing typed)
    const wchar_t* text;
    const wchar_t* message;
};

const Refusal kRefusals[] = {
    {L"", 0, nullptr, L"曜日を入力して下さい"},
    {L"  26/02/30 12:00:00 Msg    x", 0, nullptr, L"正しい年月日を入力して下さい"},
    {L"  25/02/29 12:00:00 Msg    x", 0, nullptr, L"正しい年月日を入力して下さい"},
    {L"  26/04/01 12:00:00 Msg    x", IDC_ALARM_YEAR, L"", L"正しい年を入力して下さい"},
    {L"  26/04/01 12:00:00 Msg    x", IDC_ALARM_YEAR, L" 5", L"正しい年を入力して下さい"},
    {L"  26/04/01 12:00:00 Msg    x", IDC_ALARM_YEAR, L"-1", L"正しい年を入力して下さい"},
    {L"  26/04/01 12:00:00 Msg    x", IDC_ALARM_YEAR, L"１２", L"正しい年を入力して下さい"},
    {L"  26/04/01 12:00:00 Msg    x", IDC_ALARM_MONTH, L"13", L"正しい月を入力して下さい"},
    {L"  26/04/01 12:00:00 Msg    x", IDC_ALARM_MONTH, L"0", L"正しい月を入力して下さい"},
    {L"  26/04/01 12:00:00 Msg    x", IDC_ALARM_DAY, L"32", L"正しい日を入力して下さい"},
    {L"  26/04/01 12:00:00 Msg    x", IDC_ALARM_DAY, L"", L"正しい日を入力して下さい"},
    {L"  26/04E-1 12:00:00 Msg    x", IDC_ALARM_DAY, L"10", L"正しい日数を入力して下さい"},
    {L"  26/04E-1 12:00:00 Msg    x", IDC_ALARM_DAY, L"", L"正しい日数を入力して下さい"},
    {L"  EveryDay 12:00:00 Msg    x", IDC_ALARM_HOUR, L"24", L"正しい時を入力して下さい"},
    {L"  EveryDay 12:00:00 Msg    x", IDC_ALARM_HOUR, L"", L"正しい時を入力して下さい"},
    {L"  EveryDay 12:00:00 Msg    x", IDC_ALARM_MINUTE, L"60", L"正しい分を入力して下さい"},
    {L"  EveryDay 12:00:00 Msg    x", IDC_ALARM_SECOND, L"+5", L"正しい秒を入力して下さい"},
    {L"  EveryDay 12:00:00 Msg    x", IDC_ALARM_SECOND, L"123", L"正しい秒を入力して下さい"},
    {L"  EveryDay 12:00:00 Msg    x", IDC_PARAM_EDIT, L"", L"メッセージが入力されていません"},
};

TEST_F(AlarmDialogTest, EachRefusalKeepsTheDialogAndTheInput) {
    for (const Refusal& row : kRefusals) {
        BoxRecorder boxes;
        DSetAlarm dialog(kOs10, FALSE, kElevationDefault, row.line, Clock2026);
        INT_PTR result = RunDialog([&] { return dialog.Run(nullptr); },
                                   [&](HWND d) {
                                       if (row.field != 0) TypeText(d, row.field, row.text);
                                       Click(d, IDC_ALARM_OK);
                                       EXPECT_TRUE(IsWindowVisible(d)) << "the dialog stays open";
                                       if (row.field != 0) {
                                           EXPECT_EQ(Narrow(row.text), ItemTextUtf8(d, row.field));
                                       }
                                       Click(d, IDC_ALARM_CANCEL);
                                   });
        EXPECT_EQ(0, result) << Narrow(row.message);
        EXPECT_TRUE(dialog.lineText().empty());
        ASSERT_EQ(1u, boxes.boxes().size()) << Narrow(row.message);
        EXPECT_EQ(Narrow(row.message), Narrow(boxes.boxes()[0].text));
        EXPECT_NE(nullptr, boxes.boxes()[0].owner);
    }
    // Nothing was written before the checks passed: no position saved.
    EXPECT_FALSE(GetFileAttributesW(L"Zavbell.ini") != INVALID_FILE_ATTRIBUTES &&
                 ReadBytes(L"Zavbell.ini").find("SetAlarm") != std::string::npos);
}

// ---- Generated malformed lines ----

bool IsTwoDigits(const WString& s, int at) {
    return s.at(at) >= L'0' && s.at(at) <= L'9' && s.at(at + 1) >= L'0' && s.at(at + 1) <= L'9';
}
bool IsPlace(const WString& s, int at) {
    return IsTwoDigits(s, at) || (s.at(at) == L'*' && s.at(at + 1) == L'*');
}

// Whether a date rule has one of the forms the watch pass reads.
bool WellFormedDate(const WString& date) {
    if (date == L"EveryDay") return true;
    if (date.at(2) == L'/') {
        if (!IsPlace(date, 0) || !IsPlace(date, 3)) return false;
        if (date.at(5) == L'E')
            return date.Mid(6, 7) == L"  " || (date.at(6) == L'-' && date.at(7) >= L'1' && date.at(7) <= L'9');
        return date.at(5) == L'/' && IsPlace(date, 6);
    }
    for (const wchar_t* ordinal : {L"1st ", L"2nd ", L"3rd ", L"4th ", L"5th ", L"last"})
        if (date.Left(4) == ordinal) {
            bool weekday = false;
            for (const wchar_t* name : {L"su", L"mo", L"tu", L"we", L"th", L"fr", L"sa"})
                weekday = weekday || date.Mid(4, 5) == name;
            return weekday &&
                   (date.Mid(6, 7) == L"  " || (date.at(6) == L'-' && date.at(7) >= L'1' && date.at(7) <= L'9'));
        }
    const wchar_t letters[] = L"SMTWTFS";
    for (int i = 0; i < 7; ++i)
        if (date.at(i) != L'_' && date.at(i) != letters[i]) return false;
    return date.Mid(7, 7) == L" ";
}

bool WellFormedTime(const WString& time) {
    if (time == L"Start   ") return true;
    if (time.Left(5) == L"every") return IsTwoDigits(time, 5) && (time.at(7) == L'm' || time.at(7) == L's');
    return IsPlace(time, 0) && time.at(2) == L':' && IsPlace(time, 3) && time.at(5) == L':' && IsTwoDigits(time, 6);
}

TEST_F(AlarmDialogTest, MalformedLinesAreRefusedOrComposedWellFormed) {
    BoxRecorder boxes;
    std::mt19937 random(1234);
    const wchar_t noise[] = L"0123456789*/ E-tx_SMTWFas９";
    const int noiseCount = static_cast<int>(wcslen(noise));
    int composed = 0, refused = 0;
    for (int n = 0; n < 200; ++n) {
        WString line(kRoundTrips[n % (sizeof kRoundTrips / sizeof kRoundTrips[0])]);
        // Columns 1 ... 19: the separators, the date rule and the time rule.
        for (int k = 1 + static_cast<int>(random() % 4); k > 0; --k)
            line.SetAt(1 + static_cast<int>(random() % 19), noise[random() % noiseCount]);
        size_t before = boxes.boxes().size();
        DSetAlarm dialog(kOs10, FALSE, kElevationDefault, line, Clock2026);
        INT_PTR result = RunDialog([&] { return dialog.Run(nullptr); },
                                   [](HWND d) {
                                       Click(d, IDC_ALARM_OK);
                                       if (IsWindowVisible(d)) Click(d, IDC_ALARM_CANCEL);
                                   });
        if (result != 1) {
            ++refused;
            EXPECT_EQ(before + 1, boxes.boxes().size()) << "a refusal says why: " << Narrow(line);
            EXPECT_TRUE(dialog.lineText().empty());
            continue;
        }
        ++composed;
        const WString& out = dialog.lineText();
        SCOPED_TRACE(Narrow(line) + " -> " + Narrow(out));
        EXPECT_EQ(line.at(0), HoldFlagOf(out));
        EXPECT_EQ(L' ', out.at(1));
        EXPECT_EQ(L' ', out.at(10));
        EXPECT_EQ(L' ', out.at(19));
        EXPECT_EQ(L' ', out.at(26));
        EXPECT_TRUE(WellFormedDate(DateRuleOf(out))) << Narrow(DateRuleOf(out));
        EXPECT_TRUE(WellFormedTime(TimeRuleOf(out))) << Narrow(TimeRuleOf(out));
        EXPECT_EQ(ActionTextOf(line), ActionTextOf(out));
        // The watch pass reads it: the composed rule of a date comes due on
        // that date (checked for the fully given dates and times).
        WString rule = RuleTextOf(out);
        if (IsTwoDigits(rule, 0) && rule.at(2) == L'/' && IsTwoDigits(rule, 3) && rule.at(5) == L'/' &&
            IsTwoDigits(rule, 6) && IsTwoDigits(rule, 9) && IsTwoDigits(rule, 12)) {
            SYSTEMTIME at{static_cast<WORD>(2000 + rule.Left(2).ToInt(0)),
                          static_cast<WORD>(rule.Mid(3, 4).ToInt(0)),
                          0,
                          static_cast<WORD>(rule.Mid(6, 7).ToInt(0)),
                          static_cast<WORD>(rule.Mid(9, 10).ToInt(0)),
                          static_cast<WORD>(rule.Mid(12, 13).ToInt(0)),
                          static_cast<WORD>(rule.Mid(15, 16).ToInt(0)),
                          0};
            EXPECT_TRUE(IsDue(rule, rule, at, false));
        }
        // Composed once, the line is its own fixed point (every fourth, for time).
        if (n % 4 == 0) {
            EXPECT_EQ(Narrow(out), Narrow(OpenAndOk(out).line));
        }
    }
    // Reading leaves a control whose columns are no number at its default, so
    // nearly every line comes out whole; the impossible dates are refused.
    EXPECT_EQ(200, composed + refused);
    EXPECT_GT(composed, 150);
}

// ---- The century of the weekday display ----

TEST_F(AlarmDialogTest, TwoDigitYearIsOfTheCurrentCentury) {
    struct Row {
        ClockSource clock;
        const wchar_t* line;
        const wchar_t* shown;
    };
    // 1 January 2060 is a Thursday, 2160 a Tuesday; 2000 and 2100: 29
    // February exists only in 2000.
    const Row rows[] = {
        {Clock2026, L"  60/01/01 12:00:00 Msg    x", L"(木)"}, {Clock2126, L"  60/01/01 12:00:00 Msg    x", L"(火)"},
        {Clock2026, L"  00/02/29 12:00:00 Msg    x", L"(火)"}, {Clock2126, L"  00/02/29 12:00:00 Msg    x", L"(？)"},
        {Clock2026, L"  23/02E-3 12:00:00 Msg    x", L"前"},
    };
    for (const Row& row : rows) {
        DSetAlarm dialog(kOs10, FALSE, kElevationDefault, row.line, row.clock);
        RunDialog([&] { return dialog.Run(nullptr); },
                  [&](HWND d) {
                      EXPECT_EQ(Narrow(row.shown), ItemTextUtf8(d, IDC_ALARM_WEEKDAY_SHOWN)) << Narrow(row.line);
                      Click(d, IDC_ALARM_CANCEL);
                  });
    }
}

TEST(AlarmLineTest, PlainNumbers) {
    struct Row {
        const wchar_t* text;
        int digits, min, max;
        bool plain;
    };
    const Row rows[] = {
        {L"7", 2, 0, 23, true},    {L"07", 2, 0, 23, true},  {L"23", 2, 0, 23, true},  {L"24", 2, 0, 23, false},
        {L"", 2, 0, 23, false},    {L" 7", 2, 0, 23, false}, {L"+7", 2, 0, 23, false}, {L"-0", 2, 0, 23, false},
        {L"007", 2, 0, 23, false}, {L"10", 1, 0, 9, false},  {L"９", 2, 0, 23, false}, {L"0", 2, 1, 12, false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.plain, IsPlainNumber(row.text, row.digits, row.min, row.max)) << Narrow(row.text);
}

// ---- Behaviour ----

TEST_F(AlarmDialogTest, ControlsFollowTheUser) {
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

TEST_F(AlarmDialogTest, NewScheduleDefaultsAndTimeStates) {
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

TEST_F(AlarmDialogTest, HoldLabelCancelAndUnknownAction) {
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
    EXPECT_EQ(0, unknown.Run(nullptr));
    EXPECT_TRUE(unknown.lineText().empty());
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(Narrow(L"不正な動作"), Narrow(boxes.boxes()[0].text));
}

TEST_F(AlarmDialogTest, TextOutsideTheCodePageAsksAtOk) {
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

}  // namespace

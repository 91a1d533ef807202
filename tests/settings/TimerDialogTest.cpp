// The timer: the action time as a table, and the real dialog from its
// template writing its run-once line into Zavbell.txt.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Handles.h"
#include "common/Paths.h"
#include "common/System.h"
#include "schedule/StringList.h"
#include "settings/TimerDialog.h"
#include "settings/resource.h"
#include "tests/common/TestSupport.h"
#include "tests/settings/DialogHarness.h"
#include "tests/settings/ZavRecorder.h"

namespace {

SYSTEMTIME At(int year, int month, int day, int hour, int minute, int second) {
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(day);
    time.wHour = static_cast<WORD>(hour);
    time.wMinute = static_cast<WORD>(minute);
    time.wSecond = static_cast<WORD>(second);
    return time;
}

struct TimeCase {
    SYSTEMTIME from;
    int days, hours, minutes, seconds;
    const wchar_t* shown;
    const wchar_t* line;    // with action Msg and parameter "p"
};

TEST(TimerTimeTest, Table) {
    const TimeCase cases[] = {
        {At(2026, 12, 31, 23, 59, 30), 0, 0, 1, 0, L"2027/01/01 00:00:30", L"! 27/01/01 00:00:30 Msg    p"},
        {At(2026, 3, 5, 8, 0, 0), 0, 0, 0, 5, L"2026/03/05 08:00:05", L"! 26/03/05 08:00:05 Msg    p"},
        {At(2028, 2, 28, 12, 0, 0), 1, 0, 0, 0, L"2028/02/29 12:00:00", L"! 28/02/29 12:00:00 Msg    p"},
        {At(2026, 1, 1, 0, 0, 0), 99, 23, 59, 59, L"2026/04/10 23:59:59", L"! 26/04/10 23:59:59 Msg    p"},
        {At(2099, 12, 31, 23, 0, 0), 0, 1, 0, 0, L"2100/01/01 00:00:00", L"! 00/01/01 00:00:00 Msg    p"},
    };
    for (const TimeCase& c : cases) {
        SYSTEMTIME at = TimeAfter(c.from, c.days, c.hours, c.minutes, c.seconds);
        EXPECT_EQ(std::wstring(c.shown), FormatActionTime(at).text());
        EXPECT_EQ(std::wstring(c.line), TimerLine(at, kActMsg, L"p").text());
    }
    EXPECT_EQ(std::wstring(L"! 26/03/05 08:00:05 Exit   force"),
              TimerLine(At(2026, 3, 5, 8, 0, 5), kActExit, L"force").text());
}

class TimerDialogTest : public testing::Test {
protected:
    TimerDialogTest() : here_(folder_.path()) {}
    WString Schedule() const { return JoinPath(folder_.path(), L"Zavbell.txt"); }
    void Write(const std::vector<const wchar_t*>& lines) {
        StringList list;
        for (const wchar_t* line : lines) list.append(WString(line));
        ASSERT_TRUE(list.save(Schedule()));
    }
    std::vector<std::wstring> Lines() const {
        StringList list;
        list.loadQuietly(Schedule());
        std::vector<std::wstring> lines;
        for (int i = 0; i < list.count(); ++i) lines.emplace_back(list.at(i).text());
        return lines;
    }
    INT_PTR Run(std::vector<DialogStep> steps) {
        StartInfo start;
        start.osLevel = kOs10;
        start.elevation = kElevationLimited;
        DSetTimer timer(start);
        return RunDialog([&] { return timer.Run(nullptr); }, std::move(steps));
    }

    TempFolder folder_;
    CurrentDirectoryScope here_;
};

constexpr wchar_t kEarly[] = L"! 00/01/01 00:00:00 Msg    早い";
constexpr wchar_t kHeld[] = L"X EveryDay 07:00:00 Msg    保留";

TEST_F(TimerDialogTest, RefusesNoOffsetAndTooManyDaysThenWritesTheLineSortedAndTellsZav) {
    Write({kHeld, kEarly});
    ZavRecorder zav;
    BoxRecorder boxes;
    std::wstring earliest;
    INT_PTR result = Run({[&](HWND dialog) {
        EXPECT_EQ(L"タイマーの設定", WindowText(dialog));
        EXPECT_EQ(L"0", ItemText(dialog, IDC_TIMER_DAYS));
        EXPECT_TRUE(Checked(dialog, 1251));
        EXPECT_TRUE(Enabled(dialog, 1253));
        EXPECT_EQ(L"実行１回", ItemText(dialog, IDC_TIMER_RUNS_ONCE));
        Click(dialog, IDC_TIMER_OK);
        ASSERT_EQ(1u, boxes.boxes().size());
        EXPECT_EQ(L"経過時間がセットされていません", boxes.boxes()[0].text);
        TypeText(dialog, IDC_TIMER_DAYS, L"100");
        Click(dialog, IDC_TIMER_OK);
        ASSERT_EQ(2u, boxes.boxes().size());
        EXPECT_EQ(L"正しい日数を入力して下さい", boxes.boxes()[1].text);
        EXPECT_EQ((std::vector<std::wstring>{kHeld, kEarly}), Lines()) << "nothing written before the checks pass";
        TypeText(dialog, IDC_TIMER_DAYS, L"1");
        TypeText(dialog, IDC_TIMER_MINUTES, L"30");
        TypeText(dialog, IDC_PARAM_EDIT, L"タイマーです");
        SYSTEMTIME now{};
        GetLocalTime(&now);
        earliest = TimerLine(TimeAfter(now, 1, 0, 30, 0), kActMsg, L"").text();
        Click(dialog, IDC_TIMER_OK);
    }});
    EXPECT_EQ(1, result);
    std::vector<std::wstring> lines = Lines();
    // Before the first line whose key is greater ("X" after "!"); the file's
    // own lines keep their order although they are not sorted.
    ASSERT_EQ(3u, lines.size());
    EXPECT_EQ(kHeld, lines[1]);
    EXPECT_EQ(kEarly, lines[2]);
    const std::wstring& line = lines[0];
    EXPECT_EQ(L"Msg    タイマーです", line.substr(20));
    SYSTEMTIME now{};
    GetLocalTime(&now);
    std::wstring latest = TimerLine(TimeAfter(now, 1, 0, 30, 0), kActMsg, L"").text();
    EXPECT_LE(earliest.substr(2, 17), line.substr(2, 17)) << "one day and thirty minutes from the moment of OK";
    EXPECT_LE(line.substr(2, 17), latest.substr(2, 17));
    EXPECT_EQ(std::vector<WPARAM>{kReloadSchedule}, zav.messages);
    ASSERT_EQ(3u, boxes.boxes().size());
    EXPECT_EQ(line.substr(2, 17) + L"にスケジュールを設定しました。", boxes.boxes()[2].text);
}

TEST_F(TimerDialogTest, CancelWritesNothing) {
    Write({kHeld});
    const std::string before = ReadBytes(Schedule());
    INT_PTR result = Run({[](HWND dialog) {
        TypeText(dialog, IDC_TIMER_SECONDS, L"5");
        TypeText(dialog, IDC_PARAM_EDIT, L"五秒後");
        Click(dialog, IDC_TIMER_CANCEL);
    }});
    EXPECT_EQ(0, result);
    EXPECT_EQ(before, ReadBytes(Schedule()));
}

TEST_F(TimerDialogTest, AMissingScheduleBecomesTheNewLine) {
    BoxRecorder boxes;
    INT_PTR result = Run({[](HWND dialog) {
        TypeText(dialog, IDC_TIMER_SECONDS, L"5");
        TypeText(dialog, IDC_PARAM_EDIT, L"五秒後");
        Click(dialog, IDC_TIMER_OK);
    }});
    EXPECT_EQ(1, result);
    ASSERT_EQ(1u, Lines().size());
    EXPECT_EQ(L"! ", Lines()[0].substr(0, 2));
    ASSERT_EQ(2u, boxes.boxes().size()) << "load's box, then the missing tray";
    EXPECT_NE(std::wstring::npos, boxes.boxes()[0].text.find(L"ファイルがないのかもしれません"));
    EXPECT_EQ(L"タスクトレイの Orrivane を見つけられませんでした", boxes.boxes()[1].text);
}

TEST_F(TimerDialogTest, AScheduleThatCannotBeReadIsNotReplacedByTheNewLine) {
    Write({kHeld});
    const std::string before = ReadBytes(Schedule());
    ZavRecorder zav;
    BoxRecorder boxes;
    INT_PTR result = Run({[&](HWND dialog) {
        TypeText(dialog, IDC_TIMER_SECONDS, L"5");
        TypeText(dialog, IDC_PARAM_EDIT, L"五秒後");
        {
            UniqueHandle holder(CreateFileW(Schedule().text(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
            ASSERT_TRUE(static_cast<bool>(holder));
            Click(dialog, IDC_TIMER_OK);
        }
        ASSERT_EQ(1u, boxes.boxes().size());
        EXPECT_NE(std::wstring::npos, boxes.boxes()[0].text.find(L"ファイルがないのかもしれません"));
        EXPECT_TRUE(IsWindowVisible(dialog));
        Click(dialog, IDC_TIMER_CANCEL);
    }});
    EXPECT_EQ(0, result);
    EXPECT_EQ(before, ReadBytes(Schedule()));
    EXPECT_TRUE(zav.messages.empty());
}

TEST_F(TimerDialogTest, AFailedWriteIsReportedNotAnnounced) {
    Write({kHeld});
    ASSERT_TRUE(SetFileAttributesW(Schedule().text(), FILE_ATTRIBUTE_READONLY));
    ZavRecorder zav;
    BoxRecorder boxes;
    INT_PTR result = Run({[&](HWND dialog) {
        TypeText(dialog, IDC_TIMER_SECONDS, L"5");
        TypeText(dialog, IDC_PARAM_EDIT, L"五秒後");
        Click(dialog, IDC_TIMER_OK);
        ASSERT_EQ(1u, boxes.boxes().size());
        EXPECT_EQ(L"Zavbell.txt に書き込めませんでした", boxes.boxes()[0].text);
        EXPECT_EQ(L"5", ItemText(dialog, IDC_TIMER_SECONDS)) << "the input is kept";
        Click(dialog, IDC_TIMER_CANCEL);
    }});
    SetFileAttributesW(Schedule().text(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(0, result);
    EXPECT_TRUE(zav.messages.empty());
    EXPECT_EQ(std::vector<std::wstring>{kHeld}, Lines());
}

}  // namespace

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Handles.h"
#include "common/Paths.h"
#include "schedule/InitSchedule.h"
#include "tests/common/TestSupport.h"
#include "tests/schedule/ScheduleTestSupport.h"

namespace {

// The tutorial schedule as ZAVSet must write it: code page 932, CR LF. The
// bytes come from tests/schedule/data, not from the literals under test.
const unsigned char kTutorialBytes[] = {
#include "InitialScheduleBytes.inc"
};

std::string TutorialBytes() {
    return std::string(reinterpret_cast<const char*>(kTutorialBytes), sizeof kTutorialBytes);
}

const wchar_t kConversionBox[] =
    L"Ver.2.00 以前からのスケジュールを変換しました\n旧スケジュールは \"old Zavbell.txt\" にあります";

class InitScheduleTest : public ::testing::Test {
protected:
    WString Path(const wchar_t* name) const { return JoinPath(folder_.path(), name); }

    TempFolder folder_;
    BoxRecorder boxes_;
};

TEST_F(InitScheduleTest, WithoutAFileWritesTheTutorialAndShowsNothing) {
    InitSchedule(folder_.path());
    EXPECT_EQ(TutorialBytes(), ReadBytes(Path(L"Zavbell.txt")));
    EXPECT_TRUE(boxes_.boxes().empty());
    EXPECT_EQ((std::vector<std::wstring>{L"Zavbell.txt"}), FilesIn(folder_.path()));
}

TEST_F(InitScheduleTest, TheTutorialHasSeventeenRecordsWithFixedColumns) {
    const StringList tutorial = InitialSchedule();
    ASSERT_EQ(17, tutorial.count());
    for (int i = 0; i < tutorial.count(); ++i) {
        const WString& r = tutorial.at(i);
        EXPECT_EQ(L' ', r.at(1)) << i;
        EXPECT_EQ(L' ', r.at(10)) << i;
        EXPECT_EQ(L' ', r.at(19)) << i;
        EXPECT_EQ(L' ', r.at(26)) << i;
    }
    EXPECT_EQ(L"zzzzzz", std::wstring(ActionWordOf(tutorial.at(7)).text()));
    EXPECT_EQ(L"３Ｄテキストのテスト", std::wstring(ParameterOf(tutorial.at(13)).text()));
}

TEST_F(InitScheduleTest, TheCurrentDirectoryIsUsedByDefault) {
    CurrentDirectoryScope scope(folder_.path());
    InitSchedule();
    EXPECT_EQ(TutorialBytes(), ReadBytes(Path(L"Zavbell.txt")));
}

TEST_F(InitScheduleTest, AnEmptyScheduleIsLeftAsItIsWithTheBackupOfAnEarlierConversion) {
    const std::string backup = Cp932Lines({L"EveryDayX07:30 Msg    朝です"});
    WriteBytes(Path(L"old Zavbell.txt"), backup);
    WriteBytes(Path(L"Zavbell.txt"), "");
    for (int run = 1; run <= 2; ++run) {
        InitSchedule(folder_.path());
        bool exists = false;
        EXPECT_EQ("", ReadBytes(Path(L"Zavbell.txt"), &exists));
        EXPECT_TRUE(exists);
        EXPECT_EQ(backup, ReadBytes(Path(L"old Zavbell.txt"))) << "run " << run;
        EXPECT_TRUE(boxes_.boxes().empty()) << "no conversion happened, so no box";
    }
}

TEST_F(InitScheduleTest, TheBackupIsTheOldFileByteForByte) {
    // LF line ends, a byte no code page 932 character starts with, a last
    // line without its line end: none survives a load and save unchanged.
    const std::string old = Encode(932, L"EveryDay 07:30 Msg    朝") + "\xA0\x80\n" +
                            Encode(932, L"EveryDay 08:00 Msg    八時") + "\nEveryDayX09:00 Msg    end";
    WriteBytes(Path(L"Zavbell.txt"), old);
    InitSchedule(folder_.path());
    EXPECT_EQ(old, ReadBytes(Path(L"old Zavbell.txt")));
    ASSERT_EQ(1u, boxes_.boxes().size());
    EXPECT_EQ(kConversionBox, boxes_.boxes()[0].text);
}

TEST_F(InitScheduleTest, ABackupThatCannotBeWrittenLeavesTheScheduleUntouched) {
    const std::string old = Cp932Lines({L"EveryDay 07:30 Msg    朝です"});
    WriteBytes(Path(L"Zavbell.txt"), old);
    ASSERT_TRUE(CreateDirectoryW(Path(L"old Zavbell.txt").text(), nullptr));
    InitSchedule(folder_.path());
    RemoveDirectoryW(Path(L"old Zavbell.txt").text());
    EXPECT_EQ(old, ReadBytes(Path(L"Zavbell.txt")));
    ASSERT_EQ(1u, boxes_.boxes().size()) << "one error, no conversion box";
    EXPECT_EQ(std::wstring(Path(L"old Zavbell.txt").text()) + L"\nファイルに書き込めませんでした",
              boxes_.boxes()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), boxes_.boxes()[0].style & MB_ICONMASK);
}

TEST_F(InitScheduleTest, AConvertedScheduleThatCannotBeWrittenShowsNoConversionBox) {
    const std::string old = Cp932Lines({L"EveryDay 07:30 Msg    朝です"});
    WriteBytes(Path(L"Zavbell.txt"), old);
    ASSERT_TRUE(SetFileAttributesW(Path(L"Zavbell.txt").text(), FILE_ATTRIBUTE_READONLY));
    InitSchedule(folder_.path());
    SetFileAttributesW(Path(L"Zavbell.txt").text(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(old, ReadBytes(Path(L"Zavbell.txt")));
    EXPECT_EQ(old, ReadBytes(Path(L"old Zavbell.txt")));
    ASSERT_EQ(1u, boxes_.boxes().size());
    EXPECT_EQ(std::wstring(Path(L"Zavbell.txt").text()) + L"\nファイルに書き込めませんでした", boxes_.boxes()[0].text);
}

TEST_F(InitScheduleTest, OldRecordsAreConvertedSortedAndTheOldFileIsKept) {
    const std::string old = Cp932Lines({
        L"EveryDayX07:30 Msg    朝です",
        L"EveryDay Start Msg    起動しました",
        L"_M_W_F_  15'毎 Shell  notepad.exe",
        L"23/02/05#12:00 Notice 通知",
        L"EveryDay 08:00 Msg    八時",
    });
    WriteBytes(Path(L"Zavbell.txt"), old);
    InitSchedule(folder_.path());
    EXPECT_EQ(old, ReadBytes(Path(L"old Zavbell.txt")));
    // Word sort: "_" before letters, the Start key "%%%%%%%%" before digits,
    // unheld before "#" before "X".
    EXPECT_EQ(Cp932Lines({
                  L"  _M_W_F_  every15m Shell  notepad.exe",
                  L"  EveryDay Start    Msg    起動しました",
                  L"  EveryDay 08:00:00 Msg    八時",
                  L"# 23/02/05 12:00:00 Notice 通知",
                  L"X EveryDay 07:30:00 Msg    朝です",
              }),
              ReadBytes(Path(L"Zavbell.txt")));
    ASSERT_EQ(1u, boxes_.boxes().size());
    EXPECT_EQ(kConversionBox, boxes_.boxes()[0].text);
}

TEST_F(InitScheduleTest, AScheduleThatCannotBeReadIsLeftAloneWithItsBackup) {
    const std::string current = Cp932Lines({L"  EveryDay 07:30:00 Msg    朝です"});
    const std::string backup = Cp932Lines({L"EveryDayX07:30 Msg    朝です"});
    WriteBytes(Path(L"Zavbell.txt"), current);
    WriteBytes(Path(L"old Zavbell.txt"), backup);
    {
        // Another program holds the schedule open without sharing
        // (ERROR_SHARING_VIOLATION on Windows and Wine).
        UniqueHandle holder(
            CreateFileW(Path(L"Zavbell.txt").text(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(static_cast<bool>(holder));
        InitSchedule(folder_.path());
    }
    EXPECT_EQ(current, ReadBytes(Path(L"Zavbell.txt")));
    EXPECT_EQ(backup, ReadBytes(Path(L"old Zavbell.txt"))) << "the last backup must not become empty";
    ASSERT_EQ(1u, boxes_.boxes().size()) << "only load's box, no conversion box";
    EXPECT_EQ(std::wstring(Path(L"Zavbell.txt").text()) + L"\nファイルがないのかもしれません", boxes_.boxes()[0].text);
}

TEST(ConvertOldRecord, EachTimeForm) {
    struct Case {
        const wchar_t* old;
        const wchar_t* converted;
    };
    const Case cases[] = {
        {L"EveryDay 07:30 Msg    朝", L"  EveryDay 07:30:00 Msg    朝"},
        {L"EveryDay!Start Exit   通常の終了", L"! EveryDay Start    Exit   通常の終了"},
        {L"**/**/01X15'毎 Blink  点滅", L"X **/**/01 every15m Blink  点滅"},
        {L"EveryDay 05'毎 Msg    ", L"  EveryDay every05m Msg    "},
        // any other shape stays five units and the rest moves three columns left
        {L"EveryDay xx-yy Msg    odd", L"  EveryDay xx-yy Msg    odd"},
        {L"EveryDay 07:30", L"  EveryDay 07:30:00"},
        {L"", L"  "},
        {L"EveryDay", L" EveryDay "},
    };
    for (const Case& c : cases) {
        const WString converted = ConvertOldRecord(WString(c.old));
        EXPECT_EQ(std::wstring(c.converted), std::wstring(converted.text())) << "old \"" << Narrow(c.old) << "\"";
    }
    // The recognised forms put the action word at column 20.
    EXPECT_EQ(L"Msg   ", std::wstring(ActionWordOf(ConvertOldRecord(WString(L"EveryDay 07:30 Msg    x"))).text()));
    EXPECT_EQ(L"Blink ", std::wstring(ActionWordOf(ConvertOldRecord(WString(L"EveryDay 15'毎 Blink  x"))).text()));
}

TEST(RetiredAction, WarnsForEachRetiredWordWithTheWholeRecord) {
    BoxRecorder boxes;
    const HWND owner = reinterpret_cast<HWND>(0x4321);
    const Lines retired = {L"  EveryDay 07:00:00 Dengon 伝言", L"X _M_W_F_  08:00:00 Reboot ",
                           L"  EveryDay 09:00:00 Stop  "};
    for (const std::wstring& r : retired)
        EXPECT_TRUE(WarnRetiredAction(WString(r.c_str()), owner)) << Narrow(r.c_str());
    ASSERT_EQ(3u, boxes.boxes().size());
    for (size_t i = 0; i < retired.size(); ++i) {
        EXPECT_EQ(L"このスケジュールは、Ver.2.00 から使えなくなったので再指定してください\n" + retired[i],
                  boxes.boxes()[i].text);
        EXPECT_EQ(owner, boxes.boxes()[i].owner);
        EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), boxes.boxes()[i].style & MB_ICONMASK);
    }
}

TEST(RetiredAction, CurrentWordsAndShortRecordsAreNotWarnedAbout) {
    BoxRecorder boxes;
    const Lines current = {L"  EveryDay 07:00:00 Msg    Reboot",
                           L"  EveryDay 07:00:00 Stopxx",
                           L"  EveryDay 07:00:00 Stop",
                           L"  EveryDay 07:00:00 Shell  Dengon",
                           L"Reboot",
                           L""};
    for (const std::wstring& r : current)
        EXPECT_FALSE(WarnRetiredAction(WString(r.c_str()), nullptr)) << Narrow(r.c_str());
    EXPECT_TRUE(boxes.boxes().empty());
}

}  // namespace

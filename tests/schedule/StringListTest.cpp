#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/Handles.h"
#include "common/Paths.h"
#include "schedule/ScheduleFile.h"
#include "schedule/StringList.h"
#include "tests/common/TestSupport.h"
#include "tests/schedule/ScheduleTestSupport.h"

namespace {

class ScheduleFile : public ::testing::Test {
protected:
    WString Path(const wchar_t* name = L"Zavbell.txt") const { return JoinPath(folder_.path(), name); }
    Lines LoadBytes(const std::string& bytes) {
        WriteBytes(Path(), bytes);
        StringList list;
        list.load(Path());
        return Records(list);
    }

    TempFolder folder_;
    BoxRecorder boxes_;
};

// The file tests expect the ANSI code page of a Japanese Windows; under Wine
// that takes LC_ALL=ja_JP.UTF-8 (scripts/wine-env.sh sets it).
TEST(ScheduleEnvironment, AnsiCodePageIsJapanese) {
    EXPECT_EQ(932u, GetACP());
}

TEST(StringListOps, OutOfRangeIndexesChangeNothing) {
    StringList list = ListOf({L"a", L"b"});
    EXPECT_EQ(L"", std::wstring(list.at(-1).text()));
    EXPECT_EQ(L"", std::wstring(list.at(2).text()));
    EXPECT_FALSE(list.SetAt(2, WString(L"x")));
    EXPECT_FALSE(list.SetFlag(-1, L'!'));
    list.insert(3, WString(L"x"));
    list.insert(-1, WString(L"x"));
    list.remove(2);
    list.remove(-1);
    EXPECT_EQ((Lines{L"a", L"b"}), Records(list));
}

TEST(StringListOps, InsertAtEveryPlaceAndRemoveMovesLaterRecordsUp) {
    StringList list;
    list.insert(0, WString(L"b"));
    list.insert(0, WString(L"a"));
    list.insert(2, WString(L"d"));
    list.insert(2, WString(L"c"));
    EXPECT_EQ((Lines{L"a", L"b", L"c", L"d"}), Records(list));
    list.remove(1);
    EXPECT_EQ((Lines{L"a", L"c", L"d"}), Records(list));
    EXPECT_TRUE(list.SetAt(2, WString(L"e")));
    EXPECT_TRUE(list.SetFlag(0, L'X'));
    EXPECT_EQ((Lines{L"X", L"c", L"e"}), Records(list));
    list.clear();
    EXPECT_EQ(0, list.count());
    EXPECT_FALSE(list.SetFlag(0, L'X'));
}

TEST(StringListOps, CapacityStartsAtAHundredAndGrowsInHundreds) {
    StringList list;
    EXPECT_EQ(100, list.capacity());
    for (int i = 0; i < 100; ++i) list.append(WString(i));
    EXPECT_EQ(100, list.capacity());
    list.append(WString(L"101st"));
    EXPECT_EQ(200, list.capacity());
    // One hundred more at each step, however long the list already is.
    for (int i = 0; i < 5000; ++i) {
        list.append(WString(i));
        const int expected = (list.count() + 99) / 100 * 100;
        ASSERT_EQ(expected, list.capacity()) << "after " << list.count() << " records";
    }
    list.insert(0, WString(L"front"));
    EXPECT_EQ(5200, list.capacity()) << "5101 records";
    EXPECT_EQ(L"front", std::wstring(list.at(0).text()));
    list.remove(0);
    EXPECT_EQ(L"101st", std::wstring(list.at(100).text()));
    EXPECT_EQ(L"4999", std::wstring(list.at(list.count() - 1).text()));
}

TEST(StringListOps, CopiesAreIndependent) {
    StringList a = ListOf({L"one"});
    StringList b = a;
    b.SetFlag(0, L'!');
    b.append(WString(L"two"));
    EXPECT_EQ((Lines{L"one"}), Records(a));
    EXPECT_EQ((Lines{L"!ne", L"two"}), Records(b));
}

TEST(InsertSorted, KeepsAscendingSortKeyOrderWithStartFirst) {
    StringList list;
    const Lines inserted = {
        L"X _______  01:00:00 Msg    held",        L"  EveryDay 07:00:00 Msg    seven",
        L"  EveryDay Start    Msg    start",       L"  EveryDay 06:00:00 Msg    six",
        L"  _M_W_F_  07:00:00 Msg    weekdays",    L"# EveryDay 05:00:00 Msg    hold once",
        L"  EveryDay 07:00:00 Msg    seven again",
    };
    for (const std::wstring& r : inserted) InsertSorted(list, WString(r.c_str()));
    // lstrcmpW's word sort puts symbols ("_", "%", " ", "#") before digits
    // and letters: the weekday mask before EveryDay, Start before any time,
    // unheld before "#" before "X".
    EXPECT_EQ((Lines{
                  L"  _M_W_F_  07:00:00 Msg    weekdays",
                  L"  EveryDay Start    Msg    start",
                  L"  EveryDay 06:00:00 Msg    six",
                  L"  EveryDay 07:00:00 Msg    seven",
                  L"  EveryDay 07:00:00 Msg    seven again",
                  L"# EveryDay 05:00:00 Msg    hold once",
                  L"X _______  01:00:00 Msg    held",
              }),
              Records(list));
}

TEST(InsertSorted, EqualKeysGoAfterTheExistingOnes) {
    StringList list = ListOf({L"  EveryDay 07:00:00 Msg    a", L"  EveryDay 07:00:00 Msg    a"});
    InsertSorted(list, WString(L"  EveryDay 07:00:00 Msg    a"));
    InsertSorted(list, WString(L"  EveryDay 06:00:00 Msg    b"));
    EXPECT_EQ(4, list.count());
    EXPECT_EQ(L"  EveryDay 06:00:00 Msg    b", std::wstring(list.at(0).text()));
}

TEST(SortKeyOf, OnlyAnExactStartRuleIsReplaced) {
    EXPECT_EQ(L"  EveryDay %%%%%%%% Msg    x", std::wstring(SortKey(WString(L"  EveryDay Start    Msg    x")).text()));
    EXPECT_EQ(L"  EveryDay %%%%%%%%", std::wstring(SortKey(WString(L"  EveryDay Start   ")).text()));
    EXPECT_EQ(L"  EveryDay Start  x Msg    x", std::wstring(SortKey(WString(L"  EveryDay Start  x Msg    x")).text()));
    EXPECT_EQ(L"  EveryDay Start", std::wstring(SortKey(WString(L"  EveryDay Start")).text()));
    EXPECT_EQ(L"", std::wstring(SortKey(WString(L"")).text()));
}

TEST(ComposeRecordOf, EveryFixedColumnIsWrittenAndShortFieldsArePadded) {
    struct Case {
        wchar_t flag;
        const wchar_t* date;
        const wchar_t* time;
        const wchar_t* word;
        const wchar_t* parameter;
        const wchar_t* record;
    };
    const Case cases[] = {
        {L' ', L"_MTWTF_", L"07:00:00", L"Msg", L"起きる", L"  _MTWTF_  07:00:00 Msg    起きる"},
        {L'!', L"23/02E", L"Start", L"Kabe", L"Center a.bmp", L"! 23/02E   Start    Kabe   Center a.bmp"},
        {L'X', L"EveryDay", L"every15m", L"Notice", L"", L"X EveryDay every15m Notice "},
        {L'\0', L"lastwe-2", L"**:00:00", L"zzzzzz", L"a b", L"  lastwe-2 **:00:00 zzzzzz a b"},
        {L'#', L"EveryDay and more", L"12:00:00xx", L"Screens", L"s.scr", L"# EveryDay 12:00:00 Screen s.scr"},
        {L' ', L"", L"", L"", L"", L"                           "},
    };
    for (const Case& c : cases) {
        const WString record =
            ComposeRecord(c.flag, WString(c.date), WString(c.time), WString(c.word), WString(c.parameter));
        EXPECT_EQ(std::wstring(c.record), std::wstring(record.text()))
            << "date \"" << Narrow(c.date) << "\", word \"" << Narrow(c.word) << "\"";
        EXPECT_EQ(std::wstring(c.parameter), std::wstring(ParameterOf(record).text()));
    }
}

TEST_F(ScheduleFile, LinesEndingInCrLfOrNotLoadTheSame) {
    const Lines three = {L"  EveryDay 07:00:00 Msg    一", L"  EveryDay 08:00:00 Msg    二",
                         L"X EveryDay Start    Msg    三"};
    const std::string bytes = Cp932Lines(three);
    EXPECT_EQ(three, LoadBytes(bytes));
    EXPECT_EQ(three, LoadBytes(bytes.substr(0, bytes.size() - 2)));
    EXPECT_EQ(three, LoadBytes(bytes.substr(0, bytes.size() - 1)));  // CR without LF at the end
    EXPECT_TRUE(boxes_.boxes().empty());
}

TEST_F(ScheduleFile, LfOnlyLinesLoadAndSaveWritesCrLf) {
    EXPECT_EQ((Lines{L"a", L"b", L"", L"c"}), LoadBytes("a\nb\n\nc\n"));
    StringList list;
    list.load(Path());
    ASSERT_TRUE(list.save(Path()));
    EXPECT_EQ("a\r\nb\r\n\r\nc\r\n", ReadBytes(Path()));
}

TEST_F(ScheduleFile, EmptyLinesAreRecordsAndAreWrittenBack) {
    const std::string bytes = Cp932Lines({L"  EveryDay 07:00:00 Msg    上", L"", L"  EveryDay 08:00:00 Msg    下"});
    EXPECT_EQ((Lines{L"  EveryDay 07:00:00 Msg    上", L"", L"  EveryDay 08:00:00 Msg    下"}), LoadBytes(bytes));
    StringList list;
    list.load(Path());
    WriteBytes(Path(), "");
    ASSERT_TRUE(list.save(Path()));
    EXPECT_EQ(bytes, ReadBytes(Path()));

    // A file of one CR LF is one empty record; a zero-byte file none.
    EXPECT_EQ((Lines{L""}), LoadBytes("\r\n"));
    EXPECT_EQ((Lines{}), LoadBytes(""));
}

TEST_F(ScheduleFile, LongJapaneseLinesKeepEveryCharacter) {
    std::wstring longText = L"  EveryDay 07:00:00 Msg    ";
    for (int i = 0; i < 40; ++i) longText += L"長い行のテスト：漢字ｶﾀｶﾅ、";
    const std::string bytes = Cp932Lines({longText, L"  EveryDay 08:00:00 Msg    短い"});
    ASSERT_GT(bytes.find("\r\n"), 300u);
    EXPECT_EQ((Lines{longText, L"  EveryDay 08:00:00 Msg    短い"}), LoadBytes(bytes));
    StringList list;
    list.load(Path());
    ASSERT_TRUE(list.save(Path(L"copy.txt")));
    EXPECT_EQ(bytes, ReadBytes(Path(L"copy.txt")));
}

TEST_F(ScheduleFile, AFileWrittenByZavSetRoundTripsByteForByte) {
    const std::string bytes = Cp932Lines({
        L"  EveryDay Start    Msg    1.プログラムが起動されるとタスクトレイに目覚まし時計のアイコンが現れます",
        L"  _M_W_F_  07:00:00 Mplay  C:\\Windows\\media\\Windows Logon.wav",
        L"! 24/02E-3 12:00:00 Notice 〜月末〜 ①② ＃ｱｲｳ",
        L"# lastwe-2 every15m Shell  \"C:\\Program Files\\表計算\\ソフト.exe\" /x",
        L"X **/**/01 **:00:00 Exit   通常の終了",
        L"  3rd fr   08:**:30 Kabe   Expand C:\\壁紙\\画像.jpg",
    });
    WriteBytes(Path(), bytes);
    StringList list;
    list.load(Path());
    EXPECT_EQ(6, list.count());
    ASSERT_TRUE(list.save(Path()));
    EXPECT_EQ(bytes, ReadBytes(Path()));
}

TEST_F(ScheduleFile, SavingAnEmptyListLeavesAZeroByteFile) {
    WriteBytes(Path(), "old content\r\n");
    StringList list;
    ASSERT_TRUE(list.save(Path()));
    bool exists = false;
    EXPECT_EQ("", ReadBytes(Path(), &exists));
    EXPECT_TRUE(exists);
}

TEST_F(ScheduleFile, CharactersOutsideTheCodePageAreWrittenAsTheDefaultCharacter) {
    // U+1F600 has no code page 932 form: the conversion writes its default
    // character instead, never a NUL or a cut line.
    StringList list = ListOf({L"  EveryDay 07:00:00 Msg    a\U0001F600b"});
    ASSERT_TRUE(list.save(Path()));
    const std::string bytes = ReadBytes(Path());
    EXPECT_EQ(std::string("  EveryDay 07:00:00 Msg    a"), bytes.substr(0, 28));
    EXPECT_EQ(std::string("b\r\n"), bytes.substr(bytes.size() - 3));
    EXPECT_EQ(std::string::npos, bytes.find('\0'));
}

TEST_F(ScheduleFile, ALineFeedInsideARecordIsWrittenAsCrLf) {
    StringList list = ListOf({L"a\nb"});
    ASSERT_TRUE(list.save(Path()));
    EXPECT_EQ("a\r\nb\r\n", ReadBytes(Path()));
}

TEST_F(ScheduleFile, AMissingFileShowsTheBoxAndLeavesTheListEmpty) {
    StringList list = ListOf({L"stale"});
    list.load(Path(L"missing.txt"));
    EXPECT_EQ(0, list.count());
    ASSERT_EQ(1u, boxes_.boxes().size());
    EXPECT_EQ(std::wstring(Path(L"missing.txt").text()) + L"\nファイルがないのかもしれません", boxes_.boxes()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), boxes_.boxes()[0].style & MB_ICONMASK);
    EXPECT_EQ(nullptr, boxes_.boxes()[0].owner);
}

TEST_F(ScheduleFile, LoadReplacesTheWholeList) {
    StringList list = ListOf({L"one", L"two", L"three"});
    WriteBytes(Path(), "new\r\n");
    list.load(Path());
    EXPECT_EQ((Lines{L"new"}), Records(list));
}

TEST_F(ScheduleFile, SaveCreatesANewFileAndLeavesNoTemporaryFile) {
    StringList list = ListOf({L"  EveryDay 07:00:00 Msg    新規"});
    ASSERT_TRUE(list.save(Path()));
    ASSERT_TRUE(list.save(Path()));
    EXPECT_EQ(Cp932Lines({L"  EveryDay 07:00:00 Msg    新規"}), ReadBytes(Path()));
    EXPECT_EQ((std::vector<std::wstring>{L"Zavbell.txt"}), FilesIn(folder_.path()));
}

TEST_F(ScheduleFile, SaveIntoAMissingFolderFailsAndCreatesNothing) {
    StringList list = ListOf({L"x"});
    EXPECT_FALSE(list.save(JoinPath(folder_.path(), L"no such folder\\Zavbell.txt")));
    EXPECT_TRUE(FilesIn(folder_.path()).empty());
    EXPECT_TRUE(boxes_.boxes().empty()) << "a failed save is not reported";
}

// Files in the folder besides the schedule. Wine's ReplaceFileW moves the
// target aside under a GetTempFileNameW name ("rfXXXX.tmp") and, when that
// move fails, leaves the empty name file behind; Windows leaves nothing.
std::vector<std::wstring> StrayFiles(const WString& folder, const wchar_t* keep) {
    std::vector<std::wstring> stray;
    for (const std::wstring& name : FilesIn(folder)) {
        const bool wineLeftover = RunningUnderWine() && name.compare(0, 2, L"rf") == 0 && name.size() > 4 &&
                                  name.compare(name.size() - 4, 4, L".tmp") == 0;
        if (name != keep && !wineLeftover) stray.push_back(name);
    }
    return stray;
}

TEST_F(ScheduleFile, ASaveThatCannotReplaceTheFileKeepsTheOldOneIntact) {
    const std::string old = Cp932Lines({L"  EveryDay 07:00:00 Msg    古い"});
    WriteBytes(Path(), old);
    {
        // Another program holds the schedule open without sharing: the
        // replacement fails (ERROR_SHARING_VIOLATION on Windows and Wine).
        UniqueHandle holder(CreateFileW(Path().text(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(static_cast<bool>(holder));
        StringList list = ListOf({L"  EveryDay 08:00:00 Msg    新しい"});
        EXPECT_FALSE(list.save(Path()));
        EXPECT_TRUE(StrayFiles(folder_.path(), L"Zavbell.txt").empty()) << "the temporary file must not remain";
    }
    EXPECT_EQ(old, ReadBytes(Path()));
}

TEST_F(ScheduleFile, AReadOnlyScheduleIsNotReplaced) {
    const std::string old = Cp932Lines({L"  EveryDay 07:00:00 Msg    読み取り専用"});
    WriteBytes(Path(), old);
    ASSERT_TRUE(SetFileAttributesW(Path().text(), FILE_ATTRIBUTE_READONLY));
    StringList list = ListOf({L"new"});
    EXPECT_FALSE(list.save(Path()));
    SetFileAttributesW(Path().text(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(old, ReadBytes(Path()));
    EXPECT_TRUE(StrayFiles(folder_.path(), L"Zavbell.txt").empty());
}

TEST_F(ScheduleFile, SavingOverADirectoryFailsWithoutDamage) {
    ASSERT_TRUE(CreateDirectoryW(Path(L"dir").text(), nullptr));
    StringList list = ListOf({L"x"});
    EXPECT_FALSE(list.save(Path(L"dir")));
    const DWORD attributes = GetFileAttributesW(Path(L"dir").text());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ((std::vector<std::wstring>{L"dir"}), FilesIn(folder_.path()));
    RemoveDirectoryW(Path(L"dir").text());
}

TEST_F(ScheduleFile, ARelativePathIsSavedInTheCurrentDirectory) {
    // Wine's ReplaceFileW fails on a bare file name (ERROR_DIRECTORY); Windows
    // does not. The save must work either way.
    CurrentDirectoryScope scope(folder_.path());
    StringList list = ListOf({L"first"});
    ASSERT_TRUE(list.save(WString(L"Zavbell.txt")));
    list.SetAt(0, WString(L"second"));
    ASSERT_TRUE(list.save(WString(L"Zavbell.txt")));
    EXPECT_EQ("second\r\n", ReadBytes(Path()));
    EXPECT_EQ((std::vector<std::wstring>{L"Zavbell.txt"}), FilesIn(folder_.path()));
}

TEST_F(ScheduleFile, ReplacingKeepsTheOldFilesHiddenAndSystemFlags) {
    WriteBytes(Path(), "old\r\n");
    ASSERT_TRUE(SetFileAttributesW(Path().text(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    ASSERT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
              GetFileAttributesW(Path().text()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    StringList list = ListOf({L"new"});
    ASSERT_TRUE(list.save(Path()));
    ASSERT_TRUE(list.save(Path()));
    EXPECT_EQ("new\r\n", ReadBytes(Path()));
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
              GetFileAttributesW(Path().text()) & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_EQ((std::vector<std::wstring>{L"Zavbell.txt"}), FilesIn(folder_.path()));
    SetFileAttributesW(Path().text(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(ScheduleFile, WhereNoTemporaryFileCanBeMadeTheFileIsWrittenInPlace) {
    // A file name of 250 units leaves no room in the 255 units a name may have
    // (NTFS and Linux alike) for ".<process id>.tmp": the temporary file cannot
    // be created, as in a folder where only the file itself is writable (under
    // Wine the tests run as root, whom no folder refuses).
    const std::wstring longName = std::wstring(246, L'z') + L".txt";
    // "\\?\": on Windows the whole path passes MAX_PATH too.
    const WString path = WString(L"\\\\?\\") + Path(longName.c_str());
    ASSERT_TRUE(WriteBytes(path, "old\r\n"));
    ASSERT_FALSE(WriteBytes(SaveTemporaryPath(path, GetCurrentProcessId()), "x")) << "the temporary name still fits";
    StringList list = ListOf({L"  EveryDay 07:00:00 Msg    書けた"});
    ASSERT_TRUE(list.save(path));
    EXPECT_EQ(Cp932Lines({L"  EveryDay 07:00:00 Msg    書けた"}), ReadBytes(path));
    // In place, a shorter list leaves no tail of the old content.
    list.SetAt(0, WString(L"x"));
    ASSERT_TRUE(list.save(path));
    EXPECT_EQ("x\r\n", ReadBytes(path));
    EXPECT_EQ((std::vector<std::wstring>{longName}), FilesIn(folder_.path()));
}

TEST_F(ScheduleFile, EachFileIsWrittenBackInTheEncodingItWasReadIn) {
    struct Case {
        const char* name;
        std::string bytes;
        Lines lines;
        std::string written;  // empty: the bytes as they were
    };
    const std::string bom = "\xEF\xBB\xBF";
    // "  EveryDay 07:00:00 Msg    朝です" in UTF-8, written by hand.
    const std::string morning = "  EveryDay 07:00:00 Msg    \xE6\x9C\x9D\xE3\x81\xA7\xE3\x81\x99";
    // 𠮷 😀 é 〜 (U+301C) − (U+2212): none of them has a code page 932 form.
    const std::string outside =
        "  EveryDay 07:00:00 Msg    \xF0\xA0\xAE\xB7 \xF0\x9F\x98\x80 \xC3\xA9 "
        "\xE3\x80\x9C \xE2\x88\x92\r\n";
    const std::wstring outsideText = L"  EveryDay 07:00:00 Msg    \U00020BB7 \U0001F600 \u00E9 \u301C \u2212";
    // ﾈｺ ﾊｲ in code page 932: C8 BA and CA B2 are valid two-byte UTF-8 too.
    const std::string katakana = "  EveryDay 07:00:00 Msg    \xC8\xBA \xCA\xB2\r\n";
    const Case cases[] = {
        {"UTF-8 with a byte-order mark",
         bom + morning + "\r\n# EveryDay Start    Msg    abc\r\n",
         {L"  EveryDay 07:00:00 Msg    朝です", L"# EveryDay Start    Msg    abc"},
         ""},
        {"UTF-8 without a byte-order mark", morning + "\n", {L"  EveryDay 07:00:00 Msg    朝です"}, morning + "\r\n"},
        {"UTF-8 that code page 932 cannot hold", outside, {outsideText}, ""},
        {"a byte-order mark alone", bom, {}, ""},
        {"code page 932",
         Cp932Lines({L"  EveryDay 07:00:00 Msg    朝です"}),
         {L"  EveryDay 07:00:00 Msg    朝です"},
         ""},
        {"code page 932 half-width katakana only", katakana, {L"  EveryDay 07:00:00 Msg    ﾈｺ ﾊｲ"}, ""},
        {"plain ASCII", "  EveryDay 07:00:00 Msg    abc\r\n", {L"  EveryDay 07:00:00 Msg    abc"}, ""},
        // "/" in an overlong two-byte form is no UTF-8; in code page 932 the
        // two bytes are the half-width katakana ﾀ and ｯ.
        {"an overlong UTF-8 form", "x\xC0\xAF\r\n", {L"xﾀｯ"}, ""},
        {"UTF-8 cut in the middle of a character",
         morning.substr(0, morning.size() - 1),
         {Decode(932, morning.substr(0, morning.size() - 1))},
         Cp932Lines({Decode(932, morning.substr(0, morning.size() - 1))})},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.lines, LoadBytes(c.bytes)) << c.name;
        StringList list;
        list.load(Path());
        ASSERT_TRUE(list.save(Path())) << c.name;
        EXPECT_EQ(c.written.empty() ? c.bytes : c.written, ReadBytes(Path())) << c.name;
    }
    EXPECT_TRUE(boxes_.boxes().empty());
}

TEST_F(ScheduleFile, ANulInsideALineBecomesABlankAndKeepsTheRest) {
    const char bytes[] = "abc\0def\r\n\0x\r\n";
    EXPECT_EQ((Lines{L"abc def", L" x"}), LoadBytes(std::string(bytes, sizeof bytes - 1)));
    StringList list;
    list.load(Path());
    ASSERT_TRUE(list.save(Path()));
    EXPECT_EQ("abc def\r\n x\r\n", ReadBytes(Path()));
}

TEST_F(ScheduleFile, AFileTooLargeToHoldIsRefusedWithItsNameAndSize) {
    // Sparse: the size is there without writing 64 MiB.
    {
        UniqueHandle file(CreateFileW(Path().text(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(static_cast<bool>(file));
        LARGE_INTEGER size;
        size.QuadPart = static_cast<LONGLONG>(kMaxScheduleBytes) + 1;
        ASSERT_TRUE(SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(file.get()));
    }
    StringList list = ListOf({L"kept?"});
    EXPECT_FALSE(list.load(Path()));
    EXPECT_EQ(0, list.count());
    ASSERT_EQ(1u, boxes_.boxes().size());
    EXPECT_EQ(std::wstring(Path().text()) + L"\nファイルが大きすぎるので読み込めません (67108865 バイト)",
              boxes_.boxes()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), boxes_.boxes()[0].style & MB_ICONMASK);

    // Small in bytes, but more records than can be held.
    const std::string lines(static_cast<size_t>(kMaxScheduleRecords) + 1, '\n');
    ASSERT_TRUE(WriteBytes(Path(), lines));
    EXPECT_FALSE(list.load(Path()));
    EXPECT_EQ(0, list.count());
    ASSERT_EQ(2u, boxes_.boxes().size());
    EXPECT_EQ(std::wstring(Path().text()) + L"\nファイルが大きすぎるので読み込めません (1000001 バイト)",
              boxes_.boxes()[1].text);
    // One line fewer is a schedule of a million empty records.
    ASSERT_TRUE(WriteBytes(Path(), lines.substr(1)));
    EXPECT_TRUE(list.load(Path()));
    EXPECT_EQ(kMaxScheduleRecords, list.count());
}

}  // namespace

// The command words of ZAVSet: whole, case-sensitive words, and the refusal
// of anything else.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "common/Paths.h"
#include "settings/CommandWords.h"
#include "tests/common/TestSupport.h"

namespace {

struct WordCase {
    const wchar_t* word;
    CommandHandler expected;    // nullptr: refused
};

const WordCase kWordCases[] = {
    {L"set", OpenScheduleList},
    {L"zzzzzz", OpenScheduleList},
    {L"about", OpenAbout},
    {L"timer", OpenTimer},
    {L"initschedule", RunInitSchedule},
    {L"Set", nullptr},          // case matters
    {L"SET", nullptr},
    {L"About", nullptr},
    {L"InitSchedule", nullptr},
    {L"se", nullptr},           // whole words only
    {L"sets", nullptr},
    {L"set about", nullptr},
    {L"zzzzz", nullptr},
    {L"", nullptr},
    {L"/set", nullptr},
};

TEST(CommandWordsTest, Table) {
    for (const WordCase& c : kWordCases) {
        const CommandWord* entry = FindCommandWord(c.word);
        if (c.expected == nullptr) {
            EXPECT_EQ(nullptr, entry) << "\"" << Narrow(c.word) << "\" must be refused";
        } else {
            ASSERT_NE(nullptr, entry) << "\"" << Narrow(c.word) << "\" must be known";
            EXPECT_EQ(c.expected, entry->run) << "handler of \"" << Narrow(c.word) << "\"";
        }
    }
}

TEST(CommandWordsTest, UnknownWordShowsTheDirectStartRefusal) {
    for (const wchar_t* word : {L"", L"Set", L"help"}) {
        BoxRecorder boxes;
        RunCommandWord(word, StartInfo());
        ASSERT_EQ(1u, boxes.boxes().size()) << "word \"" << Narrow(word) << "\"";
        const RecordedBox& box = boxes.boxes()[0];
        EXPECT_EQ(Narrow(L"直接起動してはいけません"), Narrow(box.text.c_str()));
        EXPECT_EQ("Orrivane", Narrow(box.caption.c_str()));
        EXPECT_EQ(0x50010u, box.style);
        EXPECT_EQ(nullptr, box.owner);
    }
}

TEST(CommandWordsTest, InitScheduleWritesTheTutorialIntoTheCurrentDirectory) {
    TempFolder folder;
    CurrentDirectoryScope scope(folder.path());
    BoxRecorder boxes;
    RunCommandWord(L"initschedule", StartInfo());
    EXPECT_TRUE(boxes.boxes().empty()) << "a first run shows no box";

    AnsiText path = JoinPath(folder.path(), L"Zavbell.txt").ToAnsi();
    std::ifstream file(path.get(), std::ios::binary);
    ASSERT_TRUE(file.good()) << "Zavbell.txt was not written";
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    int lines = 0;
    for (size_t at = bytes.find("\r\n"); at != std::string::npos; at = bytes.find("\r\n", at + 2)) ++lines;
    EXPECT_EQ(17, lines);
}

}  // namespace

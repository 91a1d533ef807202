#include <gtest/gtest.h>

#include <cstring>

#include "common/SharedBlock.h"
#include "tests/common/TestSupport.h"

namespace {

WString UniqueName(const wchar_t* base) {
    WString name(base);
    name += WString(static_cast<int>(GetCurrentProcessId()));
    return name;
}

TEST(SharedBlock, CreateStartsAtZeroWithItsSize) {
    SharedBlock block;
    ASSERT_TRUE(block.create(UniqueName(L"orrivane_create_").text(), 12));
    EXPECT_TRUE(block.isOpen());
    EXPECT_EQ(12, block.size());
    EXPECT_EQ(0, block.position());
}

TEST(SharedBlock, WritePastTheEndIsRefusedAndCopiesNothing) {
    BoxRecorder boxes;
    SharedBlock block;
    ASSERT_TRUE(block.create(UniqueName(L"orrivane_write_").text(), 8));
    const char data[] = "abcdefghij";
    EXPECT_TRUE(block.write(data, 6));
    EXPECT_EQ(6, block.position());
    EXPECT_FALSE(block.write(data + 6, 3)) << "6 + 3 > 8";
    EXPECT_EQ(6, block.position()) << "a refused write does not move the cursor";
    const char* view = static_cast<const char*>(block.view());
    EXPECT_EQ(0, view[6]) << "nothing of the refused write reached the block";
    EXPECT_TRUE(block.write(data + 6, 2)) << "up to the end exactly is allowed";
    EXPECT_EQ(8, block.position());
    EXPECT_EQ(0, std::memcmp(view, "abcdefgh", 8));
    EXPECT_FALSE(block.write(data, -1)) << "a negative count is refused";
    block.close();
    EXPECT_TRUE(boxes.boxes().empty()) << "closing an open block reports nothing";
}

TEST(SharedBlock, ReadBounds) {
    SharedBlock block;
    ASSERT_TRUE(block.create(UniqueName(L"orrivane_read_").text(), 6));
    ASSERT_TRUE(block.write("123456", 6));
    ASSERT_TRUE(block.seek(2));
    char out[8] = "xxxxxxx";
    EXPECT_FALSE(block.read(out, 5)) << "2 + 5 > 6";
    EXPECT_EQ('x', out[0]) << "a refused read copies nothing";
    EXPECT_TRUE(block.read(out, 4));
    EXPECT_EQ(0, std::memcmp(out, "3456", 4));
    EXPECT_EQ(6, block.position());
    EXPECT_FALSE(block.read(out, 1));
}

TEST(SharedBlock, SeekRules) {
    SharedBlock block;
    ASSERT_TRUE(block.create(UniqueName(L"orrivane_seek_").text(), 10));
    struct Case { int offset; bool accepted; };
    const Case cases[] = {{0, true}, {5, true}, {10, true}, {11, false}, {-1, false}};
    for (const Case& c : cases) {
        ASSERT_TRUE(block.seek(3));
        EXPECT_EQ(c.accepted, block.seek(c.offset)) << "seek(" << c.offset << ") on a block of 10";
        EXPECT_EQ(c.accepted ? c.offset : 3, block.position()) << "seek(" << c.offset << ")";
    }
}

TEST(SharedBlock, OpenByNameSeesWhatCreateWrote) {
    WString name = UniqueName(L"orrivane_open_");
    SharedBlock creator;
    ASSERT_TRUE(creator.create(name.text(), 32));
    const wchar_t text[] = L"Msg    テスト";
    ASSERT_TRUE(creator.write(text, sizeof(text)));

    SharedBlock reader;
    ASSERT_TRUE(reader.open(name.text()));
    EXPECT_EQ(0, reader.size()) << "opened by name: no size known";
    EXPECT_EQ(0, reader.position());
    EXPECT_STREQ(text, static_cast<const wchar_t*>(reader.view()));
    EXPECT_TRUE(reader.seek(1000)) << "no bound on seek without a size";
    EXPECT_TRUE(reader.seek(0));
    wchar_t copy[11] = {};
    EXPECT_TRUE(reader.read(copy, sizeof(text)));
    EXPECT_STREQ(text, copy);
    // Without a size the block still cannot be read past the mapped pages.
    ASSERT_TRUE(reader.seek(0));
    static char huge[1 << 20];
    EXPECT_FALSE(reader.read(huge, sizeof(huge)));
    reader.close();
    EXPECT_FALSE(reader.isOpen());
}

TEST(SharedBlock, OpenOfAMissingNameLeavesItClosed) {
    BoxRecorder boxes;
    SharedBlock block;
    EXPECT_FALSE(block.open(UniqueName(L"orrivane_missing_").text()));
    EXPECT_FALSE(block.isOpen());
    int value = 5;
    EXPECT_FALSE(block.read(&value, sizeof(value)));
    EXPECT_EQ(5, value);
    EXPECT_FALSE(block.write(&value, sizeof(value)));
    block.close();
    EXPECT_TRUE(boxes.boxes().empty()) << "closing a block that never opened reports nothing";
}

TEST(SharedBlock, AnotherProcessReadsAndAnswers) {
    WString name = UniqueName(L"orrivane_child_");
    SharedBlock block;
    ASSERT_TRUE(block.create(name.text(), 8));
    int number = 41;
    ASSERT_TRUE(block.write(&number, sizeof(number)));
    EXPECT_EQ(41u, RunProbe(L"block " + name)) << "the child reads what was written";
    ASSERT_TRUE(block.seek(4));
    int answer = 0;
    ASSERT_TRUE(block.read(&answer, sizeof(answer)));
    EXPECT_EQ(42, answer) << "the child's answer is in the block";
    block.close();
    EXPECT_EQ(0u, RunProbe(L"block " + name)) << "after close the name is gone";
}

TEST(SharedBlock, DestructorClosesAndCreateRejectsEmptySize) {
    WString name = UniqueName(L"orrivane_scope_");
    {
        SharedBlock block;
        ASSERT_TRUE(block.create(name.text(), 4));
    }
    SharedBlock reopened;
    EXPECT_FALSE(reopened.open(name.text())) << "the destructor closed the only handle";
    SharedBlock empty;
    EXPECT_FALSE(empty.create(name.text(), 0));
    EXPECT_FALSE(empty.isOpen());
}

TEST(SharedBlock, ReadTextStopsAtTheNulTheBlockEndOrTheLimit) {
    const wchar_t text[] = L"Msg    テスト";
    SharedBlock writer;
    ASSERT_TRUE(writer.create(UniqueName(L"orrivane_text_").text(), 4096));
    ASSERT_TRUE(writer.write(text, sizeof(text)));
    SharedBlock reader;
    ASSERT_TRUE(reader.open(UniqueName(L"orrivane_text_").text()));
    WString read;
    EXPECT_TRUE(reader.readText(&read, 100));
    EXPECT_STREQ(text, read.text());
    EXPECT_EQ(static_cast<int>(sizeof(text)), reader.position()) << "the cursor stands after the NUL";

    // Longer than the limit: refused, nothing taken.
    ASSERT_TRUE(reader.seek(0));
    WString refused(L"before");
    EXPECT_FALSE(reader.readText(&refused, 5));
    EXPECT_STREQ(L"before", refused.text());

    // No NUL before the end of the mapped page: the text ends there.
    std::wstring full(2048, L'y');
    ASSERT_TRUE(writer.seek(0));
    ASSERT_TRUE(writer.write(full.c_str(), 4096));
    ASSERT_TRUE(reader.seek(0));
    EXPECT_TRUE(reader.readText(&read, 65536));
    EXPECT_EQ(2048, read.length());
}

}  // namespace

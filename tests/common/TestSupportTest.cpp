// The shared test helpers themselves: code page conversion, how a WString
// reads in an assertion message, and the temporary folder's clean-up.
#include <gtest/gtest.h>

#include "common/Paths.h"
#include "tests/common/TestSupport.h"

namespace {

struct Encoded {
    UINT codePage;
    const wchar_t* text;
    const char* bytes;  // as the code page's own tables give them
};

const Encoded kEncoded[] = {
    {CP_UTF8, L"", ""},
    {CP_UTF8, L"abc", "abc"},
    {CP_UTF8, L"日本", "\xE6\x97\xA5\xE6\x9C\xAC"},
    {CP_UTF8, L"a\x00E9", "a\xC3\xA9"},
    {932, L"日本", "\x93\xFA\x96\x7B"},
    {932, L"ｱｲ", "\xB1\xB2"},
    {932, L"表示", "\x95\x5C\x8E\xA6"},  // 表's second byte is a backslash
};

TEST(TestSupport, EncodeAndDecodeFollowTheCodePage) {
    for (const Encoded& row : kEncoded) {
        SCOPED_TRACE(row.bytes);
        EXPECT_EQ(std::string(row.bytes), Encode(row.codePage, row.text));
        EXPECT_EQ(std::wstring(row.text), Decode(row.codePage, row.bytes));
    }
}

TEST(TestSupport, WStringPrintsAsQuotedUtf8) {
    EXPECT_EQ("\"\xE6\x97\xA5\xE6\x9C\xAC\"", ::testing::PrintToString(WString(L"日本")));
    EXPECT_EQ("\"\"", ::testing::PrintToString(WString()));
}

TEST(TestSupport, TempFolderGoesWithNestedAndReadOnlyFiles) {
    WString kept;
    {
        TempFolder folder;
        kept = folder.path();
        ASSERT_FALSE(kept.empty());
        WString inner = JoinPath(kept, L"中");
        ASSERT_TRUE(CreateDirectoryW(inner.text(), nullptr));
        WString file = JoinPath(inner, L"読み取り専用.txt");
        ASSERT_TRUE(CreateEmptyFile(file));
        ASSERT_TRUE(SetFileAttributesW(file.text(), FILE_ATTRIBUTE_READONLY));
    }
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(kept.text())) << Narrow(kept);
}

}  // namespace

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "common/WString.h"
#include "tests/common/TestSupport.h"

namespace {

TEST(WStringConstruction, EmptyReservesThirtyUnits) {
    WString s;
    EXPECT_EQ(0, s.length());
    EXPECT_EQ(30, s.capacity());
    EXPECT_STREQ(L"", s.text());
}

TEST(WStringConstruction, FromTextAllocatesExactly) {
    WString s(L"abc");
    EXPECT_EQ(3, s.length());
    EXPECT_EQ(4, s.capacity());
    WString none(L"");
    EXPECT_EQ(0, none.length());
    EXPECT_EQ(1, none.capacity());
}

TEST(WStringConstruction, StopsAtTheFirstNul) {
    const wchar_t withNul[] = {L'a', L'b', L'\0', L'c', L'd', L'\0'};
    WString s(withNul);
    EXPECT_EQ(2, s.length());
    WString counted(withNul, 5);
    EXPECT_EQ(2, counted.length()) << "a counted copy must stop at the NUL too";
    WString part(L"abcdef", 3);
    EXPECT_STREQ(L"abc", part.text());
    EXPECT_EQ(4, part.capacity());
}

TEST(WStringConstruction, FromIntegerHasCapacityFifteen) {
    struct Case { int value; const wchar_t* text; };
    const Case cases[] = {
        {0, L"0"}, {7, L"7"}, {-1, L"-1"}, {300, L"300"},
        {INT_MAX, L"2147483647"}, {INT_MIN, L"-2147483648"},
    };
    for (const Case& c : cases) {
        WString s(c.value);
        EXPECT_STREQ(c.text, s.text()) << "value " << c.value;
        EXPECT_EQ(15, s.capacity()) << "value " << c.value;
    }
}

TEST(WStringConstruction, CopyKeepsCapacityAndIsDeep) {
    WString source;
    source.append(L"hello");
    WString copy(source);
    EXPECT_EQ(source.capacity(), copy.capacity());
    EXPECT_EQ(30, copy.capacity());
    EXPECT_STREQ(L"hello", copy.text());
    EXPECT_NE(source.text(), copy.text()) << "copies must not share a buffer";
    copy.SetAt(0, L'j');
    EXPECT_STREQ(L"hello", source.text());
}

TEST(WStringConstruction, MovedFromIsEmptyAndUsable) {
    WString source(L"text");
    WString target(std::move(source));
    EXPECT_STREQ(L"text", target.text());
    EXPECT_EQ(0, source.length());  // NOLINT: the moved-from state is defined
    source.append(L"again");
    EXPECT_STREQ(L"again", source.text());
    WString copyOfEmpty(WString{});
    EXPECT_STREQ(L"", copyOfEmpty.text());
}

TEST(WStringFormat, OneIntegerIntoFourteenUnits) {
    EXPECT_STREQ(L"-5", WString::Format(L"-%01d", 5).text());
    EXPECT_STREQ(L"-12", WString::Format(L"-%01d", 12).text());
    EXPECT_STREQ(L"00000000000001", WString::Format(L"%014d", 1).text());
    EXPECT_STREQ(L"error", WString::Format(L"%015d", 1).text()) << "15 units do not fit";
}

TEST(WStringGrowth, AppendGrowsToNeededPlusThirty) {
    WString s;
    for (int i = 0; i < 29; ++i) s.append(L"x");
    EXPECT_EQ(29, s.length());
    EXPECT_EQ(30, s.capacity()) << "29 units and the terminator fit in 30";
    s.append(L"y");
    EXPECT_EQ(30, s.length());
    EXPECT_EQ(60, s.capacity()) << "needed length 30 + 30";
    s.append(L"abc");
    EXPECT_EQ(60, s.capacity()) << "capacity grows only when needed";
}

TEST(WStringGrowth, AssignGrowsOnlyWhenNeeded) {
    WString s(L"abc");
    EXPECT_EQ(4, s.capacity());
    s.assign(L"abcdef");
    EXPECT_EQ(36, s.capacity());
    EXPECT_STREQ(L"abcdef", s.text());
    s.assign(L"x");
    EXPECT_EQ(36, s.capacity()) << "capacity never shrinks";
    EXPECT_STREQ(L"x", s.text());
    s = L"";
    EXPECT_EQ(0, s.length());
}

TEST(WStringGrowth, ConcatHasExactCapacity) {
    WString a(L"ab");
    WString joined = a + L"cde";
    EXPECT_STREQ(L"abcde", joined.text());
    EXPECT_EQ(6, joined.capacity());
    WString front = L"xy" + a;
    EXPECT_STREQ(L"xyab", front.text());
    EXPECT_EQ(5, front.capacity());
    EXPECT_STREQ(L"abab", (a + a).text());
}

TEST(WStringSelf, AssigningItselfIsSafe) {
    WString s(L"same");
    const WString& alias = s;
    s = alias;
    EXPECT_STREQ(L"same", s.text());
    s.assign(s.text());
    EXPECT_STREQ(L"same", s.text());
    s.assign(s.text() + 2);
    EXPECT_STREQ(L"me", s.text()) << "assigning a tail of its own buffer";
}

TEST(WStringSelf, AppendingItselfIsSafe) {
    WString small(L"ab");  // capacity 3: must grow while reading itself
    small.append(small.text());
    EXPECT_STREQ(L"abab", small.text());
    WString roomy;         // capacity 30: appended in place
    roomy.append(L"xyz");
    roomy += roomy;
    EXPECT_STREQ(L"xyzxyz", roomy.text());
}

struct SliceCase {
    const wchar_t* text;
    const char* op;
    int a;
    int b;
    const wchar_t* expected;
};

WString Slice(const SliceCase& c) {
    WString s(c.text);
    if (std::strcmp(c.op, "Left") == 0) return s.Left(c.a);
    if (std::strcmp(c.op, "Right") == 0) return s.Right(c.a);
    if (std::strcmp(c.op, "From") == 0) return s.From(c.a);
    return s.Mid(c.a, c.b);
}

TEST(WStringSlicing, Table) {
    const SliceCase cases[] = {
        {L"abc", "Left", 5, 0, L""},     // longer than the text: empty, not the whole text
        {L"abc", "Left", 3, 0, L"abc"},
        {L"abc", "Left", 2, 0, L"ab"},
        {L"abc", "Left", 0, 0, L""},
        {L"abc", "Left", -1, 0, L""},
        {L"", "Left", 0, 0, L""},
        {L"abc", "Right", 2, 0, L"bc"},
        {L"abc", "Right", 3, 0, L"abc"},
        {L"abc", "Right", 4, 0, L""},
        {L"abc", "Right", -1, 0, L""},
        {L"abc", "From", 3, 0, L""},     // From(length) is empty
        {L"abc", "From", 0, 0, L"abc"},
        {L"abc", "From", 2, 0, L"c"},
        {L"abc", "From", -1, 0, L""},
        {L"abc", "From", 99, 0, L""},
        {L"abcdef", "Mid", 1, 99, L"bcdef"},  // j clamped to the end
        {L"abcdef", "Mid", 3, 2, L""},        // j < i
        {L"abcdef", "Mid", 2, 2, L"c"},
        {L"abcdef", "Mid", 0, 5, L"abcdef"},
        {L"abcdef", "Mid", -1, 3, L""},
        {L"abcdef", "Mid", 6, 8, L""},
        {L"", "Mid", 0, 0, L""},
    };
    for (const SliceCase& c : cases) {
        WString got = Slice(c);
        EXPECT_STREQ(c.expected, got.text())
            << c.op << "(" << c.a << "," << c.b << ") of \"" << Narrow(c.text) << "\"";
    }
}

TEST(WStringSearch, FindTable) {
    struct Case { const wchar_t* text; const wchar_t* sub; int expected; };
    const Case cases[] = {
        {L"Msg    hello", L"Msg   ", 0},
        {L" Msg    hello", L"Msg   ", 1},
        {L"Msg", L"Msg   ", -1},
        {L"abc", L"", 0},
        {L"", L"", 0},
        {L"", L"a", -1},
        {L"abcabc", L"ca", 2},
        {L"ABC", L"abc", -1},  // case-sensitive
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, WString(c.text).Find(c.sub))
            << "Find(\"" << Narrow(c.sub) << "\") in \"" << Narrow(c.text) << "\"";
    }
}

TEST(WStringSearch, FindLast) {
    EXPECT_EQ(6, WString(L"C:\\dir\\file").FindLast(L'\\'));
    EXPECT_EQ(-1, WString(L"file").FindLast(L'\\'));
    EXPECT_EQ(-1, WString(L"").FindLast(L'x'));
    EXPECT_EQ(-1, WString(L"abc").FindLast(L'\0')) << "the terminator is not part of the text";
}

TEST(WStringSearch, StartsWithNoCase) {
    struct Case { const wchar_t* text; const wchar_t* prefix; bool expected; };
    const Case cases[] = {
        {L"SET", L"set", true},   {L"settings", L"SET", true}, {L"se", L"set", false},
        {L"abc", L"", true},      {L"timer", L"set", false},   {L"", L"", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, WString(c.text).StartsWithNoCase(c.prefix))
            << "\"" << Narrow(c.text) << "\" starts with \"" << Narrow(c.prefix) << "\"";
    }
}

TEST(WStringEdit, SetAt) {
    WString s(L"abcd");
    EXPECT_TRUE(s.SetAt(1, L'X'));
    EXPECT_STREQ(L"aXcd", s.text());
    EXPECT_FALSE(s.SetAt(4, L'Y')) << "index == length is out of range";
    EXPECT_FALSE(s.SetAt(-1, L'Y'));
    EXPECT_STREQ(L"aXcd", s.text());
    EXPECT_TRUE(s.SetAt(2, L'\0'));
    EXPECT_EQ(2, s.length()) << "a NUL cuts the text there";
    EXPECT_STREQ(L"aX", s.text());
    EXPECT_FALSE(s.SetAt(3, L'Z')) << "beyond the new length";
}

TEST(WStringEdit, TrimTable) {
    struct Case { const wchar_t* text; const wchar_t* expected; };
    const Case cases[] = {
        {L"  a b  ", L"a b"}, {L"ab", L"ab"}, {L"    ", L""}, {L"", L""},
        {L"\tab\t", L"\tab\t"},   // tabs stay
        {L" \tab ", L"\tab"},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(c.expected, WString(c.text).Trim().text()) << "Trim of \"" << Narrow(c.text) << "\"";
    }
}

TEST(WStringEdit, UnquoteTable) {
    struct Case { const wchar_t* text; const wchar_t* expected; };
    const Case cases[] = {
        {L"  \"C:\\Program Files\\x.exe\"  ", L"C:\\Program Files\\x.exe"},
        {L"\"C:\\dir\\file", L"C:\\dir\\fil"},  // no closing quote: the last unit goes anyway
        {L"plain", L"plain"},
        {L" plain ", L"plain"},
        {L"\"\"", L""},
        {L"\"", L""},
        {L"a\"b\"", L"a\"b\""},   // only a leading quote counts
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(c.expected, WString(c.text).Unquote().text()) << "Unquote of \"" << Narrow(c.text) << "\"";
    }
}

TEST(WStringEdit, LowerUpper) {
    EXPECT_STREQ(L"abc def1", WString(L"AbC DeF1").Lower().text());
    EXPECT_STREQ(L"ABC DEF1", WString(L"AbC DeF1").Upper().text());
}

TEST(WStringNumber, ToIntTable) {
    struct Case { const wchar_t* text; int expected; };
    const Case cases[] = {
        {L"12", 12},        {L"  12", 12},       {L"12 ", -1},       {L"", 0},
        {L"a", -1},         {L"-7", -7},         {L"+8", 8},         {L"1a", -1},
        {L"   ", -1},       {L"-", -1},          {L"2147483647", INT_MAX},
        {L"99999999999", INT_MAX},  {L"-99999999999", INT_MIN},  {L"0", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, WString(c.text).ToInt(-1)) << "ToInt(-1) of \"" << Narrow(c.text) << "\"";
    }
}

TEST(WStringAnsi, CodePageIsJapanese) {
    // The project's Wine prefix runs with a Japanese locale, like the users' Windows.
    ASSERT_EQ(932u, GetACP());
}

TEST(WStringAnsi, JapaneseRoundTripsThroughCp932) {
    WString japanese(L"日本語のテキスト ABC");
    AnsiText ansi = japanese.ToAnsi();
    const unsigned char expectedHead[] = {0x93, 0xFA, 0x96, 0x7B};  // 日本 in CP932
    ASSERT_GE(std::strlen(ansi.get()), sizeof(expectedHead));
    for (size_t i = 0; i < sizeof(expectedHead); ++i) {
        EXPECT_EQ(expectedHead[i], static_cast<unsigned char>(ansi[i])) << "byte " << i;
    }
    WString back(ansi.get());
    EXPECT_STREQ(japanese.text(), back.text());
    EXPECT_EQ(japanese.length(), back.length());
}

TEST(WStringAnsi, CharacterOutsideCp932BecomesQuestionMark) {
    WString thai(L"a\x0E01" L"b");  // a Thai letter has no CP932 form
    EXPECT_STREQ("a?b", thai.ToAnsi().get());
    EXPECT_STREQ("", WString().ToAnsi().get());
}

TEST(WStringAnsi, FromNullIsEmpty) {
    WString s(static_cast<const char*>(nullptr));
    EXPECT_EQ(0, s.length());
}

TEST(WStringText, DuplicateIsAnIndependentCopy) {
    WString s(L"copy me");
    wchar_t* copy = s.Duplicate();
    EXPECT_STREQ(L"copy me", copy);
    EXPECT_NE(s.text(), copy);
    delete[] copy;
}

TEST(WStringText, AtAndComparison) {
    WString s(L"ab");
    EXPECT_EQ(L'a', s.at(0));
    EXPECT_EQ(L'\0', s.at(2));
    EXPECT_EQ(L'\0', s.at(-1));
    EXPECT_TRUE(s == L"ab");
    EXPECT_TRUE(s != L"abc");
    EXPECT_TRUE(s == WString(L"ab"));
    EXPECT_FALSE(s == WString(L"a"));
}

// A text built a unit at a time (a test-run block was once read so) must not
// reallocate once per 30 units: 4 MiB took 39 s that way.
TEST(WStringGrowth, ALongRunOfAppendsReallocatesOnlyLogarithmically) {
    WString s;
    int reallocations = 0;
    for (int i = 0; i < 100000; ++i) {
        int before = s.capacity();
        s.append(L"x");
        if (s.capacity() != before) ++reallocations;
    }
    EXPECT_EQ(100000, s.length());
    EXPECT_LE(reallocations, 20) << "capacity now " << s.capacity();
}

}  // namespace

#include <gtest/gtest.h>

#include "common/MessageBoxes.h"
#include "tests/common/TestSupport.h"

namespace {

// One recorded box against what it should have been.
void ExpectBox(const RecordedBox& box, const wchar_t* text, UINT style, HWND owner,
               const wchar_t* caption = L"Orrivane") {
    EXPECT_EQ(text, box.text) << "expected [" << Narrow(text) << "], got [" << Narrow(box.text.c_str()) << "]";
    EXPECT_EQ(caption, box.caption) << "box [" << Narrow(text) << "]";
    EXPECT_EQ(style, box.style) << std::hex << "style of box [" << Narrow(text) << "]";
    EXPECT_EQ(owner, box.owner) << "owner of box [" << Narrow(text) << "]";
}

TEST(MessageBoxes, ShowErrorAndShowInfoStyles) {
    BoxRecorder boxes(IDOK);
    HWND owner = reinterpret_cast<HWND>(0x1234);
    EXPECT_EQ(IDOK, ShowError(L"エラーです", owner));
    EXPECT_EQ(IDOK, ShowInfo(L"お知らせ"));
    ASSERT_EQ(2u, boxes.boxes().size());
    ExpectBox(boxes.boxes()[0], L"エラーです", 0x50010u, owner);
    ExpectBox(boxes.boxes()[1], L"お知らせ", 0x50040u, nullptr);
}

TEST(MessageBoxes, AskBoxAddsQuestionStyleAndReturnsTheAnswer) {
    struct Case { UINT buttons; int answer; };
    const Case cases[] = {{MB_YESNO, IDYES}, {MB_YESNOCANCEL, IDCANCEL}, {MB_OKCANCEL, IDOK}};
    for (const Case& c : cases) {
        BoxRecorder boxes(c.answer);
        EXPECT_EQ(c.answer, AskBox(L"よろしいですか？", nullptr, c.buttons));
        ASSERT_EQ(1u, boxes.boxes().size());
        EXPECT_EQ(c.buttons | 0x50020u, boxes.boxes()[0].style) << "buttons " << c.buttons;
        EXPECT_EQ(L"Orrivane", boxes.boxes()[0].caption);
    }
}

TEST(MessageBoxes, CaptionCanBeChanged) {
    BoxRecorder boxes;
    SetBoxCaption(L"Quillon64");
    ShowError(L"x");
    SetBoxCaption(L"Orrivane");
    ShowError(L"y");
    ASSERT_EQ(2u, boxes.boxes().size());
    ExpectBox(boxes.boxes()[0], L"x", 0x50010u, nullptr, L"Quillon64");
    ExpectBox(boxes.boxes()[1], L"y", 0x50010u, nullptr);
}

TEST(MessageBoxes, CheckWin32ReportsOnlyZero) {
    BoxRecorder boxes;
    SetLastError(ERROR_ACCESS_DENIED);
    CheckWin32(1, "SetTimer in MainLoop");
    CheckWin32(-1, "SetTimer in MainLoop");
    EXPECT_TRUE(boxes.boxes().empty()) << "a non-zero result shows nothing";
    SetLastError(ERROR_ACCESS_DENIED);
    CheckWin32(0, "SetTimer in MainLoop");
    SetLastError(1400);
    CheckWin32(FALSE, "DestroyWindow");
    ASSERT_EQ(2u, boxes.boxes().size());
    ExpectBox(boxes.boxes()[0], L"SetTimer in MainLoop Error Code =5", 0x50010u, nullptr);
    ExpectBox(boxes.boxes()[1], L"DestroyWindow Error Code =1400", 0x50010u, nullptr);
}

TEST(MessageBoxes, CheckHResultReportsOnlyNegative) {
    BoxRecorder boxes;
    CheckHResult(S_OK, "SHGetMalloc Error");
    CheckHResult(S_FALSE, "SHGetMalloc Error");
    EXPECT_TRUE(boxes.boxes().empty());
    CheckHResult(E_FAIL, "SHGetSpecialFolderLocation");
    CheckHResult(static_cast<HRESULT>(0x80000001), "x");
    ASSERT_EQ(2u, boxes.boxes().size());
    ExpectBox(boxes.boxes()[0], L"SHGetSpecialFolderLocation Error Code =0x80004005", 0x50010u, nullptr);
    ExpectBox(boxes.boxes()[1], L"x Error Code =0x80000001", 0x50010u, nullptr);
}

TEST(MessageBoxes, HookCanBeRemovedAndRestored) {
    BoxRecorder outer;
    BoxHook previous = SetBoxHook(nullptr);
    EXPECT_NE(nullptr, previous);
    EXPECT_EQ(nullptr, SetBoxHook(previous));
    ShowInfo(L"through the hook again");
    EXPECT_EQ(1u, outer.boxes().size());
}

}  // namespace

#include <gtest/gtest.h>

#include "common/MessageBoxes.h"
#include "tests/common/TestSupport.h"

namespace {

TEST(MessageBoxes, ShowErrorAndShowInfoStyles) {
    BoxRecorder boxes(IDOK);
    HWND owner = reinterpret_cast<HWND>(0x1234);
    EXPECT_EQ(IDOK, ShowError(L"エラーです", owner));
    EXPECT_EQ(IDOK, ShowInfo(L"お知らせ"));
    ASSERT_EQ(2u, boxes.boxes().size());
    EXPECT_EQ(L"エラーです", boxes.boxes()[0].text);
    EXPECT_EQ(L"Orrivane", boxes.boxes()[0].caption);
    EXPECT_EQ(0x50010u, boxes.boxes()[0].style);
    EXPECT_EQ(owner, boxes.boxes()[0].owner);
    EXPECT_EQ(L"お知らせ", boxes.boxes()[1].text);
    EXPECT_EQ(0x50040u, boxes.boxes()[1].style);
    EXPECT_EQ(nullptr, boxes.boxes()[1].owner);
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
    EXPECT_EQ(L"Quillon64", boxes.boxes()[0].caption);
    EXPECT_EQ(L"Orrivane", boxes.boxes()[1].caption);
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
    EXPECT_EQ(L"SetTimer in MainLoop Error Code =5", boxes.boxes()[0].text);
    EXPECT_EQ(L"DestroyWindow Error Code =1400", boxes.boxes()[1].text);
    EXPECT_EQ(0x50010u, boxes.boxes()[0].style);
    EXPECT_EQ(nullptr, boxes.boxes()[0].owner);
    EXPECT_EQ(L"Orrivane", boxes.boxes()[0].caption);
}

TEST(MessageBoxes, CheckHResultReportsOnlyNegative) {
    BoxRecorder boxes;
    CheckHResult(S_OK, "SHGetMalloc Error");
    CheckHResult(S_FALSE, "SHGetMalloc Error");
    EXPECT_TRUE(boxes.boxes().empty());
    CheckHResult(E_FAIL, "SHGetSpecialFolderLocation");
    CheckHResult(static_cast<HRESULT>(0x80000001), "x");
    ASSERT_EQ(2u, boxes.boxes().size());
    EXPECT_EQ(L"SHGetSpecialFolderLocation Error Code =0x80004005", boxes.boxes()[0].text);
    EXPECT_EQ(L"x Error Code =0x80000001", boxes.boxes()[1].text);
    EXPECT_EQ(0x50010u, boxes.boxes()[1].style);
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

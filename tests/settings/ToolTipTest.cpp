// Tooltips of the dialog base: the tool record, line breaks only at "\n",
// the stay time, and replacing a tip's text.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "settings/DialogBase.h"
#include "tests/common/TestSupport.h"
#include "tests/settings/SettingsTestSupport.h"

namespace {

// A memory DC with a Japanese UI font selected.
class FontDC {
public:
    FontDC() : dc_(CreateCompatibleDC(nullptr)) {
        LOGFONTW logFont{};
        logFont.lfHeight = -12;
        logFont.lfCharSet = SHIFTJIS_CHARSET;
        lstrcpyW(logFont.lfFaceName, kDialogFace);
        font_.reset(CreateFontIndirectW(&logFont));
        previous_ = SelectObject(dc_, font_.get());
    }
    ~FontDC() {
        SelectObject(dc_, previous_);
        DeleteDC(dc_);
    }
    FontDC(const FontDC&) = delete;
    FontDC& operator=(const FontDC&) = delete;
    HDC get() const { return dc_; }
    int Extent(const wchar_t* text) const {
        SIZE size{};
        GetTextExtentPoint32W(dc_, text, lstrlenW(text), &size);
        return size.cx;
    }

private:
    HDC dc_;
    UniqueGdiObject font_;
    HGDIOBJ previous_;
};

TEST(WidestLineWidthTest, TakesTheLongestLine) {
    FontDC dc;
    int longest = dc.Extent(L"二行目はずっと長いテキスト");
    ASSERT_GT(longest, dc.Extent(L"短い"));
    EXPECT_EQ(longest, WidestLineWidth(dc.get(), L"短い\n二行目はずっと長いテキスト\n三"));
    EXPECT_EQ(longest, WidestLineWidth(dc.get(), L"二行目はずっと長いテキスト\n短い"));
    // The newline itself is never measured.
    EXPECT_LT(WidestLineWidth(dc.get(), L"短い\n二行目はずっと長いテキスト"),
              dc.Extent(L"短い二行目はずっと長いテキスト"));
}

TEST(WidestLineWidthTest, OneLineAndEmptyTexts) {
    FontDC dc;
    EXPECT_EQ(dc.Extent(L"一行だけ"), WidestLineWidth(dc.get(), L"一行だけ"));
    EXPECT_EQ(dc.Extent(L" "), WidestLineWidth(dc.get(), L"")) << "an empty tip is measured as one blank";
    EXPECT_GT(WidestLineWidth(dc.get(), L""), 0);
    EXPECT_EQ(dc.Extent(L"abc"), WidestLineWidth(dc.get(), L"abc\n"));
    EXPECT_EQ(dc.Extent(L"abc"), WidestLineWidth(dc.get(), L"\n\nabc"));
}

class ToolTipTest : public testing::Test {
protected:
    TestDialog dialog;
    HWND control = nullptr;

    void SetUp() override { control = dialog.Add(L"STATIC", 700, SS_NOTIFY, 10, 10, 120, 20, L"対象"); }

    // The tool registered for the control, read back with a record of the same size.
    bool ReadTool(HWND tip, TTTOOLINFOW* tool, wchar_t* text) {
        *tool = TTTOOLINFOW{};
        tool->cbSize = kToolRecordSize;
        tool->hwnd = dialog.window();
        tool->uId = reinterpret_cast<UINT_PTR>(control);
        tool->lpszText = text;
        text[0] = L'\0';
        if (!SendMessageW(tip, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(tool))) return false;
        tool->lpszText = text;
        SendMessageW(tip, TTM_GETTEXTW, 80, reinterpret_cast<LPARAM>(tool));
        return true;
    }
    // Width of text in the tooltip's own font.
    static int ExtentInTipFont(HWND tip, const wchar_t* text) {
        WindowDC dc(tip);
        HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(tip, WM_GETFONT, 0, 0));
        HGDIOBJ previous = font ? SelectObject(dc.get(), font) : nullptr;
        SIZE size{};
        GetTextExtentPoint32W(dc.get(), text, lstrlenW(text), &size);
        if (previous) SelectObject(dc.get(), previous);
        return size.cx;
    }
    // The text block a tooltip lays out for its text at its maximum width:
    // comctl32 sizes the tip with DrawText, word-breaking at that width.
    // (TTM_GETBUBBLESIZE would say it directly, but Wine measures there only
    // the text of the tip being shown, none in a test.)
    static SIZE LaidOut(HWND tip, const wchar_t* text) {
        WindowDC dc(tip);
        HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(tip, WM_GETFONT, 0, 0));
        HGDIOBJ previous = font ? SelectObject(dc.get(), font) : nullptr;
        RECT rect{0, 0, static_cast<LONG>(SendMessageW(tip, TTM_GETMAXTIPWIDTH, 0, 0)), 0};
        DrawTextW(dc.get(), text, -1, &rect, DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
        if (previous) SelectObject(dc.get(), previous);
        return SIZE{rect.right - rect.left, rect.bottom - rect.top};
    }
};

TEST_F(ToolTipTest, EachCallMakesItsOwnTooltipOwnedByTheDialog) {
    HWND first = dialog.lib.AddToolTip(700, L"一つ目", kToolTipAutoPop);
    HWND second = dialog.lib.AddToolTip(700, L"二つ目", kToolTipAutoPop);
    ASSERT_NE(nullptr, first);
    ASSERT_NE(nullptr, second);
    EXPECT_NE(first, second);
    wchar_t className[64];
    GetClassNameW(first, className, 64);
    EXPECT_STREQ(L"tooltips_class32", className);
    EXPECT_EQ(dialog.window(), GetWindow(first, GW_OWNER));
    EXPECT_TRUE(GetWindowLongW(first, GWL_STYLE) & TTS_ALWAYSTIP);
    EXPECT_EQ(1, SendMessageW(first, TTM_GETTOOLCOUNT, 0, 0));
}

TEST_F(ToolTipTest, ToolRecordIsAcceptedWithItsFlagsAndText) {
    HWND tip = dialog.lib.AddToolTip(700, L"ダブルクリックすると作者にメールが送れます", kToolTipAutoPop);
    TTTOOLINFOW tool;
    wchar_t text[80];
    ASSERT_TRUE(ReadTool(tip, &tool, text)) << "the 44-byte record names the control's window as tool id";
    EXPECT_EQ(static_cast<UINT>(TTF_IDISHWND | TTF_SUBCLASS), tool.uFlags & (TTF_IDISHWND | TTF_SUBCLASS));
    EXPECT_EQ(Narrow(L"ダブルクリックすると作者にメールが送れます"), Narrow(text));
    EXPECT_EQ(5000, SendMessageW(tip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0));
}

TEST_F(ToolTipTest, MaxWidthIsTheLongerLineInTheTipFont) {
    const wchar_t* text = L"短い行\nこちらの二行目のほうがずっと長い";
    HWND tip = dialog.lib.AddToolTip(700, text, kToolTipAutoPop);
    int longer = ExtentInTipFont(tip, L"こちらの二行目のほうがずっと長い");
    ASSERT_GT(longer, ExtentInTipFont(tip, L"短い行"));
    EXPECT_EQ(longer, SendMessageW(tip, TTM_GETMAXTIPWIDTH, 0, 0));
}

TEST_F(ToolTipTest, TwoLineTipIsTwoLinesHighAndAsWideAsItsLongerLine) {
    const wchar_t* text = L"短い行\nこちらの二行目のほうがずっと長い";
    HWND tip = dialog.lib.AddToolTip(700, text, kToolTipAutoPop);
    SIZE laidOut = LaidOut(tip, text);
    SIZE longLine = LaidOut(tip, L"こちらの二行目のほうがずっと長い");
    SIZE twoShort = LaidOut(tip, L"短い行\n短い行");
    ASSERT_GT(longLine.cy, 0);
    EXPECT_EQ(ExtentInTipFont(tip, L"こちらの二行目のほうがずっと長い"), laidOut.cx) << "width of the longer line";
    EXPECT_EQ(longLine.cy, twoShort.cy / 2) << "one line is half of two";
    EXPECT_EQ(twoShort.cy, laidOut.cy) << "two lines, the long one not wrapped again";
}

TEST_F(ToolTipTest, SetToolTipTextReplacesTheTip) {
    HWND tip = dialog.lib.AddToolTip(700, L"元のテキスト", kToolTipAutoPop);
    dialog.lib.SetToolTipText(tip, 700, L"新しいテキスト");
    TTTOOLINFOW tool;
    wchar_t text[80];
    ASSERT_TRUE(ReadTool(tip, &tool, text));
    EXPECT_EQ(Narrow(L"新しいテキスト"), Narrow(text));
    EXPECT_EQ(1, SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
}

}  // namespace

// The dialog base: texts, list hit test, radio groups, fonts, number ranges,
// the file picker record and titles.
#include <windows.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "settings/DialogBase.h"
#include "tests/common/TestSupport.h"
#include "tests/settings/SettingsTestSupport.h"

namespace {

// ---- Number ranges ----

struct RangeCase {
    const wchar_t* text;
    int min;
    int max;
    bool expected;
};

const RangeCase kRangeCases[] = {
    {L"5", 0, 10, true},
    {L"0", 0, 10, true},
    {L"10", 0, 10, true},
    {L"11", 0, 10, false},
    {L"-1", 0, 10, false},
    {L"-3", -5, 5, true},
    {L"+4", 0, 10, true},
    {L"  7", 0, 10, true},          // leading white space is allowed
    {L"\t8", 0, 10, true},
    {L"7 ", 0, 10, false},          // nothing may follow the digits
    {L"3a", 0, 10, false},
    {L"abc", 0, 10, false},
    {L" ", 0, 10, false},           // blanks without digits are not a number
    {L"0x10", 0, 100, false},       // decimal only
    {L"", 0, 10, true},             // the empty text converts to 0
    {L"", 1, 10, false},
    {L"5", 5, 5, true},
    {L"5", 10, 0, false},           // max below min accepts nothing
    {L"2147483647", 0, INT_MAX, true},
    {L"99999999999", INT_MIN, INT_MAX, false},   // too large for 32 bits: not clamped into range
    {L"-99999999999", INT_MIN, INT_MAX, false},
    // The C runtime's wcstol reads full-width digits as decimal digits (as
    // on Windows), so a number typed with the IME in full-width form counts.
    {L"１２", 0, 100, true},
    {L"１２", 0, 10, false},
};

TEST(IsNumberInRangeTest, Table) {
    for (const RangeCase& c : kRangeCases) {
        EXPECT_EQ(c.expected, IsNumberInRange(c.text, c.min, c.max))
            << "text \"" << Narrow(c.text) << "\" in [" << c.min << ", " << c.max << "]";
    }
}

// ---- Title suffix ----

TEST(ElevatedTitleTest, SuffixOnlyForElevationThree) {
    struct Case {
        int elevation;
        const wchar_t* expected;
    } cases[] = {
        {3, L"スケジュールの設定(昇格中)"},
        {2, L"スケジュールの設定"},
        {1, L"スケジュールの設定"},
        {0, L"スケジュールの設定"},   // token could not be queried
    };
    for (const Case& c : cases) {
        WString title = ElevatedTitle(L"スケジュールの設定", c.elevation);
        EXPECT_EQ(Narrow(c.expected), Narrow(title)) << "elevation " << c.elevation;
    }
}

TEST(ElevatedTitleTest, SetOnTheWindow) {
    TestDialog dialog;
    SetWindowTextW(dialog.window(), L"タイマーの設定");
    dialog.lib.SetElevatedTitle(3);
    EXPECT_EQ(Narrow(L"タイマーの設定(昇格中)"), Narrow(CWinLib::GetWndText(dialog.window())));
    SetWindowTextW(dialog.window(), L"タイマーの設定");
    dialog.lib.SetElevatedTitle(2);
    EXPECT_EQ(Narrow(L"タイマーの設定"), Narrow(CWinLib::GetWndText(dialog.window())));
}

// ---- Open-file record ----

TEST(InitOpenFileNameTest, FillsTheCurrentRecord) {
    OPENFILENAMEW record;
    std::memset(&record, 0xCD, sizeof(record));
    wchar_t file[MAX_PATH] = L"C:\\a.wav";
    const wchar_t filter[] = L"音声\0*.wav\0\0";
    HWND owner = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
    InitOpenFileName(&record, owner, filter, 2, L"ファイルの選択", file, MAX_PATH);

    EXPECT_EQ(88u, record.lStructSize);
    EXPECT_EQ(owner, record.hwndOwner);
    EXPECT_EQ(filter, record.lpstrFilter);
    EXPECT_EQ(2u, record.nFilterIndex);
    EXPECT_EQ(file, record.lpstrFile);
    EXPECT_EQ(static_cast<DWORD>(MAX_PATH), record.nMaxFile);
    EXPECT_STREQ(L"ファイルの選択", record.lpstrTitle);
    EXPECT_EQ(0x100Du, record.Flags);
    // Everything else starts zeroed, including the fields past the old 76-byte layout.
    EXPECT_EQ(nullptr, record.hInstance);
    EXPECT_EQ(nullptr, record.lpstrCustomFilter);
    EXPECT_EQ(0u, record.nMaxCustFilter);
    EXPECT_EQ(nullptr, record.lpstrFileTitle);
    EXPECT_EQ(nullptr, record.lpstrInitialDir);
    EXPECT_EQ(nullptr, record.lpstrDefExt);
    EXPECT_EQ(0, record.nFileOffset);
    EXPECT_EQ(0, record.nFileExtension);
    EXPECT_EQ(nullptr, record.lpfnHook);
    EXPECT_EQ(nullptr, record.pvReserved);
    EXPECT_EQ(0u, record.dwReserved);
    EXPECT_EQ(0u, record.FlagsEx);
}

// ---- Texts of controls ----

TEST(ControlTextTest, ItemListAndComboTexts) {
    TestDialog dialog;
    dialog.Add(L"EDIT", 300, 0, 0, 0, 200, 20, L"目覚まし 07:00:00");
    HWND list = dialog.Add(L"LISTBOX", 301, 0, 0, 30, 200, 100);
    HWND combo = dialog.Add(L"COMBOBOX", 302, CBS_DROPDOWNLIST, 0, 140, 200, 120);
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"一行目"));
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"二行目 Msg"));
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"Msg"));
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(L"シャットダウン"));

    EXPECT_EQ(Narrow(L"目覚まし 07:00:00"), Narrow(dialog.lib.GetItemText(300)));
    EXPECT_EQ(Narrow(L"二行目 Msg"), Narrow(dialog.lib.GetListText(301, 1)));
    EXPECT_EQ(Narrow(L"シャットダウン"), Narrow(dialog.lib.GetComboText(302, 1)));
    // Indexes past the end give the empty text.
    EXPECT_TRUE(dialog.lib.GetListText(301, 2).empty());
    EXPECT_TRUE(dialog.lib.GetComboText(302, 5).empty());
    EXPECT_TRUE(dialog.lib.GetItemText(399).empty());
}

TEST(ControlTextTest, FirstSelectedOfMultipleSelectionList) {
    TestDialog dialog;
    HWND list = dialog.Add(L"LISTBOX", 301, LBS_EXTENDEDSEL, 0, 0, 200, 100);
    for (const wchar_t* item : {L"a", L"b", L"c", L"d"})
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    EXPECT_EQ(-1, dialog.lib.GetFirstSelected(301));
    SendMessageW(list, LB_SETSEL, TRUE, 3);
    SendMessageW(list, LB_SETSEL, TRUE, 1);
    EXPECT_EQ(1, dialog.lib.GetFirstSelected(301));
}

// ---- Context-menu hit test ----

class SelectAtPointTest : public testing::Test {
protected:
    TestDialog dialog;
    BoxRecorder boxes;

    HWND MakeList(int id, DWORD style, int height = 200) {
        HWND list = dialog.Add(L"LISTBOX", id, style | LBS_NOINTEGRALHEIGHT | WS_VSCROLL, 10, 10, 200, height);
        for (const wchar_t* item : {L"項目0", L"項目1", L"項目2", L"項目3", L"項目4", L"項目5"})
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        return list;
    }
    // A screen point inside item index, dx/dy from its top-left corner.
    static LPARAM PointIn(HWND list, int index, int dx, int dy) {
        RECT item{};
        SendMessageW(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
        POINT point{item.left + dx, item.top + dy};
        ClientToScreen(list, &point);
        return MAKELPARAM(point.x, point.y);
    }
};

TEST_F(SelectAtPointTest, SingleSelectionPicksTheItemUnderThePoint) {
    HWND list = MakeList(400, 0);
    EXPECT_EQ(2, dialog.lib.SelectAtPoint(400, PointIn(list, 2, 5, 3)));
    EXPECT_EQ(2, SendMessageW(list, LB_GETCURSEL, 0, 0));
    EXPECT_EQ(4, dialog.lib.SelectAtPoint(400, PointIn(list, 4, 20, 1)));
    EXPECT_EQ(4, SendMessageW(list, LB_GETCURSEL, 0, 0));
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(SelectAtPointTest, PointBelowTheItemsClearsTheSelection) {
    HWND list = MakeList(400, 0);
    SendMessageW(list, LB_SETCURSEL, 3, 0);
    RECT client{};
    GetClientRect(list, &client);
    POINT point{5, client.bottom - 2};      // the empty area under six short items
    ClientToScreen(list, &point);
    EXPECT_EQ(-1, dialog.lib.SelectAtPoint(400, MAKELPARAM(point.x, point.y)));
    EXPECT_EQ(LB_ERR, SendMessageW(list, LB_GETCURSEL, 0, 0));
}

TEST_F(SelectAtPointTest, EdgesBelongToTheUpperItem) {
    HWND list = MakeList(400, 0);
    RECT item{};
    SendMessageW(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    // The bottom edge of item 1 is the top edge of item 2; the walk meets item 1 first.
    EXPECT_EQ(1, dialog.lib.SelectAtPoint(400, PointIn(list, 1, 0, item.bottom - item.top)));
}

TEST_F(SelectAtPointTest, MultipleSelectionKeepsOnlyTheHitItem) {
    HWND list = MakeList(401, LBS_EXTENDEDSEL);
    SendMessageW(list, LB_SETSEL, TRUE, 0);
    SendMessageW(list, LB_SETSEL, TRUE, 5);
    EXPECT_EQ(3, dialog.lib.SelectAtPoint(401, PointIn(list, 3, 4, 4)));
    EXPECT_EQ(1, SendMessageW(list, LB_GETSELCOUNT, 0, 0));
    EXPECT_GT(SendMessageW(list, LB_GETSEL, 3, 0), 0);

    // A miss leaves nothing selected.
    EXPECT_EQ(-1, dialog.lib.SelectAtPoint(401, MAKELPARAM(-2000, -2000)));
    EXPECT_EQ(0, SendMessageW(list, LB_GETSELCOUNT, 0, 0));
}

TEST_F(SelectAtPointTest, ScrolledListCountsFromTheTopIndex) {
    RECT probe{};
    HWND list = MakeList(402, 0, 60);
    SendMessageW(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&probe));
    SendMessageW(list, LB_SETTOPINDEX, 3, 0);
    ASSERT_EQ(3, SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    // The first visible row now shows item 3.
    RECT client{};
    GetClientRect(list, &client);
    POINT point{5, 2};
    ClientToScreen(list, &point);
    EXPECT_EQ(3, dialog.lib.SelectAtPoint(402, MAKELPARAM(point.x, point.y)));
}

// ---- Radio groups and showing controls ----

class RadioTest : public testing::Test {
protected:
    TestDialog dialog;
    BoxRecorder boxes;
    static constexpr int kBase = 500;

    void SetUp() override {
        // Plain radio buttons: checking an automatic one would uncheck the
        // others of its group by itself and hide what CheckRadio does.
        for (int i = 1; i <= 5; ++i)
            dialog.Add(L"BUTTON", kBase + i, BS_RADIOBUTTON | (i == 1 || i == 5 ? WS_GROUP : 0), 0, 20 * i, 100, 18);
    }
    int CheckedMask() const {
        int mask = 0;
        for (int i = 1; i <= 5; ++i)
            if (IsDlgButtonChecked(dialog.window(), kBase + i) == BST_CHECKED) mask |= 1 << (i - 1);
        return mask;
    }
};

TEST_F(RadioTest, NoneCheckedGivesMinusOne) {
    EXPECT_EQ(-1, dialog.lib.GetCheckedRadio(kBase, 4));
}

TEST_F(RadioTest, CheckRadioChecksExactlyOneOfTheGroup) {
    dialog.lib.CheckRadio(kBase, 4, 2);
    EXPECT_EQ(0x4, CheckedMask()) << "buttons 501..504, index 2 is button 503";
    EXPECT_EQ(2, dialog.lib.GetCheckedRadio(kBase, 4));
    EXPECT_TRUE(dialog.lib.IsChecked(kBase + 3));
    EXPECT_FALSE(dialog.lib.IsChecked(kBase + 1));
    dialog.lib.CheckRadio(kBase, 4, 0);
    EXPECT_EQ(0x1, CheckedMask());
    EXPECT_EQ(0, dialog.lib.GetCheckedRadio(kBase, 4));
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(RadioTest, OutOfRangeIndexUnchecksTheGroupOnly) {
    CheckDlgButton(dialog.window(), kBase + 5, BST_CHECKED);     // outside the group of four
    dialog.lib.CheckRadio(kBase, 4, 1);
    ASSERT_EQ(0x12, CheckedMask());
    dialog.lib.CheckRadio(kBase, 4, 4);
    EXPECT_EQ(0x10, CheckedMask()) << "index == count unchecks 501..504 and leaves 505";
    dialog.lib.CheckRadio(kBase, 4, 3);
    dialog.lib.CheckRadio(kBase, 4, -1);
    EXPECT_EQ(0x10, CheckedMask());
    EXPECT_EQ(-1, dialog.lib.GetCheckedRadio(kBase, 4));
}

TEST_F(RadioTest, FirstCheckedWins) {
    CheckDlgButton(dialog.window(), kBase + 2, BST_CHECKED);
    CheckDlgButton(dialog.window(), kBase + 4, BST_CHECKED);
    EXPECT_EQ(1, dialog.lib.GetCheckedRadio(kBase, 4));
    EXPECT_EQ(-1, dialog.lib.GetCheckedRadio(kBase, 1));
}

TEST_F(RadioTest, ShowItemsTouchesCountPlusOneControls) {
    auto visible = [this](int id) { return (GetWindowLongW(dialog.item(id), GWL_STYLE) & WS_VISIBLE) != 0; };
    dialog.lib.ShowItems(kBase + 1, 2, false);
    EXPECT_FALSE(visible(kBase + 1));
    EXPECT_FALSE(visible(kBase + 2));
    EXPECT_FALSE(visible(kBase + 3)) << "count 2 hides three controls";
    EXPECT_TRUE(visible(kBase + 4));
    dialog.lib.ShowItems(kBase + 1, 2, true);
    for (int id = kBase + 1; id <= kBase + 3; ++id) EXPECT_TRUE(visible(id)) << "button " << id;
}

// ---- Fonts and icons ----

TEST(MakeFontTest, PointsBecomeNegativePixelHeightInShiftJis) {
    TestDialog dialog;
    HWND label = dialog.Add(L"STATIC", 600, 0, 0, 0, 100, 20, L"ラベル");
    UniqueGdiObject font = dialog.lib.MakeFont(600, 14, kDialogFace, FALSE);
    ASSERT_TRUE(font);
    EXPECT_EQ(font.get(), reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));

    LOGFONTW logFont{};
    ASSERT_EQ(static_cast<int>(sizeof(logFont)), GetObjectW(font.get(), sizeof(logFont), &logFont));
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(-MulDiv(14, dpi, 72), logFont.lfHeight);
    EXPECT_EQ(SHIFTJIS_CHARSET, logFont.lfCharSet);
    EXPECT_EQ(0, logFont.lfWeight);
    EXPECT_EQ(Narrow(L"ＭＳ Ｐゴシック"), Narrow(logFont.lfFaceName));
}

TEST(MakeFontTest, IdZeroLeavesControlsAlone) {
    TestDialog dialog;
    HWND label = dialog.Add(L"STATIC", 600, 0, 0, 0, 100, 20, L"ラベル");
    HGDIOBJ before = reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0));
    UniqueGdiObject font = dialog.lib.MakeFont(0, 9, kFixedFace, FALSE);
    ASSERT_TRUE(font);
    EXPECT_EQ(before, reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0)));
}

TEST(MakeFontTest, OverlongFaceNameIsCutToTheFaceField) {
    TestDialog dialog;
    wchar_t face[80];
    for (int i = 0; i < 79; ++i) face[i] = L'A' + (i % 26);
    face[79] = L'\0';
    UniqueGdiObject font = dialog.lib.MakeFont(0, 9, face, FALSE);
    ASSERT_TRUE(font);
    LOGFONTW logFont{};
    GetObjectW(font.get(), sizeof(logFont), &logFont);
    EXPECT_EQ(LF_FACESIZE - 1, lstrlenW(logFont.lfFaceName));
}

TEST(SmallIconTest, LoadsResourceAtSmallIconSize) {
    TestDialog dialog;
    UniqueIcon icon = dialog.lib.SetSmallIcon(100);
    ASSERT_TRUE(icon);
    EXPECT_EQ(reinterpret_cast<LRESULT>(icon.get()), SendMessageW(dialog.window(), WM_GETICON, ICON_SMALL, 0));
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon.get(), &info));
    BITMAP bitmap{};
    GetObjectW(info.hbmMask, sizeof(bitmap), &bitmap);
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), bitmap.bmWidth);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

TEST(SmallIconTest, MissingResourceSetsNothing) {
    TestDialog dialog;
    UniqueIcon icon = dialog.lib.SetSmallIcon(9999);
    EXPECT_FALSE(icon);
    EXPECT_EQ(0, SendMessageW(dialog.window(), WM_GETICON, ICON_SMALL, 0));
}

}  // namespace

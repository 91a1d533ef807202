// The about box from ZAVSet's own template: texts, places, fonts, colours,
// tooltips, double-clicks and the three ways to close it.
//
// Each test runs the real modal box through the dialog harness, inspects it
// and then closes it the way the test names.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/System.h"
#include "settings/AboutDialog.h"
#include "settings/DialogBase.h"
#include "settings/resource.h"
#include "tests/common/TestSupport.h"
#include "tests/settings/DialogHarness.h"

namespace {

INT_PTR RunAbout(int elevation, DialogStep whileOpen) {
    DAbout about(elevation);
    return RunDialog([&about] { return about.Run(nullptr); }, std::move(whileOpen));
}

std::string TextOf(HWND box, int id) {
    return ItemTextUtf8(box, id);
}

std::vector<std::pair<HWND, std::wstring>> g_opened;
void RecordOpen(HWND owner, const wchar_t* target) {
    g_opened.emplace_back(owner, target);
}

class AboutDialogTest : public testing::Test {
protected:
    void SetUp() override {
        g_opened.clear();
        previousOpener_ = SetLinkOpener(RecordOpen);
    }
    void TearDown() override {
        SetLinkOpener(previousOpener_);
        EXPECT_TRUE(boxes.boxes().empty()) << "unexpected box: "
                                           << (boxes.boxes().empty() ? "" : Narrow(boxes.boxes()[0].text.c_str()));
    }
    BoxRecorder boxes;

private:
    LinkOpener previousOpener_ = nullptr;
};

TEST_F(AboutDialogTest, ShowsItsTextsAndOkEndsWithOne) {
    INT_PTR result = RunAbout(kElevationLimited, [](HWND box) {
        wchar_t caption[128];
        GetWindowTextW(box, caption, 128);
        EXPECT_EQ(Narrow(L"Orrivane のバージョン情報"), Narrow(caption));
        EXPECT_EQ("Orrivane", TextOf(box, IDC_ABOUT_NAME));
        EXPECT_EQ("Ver.3.01", TextOf(box, IDC_ABOUT_VERSION)) << "replaces Ver.x.xx of the template";
        EXPECT_EQ(Narrow(L"多機能でも軽い！指定時刻の動作が豊富な汎用アラームプログラム\n動作の種類\n"
                         L"　１）メッセージの表示\n　２）音声・動画ファイルの再生\n　３）通知メッセージの表示\n"
                         L"　４）ブリンクしてメッセージの表示\n　５）スクリーンセーバーの実行\n"
                         L"　６）３Ｄテキストメッセージの実行\n　７）ウインドウズの壁紙変更\n"
                         L"　８）ＤＯＳコマンドの実行\n　９）パソコンの停止・リブート\n"
                         L"日付、曜日指定のプログラム起動時動作の指定も可能です\n"),
                  TextOf(box, IDC_ABOUT_SUMMARY));
        EXPECT_EQ(Narrow(L"Orrivane 開発チーム"), TextOf(box, IDC_ABOUT_CREDIT));
        EXPECT_EQ("E-Mail:support@orrivane.example", TextOf(box, IDC_ABOUT_MAIL));
        EXPECT_EQ("https://orrivane.example/", TextOf(box, IDC_ABOUT_HOMEPAGE));
        EXPECT_EQ("OK", TextOf(box, IDC_ABOUT_OK));
        SendDlgItemMessageW(box, IDC_ABOUT_OK, BM_CLICK, 0, 0);
    });
    EXPECT_EQ(1, result);
}

TEST_F(AboutDialogTest, ElevatedCaptionAndCloseBoxEndsWithZero) {
    INT_PTR result = RunAbout(kElevationFull, [](HWND box) {
        wchar_t caption[128];
        GetWindowTextW(box, caption, 128);
        EXPECT_EQ(Narrow(L"Orrivane のバージョン情報(昇格中)"), Narrow(caption));
        PostMessageW(box, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(0, result);
}

TEST_F(AboutDialogTest, EnterPressesTheDefaultButton) {
    INT_PTR result = RunAbout(kElevationDefault, [](HWND box) {
        EXPECT_EQ(MAKELONG(IDC_ABOUT_OK, DC_HASDEFID), SendMessageW(box, DM_GETDEFID, 0, 0));
        HWND ok = GetDlgItem(box, IDC_ABOUT_OK);
        EXPECT_EQ(static_cast<LONG>(BS_DEFPUSHBUTTON), GetWindowLongW(ok, GWL_STYLE) & BS_TYPEMASK);
        PostMessageW(ok, WM_KEYDOWN, VK_RETURN, 0);
        PostMessageW(ok, WM_KEYUP, VK_RETURN, 0);
    });
    EXPECT_EQ(1, result);
}

TEST_F(AboutDialogTest, EscapeAndUnknownCommandsAreIgnored) {
    bool stillOpen = false;
    INT_PTR result = RunAbout(kElevationDefault, [&stillOpen](HWND box) {
        SendMessageW(box, WM_COMMAND, IDCANCEL, 0);
        SendMessageW(box, WM_COMMAND, IDOK, 0);
        SendMessageW(box, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_OK, BN_SETFOCUS), 0);
        stillOpen = IsWindowVisible(box) != FALSE;
        PostMessageW(box, WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(0, result);
}

TEST_F(AboutDialogTest, ControlsSitWhereTheTemplatePutsThem) {
    struct Place {
        int id;
        RECT units;     // x, y, width, height in dialog units
    };
    const Place places[] = {
        {IDC_ABOUT_NAME, {25, 10, 125, 20}},     {IDC_ABOUT_VERSION, {150, 15, 45, 15}},
        {IDC_ABOUT_SUMMARY, {25, 35, 205, 103}}, {IDC_ABOUT_CREDIT, {11, 149, 135, 8}},
        {IDC_ABOUT_MAIL, {11, 159, 125, 8}},     {IDC_ABOUT_HOMEPAGE, {11, 169, 96, 8}},
        {IDC_ABOUT_OK, {186, 159, 45, 20}},
    };
    RunAbout(kElevationDefault, [&places](HWND box) {
        for (const Place& place : places) {
            // The dialog manager converts the size on its own, not the right edge.
            RECT expected = place.units;
            MapDialogRect(box, &expected);
            expected.right += expected.left;
            expected.bottom += expected.top;
            RECT actual{};
            HWND control = GetDlgItem(box, place.id);
            ASSERT_NE(nullptr, control) << "control " << place.id;
            GetWindowRect(control, &actual);
            MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&actual), 2);
            EXPECT_EQ(expected.left, actual.left) << "control " << place.id;
            EXPECT_EQ(expected.top, actual.top) << "control " << place.id;
            EXPECT_EQ(expected.right, actual.right) << "control " << place.id;
            EXPECT_EQ(expected.bottom, actual.bottom) << "control " << place.id;
        }
        // The two icons are icon statics; an icon static takes the size of its
        // picture, so only their corners are the template's.
        const Place icons[] = {{IDC_ABOUT_ICON, {5, 5, 20, 20}}, {IDC_ABOUT_ALARM_ICON, {5, 35, 20, 20}}};
        for (const Place& place : icons) {
            HWND icon = GetDlgItem(box, place.id);
            ASSERT_NE(nullptr, icon) << "icon " << place.id;
            EXPECT_EQ(static_cast<LONG>(SS_ICON), GetWindowLongW(icon, GWL_STYLE) & SS_TYPEMASK) << "icon " << place.id;
            EXPECT_NE(0, SendMessageW(icon, STM_GETICON, 0, 0)) << "icon " << place.id << " has its picture";
            RECT expected = place.units;
            MapDialogRect(box, &expected);
            RECT actual{};
            GetWindowRect(icon, &actual);
            MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&actual), 2);
            EXPECT_EQ(expected.left, actual.left) << "icon " << place.id;
            EXPECT_EQ(expected.top, actual.top) << "icon " << place.id;
        }
        // The etched line between the summary and the contact lines. Only its
        // corner is checked: Wine draws the etched edge two pixels wider.
        HWND line = nullptr;
        for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
            if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ETCHEDHORZ) line = child;
        ASSERT_NE(nullptr, line) << "no etched horizontal line";
        RECT expectedLine{6, 144, 224, 1};
        MapDialogRect(box, &expectedLine);
        RECT actualLine{};
        GetWindowRect(line, &actualLine);
        MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&actualLine), 2);
        EXPECT_EQ(expectedLine.left, actualLine.left);
        EXPECT_EQ(expectedLine.top, actualLine.top);
        PostMessageW(box, WM_CLOSE, 0, 0);
    });
}

TEST_F(AboutDialogTest, NameAndVersionFontsAndTheirRelease) {
    HGDIOBJ nameFont = nullptr;
    HGDIOBJ versionFont = nullptr;
    RunAbout(kElevationDefault, [&](HWND box) {
        nameFont = reinterpret_cast<HGDIOBJ>(SendDlgItemMessageW(box, IDC_ABOUT_NAME, WM_GETFONT, 0, 0));
        versionFont = reinterpret_cast<HGDIOBJ>(SendDlgItemMessageW(box, IDC_ABOUT_VERSION, WM_GETFONT, 0, 0));
        HGDIOBJ dialogFont = reinterpret_cast<HGDIOBJ>(SendMessageW(box, WM_GETFONT, 0, 0));
        ASSERT_NE(nullptr, nameFont);
        ASSERT_NE(nullptr, versionFont);
        EXPECT_NE(dialogFont, nameFont);
        EXPECT_EQ(dialogFont, reinterpret_cast<HGDIOBJ>(SendDlgItemMessageW(box, IDC_ABOUT_SUMMARY, WM_GETFONT, 0, 0)));

        HDC screen = GetDC(box);
        int dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(box, screen);
        struct Case {
            HGDIOBJ font;
            int points;
        } cases[] = {{nameFont, 18}, {versionFont, 14}};
        for (const Case& c : cases) {
            LOGFONTW logFont{};
            ASSERT_EQ(static_cast<int>(sizeof(logFont)), GetObjectW(c.font, sizeof(logFont), &logFont));
            EXPECT_EQ(-MulDiv(c.points, dpi, 72), logFont.lfHeight) << c.points << " points";
            EXPECT_EQ(SHIFTJIS_CHARSET, logFont.lfCharSet);
            EXPECT_EQ(Narrow(L"ＭＳ Ｐゴシック"), Narrow(logFont.lfFaceName));
        }
        PostMessageW(box, WM_CLOSE, 0, 0);
    });
    // WM_DESTROY deleted both fonts.
    EXPECT_EQ(0u, GetObjectType(nameFont));
    EXPECT_EQ(0u, GetObjectType(versionFont));
}

TEST_F(AboutDialogTest, SmallIconIsSetAndDestroyed) {
    HICON icon = nullptr;
    RunAbout(kElevationDefault, [&icon](HWND box) {
        icon = reinterpret_cast<HICON>(SendMessageW(box, WM_GETICON, ICON_SMALL, 0));
        EXPECT_NE(nullptr, icon);
        PostMessageW(box, WM_CLOSE, 0, 0);
    });
    ICONINFO info{};
    EXPECT_FALSE(GetIconInfo(icon, &info)) << "the small icon is destroyed with the box";
}

TEST_F(AboutDialogTest, StaticColours) {
    RunAbout(kElevationDefault, [](HWND box) {
        struct Case {
            int id;
            COLORREF text;
        } cases[] = {
            {IDC_ABOUT_SUMMARY, RGB(0, 128, 0)},   {IDC_ABOUT_CREDIT, RGB(0, 0, 255)},
            {IDC_ABOUT_MAIL, RGB(0, 0, 255)},      {IDC_ABOUT_HOMEPAGE, RGB(0, 0, 255)},
            {IDC_ABOUT_NAME, GetSysColor(COLOR_WINDOWTEXT)}, {IDC_ABOUT_VERSION, GetSysColor(COLOR_WINDOWTEXT)},
        };
        for (const Case& c : cases) {
            HDC dc = GetDC(box);
            SetTextColor(dc, RGB(1, 2, 3));
            SetBkColor(dc, RGB(4, 5, 6));
            LRESULT brush = SendMessageW(box, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                         reinterpret_cast<LPARAM>(GetDlgItem(box, c.id)));
            EXPECT_EQ(c.text, GetTextColor(dc)) << "control " << c.id;
            EXPECT_EQ(GetSysColor(COLOR_BTNFACE), GetBkColor(dc)) << "control " << c.id;
            EXPECT_EQ(reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE)), brush) << "control " << c.id;
            ReleaseDC(box, dc);
        }
        PostMessageW(box, WM_CLOSE, 0, 0);
    });
}

using FoundTip = DialogTip;

TEST_F(AboutDialogTest, FourTooltips) {
    std::vector<FoundTip> tips;
    RunAbout(kElevationDefault, [&tips](HWND box) {
        tips = DialogTips(box);
        PostMessageW(box, WM_CLOSE, 0, 0);
    });
    const FoundTip expected[] = {
        {IDC_ABOUT_SUMMARY, L"詳細は Readme.txt を見てください", 5000},
        {IDC_ABOUT_CREDIT, L"私の詳細は秘密です", 5000},
        {IDC_ABOUT_MAIL, L"ダブルクリックすると作者にメールが送れます", 5000},
        {IDC_ABOUT_HOMEPAGE, L"ダブルクリックするとホームページに飛びます", 5000},
    };
    ASSERT_EQ(4u, tips.size());
    for (const FoundTip& want : expected) {
        bool found = false;
        for (const FoundTip& tip : tips) {
            if (tip.controlId != want.controlId) continue;
            found = true;
            EXPECT_EQ(Narrow(want.text.c_str()), Narrow(tip.text.c_str())) << "control " << want.controlId;
            EXPECT_EQ(want.autoPop, tip.autoPop) << "control " << want.controlId;
        }
        EXPECT_TRUE(found) << "no tooltip for control " << want.controlId;
    }
}

TEST_F(AboutDialogTest, OnlyDoubleClicksOnMailAndHomePageOpenSomething) {
    HWND boxSeen = nullptr;
    std::vector<std::pair<HWND, std::wstring>> afterSingleClicks;
    RunAbout(kElevationDefault, [&](HWND box) {
        boxSeen = box;
        // Clicks and double-clicks reach the statics as the mouse would send them;
        // without SS_NOTIFY they would tell the dialog nothing.
        for (int id : {IDC_ABOUT_MAIL, IDC_ABOUT_HOMEPAGE, IDC_ABOUT_SUMMARY, IDC_ABOUT_CREDIT}) {
            SendDlgItemMessageW(box, id, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
            SendDlgItemMessageW(box, id, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        }
        for (int id : {IDC_ABOUT_SUMMARY, IDC_ABOUT_CREDIT}) {
            SendDlgItemMessageW(box, id, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(2, 2));
        }
        afterSingleClicks = g_opened;
        SendDlgItemMessageW(box, IDC_ABOUT_MAIL, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(2, 2));
        SendDlgItemMessageW(box, IDC_ABOUT_HOMEPAGE, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(2, 2));
        EXPECT_TRUE(IsWindowVisible(box)) << "opening a link leaves the box open";
        PostMessageW(box, WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(afterSingleClicks.empty()) << afterSingleClicks.size() << " opened by single clicks or other lines";
    ASSERT_EQ(2u, g_opened.size());
    EXPECT_EQ(boxSeen, g_opened[0].first);
    EXPECT_EQ("Mailto:support@orrivane.example", Narrow(g_opened[0].second.c_str()));
    EXPECT_EQ(boxSeen, g_opened[1].first);
    EXPECT_EQ("https://orrivane.example/", Narrow(g_opened[1].second.c_str()));
}

}  // namespace

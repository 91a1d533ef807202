#include "settings/AboutDialog.h"

#include <shellapi.h>

#include "common/MessageBoxes.h"
#include "settings/resource.h"

const wchar_t kAboutVersion[] = L"Ver.3.01";
const wchar_t kAboutSummary[] =
    L"多機能でも軽い！指定時刻の動作が豊富な汎用アラームプログラム\n"
    L"動作の種類\n"
    L"　１）メッセージの表示\n"
    L"　２）音声・動画ファイルの再生\n"
    L"　３）通知メッセージの表示\n"
    L"　４）ブリンクしてメッセージの表示\n"
    L"　５）スクリーンセーバーの実行\n"
    L"　６）３Ｄテキストメッセージの実行\n"
    L"　７）ウインドウズの壁紙変更\n"
    L"　８）ＤＯＳコマンドの実行\n"
    L"　９）パソコンの停止・リブート\n"
    L"日付、曜日指定のプログラム起動時動作の指定も可能です\n";
const wchar_t kMakerCredit[] = L"Orrivane 開発チーム";
const wchar_t kMakerMailAddress[] = L"support@orrivane.example";
const wchar_t kMakerHomePage[] = L"https://orrivane.example/";

namespace {

void ShellOpen(HWND owner, const wchar_t* target) {
    // Without a mail program or browser there is nothing to open; the box stays as it is.
    ShellExecuteW(owner, L"open", target, nullptr, nullptr, SW_SHOWNORMAL);
}

LinkOpener g_linkOpener = ShellOpen;

}  // namespace

LinkOpener SetLinkOpener(LinkOpener opener) {
    LinkOpener previous = g_linkOpener;
    g_linkOpener = opener ? opener : ShellOpen;
    return previous;
}

namespace {

const StaticColour kAboutColours[] = {
    {IDC_ABOUT_SUMMARY, kGreen},
    {IDC_ABOUT_CREDIT, kBlue},
    {IDC_ABOUT_MAIL, kBlue},
    {IDC_ABOUT_HOMEPAGE, kBlue},
};

const ToolTipEntry kAboutTips[] = {
    {IDC_ABOUT_SUMMARY, L"詳細は Readme.txt を見てください"},
    {IDC_ABOUT_CREDIT, L"私の詳細は秘密です"},
    {IDC_ABOUT_MAIL, L"ダブルクリックすると作者にメールが送れます"},
    {IDC_ABOUT_HOMEPAGE, L"ダブルクリックするとホームページに飛びます"},
};

const FontEntry kAboutFonts[] = {
    {IDC_ABOUT_NAME, 18, kDialogFace},
    {IDC_ABOUT_VERSION, 14, kDialogFace},
};

}  // namespace

const DialogTables<DAbout> DAbout::kTables = [] {
    // clang-format off
    static const CommandEntry<DAbout> commands[] = {
        {IDC_ABOUT_MAIL, STN_DBLCLK, &DAbout::OnMailDoubleClick},
        {IDC_ABOUT_HOMEPAGE, STN_DBLCLK, &DAbout::OnHomePageDoubleClick},
        {IDC_ABOUT_OK, BN_CLICKED, &DAbout::OnOk},
    };
    // clang-format on
    DialogTables<DAbout> tables{};
    tables.templateId = IDD_ABOUT;
    tables.onInit = &DAbout::OnInitDialog;
    tables.commands = commands;
    tables.colours = kAboutColours;
    tables.toolTips = kAboutTips;
    tables.fonts = kAboutFonts;
    tables.closeResult = 0;
    return tables;
}();

DAbout::DAbout(int elevation) : ModalDialog(elevation, IDI_SETTINGS) {}

bool DAbout::Run(HWND owner) {
    return RunModal(owner);
}

INT_PTR DAbout::OnInitDialog() {
    SetDlgItemTextW(window, IDC_ABOUT_SUMMARY, kAboutSummary);
    SetDlgItemTextW(window, IDC_ABOUT_VERSION, kAboutVersion);
    SetDlgItemTextW(window, IDC_ABOUT_CREDIT, kMakerCredit);
    SetDlgItemTextW(window, IDC_ABOUT_MAIL, (WString(L"E-Mail:") + kMakerMailAddress).text());
    SetDlgItemTextW(window, IDC_ABOUT_HOMEPAGE, kMakerHomePage);
    return TRUE;
}

void DAbout::OnMailDoubleClick() {
    g_linkOpener(window, (WString(L"Mailto:") + kMakerMailAddress).text());
}

void DAbout::OnHomePageDoubleClick() {
    g_linkOpener(window, kMakerHomePage);
}

void DAbout::OnOk() {
    EndWith(1);
}

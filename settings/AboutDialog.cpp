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

// The box that is open; the dialog procedure reaches its object only through it.
DAbout* g_about = nullptr;

const StaticColour kAboutColours[] = {
    {IDC_ABOUT_SUMMARY, kGreen},
    {IDC_ABOUT_CREDIT, kBlue},
    {IDC_ABOUT_MAIL, kBlue},
    {IDC_ABOUT_HOMEPAGE, kBlue},
};

const CommandEntry<DAbout> kAboutCommands[] = {
    {IDC_ABOUT_MAIL, STN_DBLCLK, &DAbout::OnMailDoubleClick},
    {IDC_ABOUT_HOMEPAGE, STN_DBLCLK, &DAbout::OnHomePageDoubleClick},
    {IDC_ABOUT_OK, BN_CLICKED, &DAbout::OnOk},
};

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    DAbout* about = g_about;
    if (about == nullptr) return FALSE;
    switch (message) {
    case WM_INITDIALOG: return about->OnInitDialog(dialog);
    case WM_CTLCOLORSTATIC: return about->OnCtlColorStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_COMMAND: return about->OnCommand(LOWORD(wParam), HIWORD(wParam));
    case WM_CLOSE: return about->OnClose();
    case WM_DESTROY: return about->OnDestroy();
    default: return FALSE;
    }
}

}  // namespace

LinkOpener SetLinkOpener(LinkOpener opener) {
    LinkOpener previous = g_linkOpener;
    g_linkOpener = opener ? opener : ShellOpen;
    return previous;
}

DAbout::DAbout(int elevation) : elevation_(elevation) {}

INT_PTR DAbout::Run(HWND owner) {
    DAbout* outer = g_about;
    g_about = this;
    INT_PTR result = DialogBoxParamW(g_instance, MAKEINTRESOURCEW(IDD_ABOUT), owner, AboutProc, 0);
    g_about = outer;
    return result;
}

INT_PTR DAbout::OnInitDialog(HWND dialog) {
    window = dialog;
    SetElevatedTitle(elevation_);
    SetDlgItemTextW(window, IDC_ABOUT_SUMMARY, kAboutSummary);
    SetDlgItemTextW(window, IDC_ABOUT_VERSION, kAboutVersion);
    SetDlgItemTextW(window, IDC_ABOUT_CREDIT, kMakerCredit);
    SetDlgItemTextW(window, IDC_ABOUT_MAIL, (WString(L"E-Mail:") + kMakerMailAddress).text());
    SetDlgItemTextW(window, IDC_ABOUT_HOMEPAGE, kMakerHomePage);
    nameFont_ = MakeFont(IDC_ABOUT_NAME, 18, kDialogFace, FALSE);
    versionFont_ = MakeFont(IDC_ABOUT_VERSION, 14, kDialogFace, FALSE);
    AddToolTip(IDC_ABOUT_SUMMARY, L"詳細は Readme.txt を見てください", kToolTipAutoPop);
    AddToolTip(IDC_ABOUT_CREDIT, L"私の詳細は秘密です", kToolTipAutoPop);
    AddToolTip(IDC_ABOUT_MAIL, L"ダブルクリックすると作者にメールが送れます", kToolTipAutoPop);
    AddToolTip(IDC_ABOUT_HOMEPAGE, L"ダブルクリックするとホームページに飛びます", kToolTipAutoPop);
    smallIcon_ = SetSmallIcon(IDI_SETTINGS);
    return TRUE;
}

INT_PTR DAbout::OnCtlColorStatic(HDC dc, HWND control) {
    return PaintStatic(dc, StaticTextColour(kAboutColours, GetDlgCtrlID(control)));
}

INT_PTR DAbout::OnCommand(int id, int notification) {
    return DispatchCommand(*this, kAboutCommands, id, notification) ? TRUE : FALSE;
}

INT_PTR DAbout::OnClose() {
    CheckWin32(EndDialog(window, 0), "EndDialog");
    return TRUE;
}

INT_PTR DAbout::OnDestroy() {
    FreeFont(nameFont_);
    FreeFont(versionFont_);
    FreeIcon(smallIcon_);
    return TRUE;
}

void DAbout::OnMailDoubleClick() {
    g_linkOpener(window, (WString(L"Mailto:") + kMakerMailAddress).text());
}

void DAbout::OnHomePageDoubleClick() {
    g_linkOpener(window, kMakerHomePage);
}

void DAbout::OnOk() {
    CheckWin32(EndDialog(window, 1), "EndDialog");
}

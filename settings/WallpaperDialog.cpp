#include "settings/WallpaperDialog.h"

#include <ole2.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <wrl/client.h>

#include <memory>

#include "common/MessageBoxes.h"
#include "common/Paths.h"
#include "common/System.h"
#include "schedule/ActionParameters.h"
#include "settings/DialogPosition.h"
#include "settings/resource.h"

using Microsoft::WRL::ComPtr;

namespace {

// The layout list in the order of ActionParameters' style words.
const wchar_t* const kLayoutTexts[kKabeStyleCount] = {
    L"中央に表示", L"並べて表示", L"拡大して表示", L"画面のサイズに合わせる", L"ページ幅に合わせる", L"スパン",
};
const wchar_t* const kBasicExtensions[] = {L"bmp", L"dib", L"jpg", L"jpeg", L"gif", L"png"};
const wchar_t* const kWindows7Extensions[] = {L"jfif", L"jpe", L"tif", L"tiff", L"wdp"};
constexpr int kPickerCapacity = 260;

const wchar_t kWallpaperFilter[] =
    L"すべての画像ファイル(*.jpg,*.jpeg,*.bmp,*.dib,*.png,*.jfif,*.jpe,*.gif,*.tif,*.tiff.*.wdp)\0"
    L"*.jpg;*.jpeg;*.bmp;*.dib;*.png;*.jfif;*.jpe;*.gif;*.tif;*.tiff;*.wdp\0";

const CLSID kActiveDesktopClass = {0x75048700, 0xef1f, 0x11d0, {0x98, 0x88, 0x00, 0x60, 0x97, 0xde, 0xac, 0xf9}};
const IID kActiveDesktopInterface = {0xf490eb00, 0x1240, 0x11d1, {0x98, 0x88, 0x00, 0x60, 0x97, 0xde, 0xac, 0xf9}};

bool ProbeActiveDesktop() {
    ComPtr<IUnknown> desktop;
    return SUCCEEDED(CoCreateInstance(kActiveDesktopClass, nullptr, CLSCTX_INPROC_SERVER, kActiveDesktopInterface,
                                      reinterpret_cast<void**>(desktop.GetAddressOf())));
}
DesktopProbe g_desktopProbe = ProbeActiveDesktop;

// Frees the PIDL that the shell allocated.
struct PidlFree {
    void operator()(ITEMIDLIST* pidl) const { CoTaskMemFree(pidl); }
};
using UniquePidl = std::unique_ptr<ITEMIDLIST, PidlFree>;

}  // namespace

DesktopProbe SetDesktopProbe(DesktopProbe probe) {
    DesktopProbe previous = g_desktopProbe;
    g_desktopProbe = probe ? probe : ProbeActiveDesktop;
    return previous;
}

bool IsAcceptedWallpaper(const WString& path, int osLevel) {
    if (!PathExists(path)) return false;
    WString extension = ExtensionOf(path).Lower();
    for (const wchar_t* accepted : kBasicExtensions)
        if (extension == accepted) return true;
    if (osLevel >= kOs7)
        for (const wchar_t* accepted : kWindows7Extensions)
            if (extension == accepted) return true;
    return false;
}

int OfferedLayoutCount(int osLevel, int monitors) {
    if (osLevel >= kOs8 && monitors > 1) return 6;
    return osLevel >= kOs7 ? 5 : 3;
}

bool CutBlackEdges(std::vector<uint32_t>& pixels, int& width, int& height) {
    if (width <= 0 || height <= 0 || pixels.size() < static_cast<size_t>(width) * height) return false;
    auto lit = [&](int x, int y) { return (pixels[static_cast<size_t>(y) * width + x] & 0xFFFFFF) != 0; };
    auto rowLit = [&](int y) {
        for (int x = 0; x < width; ++x)
            if (lit(x, y)) return true;
        return false;
    };
    auto columnLit = [&](int x) {
        for (int y = 0; y < height; ++y)
            if (lit(x, y)) return true;
        return false;
    };
    int top = 0;
    while (top < height && !rowLit(top)) ++top;
    if (top == height) return false;  // black all over
    int bottom = height - 1;
    while (!rowLit(bottom)) --bottom;
    int left = 0;
    while (!columnLit(left)) ++left;
    int right = width - 1;
    while (!columnLit(right)) --right;
    int newWidth = right - left + 1;
    int newHeight = bottom - top + 1;
    if (newWidth < 2 || newHeight < 2) return false;
    if (newWidth == width && newHeight == height) return false;
    std::vector<uint32_t> cut(static_cast<size_t>(newWidth) * newHeight);
    for (int y = 0; y < newHeight; ++y)
        for (int x = 0; x < newWidth; ++x)
            cut[static_cast<size_t>(y) * newWidth + x] = pixels[static_cast<size_t>(y + top) * width + x + left];
    pixels.swap(cut);
    width = newWidth;
    height = newHeight;
    return true;
}

const DialogTables<DWallpaper> DWallpaper::kTables = [] {
    // clang-format off
    static const CommandEntry<DWallpaper> commands[] = {
        {IDC_KABE_FILE, EN_UPDATE, &DWallpaper::OnPathUpdate},
        {IDC_KABE_BROWSE, BN_CLICKED, &DWallpaper::OnBrowse},
        {IDC_KABE_OK, BN_CLICKED, &DWallpaper::OnOk},
        {IDC_KABE_CANCEL, BN_CLICKED, &DWallpaper::OnCancel},
    };
    // clang-format on
    static const MessageEntry<DWallpaper> messages[] = {
        {WM_CLOSE, &DWallpaper::OnCloseBox},
        {WM_DESTROY, &DWallpaper::OnDestroy},
    };
    DialogTables<DWallpaper> tables{};
    tables.templateId = IDD_WALLPAPER;
    tables.onInit = &DWallpaper::OnInitDialog;
    tables.commands = commands;
    tables.messages = messages;
    tables.closeResult = 0;
    return tables;
}();

DWallpaper::DWallpaper(const WString& parameter, int osLevel, int elevation, const SettingsFile& settings,
                       const WString& windowsFolder)
    : ModalDialog(elevation, IDI_SETTINGS),
      parameter_(parameter),
      osLevel_(osLevel),
      settings_(settings),
      windowsFolder_(windowsFolder) {}

bool DWallpaper::Run(HWND owner) {
    return RunModal(owner);
}

INT_PTR DWallpaper::OnInitDialog() {
    HWND preview = GetDlgItem(window, IDC_KABE_PREVIEW);
    previewProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(preview, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DWallpaper::PreviewProc)));
    // An elevated program gets no drops from the unelevated shell.
    if (elevation() == kElevationFull)
        SetDlgItemTextW(window, IDC_KABE_HINT, L"左側の枠にファイルのドラッグ＆ドロップは恐らく不可");
    int offered = OfferedLayoutCount(osLevel_, GetSystemMetrics(SM_CMONITORS));
    for (int i = 0; i < offered; ++i)
        SendDlgItemMessageW(window, IDC_KABE_LAYOUT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kLayoutTexts[i]));

    HRESULT ole = OleInitialize(nullptr);
    if (!g_desktopProbe()) {
        ShowError(L"ActiveDesktop がインストールされていません", window);
        if (SUCCEEDED(ole)) OleUninitialize();
        return TRUE;
    }
    KabeParameter kabe = ParseKabeParameter(parameter_);
    bool styled = kabe.valid && !kabe.none;
    // A layout this system does not offer leaves the list without a selection.
    SendDlgItemMessageW(window, IDC_KABE_LAYOUT, CB_SETCURSEL, styled ? kabe.style : 0, 0);
    WString path = styled ? kabe.path : WString();
    if (!path.empty() && !IsAcceptedWallpaper(path, osLevel_))
        ShowError(L"壁紙として存在していないかサポートされていません", window);
    else
        SetDlgItemTextW(window, IDC_KABE_FILE, path.text());
    RestorePosition(window, settings_, L"KabeLeft", L"KabeTop", PositionRule::kMinusOne);
    if (SUCCEEDED(ole)) OleUninitialize();
    return TRUE;
}

INT_PTR DWallpaper::OnCloseBox(WPARAM, LPARAM) {
    OnCancel();
    return TRUE;
}

INT_PTR DWallpaper::OnDestroy(WPARAM, LPARAM) {
    if (previewProc_ != nullptr)
        SetWindowLongPtrW(GetDlgItem(window, IDC_KABE_PREVIEW), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previewProc_));
    previewProc_ = nullptr;
    return TRUE;
}

void DWallpaper::OnPathUpdate() {
    // The preview follows the path at once.
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
}

void DWallpaper::OnBrowse() {
    WString initial = GetItemText(IDC_KABE_FILE);
    if (initial.empty()) initial = JoinPath(windowsFolder_, L"Web\\Wallpaper\\*.jpg");
    WString extension = ExtensionOf(initial).Lower();
    DWORD filter = extension == L"htm" || extension == L"html" ? 2 : 1;
    wchar_t file[kPickerCapacity] = L"";
    if (initial.length() < kPickerCapacity) lstrcpynW(file, initial.text(), kPickerCapacity);
    OPENFILENAMEW record;
    InitOpenFileName(&record, window, kWallpaperFilter, filter, L"壁紙ファイル名の指定", file, kPickerCapacity);
    if (GetOpenFileNameW(&record) && file[0] != L'\0') SetDlgItemTextW(window, IDC_KABE_FILE, file);
}

void DWallpaper::OnOk() {
    WString path = GetItemText(IDC_KABE_FILE);
    if (path.empty()) {
        Refuse(IDC_KABE_BROWSE, L"背景画ファイルが指定されていません");
        return;
    }
    SavePosition(window, settings_, L"KabeLeft", L"KabeTop");
    int layout = static_cast<int>(SendDlgItemMessageW(window, IDC_KABE_LAYOUT, CB_GETCURSEL, 0, 0));
    if (layout < 0) {
        Refuse(IDC_KABE_LAYOUT, L"壁紙の表示方法が選択されていません");
        return;
    }
    KabeParameter kabe;
    kabe.valid = true;
    kabe.style = layout;
    kabe.path = path;
    parameter_ = ComposeKabeParameter(kabe);
    EndWith(1);
}

void DWallpaper::OnCancel() {
    parameter_ = WString();
    EndWith(0);
}

void DWallpaper::OnDropFiles(HDROP drop) {
    WString path = FirstDroppedFile(drop);
    if (IsAcceptedWallpaper(path, osLevel_))
        SetDlgItemTextW(window, IDC_KABE_FILE, path.text());
    else
        ShowError(L"壁紙としてサポートされていません", window);
}

LRESULT CALLBACK DWallpaper::PreviewProc(HWND preview, UINT message, WPARAM wParam, LPARAM lParam) {
    DWallpaper* self = current();
    if (self == nullptr || self->previewProc_ == nullptr) return DefWindowProcW(preview, message, wParam, lParam);
    switch (message) {
    case WM_PAINT: self->PaintPreview(preview); return 0;
    case WM_DROPFILES: self->OnDropFiles(reinterpret_cast<HDROP>(wParam)); return 0;
    default: return CallWindowProcW(self->previewProc_, preview, message, wParam, lParam);
    }
}

void DWallpaper::ReportOnce(HRESULT hr, const char* name) {
    if (reporting_) CheckHResult(FAILED(hr) ? hr : E_FAIL, name);
}

HBITMAP DWallpaper::Thumbnail(const WString& path, int width, int height) {
    // A box shown while painting makes the preview repaint, which would fail
    // and show the box again without end: each path's failures are shown once.
    reporting_ = reportedPath_ != path;
    reportedPath_ = path;
    ComPtr<IShellFolder> desktop;
    HRESULT hr = SHGetDesktopFolder(desktop.GetAddressOf());
    if (FAILED(hr) || !desktop) {
        ReportOnce(hr, "SHGetDesktopFolder");
        return nullptr;
    }
    WString folderName = DirectoryOf(path);
    ITEMIDLIST* raw = nullptr;
    hr = desktop->ParseDisplayName(window, nullptr, const_cast<wchar_t*>(folderName.text()), nullptr, &raw, nullptr);
    UniquePidl folderPidl(raw);
    if (FAILED(hr) || !folderPidl) {
        ReportOnce(hr, "ParseDisplayName");
        return nullptr;
    }
    ComPtr<IShellFolder> folder;
    hr = desktop->BindToObject(folderPidl.get(), nullptr, IID_IShellFolder,
                               reinterpret_cast<void**>(folder.GetAddressOf()));
    if (FAILED(hr) || !folder) {
        ReportOnce(hr, "BindToObject");
        return nullptr;
    }
    WString fileName = FileNameOf(path);
    raw = nullptr;
    hr = folder->ParseDisplayName(window, nullptr, const_cast<wchar_t*>(fileName.text()), nullptr, &raw, nullptr);
    UniquePidl filePidl(raw);
    if (FAILED(hr) || !filePidl) {
        ReportOnce(hr, "ParseDisplayName");
        return nullptr;
    }
    // A type without IExtractImage (under Wine, every type) has no preview;
    // that is no failure to report.
    ComPtr<IExtractImage> extractor;
    LPCITEMIDLIST item = filePidl.get();
    hr = folder->GetUIObjectOf(window, 1, &item, IID_IExtractImage, nullptr,
                               reinterpret_cast<void**>(extractor.GetAddressOf()));
    if (FAILED(hr) || !extractor) return nullptr;
    wchar_t location[MAX_PATH] = L"";
    DWORD priority = 0;
    SIZE size{width, height};
    DWORD flags = IEIFLAG_SCREEN | IEIFLAG_ORIGSIZE | IEIFLAG_QUALITY;
    // E_PENDING only offers to extract later; the preview extracts now.
    hr = extractor->GetLocation(location, MAX_PATH, &priority, &size, 32, &flags);
    if (FAILED(hr) && hr != E_PENDING) return nullptr;
    HBITMAP bitmap = nullptr;
    if (FAILED(extractor->Extract(&bitmap))) return nullptr;
    return bitmap;
}

void DWallpaper::PaintPreview(HWND preview) {
    WString path = GetItemText(IDC_KABE_FILE);
    if (path.empty() || !PathExists(path)) {
        // Nothing to preview: the box shows its own text.
        CallWindowProcW(previewProc_, preview, WM_PAINT, 0, 0);
        return;
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(preview, &paint);
    RECT client{};
    CheckWin32(GetClientRect(preview, &client), "GetClientRect");
    int width = client.right - client.left;
    int height = client.bottom - client.top;
    if (width > 0 && height > 0) {
        UniqueGdiObject bitmap(Thumbnail(path, width, height));
        std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;  // bottom-up
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        bool drawn = false;
        if (bitmap) {
            int rows =
                GetDIBits(dc, static_cast<HBITMAP>(bitmap.get()), 0, height, pixels.data(), &info, DIB_RGB_COLORS);
            CheckWin32(rows, "GetDIBits");
            if (rows > 0) {
                int cutWidth = width;
                int cutHeight = height;
                CutBlackEdges(pixels, cutWidth, cutHeight);
                info.bmiHeader.biWidth = cutWidth;
                info.bmiHeader.biHeight = cutHeight;
                CheckWin32(SetStretchBltMode(dc, COLORONCOLOR), "SetStretchBltMode");
                CheckWin32(StretchDIBits(dc, 1, 1, width, height, 0, 0, cutWidth, cutHeight, pixels.data(), &info,
                                         DIB_RGB_COLORS, SRCCOPY),
                           "StretchDIBits");
                drawn = true;
            }
        }
        if (!drawn) TextOutW(dc, 10, 10, L"プレビュー不可", lstrlenW(L"プレビュー不可"));
    }
    EndPaint(preview, &paint);
}

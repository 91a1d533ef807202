#include "settings/DialogBase.h"

#include <windowsx.h>

#include <cerrno>
#include <cwchar>
#include <memory>

#include "common/MessageBoxes.h"

HINSTANCE g_instance = nullptr;

const wchar_t kDialogFace[] = L"ＭＳ Ｐゴシック";
const wchar_t kFixedFace[] = L"ＭＳ ゴシック";

namespace {

const wchar_t kElevatedSuffix[] = L"(昇格中)";

// A control's text of a known length: length + 1 code units, then the message.
template <typename Fill>
WString TextOfLength(LRESULT length, Fill fill) {
    if (length < 0) return WString();
    std::unique_ptr<wchar_t[]> buffer(new wchar_t[length + 1]);
    buffer[0] = L'\0';
    fill(buffer.get(), static_cast<int>(length) + 1);
    buffer[length] = L'\0';
    return WString(buffer.get());
}

bool IsMultipleSelection(HWND list) {
    LONG style = GetWindowLongW(list, GWL_STYLE);
    return (style & (LBS_MULTIPLESEL | LBS_EXTENDEDSEL)) != 0;
}

TTTOOLINFOW ToolRecord(HWND dialog, int id, const wchar_t* text) {
    TTTOOLINFOW tool{};
    tool.cbSize = kToolRecordSize;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(dialog, id));
    tool.hinst = g_instance;
    // The tooltip copies the text; it never writes through this pointer.
    tool.lpszText = const_cast<wchar_t*>(text);
    return tool;
}

}  // namespace

WString CWinLib::GetItemText(int id) const {
    return GetWndText(GetDlgItem(window, id));
}

WString CWinLib::GetWndText(HWND target) {
    return TextOfLength(GetWindowTextLengthW(target), [target](wchar_t* buffer, int capacity) {
        GetWindowTextW(target, buffer, capacity);
    });
}

WString CWinLib::GetListText(int listId, int index) const {
    HWND list = GetDlgItem(window, listId);
    return TextOfLength(SendMessageW(list, LB_GETTEXTLEN, index, 0), [list, index](wchar_t* buffer, int) {
        SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(buffer));
    });
}

WString CWinLib::GetComboText(int comboId, int index) const {
    HWND combo = GetDlgItem(window, comboId);
    return TextOfLength(SendMessageW(combo, CB_GETLBTEXTLEN, index, 0), [combo, index](wchar_t* buffer, int) {
        SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(buffer));
    });
}

int CWinLib::GetFirstSelected(int listId) const {
    int first = -1;
    LRESULT count = SendDlgItemMessageW(window, listId, LB_GETSELITEMS, 1, reinterpret_cast<LPARAM>(&first));
    return count >= 1 ? first : -1;
}

std::vector<int> CWinLib::GetSelectedItems(int listId) const {
    HWND list = GetDlgItem(window, listId);
    LRESULT count = SendMessageW(list, LB_GETSELCOUNT, 0, 0);
    if (count <= 0) return {};
    std::vector<int> items(count);
    LRESULT got = SendMessageW(list, LB_GETSELITEMS, count, reinterpret_cast<LPARAM>(items.data()));
    items.resize(got > 0 ? got : 0);
    return items;
}

int CWinLib::SelectAtPoint(int listId, LPARAM screenPoint) const {
    HWND list = GetDlgItem(window, listId);
    bool multiple = IsMultipleSelection(list);
    if (multiple)
        SendMessageW(list, LB_SETSEL, FALSE, -1);
    else
        SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);

    POINT point{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
    CheckWin32(ScreenToClient(list, &point), "ScreenToClient");

    int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    int top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    for (int index = top < 0 ? 0 : top; index < count; ++index) {
        RECT item{};
        if (SendMessageW(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item)) == LB_ERR) continue;
        // Items lie one below the other: none from here on is under the
        // point, and a long list is not asked about every line.
        if (item.top > point.y) break;
        // Edges count as inside: a point on the line between two items picks the upper one.
        if (point.x >= item.left && point.x <= item.right && point.y >= item.top && point.y <= item.bottom) {
            if (multiple)
                SendMessageW(list, LB_SETSEL, TRUE, index);
            else
                SendMessageW(list, LB_SETCURSEL, index, 0);
            return index;
        }
    }
    return -1;
}

int CWinLib::GetCheckedRadio(int baseId, int count) const {
    for (int i = 0; i < count; ++i)
        if (IsDlgButtonChecked(window, baseId + 1 + i) == BST_CHECKED) return i;
    return -1;
}

void CWinLib::CheckRadio(int baseId, int count, int index) const {
    if (index >= 0 && index < count) {
        CheckWin32(CheckRadioButton(window, baseId + 1, baseId + count, baseId + 1 + index), "CheckRadioButton");
        return;
    }
    for (int i = 0; i < count; ++i) CheckDlgButton(window, baseId + 1 + i, BST_UNCHECKED);
}

bool CWinLib::IsChecked(int id) const {
    return SendDlgItemMessageW(window, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void CWinLib::ShowItems(int firstId, int count, bool show) const {
    for (int id = firstId; id <= firstId + count; ++id) ShowWindow(GetDlgItem(window, id), show ? SW_SHOW : SW_HIDE);
}

UniqueIcon CWinLib::SetSmallIcon(int iconId) const {
    HICON icon = LoadSmallIcon(g_instance, iconId, dpi);
    if (icon) SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    return UniqueIcon(icon);
}

UniqueGdiObject CWinLib::MakeFont(int id, int points, const wchar_t* face, BOOL redraw) const {
    LOGFONTW logFont{};
    // Not the DC's LOGPIXELSY: for a per-monitor aware program that is the
    // system DPI, whatever monitor the dialog is on.
    logFont.lfHeight = -MulDiv(points, static_cast<int>(dpi), 72);
    logFont.lfCharSet = SHIFTJIS_CHARSET;
    // A longer name is cut to the face field rather than overrunning it.
    lstrcpynW(logFont.lfFaceName, face, LF_FACESIZE);
    UniqueGdiObject font(CreateFontIndirectW(&logFont));
    if (id > 0) SendDlgItemMessageW(window, id, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), redraw);
    return font;
}

HWND CWinLib::AddToolTip(int id, const wchar_t* text, int autoPopMs) const {
    HWND tip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, g_instance, nullptr);
    TTTOOLINFOW tool = ToolRecord(window, id, text);
    SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));

    // The tooltip wraps at the maximum width; setting it to the widest line
    // makes "\n" the only place a tip breaks. The window's DC carries the
    // system font, so the tooltip's own font is selected for the measure.
    int width = 0;
    {
        WindowDC dc(tip);
        HGDIOBJ tipFont = reinterpret_cast<HGDIOBJ>(SendMessageW(tip, WM_GETFONT, 0, 0));
        SelectedObject font(dc.get(), tipFont ? tipFont : GetCurrentObject(dc.get(), OBJ_FONT));
        width = WidestLineWidth(dc.get(), text);
    }
    SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, width);
    SendMessageW(tip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(autoPopMs, 0));
    return tip;
}

void CWinLib::SetToolTipText(HWND toolTip, int id, const wchar_t* text) const {
    TTTOOLINFOW tool = ToolRecord(window, id, text);
    SendMessageW(toolTip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CWinLib::SetElevatedTitle(int elevation) const {
    SetWindowTextW(window, ElevatedTitle(GetWndText(window), elevation).text());
}

WString ElevatedTitle(const WString& caption, int elevation) {
    return elevation == 3 ? caption + kElevatedSuffix : caption;
}

int WidestLineWidth(HDC dc, const wchar_t* text) {
    if (text == nullptr || *text == L'\0') text = L" ";
    int widest = 0;
    const wchar_t* line = text;
    for (;;) {
        const wchar_t* end = line;
        while (*end != L'\0' && *end != L'\n') ++end;
        SIZE size{};
        if (end > line && GetTextExtentPoint32W(dc, line, static_cast<int>(end - line), &size) && size.cx > widest)
            widest = size.cx;
        if (*end == L'\0') break;
        line = end + 1;
    }
    return widest;
}

bool IsNumberInRange(const WString& text, int min, int max) {
    if (max < min) return false;
    const wchar_t* start = text.text();
    wchar_t* end = nullptr;
    errno = 0;
    long value = wcstol(start, &end, 10);
    // A number too large for 32 bits is out of every range, not clamped into it.
    if (errno == ERANGE || *end != L'\0') return false;
    return value >= min && value <= max;
}

WString FirstDroppedFile(HDROP drop) {
    UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    std::unique_ptr<wchar_t[]> name(new wchar_t[length + 1]);
    name[0] = L'\0';
    CheckWin32(DragQueryFileW(drop, 0, name.get(), length + 1), "DragQueryFile");
    DragFinish(drop);
    return WString(name.get());
}

void InitOpenFileName(OPENFILENAMEW* record, HWND owner, const wchar_t* filter, DWORD filterIndex,
                      const wchar_t* title, wchar_t* fileBuffer, DWORD bufferCapacity) {
    *record = OPENFILENAMEW{};
    record->lStructSize = sizeof(OPENFILENAMEW);
    record->hwndOwner = owner;
    record->lpstrFilter = filter;
    record->nFilterIndex = filterIndex;
    record->lpstrFile = fileBuffer;
    record->nMaxFile = bufferCapacity;
    record->lpstrTitle = title;
    record->Flags = kOpenFileFlags;
}

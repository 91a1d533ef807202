#include "settings/ModalDialog.h"

#include <commctrl.h>

void RefuseInput(HWND dialog, int fieldId, const wchar_t* message) {
    ShowError(message, dialog);
    FocusField(dialog, fieldId);
}

void FocusField(HWND dialog, int fieldId) {
    // WM_NEXTDLGCTL rather than SetFocus: the dialog manager then also moves
    // the default-button outline and selects an edit's text.
    HWND field = GetDlgItem(dialog, fieldId);
    if (field != nullptr) SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(field), TRUE);
}

COLORREF StaticTextColour(TableRef<StaticColour> table, int id) {
    for (const StaticColour& entry : table)
        if (entry.id == id) return entry.colour;
    return GetSysColor(COLOR_WINDOWTEXT);
}

INT_PTR PaintStatic(HDC dc, COLORREF textColour) {
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    SetTextColor(dc, textColour);
    return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_BTNFACE));
}

void FreeFont(UniqueGdiObject& font) {
    if (font) CheckWin32(DeleteObject(font.release()), "DeleteObject");
}

void FreeIcon(UniqueIcon& icon) {
    if (icon) CheckWin32(DestroyIcon(icon.release()), "DestroyIcon");
}

namespace {

bool IsComboBox(HWND control) {
    wchar_t name[16] = L"";
    GetClassNameW(control, name, 16);
    return lstrcmpiW(name, WC_COMBOBOXW) == 0;
}

}  // namespace

void ScaleControls(HWND dialog, UINT oldDpi, UINT newDpi, const std::vector<FontSwap>& swaps) {
    const int from = static_cast<int>(oldDpi);
    const int to = static_cast<int>(newDpi);
    for (HWND control = GetWindow(dialog, GW_CHILD); control != nullptr; control = GetWindow(control, GW_HWNDNEXT)) {
        RECT place{};
        GetWindowRect(control, &place);
        // A combo box's window is its closed field; the size it was given
        // (and is given here) reaches down to the bottom of its open list.
        RECT open{};
        if (IsComboBox(control) && SendMessageW(control, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&open)))
            place.bottom = place.top + (open.bottom - open.top);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);

        HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0));
        for (const FontSwap& swap : swaps)
            if (font != nullptr && font == swap.from) {
                SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(swap.to), FALSE);
                break;
            }
        // Edges, not sizes, are scaled: controls that touch stay touching.
        const int left = MulDiv(place.left, to, from);
        const int top = MulDiv(place.top, to, from);
        SetWindowPos(control, nullptr, left, top, MulDiv(place.right, to, from) - left,
                     MulDiv(place.bottom, to, from) - top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
}

UniqueGdiObject ScaledFont(const LOGFONTW& base, UINT baseDpi, UINT dpi) {
    LOGFONTW font = base;
    font.lfHeight = MulDiv(base.lfHeight, static_cast<int>(dpi), static_cast<int>(baseDpi));
    font.lfWidth = MulDiv(base.lfWidth, static_cast<int>(dpi), static_cast<int>(baseDpi));
    return UniqueGdiObject(CreateFontIndirectW(&font));
}

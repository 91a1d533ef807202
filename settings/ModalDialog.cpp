#include "settings/ModalDialog.h"

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

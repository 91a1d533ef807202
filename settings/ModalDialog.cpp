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

// The one runner of ZAVSet's modal dialogs.
//
// A dialog is a class D deriving from ModalDialog<D> with its inputs,
// outputs and Run; its handlers (private, with `friend class ModalDialog<D>`);
// one DialogTables naming its template and its tables; and its template in
// settings/<Name>Dialog.rc. The runner does the rest: the current-instance
// pointer, the title suffix, the small icon, the fonts and tooltips of the
// tables, static colours, the command table, and freeing what it made.
#pragma once

#include <windows.h>

#include <cstddef>
#include <utility>
#include <vector>

#include "common/Handles.h"
#include "common/MessageBoxes.h"
#include "settings/WinLib.h"

struct ToolTipEntry {
    int id;
    const wchar_t* text;
};

struct FontEntry {
    int id;
    int points;
    const wchar_t* face;
};

// Messages a dialog handles itself beyond those the runner knows.
template <typename D>
struct MessageEntry {
    UINT message;
    INT_PTR (D::*handler)(WPARAM wParam, LPARAM lParam);
};

template <typename D>
struct DialogTables {
    int templateId;
    // WM_INITDIALOG, after the title, icon, fonts and tooltips are in place;
    // its result is the dialog procedure's (TRUE: the system sets the focus).
    INT_PTR (D::*onInit)();
    TableRef<CommandEntry<D>> commands;
    TableRef<StaticColour> colours;  // empty: the system colours statics
    TableRef<ToolTipEntry> toolTips;
    TableRef<FontEntry> fonts;
    TableRef<MessageEntry<D>> messages;  // looked at before the runner's own handling
    INT_PTR closeResult;                 // WM_CLOSE not in `messages` ends the dialog with this
};

// Gives the box of a refused input, puts the focus back on the field and
// leaves the dialog open.
void RefuseInput(HWND dialog, int fieldId, const wchar_t* message);
// The focus alone, for a refusal whose box another module showed.
void FocusField(HWND dialog, int fieldId);

// Base: CWinLib, or a class derived from it that several dialogs share
// (CSetAlmTmr); its constructor takes the arguments after smallIconId.
template <typename D, typename Base = CWinLib>
class ModalDialog : public Base {
public:
    ModalDialog(const ModalDialog&) = delete;
    ModalDialog& operator=(const ModalDialog&) = delete;

protected:
    // elevation: the code of GetOsLevel (3 adds "(昇格中)" to the title);
    // smallIconId: the icon resource of the title bar, 0 for none.
    template <typename... BaseArguments>
    ModalDialog(int elevation, int smallIconId, BaseArguments&&... arguments)
        : Base(std::forward<BaseArguments>(arguments)...), elevation_(elevation), smallIconId_(smallIconId) {}
    ~ModalDialog() = default;

    INT_PTR RunModal(HWND owner) {
        D* outer = current_;
        current_ = static_cast<D*>(this);
        INT_PTR result =
            DialogBoxParamW(g_instance, MAKEINTRESOURCEW(D::kTables.templateId), owner, &ModalDialog::Proc, 0);
        current_ = outer;
        return result;
    }

    void EndWith(INT_PTR result) const { CheckWin32(EndDialog(this->window, result), "EndDialog"); }
    void Refuse(int fieldId, const wchar_t* message) const { RefuseInput(this->window, fieldId, message); }
    int elevation() const { return elevation_; }
    // The open dialog of class D, for the procedures of its subclassed controls.
    static D* current() { return current_; }

private:
    static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
        D* self = current_;
        if (self == nullptr) return FALSE;
        const DialogTables<D>& tables = D::kTables;
        if (message == WM_INITDIALOG) return self->Open(dialog);
        for (const MessageEntry<D>& entry : tables.messages)
            if (entry.message == message) {
                INT_PTR result = (self->*entry.handler)(wParam, lParam);
                if (message == WM_DESTROY) self->Release();
                return result;
            }
        switch (message) {
        case WM_CTLCOLORSTATIC:
            if (tables.colours.count == 0) return FALSE;
            return PaintStatic(reinterpret_cast<HDC>(wParam),
                               StaticTextColour(tables.colours, GetDlgCtrlID(reinterpret_cast<HWND>(lParam))));
        case WM_COMMAND: {
            bool handled = DispatchCommand<D>(*self, tables.commands, LOWORD(wParam), HIWORD(wParam)) ||
                           self->OnSharedCommand(LOWORD(wParam), HIWORD(wParam));
            self->AfterCommand();
            return handled ? TRUE : FALSE;
        }
        case WM_CLOSE: self->EndWith(tables.closeResult); return TRUE;
        case WM_DESTROY: self->Release(); return TRUE;
        default: return FALSE;
        }
    }

    INT_PTR Open(HWND dialog) {
        const DialogTables<D>& tables = D::kTables;
        this->window = dialog;
        this->SetElevatedTitle(elevation_);
        if (smallIconId_ != 0) smallIcon_ = this->SetSmallIcon(smallIconId_);
        for (const FontEntry& font : tables.fonts)
            fonts_.push_back(this->MakeFont(font.id, font.points, font.face, FALSE));
        for (const ToolTipEntry& tip : tables.toolTips) this->AddToolTip(tip.id, tip.text, kToolTipAutoPop);
        return tables.onInit ? (static_cast<D*>(this)->*tables.onInit)() : TRUE;
    }

    // WM_DESTROY: the fonts and the icon go with the window.
    void Release() {
        for (UniqueGdiObject& font : fonts_) FreeFont(font);
        fonts_.clear();
        FreeIcon(smallIcon_);
    }

    static inline D* current_ = nullptr;  // the open dialog of this class; modal, so at most one

    int elevation_;
    int smallIconId_;
    UniqueIcon smallIcon_;
    std::vector<UniqueGdiObject> fonts_;
};

// The one runner of ZAVSet's modal dialogs.
//
// A dialog is a class D deriving from ModalDialog<D> with its inputs,
// outputs and `bool Run(HWND owner)` (true after its OK); its handlers (private, with `friend class ModalDialog<D>`);
// one DialogTables naming its template and its tables; and its template in
// settings/<Name>Dialog.rc. The runner does the rest: the current-instance
// pointer, the title suffix, the small icon, the fonts and tooltips of the
// tables, static colours, the command table, and freeing what it made.
#pragma once

#include <windows.h>

#include <cstddef>
#include <utility>
#include <vector>

#include "common/Dpi.h"
#include "common/Handles.h"
#include "common/MessageBoxes.h"
#include "settings/DialogBase.h"

// A table given by its first entry and its length; built from an array, or
// empty from {}.
template <typename T>
struct TableRef {
    const T* items = nullptr;
    std::size_t count = 0;
    constexpr TableRef() = default;
    template <std::size_t N>
    constexpr TableRef(const T (&table)[N]) : items(table), count(N) {}  // NOLINT: tables convert on purpose
    const T* begin() const { return items; }
    const T* end() const { return items + count; }
};

// Static text colours: each dialog lists its coloured controls; all others
// use the window-text colour.
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kGreen = RGB(0, 128, 0);
struct StaticColour {
    int id;
    COLORREF colour;
};
COLORREF StaticTextColour(TableRef<StaticColour> table, int id);
// The answer to WM_CTLCOLORSTATIC: button-face background, the given text
// colour, and the button-face system brush (not owned, never deleted).
INT_PTR PaintStatic(HDC dc, COLORREF textColour);

// Deletes a dialog's font or icon in WM_DESTROY, reporting a failure.
void FreeFont(UniqueGdiObject& font);
void FreeIcon(UniqueIcon& icon);

// WM_COMMAND tables: one line per control id (and notification code).
constexpr int kAnyNotification = -1;
template <typename Dialog>
struct CommandEntry {
    int id;
    int notification;  // kAnyNotification matches every code
    void (Dialog::*handler)();
};
// Runs the first matching handler; false when the command is not in the table.
template <typename Dialog>
bool DispatchCommand(Dialog& dialog, TableRef<CommandEntry<Dialog>> table, int id, int notification) {
    for (const CommandEntry<Dialog>& entry : table) {
        if (entry.id == id && (entry.notification == kAnyNotification || entry.notification == notification)) {
            (dialog.*entry.handler)();
            return true;
        }
    }
    return false;
}

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

// A DPI change: controls that held `from` get `to`.
struct FontSwap {
    HGDIOBJ from;
    HGDIOBJ to;
};
// Hands each control of the dialog its swapped font and scales its place and
// size from oldDpi to newDpi (a combo box with its open list).
void ScaleControls(HWND dialog, UINT oldDpi, UINT newDpi, const std::vector<FontSwap>& swaps);
// A font as it was at baseDpi, made again for dpi.
UniqueGdiObject ScaledFont(const LOGFONTW& base, UINT baseDpi, UINT dpi);

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

    // True when the dialog ended with 1, its OK; false after 0 or when it
    // could not be shown (-1).
    bool RunModal(HWND owner) {
        D* outer = current_;
        current_ = static_cast<D*>(this);
        INT_PTR result =
            DialogBoxParamW(g_instance, MAKEINTRESOURCEW(D::kTables.templateId), owner, &ModalDialog::Proc, 0);
        current_ = outer;
        return result == 1;
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
        // From the first message on (WM_SETFONT, before the controls exist):
        // an owner-drawn control's WM_MEASUREITEM needs the DPI before
        // WM_INITDIALOG.
        if (self->window != dialog) {
            self->window = dialog;
            self->dpi = DpiOfWindow(dialog);
        }
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
        case WM_DPICHANGED: return self->OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        case WM_DESTROY: self->Release(); return TRUE;
        default: return FALSE;
        }
    }

    INT_PTR Open(HWND dialog) {
        const DialogTables<D>& tables = D::kTables;
        this->window = dialog;
        TakeOverDialogDpiChanges(dialog);
        HGDIOBJ templateFont = reinterpret_cast<HGDIOBJ>(SendMessageW(dialog, WM_GETFONT, 0, 0));
        if (templateFont == nullptr || GetObjectW(templateFont, sizeof(templateFont_), &templateFont_) == 0)
            templateFont_.lfHeight = 0;
        templateDpi_ = this->dpi;
        this->SetElevatedTitle(elevation_);
        if (smallIconId_ != 0) smallIcon_ = this->SetSmallIcon(smallIconId_);
        for (const FontEntry& font : tables.fonts)
            fonts_.push_back(this->MakeFont(font.id, font.points, font.face, FALSE));
        for (const ToolTipEntry& tip : tables.toolTips) this->AddToolTip(tip.id, tip.text, kToolTipAutoPop);
        return tables.onInit ? (static_cast<D*>(this)->*tables.onInit)() : TRUE;
    }

    // The dialog moved to a monitor of another DPI, or its monitor's DPI
    // changed: the template's font, the table's fonts and the small icon are
    // made again for the new DPI, the controls scaled, and the dialog takes
    // the place and size Windows suggests.
    INT_PTR OnDpiChanged(UINT newDpi, const RECT& suggested) {
        const UINT oldDpi = this->dpi;
        if (newDpi != 0 && newDpi != oldDpi) {
            this->dpi = newDpi;
            std::vector<FontSwap> swaps;
            UniqueGdiObject templateFont;
            if (templateFont_.lfHeight != 0) {
                templateFont = ScaledFont(templateFont_, templateDpi_, newDpi);
                HGDIOBJ shown = dialogFont_ ? dialogFont_.get()
                                            : reinterpret_cast<HGDIOBJ>(SendMessageW(this->window, WM_GETFONT, 0, 0));
                swaps.push_back({shown, templateFont.get()});
            }
            std::vector<UniqueGdiObject> made;
            for (size_t i = 0; i < fonts_.size(); ++i) {
                const FontEntry& entry = D::kTables.fonts.items[i];
                made.push_back(this->MakeFont(0, entry.points, entry.face, FALSE));
                swaps.push_back({fonts_[i].get(), made.back().get()});
            }
            ScaleControls(this->window, oldDpi, newDpi, swaps);
            // No control holds the old fonts any more.
            if (templateFont) {
                FreeFont(dialogFont_);
                dialogFont_ = std::move(templateFont);
            }
            for (size_t i = 0; i < fonts_.size(); ++i) {
                FreeFont(fonts_[i]);
                fonts_[i] = std::move(made[i]);
            }
            if (smallIconId_ != 0) {
                UniqueIcon icon = this->SetSmallIcon(smallIconId_);
                FreeIcon(smallIcon_);
                smallIcon_ = std::move(icon);
            }
            static_cast<D*>(this)->AfterDpiChange(oldDpi, newDpi);
        }
        CheckWin32(SetWindowPos(this->window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                                suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE),
                   "SetWindowPos");
        RedrawWindow(this->window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return TRUE;
    }

    // WM_DESTROY: the fonts and the icon go with the window.
    void Release() {
        for (UniqueGdiObject& font : fonts_) FreeFont(font);
        fonts_.clear();
        FreeFont(dialogFont_);
        FreeIcon(smallIcon_);
    }

    // Class-static, not stored in the window at WM_INITDIALOG: an owner-drawn control's WM_MEASUREITEM comes first.
    static inline D* current_ = nullptr;  // the open dialog of this class; modal, so at most one

    int elevation_;
    int smallIconId_;
    UniqueIcon smallIcon_;
    std::vector<UniqueGdiObject> fonts_;  // one per entry of the font table, in its order
    // The template's font as the dialog manager made it, at the DPI the
    // dialog opened with (lfHeight 0: none); after a DPI change the controls
    // hold dialogFont_, made from it for the new DPI (the dialog manager
    // keeps and frees its own).
    LOGFONTW templateFont_{};
    UINT templateDpi_ = kBaseDpi;
    UniqueGdiObject dialogFont_;
};

// The base of every ZAVSet dialog object, and the small helpers all dialogs share.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <cstddef>
#include <vector>

#include "common/Dpi.h"
#include "common/Handles.h"
#include "common/WString.h"

// The instance of ZAVSet (the test program in unit tests): every dialog and
// resource load uses it. The entry sets it before anything else.
extern HINSTANCE g_instance;

// Tools are registered with a 44-byte TTTOOLINFOW: the fields up to lParam,
// the layout every comctl32 version from 4.70 on accepts whatever the
// manifest asks for. (The SDK calls this size TTTOOLINFOW_V2_SIZE; its V1 size
// stops before lParam, 40 bytes. Neither macro is a constant expression.)
constexpr UINT kToolRecordSize = offsetof(TTTOOLINFOW, lParam) + sizeof(LPARAM);
static_assert(kToolRecordSize == 44, "the tool record is 44 bytes on 32-bit Windows");
// The file pickers use the current record size; 76 would be the old layout
// (OPENFILENAME_SIZE_VERSION_400) without the places bar fields.
static_assert(sizeof(OPENFILENAMEW) == 88, "OPENFILENAMEW is 88 bytes on 32-bit Windows");

// Flags of every file picker: OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR |
// OFN_HIDEREADONLY | OFN_READONLY.
constexpr DWORD kOpenFileFlags = 0x100D;
static_assert(kOpenFileFlags == (OFN_FILEMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_READONLY),
              "picker flags");

constexpr int kToolTipAutoPop = 5000;   // ms a tip stays, for every tooltip of ZAVSet

// The dialog font and the fixed-pitch face for numbers and schedule lines.
extern const wchar_t kDialogFace[];     // "ＭＳ Ｐゴシック"
extern const wchar_t kFixedFace[];      // "ＭＳ ゴシック"

class CWinLib {
public:
    HWND window = nullptr;  // the dialog this object serves, set on its first message
    // The DPI the dialog is laid out for: its monitor's when it opened, then
    // each WM_DPICHANGED's. Fonts and icons are made for it.
    UINT dpi = kBaseDpi;

    // Commands of controls a base class brings to every dialog built on it
    // (the action block of CSetAlmTmr); asked after the dialog's own table.
    bool OnSharedCommand(int, int) { return false; }
    // After every command, handled or not: what follows any change of the
    // controls. A dialog that needs it declares its own (the runner calls
    // the dialog's class, so the others cost nothing).
    void AfterCommand() {}
    // After the runner made the fonts and icon again for a new DPI and
    // scaled the controls, before it gives the dialog its new size: what the
    // dialog keeps in pixels itself.
    void AfterDpiChange(UINT /*oldDpi*/, UINT /*newDpi*/) {}

    WString GetItemText(int id) const;
    static WString GetWndText(HWND target);
    WString GetListText(int listId, int index) const;
    WString GetComboText(int comboId, int index) const;
    // First selected item of a multiple-selection list, or -1.
    int GetFirstSelected(int listId) const;
    // Every selected item of a multiple-selection list, in ascending order.
    std::vector<int> GetSelectedItems(int listId) const;
    // Selects the item under a screen point (lParam of WM_CONTEXTMENU), or
    // clears the selection and returns -1 when no item is there.
    int SelectAtPoint(int listId, LPARAM screenPoint) const;
    // Radio groups are the buttons base+1 ... base+count.
    int GetCheckedRadio(int baseId, int count) const;
    void CheckRadio(int baseId, int count, int index) const;
    bool IsChecked(int id) const;
    // Shows or hides first ... first+count: count+1 controls.
    void ShowItems(int firstId, int count, bool show) const;
    // Loads the icon at the small-icon size of dpi and makes it the dialog's
    // small icon.
    UniqueIcon SetSmallIcon(int iconId) const;
    // A font of the given size in points at dpi (Shift-JIS charset); set on
    // the control when id > 0. The dialog owns the font.
    UniqueGdiObject MakeFont(int id, int points, const wchar_t* face, BOOL redraw) const;
    // A tooltip window of its own for one control; "\n" breaks the tip into
    // lines exactly there.
    HWND AddToolTip(int id, const wchar_t* text, int autoPopMs) const;
    void SetToolTipText(HWND toolTip, int id, const wchar_t* text) const;

    // Appends "(昇格中)" to the current title when the elevation code is 3.
    void SetElevatedTitle(int elevation) const;
};

// The template caption followed by "(昇格中)" for elevation code 3.
WString ElevatedTitle(const WString& caption, int elevation);

// Width of the widest "\n"-separated line of text in the font selected into
// dc; an empty text is measured as one blank.
int WidestLineWidth(HDC dc, const wchar_t* text);

// True when max >= min, the whole text is one decimal integer (leading white
// space allowed; an empty text is 0) and min <= value <= max.
bool IsNumberInRange(const WString& text, int min, int max);

// The first file of a drop (WM_DROPFILES), read at the length the drop
// gives; the drop is finished here, so further files are ignored.
WString FirstDroppedFile(HDROP drop);

void InitOpenFileName(OPENFILENAMEW* record, HWND owner, const wchar_t* filter, DWORD filterIndex,
                      const wchar_t* title, wchar_t* fileBuffer, DWORD bufferCapacity);

// The about box (dialog 200): product, version, summary and contact lines.
#pragma once

#include <windows.h>

#include "common/Handles.h"
#include "settings/ModalDialog.h"

// The contact lines and what double-clicking them opens.
extern const wchar_t kAboutVersion[];       // "Ver.3.01"
extern const wchar_t kAboutSummary[];
extern const wchar_t kMakerCredit[];
extern const wchar_t kMakerMailAddress[];
extern const wchar_t kMakerHomePage[];

// Opens a mail or web address (ShellExecuteW "open"); tests replace it so a
// double-click opens nothing real.
using LinkOpener = void (*)(HWND owner, const wchar_t* target);
LinkOpener SetLinkOpener(LinkOpener opener);

class DAbout : public ModalDialog<DAbout> {
public:
    explicit DAbout(int elevation);
    // Runs the modal box: true after OK (or Enter), false after the close box.
    bool Run(HWND owner);

private:
    friend class ModalDialog<DAbout>;
    static const DialogTables<DAbout> kTables;

    INT_PTR OnInitDialog();
    void OnMailDoubleClick();
    void OnHomePageDoubleClick();
    void OnOk();
};

// The command input dialog (9200): composes the parameter of a Shell record,
// "Icon " + command line to run it minimised, or the command line alone.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "common/SettingsFile.h"
#include "common/WString.h"
#include "settings/ModalDialog.h"

class DCommand : public ModalDialog<DCommand> {
public:
    // iconId: the title bar's small icon, 0 for none.
    DCommand(const WString& parameter, int iconId, const SettingsFile& settings, int elevation);
    // True after OK (the parameter holds the new text) and after closing from
    // the title bar (the parameter unchanged); false after Cancel.
    bool Run(HWND owner);
    const WString& parameter() const { return parameter_; }

private:
    friend class ModalDialog<DCommand>;
    static const DialogTables<DCommand> kTables;
    static LRESULT CALLBACK EditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);

    INT_PTR OnInitDialog();
    INT_PTR OnDestroy(WPARAM, LPARAM);
    void OnBrowse();
    void OnClear();
    void OnPaste();
    void OnOk();
    void OnCancel();
    void OnDropFiles(HDROP drop);
    void InsertFileName(const WString& path);

    WString parameter_;
    const SettingsFile& settings_;
    WNDPROC editProc_ = nullptr;
};

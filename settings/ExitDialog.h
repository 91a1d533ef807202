// The exit settings dialog (9300): composes the parameter of an Exit record
// (method word, " 強制終了", " 待機時間 =" seconds "秒"), and the check the
// action block runs on an Exit parameter before it accepts a record.
#pragma once

#include <windows.h>

#include "common/SettingsFile.h"
#include "common/WString.h"
#include "settings/ModalDialog.h"

constexpr int kExitWaitMax = 300;  // seconds the dialog offers

// True when the parameter names a method and any wait in it is a plain
// number; otherwise shows why (owned by owner) and returns false. A longer
// wait than the dialog offers passes: it can only have been written by hand.
bool CheckExitParameter(const WString& parameter, HWND owner);

class DExit : public ModalDialog<DExit> {
public:
    // isHeld: the edited record is on hold ("実行保留中" is shown).
    DExit(const WString& parameter, bool isHeld, int iconId, const SettingsFile& settings, int elevation);
    // True after OK (the parameter holds the new text); false after Cancel
    // or the close box (the parameter unchanged).
    bool Run(HWND owner);
    const WString& parameter() const { return parameter_; }

private:
    friend class ModalDialog<DExit>;
    static const DialogTables<DExit> kTables;

    INT_PTR OnInitDialog();
    void OnForceAllowed();
    void OnForceRefused();
    void OnOk();
    void OnCancel();

    WString parameter_;
    bool isHeld_;
    const SettingsFile& settings_;
};

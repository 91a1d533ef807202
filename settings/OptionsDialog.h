// The options (dialog 140): Elevation, BlinkInt, TimerInt and WakeUp of
// Zavbell.ini.
#pragma once

#include <windows.h>

#include "common/SettingsFile.h"
#include "common/WString.h"
#include "settings/ModalDialog.h"

// An interval as typed, after AsciiDigits: half-width decimal digits
// (blanks before them allowed) of a value in min ... max. Any other
// character is refused even where the C runtime would read it.
bool IsIntervalText(const WString& text, int min, int max);

class DSetParam : public ModalDialog<DSetParam> {
public:
    // splitToken: the process's elevation code is not 1, so elevating at
    // start means something; elevation: the code for the title suffix.
    DSetParam(const SettingsFile& settings, bool splitToken, int elevation);
    // True after OK (settings written, ZAV told); false after Cancel or the
    // close box.
    bool Run(HWND owner);

private:
    friend class ModalDialog<DSetParam>;
    static const DialogTables<DSetParam> kTables;

    INT_PTR OnInitDialog();
    void OnHelp();
    void OnOk();
    void OnCancel();
    bool WriteSettings() const;
    // A field's text with its full-width digits as ASCII ones.
    WString Interval(int fieldId) const;

    const SettingsFile& settings_;
    bool splitToken_;
};

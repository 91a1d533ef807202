// The hold state (dialog 150): picks the hold flag of the selected schedules.
#pragma once

#include <windows.h>

#include "settings/ModalDialog.h"

// The hold flags in the order of the radio buttons 1501 ... 1504.
extern const wchar_t kHoldFlags[4];     // ' ', '!', '#', 'X'
// The radio index of a flag, -1 for any other character.
int HoldFlagIndex(wchar_t flag);

class DSetHold : public ModalDialog<DSetHold> {
public:
    // flag: the current hold flag; another character checks no button.
    DSetHold(wchar_t flag, int elevation);
    // True after OK with a button checked (flag() is the chosen flag); false
    // after Cancel, the close box, or OK with no button checked.
    bool Run(HWND owner);
    wchar_t flag() const { return flag_; }

private:
    friend class ModalDialog<DSetHold>;
    static const DialogTables<DSetHold> kTables;

    INT_PTR OnInitDialog();
    void OnOk();
    void OnCancel();

    wchar_t flag_;
};

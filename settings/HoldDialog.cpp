#include "settings/HoldDialog.h"

#include "schedule/ScheduleRecord.h"
#include "settings/resource.h"

const wchar_t kHoldFlags[4] = {kHoldNone, kHoldRunOnce, kHoldOnce, kHoldAlways};

int HoldFlagIndex(wchar_t flag) {
    for (int i = 0; i < 4; ++i)
        if (kHoldFlags[i] == flag) return i;
    return -1;
}

const DialogTables<DSetHold> DSetHold::kTables = [] {
    static const CommandEntry<DSetHold> commands[] = {
        {IDC_HOLD_OK, BN_CLICKED, &DSetHold::OnOk},
        {IDC_HOLD_CANCEL, BN_CLICKED, &DSetHold::OnCancel},
    };
    DialogTables<DSetHold> tables{};
    tables.templateId = IDD_HOLD;
    tables.onInit = &DSetHold::OnInitDialog;
    tables.commands = commands;
    tables.closeResult = 0;
    return tables;
}();

DSetHold::DSetHold(wchar_t flag, int elevation) : ModalDialog(elevation, IDI_SETTINGS), flag_(flag) {}

bool DSetHold::Run(HWND owner) {
    return RunModal(owner);
}

INT_PTR DSetHold::OnInitDialog() {
    CheckRadio(IDC_HOLD_GROUP, 4, HoldFlagIndex(flag_));
    return TRUE;
}

void DSetHold::OnOk() {
    int checked = GetCheckedRadio(IDC_HOLD_GROUP, 4);
    // A line with an unknown flag opens with no button checked; OK then
    // changes nothing rather than writing a NUL over the lines' first column.
    if (checked < 0) {
        EndWith(0);
        return;
    }
    flag_ = kHoldFlags[checked];
    EndWith(1);
}

void DSetHold::OnCancel() {
    EndWith(0);
}

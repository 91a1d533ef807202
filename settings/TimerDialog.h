// The timer (dialog 210): a schedule line that runs once a given time from
// now, added to Zavbell.txt at its sorted place on OK.
#pragma once

#include <windows.h>

#include "common/WString.h"
#include "settings/ActionBlock.h"
#include "settings/CommandWords.h"
#include "settings/ModalDialog.h"

// The local time that many days, hours, minutes and seconds after `from`.
SYSTEMTIME TimeAfter(const SYSTEMTIME& from, int days, int hours, int minutes, int seconds);
// "yyyy/mm/dd hh:mm:ss", as the dialog shows the action time.
WString FormatActionTime(const SYSTEMTIME& at);
// The run-once line for that time: "! yy/mm/dd hh:mm:ss ", the action word
// padded to six, a blank, the parameter unchanged.
WString TimerLine(const SYSTEMTIME& at, int action, const WString& parameter);

class DSetTimer : public ModalDialog<DSetTimer, CSetAlmTmr> {
public:
    // The schedule and settings files are those of the current directory.
    explicit DSetTimer(const StartInfo& start);
    // True after an OK whose line was written, false after Cancel or the
    // close box.
    bool Run(HWND owner);

private:
    friend class ModalDialog<DSetTimer, CSetAlmTmr>;
    static const DialogTables<DSetTimer> kTables;

    INT_PTR OnInitDialog();
    void OnOffsetChanged();
    void OnOk();
    void OnCancel();
    bool CheckOffset();
    SYSTEMTIME ActionTime() const;
    int Position(int spinId) const;
};

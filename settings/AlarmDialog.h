// The schedule edit dialog (120): reads one line of Zavbell.txt into its
// controls, checks the user's input and composes the line again.
#pragma once

#include <windows.h>

#include "common/WString.h"
#include "schedule/WatchPass.h"
#include "settings/ModalDialog.h"
#include "settings/SetAlmTmr.h"

// The four-digit year a rule's two-digit year stands for: the watch pass
// compares only the two digits with this year's, so the rule means the year
// of the current century.
int FullYear(int twoDigits, int currentYear);

// True when text is one or two ASCII digits (at most maxDigits) whose value
// lies in min ... max. An empty, blank or signed text is no number: written
// into the line it would shift the fixed columns.
bool IsPlainNumber(const WString& text, int maxDigits, int min, int max);

// "(日)" ... "(土)" for a real date of the four-digit year, "(？)" for an
// impossible one (30 February, month 13).
WString WeekdayShown(int year, int month, int day);

class DSetAlarm : public ModalDialog<DSetAlarm, CSetAlmTmr> {
public:
    // line: the line to edit, empty for a new schedule. clock: the local
    // time of the defaults and of the century; nullptr is GetLocalTime.
    DSetAlarm(int osLevel, BOOL isWow64, int elevation, const WString& line, ClockSource clock = nullptr);
    // 1 after OK (lineText() holds the composed line); 0 after Cancel, the
    // close box, or a line of an unknown action (lineText() is empty).
    INT_PTR Run(HWND owner);
    const WString& lineText() const { return lineText_; }

private:
    friend class ModalDialog<DSetAlarm, CSetAlmTmr>;
    static const DialogTables<DSetAlarm> kTables;

    INT_PTR OnInitDialog();
    void SetDefaults(const SYSTEMTIME& now);
    void ReadLine(const WString& line);
    void ReadDateField(const WString& line);
    void ReadTimeField(const WString& line);
    void LayOutGroups();

    // Notifications.
    void OnWeekdayMethod();
    void OnDateMethod();
    void OnNthMethod();
    void OnEveryDay();
    void OnInterval();
    void UpdateTimeStates();
    void UpdateWeekdayButtons();
    void OnClearDays();
    void OnToday();
    void OnAllDays();
    void OnEveryYear();
    void OnEveryMonth();
    void OnEveryDate();
    void OnFromEnd();
    void UpdateWeekdayShown();
    void UpdateIntervalUnit();
    void UpdateNthPrefix();
    void OnOk();
    void OnCancel();

    INT_PTR OnMeasureItem(WPARAM wParam, LPARAM lParam);
    INT_PTR OnDrawItem(WPARAM wParam, LPARAM lParam);
    INT_PTR OnColourStatic(WPARAM wParam, LPARAM lParam);

    void ShowMethodGroups(int method);
    void SetSpin(int spinId, int value) const;
    bool CheckInput();
    WString ComposeLine() const;
    WString Padded(int id) const;

    WString lineText_;
    WString sourceLine_;
    ClockSource clock_;
    wchar_t holdFlag_ = L' ';
    int currentYear_ = 2000;
    int today_ = 0;  // 0 Sunday
};

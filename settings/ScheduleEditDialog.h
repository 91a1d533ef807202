// The schedule edit dialog (120): shows one line of Zavbell.txt, as
// ScheduleLine reads it, in its controls, and after the user's changes
// turns the controls back into a line, or shows why it cannot.
#pragma once

#include <windows.h>

#include "common/WString.h"
#include "schedule/ScheduleLine.h"
#include "schedule/WatchPass.h"
#include "settings/ActionBlock.h"
#include "settings/CommandWords.h"
#include "settings/ModalDialog.h"

class DSetAlarm : public ModalDialog<DSetAlarm, CSetAlmTmr> {
public:
    // line: the line to edit, empty for a new schedule. clock: the local
    // time of the defaults and of the century; nullptr is GetLocalTime.
    DSetAlarm(int osLevel, BOOL isWow64, int elevation, const WString& line, ClockSource clock = nullptr);
    // True after OK (lineText() holds the composed line); false after Cancel,
    // the close box, or a line of an unknown action (lineText() is empty).
    bool Run(HWND owner);
    const WString& lineText() const { return lineText_; }

private:
    friend class ModalDialog<DSetAlarm, CSetAlmTmr>;
    static const DialogTables<DSetAlarm> kTables;

    INT_PTR OnInitDialog();
    void SetDefaults(const ScheduleLine& defaults);
    void ShowLine(const ScheduleLine& line);
    void ShowDate(const DateRule& date);
    void ShowTime(const TimeRule& time);
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
    // The runner's, after every command: the line's next time.
    void AfterCommand();
    void OnOk();
    void OnCancel();

    int WeekdayItemHeight() const;
    void AfterDpiChange(UINT oldDpi, UINT newDpi);
    INT_PTR OnMeasureItem(WPARAM wParam, LPARAM lParam);
    INT_PTR OnDrawItem(WPARAM wParam, LPARAM lParam);
    INT_PTR OnColourStatic(WPARAM wParam, LPARAM lParam);

    void ShowMethodGroups(DateKind method);
    void SetSpin(int spinId, int value) const;
    // A number field's text through AsciiDigits and NumberOf: two digits,
    // one for the days before the month's end.
    int Number(int id, int maxDigits = 2) const;
    ScheduleLine LineOfControls() const;
    SYSTEMTIME Now() const;

    WString lineText_;
    WString sourceLine_;
    ClockSource clock_;
    wchar_t holdFlag_ = L' ';
    int currentYear_ = 2000;
    int today_ = 0;  // 0 Sunday
    bool filled_ = false;    // the controls show the line: the next time can be shown
    bool neverDue_ = false;  // the next time shown is none
};

// Runs the editor owned by owner on line (empty for a new schedule; for a
// copy, the original's text). True, with line replaced by the composed
// record, when the user confirmed; false, with line as it was, when the user
// cancelled. The list decides where the result goes.
bool EditScheduleLine(HWND owner, WString& line, const StartInfo& start);

// When the line next comes due from now on: "次回: 2026/12/08(火) 07:00:00",
// "（保留）" after it for a line held once, the day of a Start line's next
// start, or why there is none. *never (when given): the line's rules match
// no second from now on, whatever its hold flag.
WString NextDueLabel(const WString& line, const SYSTEMTIME& now, bool* never = nullptr);

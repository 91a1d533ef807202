#include "schedule/WatchPass.h"

#include <wchar.h>

#include <utility>

#include "schedule/ScheduleLine.h"

namespace {

void IgnoreAction(const WString&) {}
void IgnoreStart(const wchar_t*) {}

ActionHandler g_actionHandler = IgnoreAction;
SettingsStarter g_settingsStarter = IgnoreStart;
ClockSource g_clockSource = nullptr;

// Positions in the rule text and the now text "yy/mm/dd hh:mm:ss". The
// pass reads the rules character by character on every tick instead of
// parsing them: the places and words are those of ScheduleLine.
constexpr int kYear = kYearPlace;
constexpr int kMonth = kMonthPlace;
constexpr int kDay = kDayPlace;
constexpr int kHour = kTimeRuleOffset + kHourPlace;
constexpr int kMinute = kTimeRuleOffset + kMinutePlace;
constexpr int kSecond = kTimeRuleOffset + kSecondPlace;
constexpr int kInterval = kTimeRuleOffset + kIntervalPlace;
constexpr int kIntervalUnit = kTimeRuleOffset + kIntervalUnitPlace;

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}
bool Stars(const wchar_t* place) {
    return place[0] == kAnyMark && place[1] == kAnyMark;
}
bool SamePlace(const wchar_t* a, const wchar_t* b) {
    return a[0] == b[0] && a[1] == b[1];
}

void PutTwoDigits(wchar_t* out, int value) {
    out[0] = static_cast<wchar_t>(L'0' + value / 10 % 10);
    out[1] = static_cast<wchar_t>(L'0' + value % 10);
}

// "yy/mm/dd hh:mm:ss" plus NUL, built by hand: this runs on every timer tick
// and a formatted print costs more than the rest of an early-return tick.
void FormatNow(const SYSTEMTIME& time, wchar_t* out) {
    PutTwoDigits(out + kYear, time.wYear % 100);
    out[2] = L'/';
    PutTwoDigits(out + kMonth, time.wMonth);
    out[5] = L'/';
    PutTwoDigits(out + kDay, time.wDay);
    out[8] = L' ';
    PutTwoDigits(out + kHour, time.wHour);
    out[11] = L':';
    PutTwoDigits(out + kMinute, time.wMinute);
    out[14] = L':';
    PutTwoDigits(out + kSecond, time.wSecond);
    out[kRuleTextLength] = L'\0';
}

// The "-n" of the end-of-month and Nth-weekday forms: 0 for a blank, else the
// digit. Any other character makes the rule malformed (-1): it would index
// past the weekday table or aim at an arbitrary day.
int DayOffset(wchar_t c) {
    if (c == L' ') return 0;
    return IsDigit(c) ? c - L'0' : -1;
}

bool DateForm(const wchar_t* r, const wchar_t* now, const SYSTEMTIME& time) {
    wchar_t day[2] = {r[kDay], r[kDay + 1]};
    if (r[kMonthEndPlace] == kMonthEndMark) {
        // End of month: the rule becomes an ordinary date whose day is this
        // month's last day less n (19..31, always two digits).
        const int n = DayOffset(r[kOffsetPlace]);
        if (n < 0) return false;
        PutTwoDigits(day, DaysInMonth(time.wYear, time.wMonth) - n);
    }
    return (Stars(r + kYear) || SamePlace(r + kYear, now + kYear)) &&
           (Stars(r + kMonth) || SamePlace(r + kMonth, now + kMonth)) && (Stars(day) || SamePlace(day, now + kDay));
}

bool WeekdayForm(const wchar_t* r, const SYSTEMTIME& time) {
    const int w = time.wDayOfWeek;
    if (w > 6 || r[w] == kNoDayMark) return false;
    // A weekday mask has a letter or "_" at 3; "1st ".."5th " a blank, "last" a t.
    const wchar_t ordinalEnd = r[kOrdinalEndPlace];
    if (ordinalEnd != L' ' && ordinalEnd != L't') return true;
    const int n = DayOffset(r[kOffsetPlace]);
    if (n < 0) return false;
    const int m = DaysInMonth(time.wYear, time.wMonth);
    // The target day lies n days ahead, possibly in the next month.
    int o = time.wDay + n;
    if (o > m) o -= m;
    if (ordinalEnd == L' ') {
        if ((o - 1) / 7 != r[0] - L'1') return false;
    } else if (m - o >= 7) {
        return false;
    }
    const wchar_t* name = kWeekdayWords[(w + n) % 7];
    return r[kNthWeekdayPlace] == name[0] && r[kNthWeekdayPlace + 1] == name[1];
}

bool DateMatches(const wchar_t* r, const wchar_t* now, const SYSTEMTIME& time) {
    if (r[kSeparatorPlace] == kDateSeparator) return DateForm(r, now, time);
    if (wmemcmp(r, kEveryDayRule, kRuleWidth) == 0) return true;
    return WeekdayForm(r, time);
}

bool TimeMatches(const wchar_t* r, const wchar_t* now, const SYSTEMTIME& time, bool start) {
    if (start) return wmemcmp(r + kHour, kStartTimeRule, kRuleWidth) == 0;
    // The seconds are never a wildcard: "**" there never equals a clock digit.
    const bool anyHour = Stars(r + kHour);
    const bool anyMinute = Stars(r + kMinute);
    const bool sameSecond = SamePlace(r + kSecond, now + kSecond);
    if (anyHour && SamePlace(r + kMinute, now + kMinute) && sameSecond) return true;
    if (anyMinute && SamePlace(r + kHour, now + kHour) && sameSecond) return true;
    if (anyHour && anyMinute && sameSecond) return true;
    if (wmemcmp(r + kHour, now + kHour, kRuleWidth) == 0) return true;
    if (wmemcmp(r + kHour, kEveryWord, 5) == 0) {
        // everyNNm / everyNNs, counted from the full hour or minute. NN of 00
        // or not two digits never comes due (and never divides by zero).
        if (!IsDigit(r[kInterval]) || !IsDigit(r[kInterval + 1])) return false;
        const int nn = (r[kInterval] - L'0') * 10 + (r[kInterval + 1] - L'0');
        if (nn == 0) return false;
        if (r[kIntervalUnit] == kMinutesUnit)
            return now[kSecond] == L'0' && now[kSecond + 1] == L'0' && time.wMinute % nn == 0;
        if (r[kIntervalUnit] == kSecondsUnit) return time.wSecond % nn == 0;
    }
    return false;
}

// r and now both hold at least kRuleTextLength units.
bool DueAt(const wchar_t* r, const wchar_t* now, const SYSTEMTIME& time, bool start) {
    return DateMatches(r, now, time) && TimeMatches(r, now, time, start);
}

bool ActionIs(const WString& actionText, const wchar_t* word) {
    return actionText.length() >= kActionWordWidth && wmemcmp(actionText.text(), word, kActionWordWidth) == 0;
}

// The actions that only the last record of a pass performs, after all others,
// in this order.
const int kDeferredActions[] = {kActScreen, kAct3DText, kActKabe};
constexpr int kDeferredCount = 3;

bool HasMarked(const StringList& list) {
    for (int i = 0; i < list.count(); ++i) {
        if (list.at(i).at(kHoldFlagColumn) == kDeletionMark) return true;
    }
    return false;
}

void RemoveMarked(StringList& list) {
    for (int i = 0; i < list.count();) {
        if (list.at(i).at(kHoldFlagColumn) == kDeletionMark)
            list.remove(i);
        else
            ++i;
    }
}

bool Contains(const std::vector<WString>& texts, const WString& text) {
    for (const WString& t : texts) {
        if (t == text) return true;
    }
    return false;
}

// Removal and save at the end of a pass. A nested pass must not shift the
// records under the walk of the pass it runs in, so it only leaves the
// removal to the outermost one; its save already leaves the marked records
// out, so that the file (and any reload from it) is right at once.
void FinishPass(WatchState& state, bool saveNeeded) {
    if (state.passDepth == 1 && state.removalPending) {
        RemoveMarked(state.schedule);
        state.removalPending = false;
    }
    // A failed save leaves the old file; memory keeps the new state.
    if (saveNeeded) SaveSchedule(state);
}

}  // namespace

ActionHandler SetActionHandler(ActionHandler handler) {
    ActionHandler previous = g_actionHandler;
    g_actionHandler = handler ? handler : IgnoreAction;
    return previous;
}

SettingsStarter SetSettingsStarter(SettingsStarter starter) {
    SettingsStarter previous = g_settingsStarter;
    g_settingsStarter = starter ? starter : IgnoreStart;
    return previous;
}

ClockSource SetClockSource(ClockSource source) {
    ClockSource previous = g_clockSource;
    g_clockSource = source;
    return previous;
}

bool IsDue(const WString& rule, const WString& now, const SYSTEMTIME& time, bool start) {
    if (rule.length() < kRuleTextLength || now.length() < kRuleTextLength) return false;
    return DueAt(rule.text(), now.text(), time, start);
}

void ApplyEdits(StringList& list, const std::vector<ScheduleEdit>& edits) {
    for (const ScheduleEdit& edit : edits) {
        for (int i = 0; i < list.count(); ++i) {
            if (list.at(i) != edit.before) continue;
            if (edit.remove)
                list.remove(i);
            else
                list.SetAt(i, edit.after);
            break;
        }
    }
}

bool LoadSchedule(WatchState& state) {
    // Taken before the read: a change made while ZAV reads shows at its next save.
    const FileStamp stamp = StampOf(state.schedulePath);
    StringList loaded;
    if (!loaded.load(state.schedulePath)) return false;
    ApplyEdits(loaded, state.pendingEdits);
    state.schedule = std::move(loaded);
    state.fileStamp = stamp;
    ++state.reloads;
    return true;
}

bool SaveSchedule(WatchState& state) {
    const FileStamp stamp = StampOf(state.schedulePath);
    if (stamp != state.fileStamp) {
        // No box here: the pass may be between two records.
        StringList current;
        if (!current.loadQuietly(state.schedulePath)) return false;
        ApplyEdits(current, state.pendingEdits);
        state.schedule = std::move(current);
        state.fileStamp = stamp;
        ++state.reloads;
    }
    bool saved;
    if (HasMarked(state.schedule)) {
        StringList kept = state.schedule;
        RemoveMarked(kept);
        saved = kept.save(state.schedulePath);
    } else {
        saved = state.schedule.save(state.schedulePath);
    }
    if (!saved) return false;
    state.fileStamp = StampOf(state.schedulePath);
    state.pendingEdits.clear();
    return true;
}

void CheckSchedule(WatchState& state, bool start) {
    SYSTEMTIME time;
    if (g_clockSource)
        g_clockSource(&time);
    else
        GetLocalTime(&time);
    wchar_t now[kRuleTextLength + 1];
    FormatNow(time, now);

    if (!start) {
        const WString& last = state.lastChecked;
        if (last.length() == kRuleTextLength && wmemcmp(last.text(), now, kRuleTextLength) == 0) return;
        // Set before any action runs, so that a pass nested in one of its
        // actions' message loops never checks this second again.
        state.lastChecked.assign(now);
    }

    ++state.passDepth;
    // Marks of this pass not yet saved.
    bool saveNeeded = false;
    WString deferred[kDeferredCount];
    bool deferredSet[kDeferredCount] = {false, false, false};
    // What this pass did, for the walk after a reload: a record it handled
    // may come back at another index.
    const unsigned reloadsAtStart = state.reloads;
    std::vector<WString> performed;  // action texts
    std::vector<WString> usedHolds;  // records whose hold-once flag it cleared, as they read now

    // Actions may run nested passes or reload the list: the count is read at
    // every step, and nothing of record i is used after an action has run.
    StringList& list = state.schedule;
    for (int i = 0; i < list.count(); ++i) {
        const WString& record = list.at(i);
        if (record.length() < kDateRuleColumn + kRuleTextLength) continue;
        const wchar_t flag = record.at(kHoldFlagColumn);
        // 'D': a run-once record that has run and waits for its removal at the
        // end of the outermost pass; a nested pass must not run it again.
        if (flag == kHoldAlways || flag == kDeletionMark) continue;
        if (!DueAt(record.text() + kDateRuleColumn, now, time, start)) continue;
        WString actionText = record.From(kActionWordColumn);
        if (state.reloads != reloadsAtStart &&
            ((flag != kHoldOnce && Contains(performed, actionText)) || Contains(usedHolds, record)))
            continue;
        if (flag == kHoldOnce) {
            ScheduleEdit edit{record, record, false};
            edit.after.SetAt(kHoldFlagColumn, kHoldNone);
            state.pendingEdits.push_back(edit);
            usedHolds.push_back(edit.after);
            list.SetFlag(i, kHoldNone);
            saveNeeded = true;
            continue;
        }
        if (flag == kHoldRunOnce) {
            // Marked before the action runs: a pass nested in the action then
            // neither runs the record again nor saves it into the file.
            state.pendingEdits.push_back(ScheduleEdit{record, WString(), true});
            list.SetFlag(i, kDeletionMark);
            saveNeeded = true;
            state.removalPending = true;
        }
        performed.push_back(actionText);
        int slot = 0;
        while (slot < kDeferredCount && !ActionIs(actionText, kActionWords[kDeferredActions[slot]])) ++slot;
        if (slot < kDeferredCount) {
            deferred[slot] = std::move(actionText);
            deferredSet[slot] = true;
            continue;
        }
        // The marks reach the file before the action runs: while its box is
        // open, ZAVSet may save and ZAV reload, and the reloaded list must
        // already lack this run-once record.
        if (saveNeeded) {
            SaveSchedule(state);
            saveNeeded = false;
        }
        if (ActionIs(actionText, kSettingsActionWord))
            g_settingsStarter(kSettingsActionWord);
        else
            g_actionHandler(actionText);
    }

    for (int slot = 0; slot < kDeferredCount; ++slot) {
        if (!deferredSet[slot]) continue;
        if (saveNeeded) {
            SaveSchedule(state);
            saveNeeded = false;
        }
        g_actionHandler(deferred[slot]);
    }

    FinishPass(state, saveNeeded);
    --state.passDepth;
}

#include "schedule/WatchPass.h"

#include <wchar.h>

#include <utility>

#include "schedule/ScheduleLine.h"

namespace {

void IgnoreAction(const WString&) {}
void IgnoreStart(const wchar_t*) {}
void IgnoreSaveFailure(const WString&) {}

ActionHandler g_actionHandler = IgnoreAction;
SettingsStarter g_settingsStarter = IgnoreStart;
ClockSource g_clockSource = nullptr;
SaveFailureHandler g_saveFailureHandler = IgnoreSaveFailure;

// A save that fails is tried again a few times, a moment apart, unless the
// file is read-only: another program may have replaced the file between
// ZAV's look and its rename (the next look merges it), or had it open just
// when the rename came.
constexpr int kSaveAttempts = 5;
constexpr DWORD kSaveRetryMs = 20;

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

// The index of the n-th record (0 = first) that is exactly `record`, or -1.
int FindNth(const StringList& list, const WString& record, int n) {
    for (int i = 0; i < list.count(); ++i) {
        if (list.at(i) == record && n-- == 0) return i;
    }
    return -1;
}

// How many records before index i are equal to it.
int RankOf(const StringList& list, int i) {
    int rank = 0;
    for (int j = 0; j < i; ++j) rank += list.at(j) == list.at(i);
    return rank;
}

// Where a walk that stood at `at` in `before` goes on in `after`: at the same
// record, told apart from equal ones by how many precede it; else just
// before the record that followed it; else at the same index.
int PlaceAfterReload(const StringList& before, int at, const StringList& after) {
    for (int next = 0; next < 2 && at + next < before.count(); ++next) {
        const int found = FindNth(after, before.at(at + next), RankOf(before, at + next));
        if (found >= 0) return found - next;
    }
    return at;
}

// Replaces the list by what the file holds, with ZAV's changes that have not
// reached the file yet. While a pass runs, its run-once records stay marked
// instead of removed, and every walk moves to its record's new place.
void TakeReloaded(WatchState& state, StringList& reloaded, const FileStamp& stamp) {
    const bool walking = state.passDepth > 0;
    ApplyEdits(reloaded, state.pendingEdits, walking);
    for (const ScheduleEdit& edit : state.pendingEdits) state.removalPending |= walking && edit.remove;
    for (int& at : state.walks) at = PlaceAfterReload(state.schedule, at, reloaded);
    state.schedule = std::move(reloaded);
    state.fileStamp = stamp;
    ++state.reloads;
}

// One attempt of SaveSchedule.
bool SaveHeld(WatchState& state) {
    ScheduleHold hold(state.schedulePath);
    if (!hold.held()) return false;
    const FileStamp stamp = hold.stamp();
    if (stamp != state.fileStamp) {
        // No box here: the pass may be between two records.
        StringList current;
        if (!current.loadQuietly(state.schedulePath)) return false;
        TakeReloaded(state, current, stamp);
    }
    FileStamp written;
    bool saved;
    if (HasMarked(state.schedule)) {
        StringList kept = state.schedule;
        RemoveMarked(kept);
        saved = kept.save(state.schedulePath, &hold, &written);
    } else {
        saved = state.schedule.save(state.schedulePath, &hold, &written);
    }
    if (saved) state.fileStamp = written;
    return saved;
}

bool IsReadOnly(const WString& path) {
    const DWORD attributes = GetFileAttributesW(path.text());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
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

SaveFailureHandler SetSaveFailureHandler(SaveFailureHandler handler) {
    SaveFailureHandler previous = g_saveFailureHandler;
    g_saveFailureHandler = handler ? handler : IgnoreSaveFailure;
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

void ApplyEdits(StringList& list, const std::vector<ScheduleEdit>& edits, bool markRemovals) {
    for (const ScheduleEdit& edit : edits) {
        for (int i = 0; i < list.count(); ++i) {
            if (list.at(i) != edit.before) continue;
            if (!edit.remove)
                list.SetAt(i, edit.after);
            else if (markRemovals)
                list.SetFlag(i, kDeletionMark);
            else
                list.remove(i);
            break;
        }
    }
}

bool LoadSchedule(WatchState& state) {
    // Taken before the read: a change made while ZAV reads shows at its next save.
    const FileStamp stamp = StampOf(state.schedulePath);
    StringList loaded;
    if (!loaded.load(state.schedulePath)) return false;
    TakeReloaded(state, loaded, stamp);
    return true;
}

bool SaveSchedule(WatchState& state) {
    for (int attempt = 1; !SaveHeld(state); ++attempt) {
        if (attempt == kSaveAttempts || IsReadOnly(state.schedulePath)) {
            if (!state.saveFailureTold) g_saveFailureHandler(state.schedulePath);
            state.saveFailureTold = true;
            return false;
        }
        Sleep(kSaveRetryMs);
    }
    state.pendingEdits.clear();
    state.saveFailureTold = false;
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
    // every step, nothing of record i is used after an action has run, and
    // the index lives in state.walks, where a reload moves it.
    StringList& list = state.schedule;
    const size_t walk = state.walks.size();
    state.walks.push_back(0);
    for (; state.walks[walk] < list.count(); ++state.walks[walk]) {
        const int i = state.walks[walk];
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

    state.walks.pop_back();
    FinishPass(state, saveNeeded);
    --state.passDepth;
}

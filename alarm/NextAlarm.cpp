// ZAV's next alarm: the tray tip that names it, a look at the clock just
// after its second begins, and, with WakeUp, the wake timer shortly before it.
#include "alarm/Actions.h"
#include "alarm/TrayAlarm.h"
#include "common/MessageBoxes.h"
#include "schedule/NextDue.h"
#include "schedule/ScheduleRecord.h"

namespace {

// szTip's units before its NUL.
constexpr int kTipUnits = sizeof(NOTIFYICONDATAW::szTip) / sizeof(wchar_t) - 1;

}  // namespace

WString TrayTipText(const WString& record, const SYSTEMTIME& due) {
    const WString action = record.From(kActionWordColumn);
    WString tip = WString(kTrayTitle) + L"\n" + DueText(due);
    if (HoldFlagOf(record) == kHoldOnce) tip += kHeldOnceMark;
    tip += L" ";
    tip += action.Mid(0, kActionWordWidth - 1).Trim();
    tip += L" ";
    tip += action.From(kActionParameterIndex);
    // One unit is kept for the "…" of a cut tip.
    return ShownMessage(tip, kTipUnits - 1);
}

SYSTEMTIME TrayAlarm::Now() const {
    SYSTEMTIME now;
    if (clock)
        clock(&now);
    else
        GetLocalTime(&now);
    return now;
}

void TrayAlarm::RefreshNextAlarm() {
    const SYSTEMTIME now = Now();
    // The first second no timer pass has checked: this one, or the next
    // once its pass has run.
    SYSTEMTIME from = now;
    from.wMilliseconds = 0;
    if (watch.lastChecked == PassText(from)) from = TimeOfTicks(TicksOf(from) + kTicksPerSecond);
    const NextAlarm next = NextAlarmOf(watch.schedule, from);
    nextReloads = watch.reloads;
    nextDue = next.due;
    nextDueText = next.index >= 0 ? PassText(next.due) : WString();

    const WString tip = next.index >= 0 ? TrayTipText(watch.schedule.at(next.index), next.due) : WString(kTrayTitle);
    if (tip != trayRecord.szTip) {
        lstrcpynW(trayRecord.szTip, tip.text(), ARRAYSIZE(trayRecord.szTip));
        if (!tipPosted) tipPosted = PostMessageW(mainWindow, kShowTipMessage, 0, 0);
    }
    wake.Arm(wakeUp && next.index >= 0 ? &nextDue : nullptr, now);
    // An alarm already within its lead (one less than a minute after the one
    // just woken for) is waited for from now on.
    if (InWakeLead(now)) wake.Wait(nextDueText);
    ArmLookTimer(now);
}

void TrayAlarm::AfterPass() {
    if (watch.reloads != nextReloads || SecondReached(watch.lastChecked, nextDueText)) RefreshNextAlarm();
    if (watch.passDepth == 0) wake.PassEnded(watch.lastChecked);
}

bool TrayAlarm::InWakeLead(const SYSTEMTIME& now) const {
    if (!wakeUp || nextDueText.empty()) return false;
    const ULONGLONG due = TicksOf(nextDue);
    const ULONGLONG at = TicksOf(now);
    return at + kWakeLeadSeconds * kTicksPerSecond >= due && at < due + kTicksPerSecond;
}

void TrayAlarm::ArmLookTimer(const SYSTEMTIME& now) {
    if (nextDueText.empty()) {
        KillTimer(mainWindow, kLookTimer);
        return;
    }
    const ULONGLONG due = TicksOf(nextDue);
    const ULONGLONG at = TicksOf(now);
    ULONGLONG target = due + kLookMarginMs * kTicksPerMs;
    const ULONGLONG lead = due - kWakeLeadSeconds * kTicksPerSecond;
    if (wakeUp && !wake.waiting() && at < lead) target = lead;
    ULONGLONG ms = target > at ? (target - at) / kTicksPerMs : 0;
    if (ms > kLookLongestMs) ms = kLookLongestMs;
    // Never coalesced with other timers: that could cost the alarm its punctuality.
    CheckWin32(SetCoalescableTimer(mainWindow, kLookTimer, static_cast<UINT>(ms), nullptr, TIMERV_NO_COALESCING),
               "SetTimer in ArmLookTimer");
}

void TrayAlarm::Look() {
    KillTimer(mainWindow, kLookTimer);
    if (InWakeLead(Now())) wake.Wait(nextDueText);
    // The same pass as the watch timer's: the checked second decides, so a
    // second is never performed twice, whichever timer comes first.
    CheckSchedule(watch, false);
    AfterPass();
    ArmLookTimer(Now());
}

void TrayAlarm::OnResume() {
    const SYSTEMTIME now = Now();
    if (InWakeLead(now)) wake.Wait(nextDueText);
    // The look's wait was measured before the sleep.
    ArmLookTimer(now);
}

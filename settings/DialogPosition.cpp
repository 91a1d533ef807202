#include "settings/DialogPosition.h"

#include "common/MessageBoxes.h"

bool IsStoredPositionUsable(PositionRule rule, int left, int top) {
    if (rule == PositionRule::kIntMin) return left != kPositionUnsetIntMin && top != kPositionUnsetIntMin;
    return left >= 0 && top >= 0;
}

bool IsStoredRectUsable(int left, int top, int width, int height) {
    return left >= 0 && top >= 0 && width > 0 && height > 0;
}

bool IsOnSomeMonitor(const RECT& place) {
    return MonitorFromRect(&place, MONITOR_DEFAULTTONULL) != nullptr;
}

bool RestorePosition(HWND dialog, const SettingsFile& settings, const wchar_t* leftKey, const wchar_t* topKey,
                     PositionRule rule) {
    int unset = rule == PositionRule::kIntMin ? kPositionUnsetIntMin : kPositionUnset;
    int left = settings.ReadInt(leftKey, unset);
    int top = settings.ReadInt(topKey, unset);
    if (!IsStoredPositionUsable(rule, left, top)) return false;
    RECT now{};
    GetWindowRect(dialog, &now);
    RECT place{left, top, left + (now.right - now.left), top + (now.bottom - now.top)};
    if (!IsOnSomeMonitor(place)) return false;
    CheckWin32(SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER), "SetWindowPos");
    return true;
}

namespace {

// Writes the dialog's screen position under the two keys; on a failed
// GetWindowRect (reported) nothing is written, so a stale place survives
// rather than a zero one.
bool SaveCorner(HWND dialog, const SettingsFile& settings, const wchar_t* leftKey, const wchar_t* topKey, RECT* rect) {
    BOOL ok = GetWindowRect(dialog, rect);
    CheckWin32(ok, "GetWindowRect");
    if (!ok) return false;
    settings.WriteInt(leftKey, rect->left);
    settings.WriteInt(topKey, rect->top);
    return true;
}

}  // namespace

void SavePosition(HWND dialog, const SettingsFile& settings, const wchar_t* leftKey, const wchar_t* topKey) {
    RECT rect{};
    SaveCorner(dialog, settings, leftKey, topKey, &rect);
}

bool RestoreRect(HWND dialog, const SettingsFile& settings, const wchar_t* leftKey, const wchar_t* topKey,
                 const wchar_t* widthKey, const wchar_t* heightKey) {
    int left = settings.ReadInt(leftKey, kPositionUnset);
    int top = settings.ReadInt(topKey, kPositionUnset);
    int width = settings.ReadInt(widthKey, kPositionUnset);
    int height = settings.ReadInt(heightKey, kPositionUnset);
    if (!IsStoredRectUsable(left, top, width, height)) return false;
    if (!IsOnSomeMonitor(RECT{left, top, left + width, top + height})) return false;
    CheckWin32(MoveWindow(dialog, left, top, width, height, TRUE), "MoveWindow");
    return true;
}

void SaveRect(HWND dialog, const SettingsFile& settings, const wchar_t* leftKey, const wchar_t* topKey,
              const wchar_t* widthKey, const wchar_t* heightKey) {
    RECT rect{};
    if (!SaveCorner(dialog, settings, leftKey, topKey, &rect)) return;
    settings.WriteInt(widthKey, rect.right - rect.left);
    settings.WriteInt(heightKey, rect.bottom - rect.top);
}

void CentreInWorkArea(HWND dialog) {
    HWND owner = GetWindow(dialog, GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    if (!GetMonitorInfoW(MonitorFromWindow(owner ? owner : dialog, MONITOR_DEFAULTTONEAREST), &monitor)) return;
    const RECT& work = monitor.rcWork;
    RECT place{};
    CheckWin32(GetWindowRect(dialog, &place), "GetWindowRect");
    const int width = place.right - place.left;
    const int height = place.bottom - place.top;
    // Kept inside the work area at its top left when larger, as DS_CENTER does.
    int left = work.left + (work.right - work.left - width) / 2;
    int top = work.top + (work.bottom - work.top - height) / 2;
    if (left < work.left) left = work.left;
    if (top < work.top) top = work.top;
    CheckWin32(SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE),
               "SetWindowPos");
}

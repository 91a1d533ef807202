// Zavbell.ini: a private-profile file read with defaults, so it may be missing.
#pragma once

#include "common/WString.h"

class SettingsFile {
public:
    SettingsFile(const WString& path, const WString& section);
    // Zavbell.ini in the current directory, section "Zavbell".
    static SettingsFile ForCurrentDirectory();

    int ReadInt(const wchar_t* key, int fallback) const;
    void WriteInt(const wchar_t* key, int value) const;
    void WriteString(const wchar_t* key, const wchar_t* value) const;

    const WString& path() const { return path_; }
    const WString& section() const { return section_; }

private:
    WString path_;
    WString section_;
};

// The two periods of Zavbell.ini, in ms, and their limits.
//
// TimerInt, ZAV's watch timer. ZAV runs a TimerInt above kTimerIntZavMax as
// the default, and one of 0 or below (SetTimer would fire as fast as the
// system allows) as kTimerIntZavMin. The options dialog offers and accepts
// kTimerIntDialogMin ... kTimerIntDialogMax, and opens a stored value of
// kTimerIntDialogShownLimit or more as the default.
constexpr int kTimerIntDefault = 300;
constexpr int kTimerIntZavMin = 50;
constexpr int kTimerIntZavMax = 500;
constexpr int kTimerIntDialogMin = 100;
constexpr int kTimerIntDialogMax = 900;
constexpr int kTimerIntDialogShownLimit = 1000;
// BlinkInt, the tray icon's blink: one range for both programs. The options
// dialog offers and accepts it; ZAV runs a value outside it as the default.
constexpr int kBlinkIntDefault = 500;
constexpr int kBlinkIntMin = 100;
constexpr int kBlinkIntMax = 3000;

// 1: ZAV wakes the computer from sleep for the next alarm; 0, the default,
// leaves it asleep. Written by the options dialog, read by ZAV.
constexpr wchar_t kWakeUpKey[] = L"WakeUp";

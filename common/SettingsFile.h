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

// Watch-timer periods: ZAV replaces a TimerInt above this by its default.
constexpr int kTimerIntDefault = 300;
constexpr int kTimerIntMax = 500;
// A TimerInt of 0 or below would make SetTimer fire as fast as the system
// allows; it is clamped to this.
constexpr int kTimerIntMin = 50;
constexpr int kBlinkIntDefault = 500;

// 1: ZAV wakes the computer from sleep for the next alarm; 0, the default,
// leaves it asleep. Written by the options dialog, read by ZAV.
constexpr wchar_t kWakeUpKey[] = L"WakeUp";

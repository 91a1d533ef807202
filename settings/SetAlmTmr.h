// The common base of the schedule edit dialog and the timer dialog.
#pragma once

#include <windows.h>

#include <memory>

#include "common/SettingsFile.h"
#include "common/WString.h"
#include "settings/WinLib.h"

class CSetAlmTmr : public CWinLib {
public:
    CSetAlmTmr(int osLevel, BOOL isWow64, int elevation);
    virtual ~CSetAlmTmr();
    CSetAlmTmr(const CSetAlmTmr&) = delete;
    CSetAlmTmr& operator=(const CSetAlmTmr&) = delete;

    int osLevel;
    bool isWow64;           // a 32-bit process on 64-bit Windows
    int elevation;
    bool isHeld = false;    // the edited record carries the hold flag '#' or 'X'
    WString schedulePath;   // Zavbell.txt in the current directory
    std::unique_ptr<SettingsFile> settings;
};

// The common base of the schedule edit dialog and the timer dialog, with the
// block of controls both share to pick an action and compose its parameter.
#pragma once

#include <windows.h>

#include <memory>

#include "common/SettingsFile.h"
#include "common/WString.h"
#include "schedule/ScheduleLine.h"
#include "settings/DialogBase.h"

// The characters of text that saving to Zavbell.txt (the ANSI code page)
// would not keep, each once, in order; empty when the text survives whole.
WString CharactersLostInAnsi(const WString& text);

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
    // The 64-bit helper that picks a screensaver on 64-bit Windows.
    WString helperProgram;

    // ---- The action block (controls 1250 ... 1265) ----
    // In WM_INITDIALOG.
    void InitActionTips();
    // After the dialog is filled and on every click of 1251 ... 1259: the
    // parameter's label and the states of its edit and buttons. No action
    // chosen (a record of an unknown word) ends the dialog with 0.
    void UpdateActionGroup();
    // EN_CHANGE of 1261: the tip shows the whole parameter.
    // The action block's buttons and parameter field (1251 ... 1265), for the
    // edit and timer dialogs alike.
    bool OnSharedCommand(int id, int notification);
    void UpdateParameterTip();
    void SetParameterNone();  // 1263
    void ShowParameter();     // 1264
    void EditParameter();     // 1265
    // OK: the action and its parameter are acceptable; otherwise the dialog
    // says why and stays open with the input.
    bool CheckParameter();
    // The refusal's box, then the focus on the control of its field.
    void ShowRefusal(const Refusal& refusal);

private:
    void ChooseScreensaver();
    HWND parameterTip_ = nullptr;
};

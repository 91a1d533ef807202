// Runs a ZAVSet dialog from its real template and drives it as a user would:
// open it with its inputs, set controls, press OK or Cancel, then read the
// outputs from the dialog object.
//
// The dialog runs modally on the test's thread. A thread timer, dispatched by
// the dialog's own message loop, runs the test's steps once the dialog is
// shown, so a step sees the dialog exactly as the user would.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>
#include <vector>

using DialogStep = std::function<void(HWND dialog)>;

// Runs `open` (which runs a modal dialog and returns its result) and the
// steps in turn: the first on the first dialog shown; each later one on the
// enabled dialog that differs from the previous step's (the one that step
// opened, such as a file picker, or the owner back again after that one
// closed). After the last step every dialog must be closed: one still open is
// a failure, and is closed.
INT_PTR RunDialog(const std::function<INT_PTR()>& open, std::vector<DialogStep> steps);
inline INT_PTR RunDialog(const std::function<INT_PTR()>& open, DialogStep step) {
    return RunDialog(open, std::vector<DialogStep>{std::move(step)});
}

// The visible dialog of this thread that accepts input, or null.
HWND FindOpenDialog();

// Controls, as the user works them.
std::wstring ItemText(HWND dialog, int id);
std::string ItemTextUtf8(HWND dialog, int id);
std::wstring WindowText(HWND window);
// Types a text into an edit: replaces it, the edit then reports EN_CHANGE.
void TypeText(HWND dialog, int id, const wchar_t* text);
// Presses a button and returns when its handler has run.
void Click(HWND dialog, int id);
// Presses a button whose handler opens a modal window: the next step gets it.
void PostClick(HWND dialog, int id);
// Clicks a check box or radio button into the given state.
void SetChecked(HWND dialog, int id, bool checked);
bool Checked(HWND dialog, int id);
bool Enabled(HWND dialog, int id);
bool Visible(HWND dialog, int id);
bool ReadOnly(HWND dialog, int id);
// Selects a drop-down list entry and tells the dialog (CBN_SELCHANGE).
void SelectEntry(HWND dialog, int id, int index);
int SelectedEntry(HWND dialog, int id);

// A file picker (GetOpenFileNameW) shown as the step's dialog: types the path
// into its file name box (0x47C) and presses its OK (1).
void AnswerFilePicker(HWND picker, const wchar_t* path);

// Tooltips the dialog owns: the text of the tool for each control id.
struct DialogTip {
    int controlId;
    std::wstring text;
    LRESULT autoPop;
};
std::vector<DialogTip> DialogTips(HWND dialog);

// A drop of these files as the shell would hand it (a DROPFILES block with
// wide names). Sending WM_DROPFILES with it reaches the window in-process;
// the receiver's DragFinish frees it. (Under Wine a real drag from another
// program cannot be made headless, so drops are sent in-process.)
HDROP MakeDrop(const std::vector<std::wstring>& files);

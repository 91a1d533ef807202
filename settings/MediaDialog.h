// The media file dialog (9400): composes the parameter of an Mplay record
// (["Repeat "]["Vol:" percent "% "]path), and the check the action block runs
// on an Mplay parameter before it accepts a record.
#pragma once

#include <windows.h>

#include "common/SettingsFile.h"
#include "common/WString.h"
#include "settings/ModalDialog.h"

// True when the file part is a full path with a drive letter; otherwise
// shows "ファイル名が入力されていません" (owned by owner) and returns false.
bool CheckMediaParameter(const WString& parameter, HWND owner);

// The volume list's entry for a volume in percent: 0 for none, then one per
// ten percent rounded up, 10 for anything above 90.
int VolumeIndex(int volume);

class DMedia : public ModalDialog<DMedia> {
public:
    DMedia(const WString& parameter, int iconId, const SettingsFile& settings, int elevation);
    // True after OK (the parameter holds the new text); false after Cancel
    // or the close box (the parameter unchanged).
    bool Run(HWND owner);
    const WString& parameter() const { return parameter_; }

private:
    friend class ModalDialog<DMedia>;
    static const DialogTables<DMedia> kTables;

    INT_PTR OnInitDialog();
    void OnBrowse();
    void OnOk();
    void OnCancel();

    WString parameter_;
    const SettingsFile& settings_;
};

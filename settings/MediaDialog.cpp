#include "settings/MediaDialog.h"

#include <shlobj.h>

#include "common/MessageBoxes.h"
#include "common/Paths.h"
#include "schedule/ActionParameters.h"
#include "settings/DialogPosition.h"
#include "settings/resource.h"

namespace {

constexpr int kVolumeEntries = 11;
const wchar_t* const kVolumeTexts[kVolumeEntries] = {
    L"変更無",    L"最大の10%", L"最大の20%", L"最大の30%", L"最大の40%", L"最大の50%",
    L"最大の60%", L"最大の70%", L"最大の80%", L"最大の90%", L"最大",
};
constexpr int kPickerCapacity = 260;

const wchar_t kMediaFilter[] =
    L"サウンド(*.wav,*.mp3,*.aif,*.cda)\0*.wav;*.mp3;*.aif;*.cda\0"
    L"MIDIシーケンサ(*.mid,*.rmi)\0*.mid;*.rmi\0"
    L"動画(*.avi,*.mpg)\0*.avi;*.mpg\0"
    L"すべてのファイル(*.*)\0*.*\0";

struct FilterOfExtension {
    const wchar_t* extension;
    DWORD filter;
};
const FilterOfExtension kFilters[] = {
    {L"wav", 1}, {L"mp3", 1}, {L"aif", 1}, {L"cda", 1}, {L"mid", 2}, {L"rmi", 2}, {L"avi", 3}, {L"mpg", 3},
};

DWORD FilterFor(const WString& name) {
    WString extension = ExtensionOf(name).Lower();
    for (const FilterOfExtension& entry : kFilters)
        if (extension == entry.extension) return entry.filter;
    return 4;
}

}  // namespace

int VolumeIndex(int volume) {
    if (volume <= 0) return 0;
    if (volume > 90) return kVolumeEntries - 1;
    return (volume + 9) / 10;
}

bool CheckMediaParameter(const WString& parameter, HWND owner) {
    const wchar_t* refusal = MplayParameterRefusal(parameter);
    if (refusal == nullptr) return true;
    ShowError(refusal, owner);
    return false;
}

const DialogTables<DMedia> DMedia::kTables = [] {
    // clang-format off
    static const CommandEntry<DMedia> commands[] = {
        {IDC_MEDIA_BROWSE, BN_CLICKED, &DMedia::OnBrowse},
        {IDC_MEDIA_OK, BN_CLICKED, &DMedia::OnOk},
        {IDC_MEDIA_CANCEL, BN_CLICKED, &DMedia::OnCancel},
    };
    // clang-format on
    DialogTables<DMedia> tables{};
    tables.templateId = IDD_MEDIA;
    tables.onInit = &DMedia::OnInitDialog;
    tables.commands = commands;
    tables.closeResult = FALSE;
    return tables;
}();

DMedia::DMedia(const WString& parameter, int iconId, const SettingsFile& settings, int elevation)
    : ModalDialog(elevation, iconId), parameter_(parameter), settings_(settings) {}

bool DMedia::Run(HWND owner) {
    return RunModal(owner);
}

INT_PTR DMedia::OnInitDialog() {
    MplayParameter mplay = ParseMplayParameter(parameter_);
    CheckDlgButton(window, IDC_MEDIA_REPEAT, mplay.repeat ? BST_CHECKED : BST_UNCHECKED);
    for (const wchar_t* text : kVolumeTexts)
        SendDlgItemMessageW(window, IDC_MEDIA_VOLUME, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    SendDlgItemMessageW(window, IDC_MEDIA_VOLUME, CB_SETCURSEL, VolumeIndex(mplay.volume), 0);
    SetDlgItemTextW(window, IDC_MEDIA_FILE, mplay.file.text());
    RestorePosition(window, settings_, L"SetPlayLeft", L"SetPlayTop", PositionRule::kIntMin);
    return TRUE;
}

void DMedia::OnBrowse() {
    WString initial = GetItemText(IDC_MEDIA_FILE);
    if (initial.empty() || !PathExists(initial)) initial = JoinPath(SpecialFolderPath(CSIDL_WINDOWS), L"Media\\*.wav");
    wchar_t file[kPickerCapacity] = L"";
    // A name that does not fit starts the picker empty rather than cut.
    if (initial.length() < kPickerCapacity) lstrcpynW(file, initial.text(), kPickerCapacity);
    OPENFILENAMEW record;
    InitOpenFileName(&record, window, kMediaFilter, FilterFor(initial), L"音声・動画ファイルの指定", file,
                     kPickerCapacity);
    if (GetOpenFileNameW(&record)) SetDlgItemTextW(window, IDC_MEDIA_FILE, file);
}

void DMedia::OnOk() {
    WString file = GetItemText(IDC_MEDIA_FILE);
    if (file.empty()) {
        Refuse(IDC_MEDIA_BROWSE, L"ファイル名が入っていません");
        return;
    }
    SavePosition(window, settings_, L"SetPlayLeft", L"SetPlayTop");
    MplayParameter mplay;
    mplay.repeat = IsChecked(IDC_MEDIA_REPEAT);
    int index = static_cast<int>(SendDlgItemMessageW(window, IDC_MEDIA_VOLUME, CB_GETCURSEL, 0, 0));
    mplay.volume = index > 0 ? 10 * index : 0;
    mplay.file = file;
    parameter_ = ComposeMplayParameter(mplay);
    EndWith(TRUE);
}

void DMedia::OnCancel() {
    EndWith(FALSE);
}

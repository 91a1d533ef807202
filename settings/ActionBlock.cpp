#include "settings/ActionBlock.h"

#include <shlobj.h>

#include "common/MessageBoxes.h"
#include "common/Paths.h"
#include "common/Protocol.h"
#include "schedule/ActionParameters.h"
#include "schedule/StringList.h"
#include "settings/CommandDialog.h"
#include "settings/ExitDialog.h"
#include "settings/HelperClient.h"
#include "settings/MediaDialog.h"
#include "settings/ModalDialog.h"
#include "settings/WallpaperDialog.h"
#include "settings/resource.h"

namespace {

constexpr int kParameterIcon = IDI_SETTINGS;
constexpr int kScreensaverCapacity = 1040;
const wchar_t kScreensaverTitle[] = L"スクリーンセーバーの指定";
const wchar_t kScreensaverFilter[] = L"スクリーンセーバー(*.scr)\0*.scr\0";
// The helper turns each line feed into the NUL of the list.
const wchar_t kScreensaverHelperFilter[] = L"スクリーンセーバー(*.scr)\n*.scr\n\n";

// One row of the block's table: what changes with the chosen action.
struct ActionRow {
    const wchar_t* tip;
    const wchar_t* label;
    bool writable;  // 1261
    bool none;      // 1263
    bool show;      // 1264
    bool edit;      // 1265
};
const wchar_t kMessageLabel[] = L"動作のパラメータ（メッセージ）";
const ActionRow kActionRows[kActionCount] = {
    {L"メッセージボックスが出てきます", kMessageLabel, true, false, true, false},
    {L"文字通りです", L"動作のパラメータ（音声・画像ファイル名等）", false, false, true, true},
    {L"バルーン型やトースト型の通知メッセージを表示します", kMessageLabel, true, false, true, false},
    {L"目覚まし時計アイコンをブリンクし，そのクリックでメッセージを確認します", kMessageLabel, true, false, true,
     false},
    {L"指定したスクリーンセーバーを即時実行します", L"動作のパラメータ（スクリーンセーバファイル名）", false, true,
     true, true},
    {L"スクリーンセーバー３Ｄテキストのメッセージを変更し実行します", kMessageLabel, true, false, true, false},
    {L"壁紙が指定時刻にいきなり変わります", L"動作のパラメータ（表示状態と壁紙ファイル名）", false, true, true, true},
    {L"文字通りです", L"動作のパラメータ（ＤＯＳコマンド）", false, false, true, true},
    {L"文字通りです", L"動作のパラメータ（停止・リブートパラメータ）", false, false, false, true},
};

// The control of each field a refusal can name, in the edit and timer dialogs.
struct FieldControl {
    LineField field;
    int id;
};
const FieldControl kFieldControls[] = {
    {LineField::Weekdays, IDC_ALARM_SUNDAY},   {LineField::Year, IDC_ALARM_YEAR},
    {LineField::Month, IDC_ALARM_MONTH},       {LineField::Day, IDC_ALARM_DAY},
    {LineField::Interval, IDC_ALARM_INTERVAL}, {LineField::Hour, IDC_ALARM_HOUR},
    {LineField::Minute, IDC_ALARM_MINUTE},     {LineField::Second, IDC_ALARM_SECOND},
    {LineField::Action, IDC_ACTION_FIRST},     {LineField::Parameter, IDC_PARAM_EDIT},
    {LineField::AtStart, IDC_AT_START},
};

}  // namespace

WString CharactersLostInAnsi(const WString& text) {
    WString lost;
    for (int i = 0; i < text.length(); ++i) {
        // A character outside the basic plane is a surrogate pair: one character.
        int units = IS_HIGH_SURROGATE(text.at(i)) && IS_LOW_SURROGATE(text.at(i + 1)) ? 2 : 1;
        WString character(text.text() + i, units);
        i += units - 1;
        AnsiText ansi = character.ToAnsi();
        if (WString(ansi.get()) == character || lost.Find(character.text()) >= 0) continue;
        lost += character;
    }
    return lost;
}

CSetAlmTmr::CSetAlmTmr(int osLevel, BOOL isWow64, int elevation)
    : osLevel(osLevel),
      isWow64(isWow64 != FALSE),
      elevation(elevation),
      schedulePath(ScheduleFilePath(SpecialFolderPath(-1))),
      settings(new SettingsFile(SettingsFile::ForCurrentDirectory())),
      helperProgram(HelperProgramPath()) {}

CSetAlmTmr::~CSetAlmTmr() = default;

void CSetAlmTmr::InitActionTips() {
    for (int i = 0; i < kActionCount; ++i) AddToolTip(IDC_ACTION_FIRST + i, kActionRows[i].tip, kToolTipAutoPop);
    parameterTip_ = AddToolTip(IDC_PARAM_EDIT, L"動作のパラメータが表示されます", kToolTipAutoPop);
    AddToolTip(IDC_PARAM_SHOW, L"動作のパラメータ全体が見えないとき，確認するために使います", kToolTipAutoPop);
    AddToolTip(IDC_PARAM_EDIT_BUTTON, L"動作のパラメータを変更します", kToolTipAutoPop);
}

void CSetAlmTmr::UpdateActionGroup() {
    SendDlgItemMessageW(window, IDC_PARAM_EDIT, EM_SETREADONLY, TRUE, 0);
    int action = GetCheckedRadio(IDC_ACTION_GROUP, kActionCount);
    if (action < 0) {
        ShowError(L"不正な動作", window);
        CheckWin32(EndDialog(window, 0), "EndDialog");
        return;
    }
    const ActionRow& row = kActionRows[action];
    SetDlgItemTextW(window, IDC_PARAM_LABEL, row.label);
    SendDlgItemMessageW(window, IDC_PARAM_EDIT, EM_SETREADONLY, !row.writable, 0);
    EnableWindow(GetDlgItem(window, IDC_PARAM_NONE), row.none);
    EnableWindow(GetDlgItem(window, IDC_PARAM_SHOW), row.show);
    EnableWindow(GetDlgItem(window, IDC_PARAM_EDIT_BUTTON), row.edit);
}

void CSetAlmTmr::UpdateParameterTip() {
    SetToolTipText(parameterTip_, IDC_PARAM_EDIT, GetItemText(IDC_PARAM_EDIT).text());
}

void CSetAlmTmr::SetParameterNone() {
    SetDlgItemTextW(window, IDC_PARAM_EDIT, kKabeNoneWord);
}

void CSetAlmTmr::ShowParameter() {
    ShowInfo(GetItemText(IDC_PARAM_EDIT).text(), window);
}

void CSetAlmTmr::EditParameter() {
    WString parameter = GetItemText(IDC_PARAM_EDIT);
    switch (GetCheckedRadio(IDC_ACTION_GROUP, kActionCount)) {
    case kActMplay: {
        DMedia media(parameter, kParameterIcon, *settings, elevation);
        if (media.Run(window)) SetDlgItemTextW(window, IDC_PARAM_EDIT, media.parameter().text());
        return;
    }
    case kActShell: {
        DCommand command(parameter, kParameterIcon, *settings, elevation);
        if (command.Run(window)) SetDlgItemTextW(window, IDC_PARAM_EDIT, command.parameter().text());
        return;
    }
    case kActExit: {
        DExit exit(parameter, isHeld, kParameterIcon, *settings, elevation);
        if (exit.Run(window)) SetDlgItemTextW(window, IDC_PARAM_EDIT, exit.parameter().text());
        return;
    }
    case kActKabe: {
        DWallpaper wallpaper(parameter, osLevel, elevation, *settings, SpecialFolderPath(CSIDL_WINDOWS));
        if (wallpaper.Run(window)) SetDlgItemTextW(window, IDC_PARAM_EDIT, wallpaper.parameter().text());
        return;
    }
    case kActScreen: ChooseScreensaver(); return;
    default: ShowError(L"動作を指定してください", window); return;
    }
}

void CSetAlmTmr::ChooseScreensaver() {
    WString current = GetItemText(IDC_PARAM_EDIT);
    wchar_t file[kScreensaverCapacity] = L"";
    // A parameter too long for the buffer is not cut into a wrong name: the
    // choice starts from the system folder then.
    if (!current.empty() && current.length() < kScreensaverCapacity && ExtensionOf(current.Unquote()).Lower() == L"scr")
        lstrcpynW(file, current.text(), kScreensaverCapacity);
    else
        lstrcpynW(file, JoinPath(SpecialFolderPath(CSIDL_SYSTEM), L"*.scr").text(), kScreensaverCapacity);

    if (isWow64) {
        // The 32-bit picker would show the 32-bit system folder; the helper
        // shows the real one.
        HelperClient helper;
        helper.prepare(window, helperProgram);
        if (helper.pickFile(kOpenFileFlags, kScreensaverTitle, kScreensaverHelperFilter, 1, file,
                            kScreensaverCapacity) == 0)
            return;
    } else {
        OPENFILENAMEW record;
        InitOpenFileName(&record, window, kScreensaverFilter, 1, kScreensaverTitle, file, kScreensaverCapacity);
        if (!GetOpenFileNameW(&record)) return;
    }
    SetDlgItemTextW(window, IDC_PARAM_EDIT, file);

    // A screensaver's display name is its string resource 1.
    HMODULE saver = LoadLibraryExW(file, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (saver == nullptr) return;
    wchar_t name[260] = L"";
    int length = LoadStringW(saver, 1, name, 260);
    FreeLibrary(saver);
    if (length > 0) ShowInfo((WString(L"スクリーンセーバー名\n") + name).text(), window);
}

bool CSetAlmTmr::CheckParameter() {
    WString text = GetItemText(IDC_PARAM_EDIT);
    // The timer dialog has no 1222: there the Exit condition always holds.
    Refusal refusal =
        CheckActionParameter(GetCheckedRadio(IDC_ACTION_GROUP, kActionCount), text, IsChecked(IDC_AT_START));
    if (refusal.refused()) {
        ShowRefusal(refusal);
        return false;
    }
    // A Zavbell.txt kept in the ANSI code page (a new one too) would bring
    // the characters it lacks back as "?" or a look-alike; one in UTF-8
    // keeps them.
    WString lost = CharactersLostInAnsi(text);
    if (lost.empty() || ScheduleEncodingOfFile(schedulePath) != ScheduleEncoding::kAnsi) return true;
    WString question =
        WString(L"次の文字は Zavbell.txt に保存すると「?」などに変わります：") + lost + L"\nこのまま設定しますか？";
    if (AskBox(question.text(), window, MB_YESNO | MB_DEFBUTTON2) == IDYES) return true;
    FocusField(window, IDC_PARAM_EDIT);
    return false;
}

void CSetAlmTmr::ShowRefusal(const Refusal& refusal) {
    int id = 0;
    for (const FieldControl& control : kFieldControls)
        if (control.field == refusal.field) id = control.id;
    RefuseInput(window, id, refusal.message);
}

bool CSetAlmTmr::OnSharedCommand(int id, int notification) {
    if (id >= IDC_ACTION_FIRST && id <= IDC_ACTION_LAST) {
        if (notification == BN_CLICKED) UpdateActionGroup();
        return notification == BN_CLICKED;
    }
    static const CommandEntry<CSetAlmTmr> commands[] = {
        {IDC_PARAM_EDIT, EN_CHANGE, &CSetAlmTmr::UpdateParameterTip},
        {IDC_PARAM_NONE, BN_CLICKED, &CSetAlmTmr::SetParameterNone},
        {IDC_PARAM_SHOW, BN_CLICKED, &CSetAlmTmr::ShowParameter},
        {IDC_PARAM_EDIT_BUTTON, BN_CLICKED, &CSetAlmTmr::EditParameter},
    };
    return DispatchCommand<CSetAlmTmr>(*this, commands, id, notification);
}

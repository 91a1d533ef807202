#include "settings/CommandDialog.h"

#include <shellapi.h>

#include <memory>

#include "common/MessageBoxes.h"
#include "common/System.h"
#include "settings/DialogPosition.h"
#include "settings/resource.h"

namespace {

constexpr wchar_t kMinimisedWord[] = L"Icon ";
constexpr int kMinimisedWordLength = 5;
constexpr int kPickerCapacity = 260;

const StaticColour kCommandColours[] = {
    {IDC_CMD_DROP_HINT, kBlue},
    {IDC_CMD_NOTE1, kGreen},
    {IDC_CMD_NOTE2, kGreen},
};

const ToolTipEntry kCommandTips[] = {
    {IDC_CMD_MINIMISED, L"サポートされているアプリケーションしか実行できません"},
};

const FontEntry kCommandFonts[] = {
    {IDC_CMD_HEADING, 13, kDialogFace},
};

const wchar_t kCommandFilter[] =
    L"プログラム(*.exe;*.pif;*.com;*.bat,*.lnk)\0*.exe;*.pif;*.com;*.bat;*.lnk\0"
    L"すべてのファイル(*.*)\0*.*\0";

// The short (8.3) form of an existing path; a path without one (the volume
// keeps no short names, or the call fails) comes back as QuoteCommand gives
// it, since a blank outside quotes would split the command.
WString ShortFormOf(const WString& path) {
    DWORD needed = GetShortPathNameW(path.text(), nullptr, 0);
    if (needed != 0) {
        std::unique_ptr<wchar_t[]> buffer(new wchar_t[needed + 1]);
        DWORD written = GetShortPathNameW(path.text(), buffer.get(), needed + 1);
        if (written != 0 && written <= needed) return QuoteCommand(WString(buffer.get()), WString());
    }
    return QuoteCommand(path, WString());
}

}  // namespace

const DialogTables<DCommand> DCommand::kTables = [] {
    // clang-format off
    static const CommandEntry<DCommand> commands[] = {
        {IDC_CMD_BROWSE, BN_CLICKED, &DCommand::OnBrowse},
        {IDC_CMD_CLEAR, BN_CLICKED, &DCommand::OnClear},
        {IDC_CMD_PASTE, BN_CLICKED, &DCommand::OnPaste},
        {IDC_CMD_OK, BN_CLICKED, &DCommand::OnOk},
        {IDC_CMD_CANCEL, BN_CLICKED, &DCommand::OnCancel},
    };
    // clang-format on
    static const MessageEntry<DCommand> messages[] = {
        {WM_DESTROY, &DCommand::OnDestroy},
    };
    DialogTables<DCommand> tables{};
    tables.templateId = IDD_COMMAND;
    tables.onInit = &DCommand::OnInitDialog;
    tables.commands = commands;
    tables.colours = kCommandColours;
    tables.toolTips = kCommandTips;
    tables.fonts = kCommandFonts;
    tables.messages = messages;
    // Closing from the title bar answers true with the parameter unchanged:
    // the caller's write-back then changes nothing.
    tables.closeResult = TRUE;
    return tables;
}();

DCommand::DCommand(const WString& parameter, int iconId, const SettingsFile& settings, int elevation)
    : ModalDialog(elevation, iconId), parameter_(parameter), settings_(settings) {}

bool DCommand::Run(HWND owner) {
    return RunModal(owner);
}

INT_PTR DCommand::OnInitDialog() {
    if (parameter_.Left(kMinimisedWordLength) == kMinimisedWord) {
        CheckDlgButton(window, IDC_CMD_MINIMISED, BST_CHECKED);
        SetDlgItemTextW(window, IDC_CMD_EDIT, parameter_.From(kMinimisedWordLength).text());
    } else {
        SetDlgItemTextW(window, IDC_CMD_EDIT, parameter_.text());
    }
    HWND edit = GetDlgItem(window, IDC_CMD_EDIT);
    editProc_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&DCommand::EditProc)));
    // An elevated program gets no drops from the unelevated shell.
    if (elevation() == kElevationFull)
        SetDlgItemTextW(window, IDC_CMD_DROP_HINT, L"下の枠内にファイルのD＆D恐らく不可");
    RestorePosition(window, settings_, L"SetCmdLeft", L"SetCmdTop", PositionRule::kIntMin);
    return TRUE;
}

INT_PTR DCommand::OnDestroy(WPARAM, LPARAM) {
    if (editProc_ != nullptr)
        SetWindowLongPtrW(GetDlgItem(window, IDC_CMD_EDIT), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editProc_));
    editProc_ = nullptr;
    return TRUE;
}

LRESULT CALLBACK DCommand::EditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    DCommand* self = current();
    if (self == nullptr || self->editProc_ == nullptr) return DefWindowProcW(edit, message, wParam, lParam);
    if (message == WM_DROPFILES) {
        self->OnDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    }
    return CallWindowProcW(self->editProc_, edit, message, wParam, lParam);
}

void DCommand::OnDropFiles(HDROP drop) {
    // Only the first file of a drop is taken; the drop is finished before
    // the insertion.
    InsertFileName(FirstDroppedFile(drop));
}

void DCommand::InsertFileName(const WString& path) {
    WString inserted = IsChecked(IDC_CMD_SHORT_NAMES) ? ShortFormOf(path) : QuoteCommand(path, WString());
    HWND edit = GetDlgItem(window, IDC_CMD_EDIT);
    WString text = GetItemText(IDC_CMD_EDIT);
    if (text.empty()) {
        SetWindowTextW(edit, inserted.text());
        SendMessageW(edit, EM_SETSEL, inserted.length(), inserted.length());
        return;
    }
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    int at = static_cast<int>(start);
    if (at != text.length() || text.at(at - 1) == L' ') {
        // EM_REPLACESEL leaves the caret right after the inserted text.
        SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(inserted.text()));
        return;
    }
    WString joined = text + L" " + inserted;
    SetWindowTextW(edit, joined.text());
    SendMessageW(edit, EM_SETSEL, joined.length(), joined.length());
}

void DCommand::OnBrowse() {
    HWND edit = GetDlgItem(window, IDC_CMD_EDIT);
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    wchar_t file[kPickerCapacity] = L"";
    OPENFILENAMEW record;
    InitOpenFileName(&record, window, kCommandFilter, GetItemText(IDC_CMD_EDIT).empty() ? 1 : 2, L"ファイル名の指定",
                     file, kPickerCapacity);
    BOOL chosen = GetOpenFileNameW(&record);
    // The picker takes the focus, and with it the edit's selection.
    SendMessageW(edit, EM_SETSEL, start, end);
    if (chosen) InsertFileName(file);
}

void DCommand::OnClear() {
    SetDlgItemTextW(window, IDC_CMD_EDIT, L"");
}

void DCommand::OnPaste() {
    HWND edit = GetDlgItem(window, IDC_CMD_EDIT);
    WString text = GetItemText(IDC_CMD_EDIT);
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    if (!text.empty() && static_cast<int>(start) == text.length() && text.at(text.length() - 1) != L' ') {
        WString joined = text + L" ";
        SetWindowTextW(edit, joined.text());
        SendMessageW(edit, EM_SETSEL, joined.length(), joined.length());
    }
    SendMessageW(edit, WM_PASTE, 0, 0);
}

void DCommand::OnOk() {
    WString text = GetItemText(IDC_CMD_EDIT);
    if (text.empty()) {
        Refuse(IDC_CMD_EDIT, L"コマンドが入力されていません");
        return;
    }
    parameter_ = IsChecked(IDC_CMD_MINIMISED) ? WString(kMinimisedWord) + text : text;
    SavePosition(window, settings_, L"SetCmdLeft", L"SetCmdTop");
    EndWith(TRUE);
}

void DCommand::OnCancel() {
    EndWith(FALSE);
}

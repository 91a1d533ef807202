#include "helper64/Jobs.h"

#include <commdlg.h>
#include <ole2.h>
#include <shlobj.h>

#include <climits>

#include "common/MessageBoxes.h"
#include "common/Process.h"
#include "common/ProcessList.h"
#include "common/Protocol.h"
#include "common/System.h"

namespace {

constexpr int kFolderAnswerUnits = 2600;

// The text at the cursor and its NUL, followed by `extra` more NULs, in a
// buffer of its own; *length its units without the NULs. Measured unit by
// unit first: a read fails at the end of the view, so a text without its
// NUL is refused before anything is allocated for it.
std::unique_ptr<wchar_t[]> ReadText(SharedBlock& block, int extra, int* length) {
    int start = block.position();
    int units = 0;
    wchar_t unit = L'\0';
    do {
        if (!block.read(&unit, sizeof(unit))) return nullptr;
        ++units;
    } while (unit != L'\0');
    std::unique_ptr<wchar_t[]> text(new wchar_t[units + extra]());
    if (!block.seek(start) || !block.read(text.get(), units * static_cast<int>(sizeof(wchar_t)))) return nullptr;
    *length = units - 1;
    return text;
}

bool ReadText(SharedBlock& block, WString* text) {
    int length = 0;
    std::unique_ptr<wchar_t[]> units = ReadText(block, 0, &length);
    if (!units) return false;
    *text = WString(units.get());
    return true;
}

// COM for the dialogs: the new-style folder browser needs it.
class OleScope {
public:
    OleScope() : initialised_(SUCCEEDED(OleInitialize(nullptr))) {}
    ~OleScope() {
        if (initialised_) OleUninitialize();
    }
    OleScope(const OleScope&) = delete;
    OleScope& operator=(const OleScope&) = delete;

private:
    bool initialised_;
};

int CALLBACK SelectInitialFolder(HWND browser, UINT message, LPARAM, LPARAM data) {
    const wchar_t* folder = reinterpret_cast<const wchar_t*>(data);
    if (message == BFFM_INITIALIZED && folder != nullptr && folder[0] != L'\0') {
        SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, data);
    }
    return 0;
}

}  // namespace

bool ReadFileRequest(SharedBlock& block, FileRequest* request) {
    if (!block.seek(0) || !block.read(&request->flags, 4) || !block.read(&request->filterIndex, 4) ||
        !block.read(&request->maxFile, 4)) {
        return false;
    }
    if (request->maxFile <= 0 || !ReadText(block, &request->title)) return false;
    int filterLength = 0;
    // One NUL more: a list whose last pattern has no line feed still ends in two.
    std::unique_ptr<wchar_t[]> filter = ReadText(block, 1, &filterLength);
    if (!filter) return false;
    request->fileOffset = block.position();
    // The file field must lie inside the view before anything is allocated for it.
    long long fileBytes = 2LL * request->maxFile;
    if (request->fileOffset + fileBytes > INT_MAX) return false;
    if (!block.seek(request->fileOffset + static_cast<int>(fileBytes) - 2)) return false;
    wchar_t last = L'\0';
    if (!block.read(&last, sizeof(last)) || !block.seek(request->fileOffset)) return false;
    request->file.reset(new wchar_t[request->maxFile]);
    if (!block.read(request->file.get(), static_cast<int>(fileBytes))) return false;
    // An initial name that fills the field would lead the dialog past it.
    request->file[request->maxFile - 1] = L'\0';

    for (int i = 0; i < filterLength; ++i) {
        if (filter[i] == L'\n') filter[i] = L'\0';
    }
    request->filterUnits = 0;
    request->filter.reset();
    if (filterLength > 0) {
        request->filterUnits = filterLength + 2;
        request->filter = std::move(filter);
    }
    return true;
}

bool ReadFolderRequest(SharedBlock& block, FolderRequest* request) {
    BYTE button = 0;
    if (!block.seek(0) || !block.read(&button, 1)) return false;
    request->newFolderButton = button != 0;
    if (!ReadText(block, &request->title)) return false;
    request->folderOffset = block.position();
    WString folder;
    if (!ReadText(block, &folder)) return false;
    request->folder = folder.Unquote();
    return true;
}

bool WriteFolderAnswer(SharedBlock& block, const FolderRequest& request, const WString& folder) {
    // SharedBlock refuses a write that would pass the mapped view, whole.
    return block.seek(request.folderOffset) &&
           block.write(folder.text(), (folder.length() + 1) * static_cast<int>(sizeof(wchar_t)));
}

int PickFile() {
    SharedBlock block;
    if (!block.open(kHelperBlockName)) return 0;
    FileRequest request;
    if (!ReadFileRequest(block, &request)) {
        block.close();
        return 0;
    }
    OleScope ole;
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.lpstrFilter = request.filter.get();
    dialog.nFilterIndex = request.filterIndex;
    dialog.lpstrFile = request.file.get();
    dialog.nMaxFile = static_cast<DWORD>(request.maxFile);
    dialog.lpstrTitle = request.title.empty() ? nullptr : request.title.text();
    dialog.Flags = request.flags;
    BOOL chosen = GetOpenFileNameW(&dialog);
    if (chosen && block.seek(request.fileOffset)) {
        block.write(request.file.get(), request.maxFile * static_cast<int>(sizeof(wchar_t)));
    }
    block.close();
    return chosen ? kHelperChosen : 0;
}

int PickFolder() {
    SharedBlock block;
    if (!block.open(kHelperBlockName)) return 0;
    FolderRequest request;
    if (!ReadFolderRequest(block, &request)) {
        block.close();
        return 0;
    }
    OleScope ole;
    BROWSEINFOW browse = {};
    browse.lpszTitle = request.title.text();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | (request.newFolderButton ? 0 : BIF_NONEWFOLDERBUTTON);
    browse.lpfn = SelectInitialFolder;
    browse.lParam = reinterpret_cast<LPARAM>(request.folder.text());
    PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&browse);
    int code = 0;
    if (chosen != nullptr) {
        wchar_t path[kFolderAnswerUnits] = {};
        SHGetPathFromIDListW(chosen, path);
        CoTaskMemFree(chosen);
        if (WriteFolderAnswer(block, request, WString(path).Unquote())) code = kHelperChosen;
    }
    block.close();
    return code;
}

int StopScreenSaver() {
    BreakScreenSaver();
    return 0;
}

int RunCommandLine(const WString& command, bool wait) {
    // Trimmed before the split: an empty line would make SplitCommandLine
    // take Quillon64's own command line and start Quillon64 again, endlessly.
    WString line = command.Trim();
    DWORD error = ERROR_FILE_NOT_FOUND;
    if (!line.empty()) {
        CommandLine split = SplitCommandLine(line);
        if (!split.program.empty()) {
            ProcessRunner runner(split.program, split.arguments, L"open", WString(), SW_SHOWNORMAL, nullptr);
            // Only Quillon64's own box for a missing program, not the shell's first.
            runner.AddMask(SEE_MASK_FLAG_NO_UI);
            if (runner.launch()) {
                if (wait) runner.waitPumping(1000);
                return 0;
            }
            error = GetLastError();
        }
    }
    WString text = L"x64 ＤＯＳコマンド " + line + L" 実行エラー Code=" + WString::Format(L"%d", static_cast<int>(error));
    ShowError(text.text());
    return 0;
}

int RunHelper(const WString& arguments) {
    if (arguments.empty()) {
        ShowError(L"直接起動してはいけません");
        return 0;
    }
    wchar_t first = arguments.at(0);
    if (first == L'@') {
        if (arguments == kHelperPickFile) return PickFile();
        if (arguments == kHelperPickFolder) return PickFolder();
        if (arguments == kHelperBreakScreenSaver) return StopScreenSaver();
        ShowError((L"不正な指示 " + arguments.From(1)).text());
        return 0;
    }
    if (first == L':' || first == L'/') return RunCommandLine(arguments.From(1), first == L':');
    ShowInfo(arguments.text());
    return 0;
}

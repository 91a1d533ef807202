#include "settings/HelperClient.h"

#include <climits>
#include <cstdint>

#include "common/MessageBoxes.h"
#include "common/Paths.h"
#include "common/Protocol.h"
#include "common/SharedBlock.h"
#include "common/System.h"

namespace {

constexpr wchar_t kPickingTitle[] = L"<ファイル指定中>";
constexpr DWORD kWaitPollMs = 1000;

WString TitleOf(HWND window) {
    int length = GetWindowTextLengthW(window);
    std::unique_ptr<wchar_t[]> text(new wchar_t[length + 1]);
    text[0] = L'\0';
    GetWindowTextW(window, text.get(), length + 1);
    return WString(text.get());
}

// The owner shows "<ファイル指定中>" and takes no input while the helper runs;
// the destructor gives the title and the input back, on every way out.
class OwnerBusy {
public:
    explicit OwnerBusy(HWND owner) : owner_(owner), title_(TitleOf(owner)) {
        SetWindowTextW(owner_, kPickingTitle);
        EnableWindow(owner_, FALSE);
    }
    ~OwnerBusy() {
        SetWindowTextW(owner_, title_.text());
        EnableWindow(owner_, TRUE);
    }
    OwnerBusy(const OwnerBusy&) = delete;
    OwnerBusy& operator=(const OwnerBusy&) = delete;

private:
    HWND owner_;
    WString title_;
};

}  // namespace

WString HelperProgramPath() {
    return JoinPath(DirectoryOf(SplitCommandLine().program), kHelperProgram);
}

int FilePickBlockSize(int titleLength, int filterLength, int maxFile) {
    long long bytes = 16 + 2LL * (static_cast<long long>(titleLength) + filterLength + maxFile);
    return bytes <= INT_MAX ? static_cast<int>(bytes) : 0;
}

void HelperClient::prepare(HWND owner, const WString& program) {
    owner_ = owner;
    program_ = program;
    runner_.reset();
    if (!PathExists(program_)) {
        ShowError((program_ + L"\nが見つかりません").text(), owner_);
        return;
    }
    runner_.reset(new ProcessRunner(program_, WString(), L"open", WString(), SW_SHOW, owner_));
}

DWORD HelperClient::pickFile(DWORD flags, const wchar_t* title, const wchar_t* filter, DWORD filterIndex,
                             wchar_t* buffer, int maxFile) {
    if (!runner_ || maxFile <= 0) return 0;
    runner_->SetParameters(kHelperPickFile);
    OwnerBusy busy(owner_);

    int titleLength = lstrlenW(title);
    int filterLength = lstrlenW(filter);
    SharedBlock block;
    if (!block.create(kHelperBlockName, FilePickBlockSize(titleLength, filterLength, maxFile))) return 0;
    uint32_t header[3] = {flags, filterIndex, static_cast<uint32_t>(maxFile)};
    bool written = block.write(header, sizeof(header)) && block.write(title, 2 * (titleLength + 1)) &&
                   block.write(filter, 2 * (filterLength + 1));
    int fileOffset = block.position();
    // A request the helper would read past its end is not sent at all.
    if (!written || !block.write(buffer, 2 * maxFile)) return 0;

    BOOL started = runner_->launch();
    CheckWin32(started, "exec->Exec()");
    // Only the helper's own answer counts: a crash ends it with an exception
    // code (0xC0000005 …), which is not a choice.
    bool chosen = started && runner_->waitPumping(kWaitPollMs) == kHelperChosen;
    runner_->close();
    chosen = chosen && block.seek(fileOffset) && block.read(buffer, 2 * maxFile);
    // The helper's answer is not trusted to end inside the buffer.
    if (chosen) buffer[maxFile - 1] = L'\0';
    block.close();
    return chosen ? kHelperChosen : 0;
}

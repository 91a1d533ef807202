// Stands in for Quillon64's file pick in the HelperClient tests: reads the
// request from X64_FILEMAPPING as the helper does, writes what it saw to the
// file named by FAKE_HELPER_LOG (UTF-16), and answers as FAKE_HELPER_ANSWER
// says: empty or missing = cancelled (exit 0); "*fill*" = the whole file field
// filled without a NUL (a helper that overruns); "*crash*" = a path written,
// then the end of a crash (exit code 0xC0000005); anything else = that path.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/Protocol.h"
#include "common/SharedBlock.h"

namespace {

std::wstring Environment(const wchar_t* name) {
    wchar_t value[1024] = L"";
    DWORD length = GetEnvironmentVariableW(name, value, 1024);
    return length > 0 && length < 1024 ? value : L"";
}

std::wstring ReadText(SharedBlock& block) {
    std::wstring text;
    wchar_t unit = 0;
    while (block.read(&unit, 2) && unit != L'\0') text += unit;
    return text;
}

void Log(const std::wstring& text) {
    std::wstring path = Environment(L"FAKE_HELPER_LOG");
    if (path.empty()) return;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size() * 2), &written, nullptr);
    CloseHandle(file);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    SharedBlock block;
    if (!block.open(kHelperBlockName)) return 0;
    uint32_t header[3] = {};
    block.read(header, sizeof(header));
    std::wstring title = ReadText(block);
    std::wstring filter = ReadText(block);
    int fileOffset = block.position();
    int maxFile = static_cast<int>(header[2]);
    std::vector<wchar_t> file(maxFile);
    block.read(file.data(), maxFile * 2);
    HWND owner = FindWindowW(nullptr, L"<ファイル指定中>");
    Log(std::wstring(commandLine) + L"|" + std::to_wstring(header[0]) + L"|" + std::to_wstring(header[1]) + L"|" +
        std::to_wstring(maxFile) + L"|" + title + L"|" + filter + L"|" + std::to_wstring(fileOffset) + L"|" +
        file.data() + L"|" +
        (owner == nullptr         ? L"no owner"
         : IsWindowEnabled(owner) ? L"enabled"
                                  : L"disabled"));

    std::wstring answer = Environment(L"FAKE_HELPER_ANSWER");
    if (answer.empty()) {
        block.close();
        return 0;
    }
    std::vector<wchar_t> reply(maxFile, L'x');
    const bool crash = answer == L"*crash*";
    if (crash) answer = L"C:\\crashed.scr";
    if (answer != L"*fill*") {
        reply.assign(maxFile, L'\0');
        answer.copy(reply.data(), static_cast<size_t>(maxFile) - 1);
    }
    block.seek(fileOffset);
    block.write(reply.data(), maxFile * 2);
    if (crash) TerminateProcess(GetCurrentProcess(), 0xC0000005);
    block.close();
    return 1;
}

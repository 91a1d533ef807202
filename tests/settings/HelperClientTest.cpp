// The requesting side of a file pick through the 64-bit helper, with the real
// Quillon64.exe of the x64 tree copied beside the test program. Its picker,
// a #32770 of that other process, is answered as a user answers it: the
// file name box (0x47C) and OK.
//
// One request stays with a stand-in program (fake_helper.exe), which reads
// and writes the block as Quillon64 does: an answer that fills the whole
// file field without a NUL, which the real helper cannot be made to write.
#include <windows.h>
#include <dlgs.h>

#include <gtest/gtest.h>

#include <string>

#include "common/Paths.h"
#include "common/System.h"
#include "settings/HelperClient.h"
#include "tests/common/TestSupport.h"
#include "tests/settings/DialogHarness.h"
#include "tests/settings/RealHelper.h"
#include "tests/settings/SettingsTestSupport.h"

namespace {

WString FakeHelperPath() {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return JoinPath(DirectoryOf(self), L"fake_helper.exe");
}

const wchar_t kTitle[] = L"スクリーンセーバーの指定";
const wchar_t kFilter[] = L"スクリーンセーバー(*.scr)\n*.scr\n\n";
constexpr int kMaxFile = 1040;

// What the requester's owner and the helper's picker looked like while the
// picker was open.
struct PickerSeen {
    std::wstring ownerTitle;
    bool ownerEnabled = true;
    std::wstring title;
    std::wstring folder;  // the "look in" list's entry (Wine's keeps the names as strings)
    std::wstring fileName;
    int filters = 0;
    std::wstring filter;
    bool readOnlyBoxShown = true;
};

class HelperClientTest : public testing::Test {
protected:
    void SetUp() override { SetWindowTextW(owner.window(), L"編集"); }

    // Picks through the Quillon64 beside the test program (the path ZAVSet
    // takes); the picker gets `answer` typed in and OK, or Cancel when null.
    DWORD PickWithHelper(const wchar_t* answer, wchar_t* buffer, PickerSeen* seen) {
        HelperClient client;
        client.prepare(owner.window());
        EXPECT_TRUE(client.ready());
        HelperPickerWatch watch([&](HWND picker) {
            seen->ownerTitle = WindowText(owner.window());
            seen->ownerEnabled = IsWindowEnabled(owner.window()) != FALSE;
            seen->title = WindowText(picker);
            HWND lookIn = GetDlgItem(picker, cmb2);
            seen->folder = ComboEntry(lookIn, static_cast<int>(SendMessageW(lookIn, CB_GETCURSEL, 0, 0)));
            seen->fileName = ControlText(picker, kPickerFileNameBox);
            HWND filters = GetDlgItem(picker, cmb1);
            seen->filters = static_cast<int>(SendMessageW(filters, CB_GETCOUNT, 0, 0));
            seen->filter = ComboEntry(filters, static_cast<int>(SendMessageW(filters, CB_GETCURSEL, 0, 0)));
            seen->readOnlyBoxShown = IsWindowVisible(GetDlgItem(picker, chx1)) != FALSE;
            if (answer != nullptr) {
                AnswerHelperPicker(picker, answer);
            } else {
                PostMessageW(picker, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(picker, IDCANCEL)));
            }
        });
        DWORD code = client.pickFile(0x100D, kTitle, kFilter, 1, buffer, kMaxFile);
        EXPECT_TRUE(watch.answered());
        return code;
    }

    TempFolder folder;
    TestDialog owner;
    BoxRecorder boxes;
};

TEST(FilePickBlockTest, SizeIsHeaderTitleFilterAndBuffer) {
    const struct {
        int title, filter, maxFile, bytes;
    } cases[] = {{12, 25, 1040, 16 + 2 * (12 + 25 + 1040)},
                 {0, 0, 1, 18},
                 {5, 7, 260, 16 + 2 * 272},
                 {12, 25, 0x7FFFFFF8, 0}};  // more than a block holds, not a size wrapped round
    for (const auto& c : cases) EXPECT_EQ(c.bytes, FilePickBlockSize(c.title, c.filter, c.maxFile));
}

TEST_F(HelperClientTest, TheHelpersPickerShowsTheRequestAndTheChosenPathComesBack) {
    HelperBesideTest helper;
    ASSERT_TRUE(helper.ok());
    WString chosen = JoinPath(folder.path(), L"選んだ saver.scr");
    ASSERT_TRUE(CreateEmptyFile(chosen));
    wchar_t buffer[kMaxFile] = L"";
    lstrcpyW(buffer, JoinPath(folder.path(), L"前の saver.scr").text());
    PickerSeen seen;
    EXPECT_NE(0u, PickWithHelper(chosen.text(), buffer, &seen));
    EXPECT_EQ(Narrow(chosen), Narrow(buffer));
    // While the picker was open the owner was titled "<ファイル指定中>" and
    // took no input; the picker showed the request's title, its initial file
    // (folder and name apart) and its one filter, without the read-only box (OFN_HIDEREADONLY).
    EXPECT_EQ(Narrow(L"<ファイル指定中>"), Narrow(seen.ownerTitle));
    EXPECT_FALSE(seen.ownerEnabled);
    EXPECT_EQ(Narrow(kTitle), Narrow(seen.title));
    EXPECT_EQ(Narrow(FileNameOf(folder.path())), Narrow(seen.folder));
    EXPECT_EQ(Narrow(L"前の saver.scr"), Narrow(seen.fileName));
    EXPECT_EQ(1, seen.filters);
    EXPECT_EQ(Narrow(L"スクリーンセーバー(*.scr)"), Narrow(seen.filter));
    EXPECT_FALSE(seen.readOnlyBoxShown);
    EXPECT_EQ("編集", Narrow(WindowText(owner.window()).c_str()));
    EXPECT_TRUE(IsWindowEnabled(owner.window()));
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(HelperClientTest, CancelInTheHelpersPickerLeavesTheBufferAsItWas) {
    HelperBesideTest helper;
    ASSERT_TRUE(helper.ok());
    wchar_t buffer[kMaxFile];
    for (int i = 0; i < kMaxFile; ++i) buffer[i] = static_cast<wchar_t>(L'a' + i % 26);
    buffer[5] = L'\0';
    wchar_t before[kMaxFile];
    memcpy(before, buffer, sizeof(buffer));
    PickerSeen seen;
    EXPECT_EQ(0u, PickWithHelper(nullptr, buffer, &seen));
    EXPECT_EQ("abcde", Narrow(seen.fileName));
    EXPECT_EQ(0, memcmp(before, buffer, sizeof(buffer)));
    EXPECT_TRUE(IsWindowEnabled(owner.window()));
    EXPECT_EQ("編集", Narrow(WindowText(owner.window()).c_str()));
    EXPECT_TRUE(boxes.boxes().empty());
}

// The stand-in answering as told (FAKE_HELPER_ANSWER); pickFile's result.
DWORD PickWithStandIn(HWND owner, const wchar_t* answer, wchar_t* buffer) {
    SetEnvironmentVariableW(L"FAKE_HELPER_ANSWER", answer);
    HelperClient client;
    client.prepare(owner, FakeHelperPath());
    DWORD result = client.ready() ? client.pickFile(0x100D, kTitle, kFilter, 1, buffer, kMaxFile) : 99;
    SetEnvironmentVariableW(L"FAKE_HELPER_ANSWER", nullptr);
    return result;
}

// Quillon64 always answers with the picker's NUL-terminated path; an answer
// without one is cut inside the buffer. A helper that crashed after it wrote
// into the block chose nothing.
TEST_F(HelperClientTest, AnAnswerWithoutNulIsCutAndACrashLeavesTheBufferAsItWas) {
    wchar_t buffer[kMaxFile] = L"";
    EXPECT_EQ(1u, PickWithStandIn(owner.window(), L"*fill*", buffer));
    EXPECT_EQ(L'\0', buffer[kMaxFile - 1]);
    EXPECT_EQ(kMaxFile - 1, lstrlenW(buffer));
    lstrcpyW(buffer, L"keep");
    EXPECT_EQ(0u, PickWithStandIn(owner.window(), L"*crash*", buffer));
    EXPECT_EQ("keep", Narrow(buffer));
}

TEST_F(HelperClientTest, MissingHelperIsReportedAndAnswersZero) {
    WString missing = JoinPath(folder.path(), L"Quillon64.exe");
    HelperClient client;
    client.prepare(owner.window(), missing);
    EXPECT_FALSE(client.ready());
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(Narrow(missing + L"\nが見つかりません"), Narrow(boxes.boxes()[0].text));
    EXPECT_EQ(owner.window(), boxes.boxes()[0].owner);
    wchar_t buffer[kMaxFile] = L"keep";
    EXPECT_EQ(0u, client.pickFile(0x100D, kTitle, kFilter, 1, buffer, kMaxFile));
    EXPECT_EQ("keep", Narrow(buffer));
}

// ZAVSet's own lookup: no Quillon64.exe beside the program.
TEST_F(HelperClientTest, NoHelperBesideTheProgramIsReported) {
    DeleteFileW(HelperProgramPath().text());
    HelperClient client;
    client.prepare(owner.window());
    EXPECT_FALSE(client.ready());
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(Narrow(HelperProgramPath() + L"\nが見つかりません"), Narrow(boxes.boxes()[0].text));
    EXPECT_EQ(owner.window(), boxes.boxes()[0].owner);
}

TEST(HelperProgramPathTest, BesideTheRunningProgram) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_EQ(Narrow(JoinPath(DirectoryOf(SplitCommandLine().program), L"Quillon64.exe")), Narrow(HelperProgramPath()));
    EXPECT_EQ("Quillon64.exe", Narrow(FileNameOf(HelperProgramPath())));
}

}  // namespace

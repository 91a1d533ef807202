// The requesting side of a file pick through the 64-bit helper. Until the
// helper's own file pick exists a stand-in program (fake_helper.exe) answers
// the request exactly as the helper reads and writes the block.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/Paths.h"
#include "common/System.h"
#include "helper64/HelperClient.h"
#include "tests/common/TestSupport.h"
#include "tests/settings/DialogHarness.h"
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

class HelperClientTest : public testing::Test {
protected:
    void SetUp() override {
        log = JoinPath(folder.path(), L"helper.log");
        SetEnvironmentVariableW(L"FAKE_HELPER_LOG", log.text());
        SetWindowTextW(owner.window(), L"編集");
    }
    void TearDown() override {
        SetEnvironmentVariableW(L"FAKE_HELPER_LOG", nullptr);
        SetEnvironmentVariableW(L"FAKE_HELPER_ANSWER", nullptr);
    }
    std::wstring Seen() const {
        std::string bytes = ReadBytes(log);
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
    }
    DWORD Pick(const wchar_t* answer, wchar_t* buffer) {
        SetEnvironmentVariableW(L"FAKE_HELPER_ANSWER", answer);
        HelperClient client;
        client.prepare(owner.window(), FakeHelperPath());
        EXPECT_TRUE(client.ready());
        return client.pickFile(0x100D, kTitle, kFilter, 1, buffer, kMaxFile);
    }

    TempFolder folder;
    WString log;
    TestDialog owner;
    BoxRecorder boxes;
};

TEST(FilePickBlockTest, SizeIsHeaderTitleFilterAndBuffer) {
    const struct {
        int title, filter, maxFile, bytes;
    } cases[] = {{12, 25, 1040, 16 + 2 * (12 + 25 + 1040)}, {0, 0, 1, 18}, {5, 7, 260, 16 + 2 * 272}};
    for (const auto& c : cases) EXPECT_EQ(c.bytes, FilePickBlockSize(c.title, c.filter, c.maxFile));
}

TEST_F(HelperClientTest, RequestReachesTheHelperAndTheChosenPathComesBack) {
    wchar_t buffer[kMaxFile] = L"C:\\old.scr";
    EXPECT_EQ(1u, Pick(L"C:\\windows\\system32\\new.scr", buffer));
    EXPECT_EQ("C:\\windows\\system32\\new.scr", Narrow(buffer));
    // What the helper read: its command word, flags, filter index, capacity,
    // title, filter (line feeds as sent), the file field's offset, the
    // initial name, and the owner titled "<ファイル指定中>" and disabled.
    const int fileOffset = 12 + 2 * (lstrlenW(kTitle) + 1) + 2 * (lstrlenW(kFilter) + 1);
    EXPECT_EQ(Narrow(std::wstring(L"@GetOpenFileName|4109|1|1040|") + kTitle + L"|" + kFilter + L"|" +
                     std::to_wstring(fileOffset) + L"|C:\\old.scr|disabled"),
              Narrow(Seen()));
    EXPECT_EQ(16 + 2 * (lstrlenW(kTitle) + lstrlenW(kFilter)), fileOffset);
    EXPECT_EQ("編集", Narrow(WindowText(owner.window()).c_str()));
    EXPECT_TRUE(IsWindowEnabled(owner.window()));
    EXPECT_TRUE(boxes.boxes().empty());
}

TEST_F(HelperClientTest, CancelLeavesTheBufferAsItWas) {
    wchar_t buffer[kMaxFile];
    for (int i = 0; i < kMaxFile; ++i) buffer[i] = static_cast<wchar_t>(L'a' + i % 26);
    buffer[5] = L'\0';
    wchar_t before[kMaxFile];
    memcpy(before, buffer, sizeof(buffer));
    EXPECT_EQ(0u, Pick(L"", buffer));
    EXPECT_EQ(0, memcmp(before, buffer, sizeof(buffer)));
    EXPECT_TRUE(IsWindowEnabled(owner.window()));
    EXPECT_EQ("編集", Narrow(WindowText(owner.window()).c_str()));
}

TEST_F(HelperClientTest, AnAnswerWithoutNulIsCutInsideTheBuffer) {
    wchar_t buffer[kMaxFile] = L"";
    EXPECT_EQ(1u, Pick(L"*fill*", buffer));
    EXPECT_EQ(L'\0', buffer[kMaxFile - 1]);
    EXPECT_EQ(kMaxFile - 1, lstrlenW(buffer));
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

TEST(HelperProgramPathTest, BesideTheRunningProgram) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_EQ(Narrow(JoinPath(DirectoryOf(SplitCommandLine().program), L"Quillon64.exe")), Narrow(HelperProgramPath()));
    EXPECT_EQ("Quillon64.exe", Narrow(FileNameOf(HelperProgramPath())));
}

}  // namespace

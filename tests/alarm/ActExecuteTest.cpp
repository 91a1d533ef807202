#include <gtest/gtest.h>

#include "alarm/Actions.h"
#include "alarm/Requester.h"
#include "common/Protocol.h"
#include "common/SharedBlock.h"
#include "tests/alarm/AlarmTestSupport.h"

namespace {

struct MsgCase {
    const wchar_t* actionText;
    const wchar_t* shown;   // nullptr: no box
};

TEST(ActExecute, ShowsMsgParametersFromIndex7AndIgnoresUnknownWords) {
    const MsgCase cases[] = {
        {L"Msg    テスト", L"テスト"},
        {L"Msg   テスト", L"スト"},           // no separator blank: the parameter still starts at 7
        {L"Msg    (なし)", L"(なし)"},
        {L"Msg    ", L""},
        {L"Msg      前後に空白  ", L"  前後に空白  "},
        {L"msg    x", nullptr},              // the words are case-sensitive
        {L" Msg    x", nullptr},             // found, but not at index 0
        {L"Msg", nullptr},                   // shorter than the padded word
        {L"Dengon x", nullptr},              // retired before version 2.00
        {L"zzzzzz x", nullptr},              // the watch pass's own word, never an action
        {L"", nullptr},
    };
    for (const MsgCase& c : cases) {
        BoxRecorder recorder;
        ActExecute(c.actionText);
        const std::vector<RecordedBox>& boxes = recorder.boxes();
        if (c.shown == nullptr) {
            EXPECT_TRUE(boxes.empty()) << "\"" << Narrow(c.actionText) << "\" showed \""
                                       << (boxes.empty() ? "" : Narrow(boxes[0].text.c_str())) << "\"";
            continue;
        }
        ASSERT_EQ(boxes.size(), 1u) << "\"" << Narrow(c.actionText) << "\"";
        EXPECT_EQ(Narrow(boxes[0].text.c_str()), Narrow(c.shown)) << "\"" << Narrow(c.actionText) << "\"";
        EXPECT_EQ(boxes[0].caption, L"Orrivane");
        EXPECT_EQ(boxes[0].style, 0x50040u);
        EXPECT_EQ(boxes[0].owner, TestTray().mainWindow);
    }
}

TEST(Notice, CutsTheTitleAt63UnitsAndKeepsTheBalloonText) {
    NOTIFYICONDATAW& balloon = TestTray().balloonRecord;
    BoxRecorder recorder;
    std::wstring hundred;
    for (int i = 0; i < 100; ++i) hundred += static_cast<wchar_t>(L'あ' + i % 80);
    const struct {
        std::wstring parameter;
        std::wstring title;
    } cases[] = {
        {hundred, hundred.substr(0, 63)},
        {hundred.substr(0, 63), hundred.substr(0, 63)},
        {hundred.substr(0, 62), hundred.substr(0, 62)},
        // A pair across the end goes whole: no lone high surrogate at 63.
        {hundred.substr(0, 62) + L"\U0001F600" + hundred, hundred.substr(0, 62)},
        {L"", L""},
        {L"短い通知", L"短い通知"},
    };
    for (const auto& c : cases) {
        ActExecute((L"Notice " + c.parameter).c_str());
        EXPECT_EQ(Narrow(balloon.szInfoTitle), Narrow(c.title.c_str())) << "parameter of " << c.parameter.size() << " units";
        EXPECT_STREQ(balloon.szInfo, L"Orrivane から");
        EXPECT_EQ(balloon.uFlags, static_cast<UINT>(NIF_INFO));
    }
    EXPECT_TRUE(recorder.boxes().empty());
}

TEST(Blink, KeepsOnlyTheLatestMessageAndCountsEachBlink) {
    TrayAlarm& tray = TestTray();
    unsigned serial = tray.blinkSerial;
    BoxRecorder recorder;
    ActExecute(L"Blink  一つ目");
    ActExecute(L"Blink  二つ目");
    EXPECT_EQ(tray.pendingBlinkMessage, L"二つ目");
    EXPECT_EQ(tray.blinkSerial, serial + 2);
    ActExecute(L"Blink  ");
    EXPECT_TRUE(tray.pendingBlinkMessage.empty()) << "an empty Blink leaves nothing to show";
    EXPECT_TRUE(recorder.boxes().empty()) << "SetTimer for the blink failed";
    KillTimer(tray.mainWindow, kBlinkTimer);
}

TEST(TestRun, PerformsTheBlockTextAndIgnoresAMissingBlock) {
    TrayAlarm& tray = TestTray();
    {
        BoxRecorder recorder;
        EXPECT_EQ(SendMessageW(tray.mainWindow, tray.controlMessage, 2, 0), 0);
        EXPECT_TRUE(recorder.boxes().empty()) << "a box without a ZAV_TEST block";
    }

    const wchar_t text[] = L"Msg    メッセージ表示のテスト";
    SharedBlock block;
    ASSERT_TRUE(block.create(kTestRunBlockName, sizeof(text)));
    ASSERT_TRUE(block.write(text, sizeof(text)));
    BoxRecorder recorder;
    EXPECT_EQ(SendMessageW(tray.mainWindow, tray.controlMessage, 2, 0), 0);
    const std::vector<RecordedBox>& boxes = recorder.boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(Narrow(boxes[0].text.c_str()), Narrow(L"メッセージ表示のテスト"));
}

}  // namespace

namespace {

// A writer that leaves out the NUL: the text ends where the mapped page ends,
// and nothing past it is read.
TEST(TestRun, TextWithoutItsNulEndsAtTheEndOfTheBlock) {
    constexpr int kUnits = 2048;   // one 4 KiB page
    // Blink keeps its whole text (a box would show only the start of it).
    std::wstring text = L"Blink  " + std::wstring(kUnits - 7, L'x');
    SharedBlock block;
    ASSERT_TRUE(block.create(kTestRunBlockName, kUnits * static_cast<int>(sizeof(wchar_t))));
    ASSERT_TRUE(block.write(text.c_str(), kUnits * static_cast<int>(sizeof(wchar_t))));
    BoxRecorder recorder;
    TrayAlarm& tray = TestTray();
    EXPECT_EQ(SendMessageW(tray.mainWindow, tray.controlMessage, 2, 0), 0);
    EXPECT_EQ(tray.pendingBlinkMessage.length(), kUnits - 7) << "the text did not end with the block";
    EXPECT_TRUE(recorder.boxes().empty());
    KillTimer(tray.mainWindow, kBlinkTimer);
    tray.pendingBlinkMessage = WString();
}

// A message of thousands of characters made a box taller than the screen,
// without its OK button, and a megabyte took seconds to show.
TEST(Msg, ShowsAtMost1000CharactersOfALongMessage) {
    TrayAlarm& tray = TestTray();
    std::wstring message(5000, L'あ');
    std::wstring shown = message.substr(0, 1000) + L"…";
    BoxRecorder recorder;
    ActExecute((L"Msg    " + message).c_str());
    ActExecute((L"Blink  " + message).c_str());
    EXPECT_EQ(tray.pendingBlinkMessage.length(), 5000) << "the pending message keeps the whole text";
    // The single click that shows the blink message.
    SendMessageW(tray.mainWindow, WM_TIMER, kClickTimer, 0);
    const std::vector<RecordedBox>& boxes = recorder.boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_TRUE(boxes[0].text == shown) << "Msg showed " << boxes[0].text.size() << " units";
    EXPECT_TRUE(boxes[1].text == shown) << "the blink box showed " << boxes[1].text.size() << " units";
}

// ---- Who may ask for a test run ----

constexpr DWORD kMedium = SECURITY_MANDATORY_MEDIUM_RID;
constexpr DWORD kHigh = SECURITY_MANDATORY_HIGH_RID;
const wchar_t kAdministrators[] = L"S-1-5-32-544";
const wchar_t kUser[] = L"S-1-5-21-1-2-3-1001";

// Windows gives no label to what a medium or high process makes: the owner
// tells an elevated ZAVSet (Administrators) from any other program (the user).
TEST(MayTestRun, OnlyBlocksOfAtLeastZavsElevation) {
    const struct {
        Identity zav, block;
        bool allowed;
    } cases[] = {
        {{kAdministrators, kHigh}, {kAdministrators, kMedium}, true},    // elevated ZAVSet
        {{kAdministrators, kHigh}, {kUser, kMedium}, false},             // any unelevated program
        {{kUser, kMedium}, {kUser, kMedium}, true},                      // unelevated ZAV and ZAVSet
        {{kUser, kMedium}, {kUser, SECURITY_MANDATORY_LOW_RID}, false},  // a sandboxed program of the user
        {{L"", kHigh}, {L"", kMedium}, true},                            // Wine: no owner kept, all elevated
    };
    for (const auto& c : cases) EXPECT_EQ(MayTestRun(c.zav, c.block), c.allowed) << "case " << &c - cases;
}

TEST(TestRun, ABlockFromBelowZavsElevationRunsNothing) {
    TrayAlarm& tray = TestTray();
    const wchar_t text[] = L"Msg    昇格の回避";
    SharedBlock block;
    ASSERT_TRUE(block.create(kTestRunBlockName, sizeof(text)));
    ASSERT_TRUE(block.write(text, sizeof(text)));
    Identity own = tray.identity;
    // Seen by a ZAV above this program: one running as the system.
    tray.identity = {L"S-1-5-18", SECURITY_MANDATORY_SYSTEM_RID};
    BoxRecorder recorder;
    EXPECT_EQ(SendMessageW(tray.mainWindow, tray.controlMessage, kTestRun, 0), 0);
    tray.identity = own;
    EXPECT_TRUE(recorder.boxes().empty()) << Narrow(recorder.boxes()[0].text);
    // ZAV's own identity: its block is performed.
    EXPECT_EQ(SendMessageW(tray.mainWindow, tray.controlMessage, kTestRun, 0), 0);
    EXPECT_EQ(recorder.boxes().size(), 1u);
}

}  // namespace

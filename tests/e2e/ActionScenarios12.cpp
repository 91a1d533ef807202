// Mplay, Kabe and Exit end to end under Wine: the real ZAV.exe performs test
// runs and due records; Exit runs in the recording ZAV.exe, whose power calls
// only go to systemcalls.log (a real ExitWindowsEx would end the whole Wine
// session, this test included).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>

#include <algorithm>

#include "alarm/resource.h"
#include "common/Handles.h"
#include "common/Protocol.h"
#include "common/SharedBlock.h"
#include "tests/alarm/WaveFile.h"
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

constexpr int kLeadSeconds = 3;

// Writes a small 24-bit picture of 4 x 4 pixels.
bool WriteBitmap(const std::wstring& path) {
    std::string file(54 + 48, '\0');
    auto put32 = [&](size_t at, DWORD v) { memcpy(&file[at], &v, 4); };
    auto put16 = [&](size_t at, WORD v) { memcpy(&file[at], &v, 2); };
    file[0] = 'B';
    file[1] = 'M';
    put32(2, static_cast<DWORD>(file.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, 4);
    put32(22, 4);
    put16(26, 1);
    put16(28, 24);
    for (size_t i = 54; i < file.size(); ++i) file[i] = static_cast<char>(i * 7);
    return WriteBytes(path.c_str(), file);
}

class ActionScenario : public ZavFixture {
protected:
    void StartZav(const std::vector<std::wstring>& records, bool recording = false) {
        if (recording) {
            const std::wstring recorder = TestProgramDirectory() + L"\\..\\recording\\ZAV.exe";
            ASSERT_TRUE(CopyFileW(recorder.c_str(), sandbox.PathOf(L"ZAV.exe").c_str(), FALSE))
                << "no recording ZAV.exe at " << Narrow(recorder);
        }
        ASSERT_NO_FATAL_FAILURE(ZavFixture::StartZav(records));
    }

    // A test run as ZAVSet starts it; the block stays until the next one.
    std::unique_ptr<AsyncSend> TestRun(const std::wstring& word, const std::wstring& parameter) {
        block.reset(new SharedBlock);
        EXPECT_TRUE(CreateTestRunBlock(*block, ActionText(word, parameter)));
        return std::unique_ptr<AsyncSend>(new AsyncSend(zav.window(), ControlMessage(), 2, 0));
    }

    // ZAV's first visible window of that class and title; nullptr after the time-out.
    HWND WaitForVisible(const wchar_t* className, const wchar_t* title, DWORD timeoutMs) {
        std::vector<HWND> found;
        WaitUntil([&] { return !(found = VisibleWindows(zav.id(), className, title)).empty(); }, timeoutMs);
        return found.empty() ? nullptr : found[0];
    }

    HWND WaitForPlayer(DWORD timeoutMs = kWaitMs) { return WaitForVisible(L"MCIWndClass", nullptr, timeoutMs); }

    bool PlayerGone(DWORD timeoutMs = kWaitMs) {
        return WaitUntil([&] { return VisibleWindows(zav.id(), L"MCIWndClass").empty(); }, timeoutMs);
    }

    std::vector<std::wstring> PowerCalls() const { return sandbox.ReadLines(L"systemcalls.log"); }

    HWND WaitForCountdown(const wchar_t* title) {
        return WaitForVisible(L"#32770", title, kLeadSeconds * 1000 + kWaitMs);
    }

    // The control of that dialog's thread that has the keyboard focus.
    static HWND FocusOf(HWND dialog) {
        GUITHREADINFO info = {};
        info.cbSize = sizeof(info);
        return GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) ? info.hwndFocus : nullptr;
    }

    void EndZav() {
        EXPECT_TRUE(FindBoxes(zav.id()).empty()) << Texts(FindBoxes(zav.id()));
        ZavFixture::EndZav();
    }

    std::unique_ptr<SharedBlock> block;
};

// ---- Mplay ----

TEST_F(ActionScenario, MplayShowsThePlayerWhileItPlaysAndAMsgFiresMeanwhile) {
    const std::wstring wave = sandbox.PathOf(L"bell.wav");
    ASSERT_TRUE(WriteWaveFile(wave, 2.0));
    const SYSTEMTIME due = LocalTimeAfter(kLeadSeconds + 1);
    ASSERT_NO_FATAL_FAILURE(StartZav({EveryDayRecord(due, L"Msg", L"再生中のメッセージ")}));
    // Start playing a second before the Msg is due.
    WaitUntil([&] { return SecondsBetween(LocalTimeAfter(0), due) <= 1.0; }, kLeadSeconds * 1000 + kWaitMs);
    auto run = TestRun(L"Mplay", wave);
    HWND player = WaitForPlayer();
    ASSERT_NE(player, nullptr);
    EXPECT_NE(TitleOf(player).find(L"bell.wav"), std::wstring::npos) << Narrow(TitleOf(player));
    // The window exists a moment before ZAV takes its system menu away.
    EXPECT_TRUE(WaitUntil([player] { return (GetWindowLongW(player, GWL_STYLE) & WS_SYSMENU) == 0; }, 2000))
        << "the player has a close box";
    HWND box = WaitForBox(zav.id(), L"再生中のメッセージ", 3000);
    ASSERT_NE(box, nullptr) << "the Msg did not fire during playback";
    EXPECT_TRUE(run->Done()) << "the sender of the test run waited for the playback";
    EXPECT_TRUE(AnswerBox(box));
    EXPECT_TRUE(PlayerGone());
    EXPECT_TRUE(run->Wait());
    EndZav();
}

TEST_F(ActionScenario, RepeatPlaysOnUntilStoppedAndANewerMplayReplacesIt) {
    const std::wstring wave = sandbox.PathOf(L"bell.wav");
    ASSERT_TRUE(WriteWaveFile(wave, 1.0));
    ASSERT_NO_FATAL_FAILURE(StartZav({StartRecord(L"Msg", L"保留", L'X')}));
    {
        auto run = TestRun(L"Mplay", L"Repeat " + wave);
        HWND player = WaitForPlayer();
        ASSERT_NE(player, nullptr);
        Sleep(2600);   // more than two lengths
        EXPECT_EQ(VisibleWindows(zav.id(), L"MCIWndClass").size(), 1u) << "the repetition ended by itself";
        if (GetEnvironmentVariableW(L"ORRIVANE_SCREENSHOTS", nullptr, 0) != 0) {
            // Wine puts the player at the screen's corner, under its tray window.
            SetWindowPos(player, nullptr, 200, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            Screenshot(L"media-player", player);
        }
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(player, MCI_STOP, 0, 0, SMTO_NORMAL, 5000, &answer);
        EXPECT_TRUE(run->Wait());
        EXPECT_TRUE(PlayerGone()) << "MCI_STOP did not end the repetition";
    }
    {
        // The second Mplay runs inside the first one's wait and closes its device.
        auto first = TestRun(L"Mplay", L"Repeat \"" + wave + L"\"");
        ASSERT_NE(WaitForPlayer(), nullptr);
        auto second = TestRun(L"Mplay", L"Vol:50% " + wave);
        EXPECT_TRUE(second->Wait());
        EXPECT_TRUE(first->Wait());
        // Both test runs were answered at once; the older player would stay.
        EXPECT_TRUE(PlayerGone()) << "the older repetition went on";
    }
    EndZav();
}

TEST_F(ActionScenario, ClosingZavDuringARepeatEndsIt) {
    const std::wstring wave = sandbox.PathOf(L"bell.wav");
    ASSERT_TRUE(WriteWaveFile(wave, 1.0));
    ASSERT_NO_FATAL_FAILURE(StartZav({StartRecord(L"Msg", L"保留", L'X')}));
    auto run = TestRun(L"Mplay", L"Repeat " + wave);
    ASSERT_NE(WaitForPlayer(), nullptr);
    EXPECT_TRUE(zav.Close()) << "ZAV went on playing after WM_CLOSE";
    EXPECT_TRUE(run->Wait());
}

TEST_F(ActionScenario, MissingFileShowsOneBox) {
    ASSERT_NO_FATAL_FAILURE(StartZav({StartRecord(L"Msg", L"保留", L'X')}));
    auto run = TestRun(L"Mplay", sandbox.PathOf(L"missing.wav"));
    HWND box = WaitForBox(zav.id(), L"再生できません");
    ASSERT_NE(box, nullptr) << Texts(FindBoxes(zav.id()));
    EXPECT_EQ(FindBoxes(zav.id()).size(), 1u);
    EXPECT_TRUE(AnswerBox(box));
    EXPECT_TRUE(run->Wait());
    EXPECT_TRUE(PlayerGone());
    EndZav();
}

// ---- Kabe ----

std::wstring DesktopValue(const wchar_t* name) {
    wchar_t value[MAX_PATH] = {};
    DWORD bytes = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", name, RRF_RT_REG_SZ, nullptr, value, &bytes) !=
        ERROR_SUCCESS) {
        return L"(missing)";
    }
    return value;
}

void SetDesktopValue(const wchar_t* name, const std::wstring& value) {
    HKEY raw = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, KEY_SET_VALUE, &raw) != ERROR_SUCCESS) return;
    UniqueRegKey key(raw);
    if (value == L"(missing)") {
        RegDeleteValueW(key.get(), name);
        return;
    }
    RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// Wine's Active Desktop answers E_NOTIMPL: what is seen here is the way
// through the desktop's own settings.
TEST_F(ActionScenario, KabeSetsTheWallpaperOrShowsItsBox) {
    const wchar_t* const names[] = {L"Wallpaper", L"WallpaperStyle", L"TileWallpaper"};
    std::vector<std::wstring> saved;
    for (const wchar_t* name : names) saved.push_back(DesktopValue(name));
    const std::wstring picture = sandbox.PathOf(L"kabe.bmp");
    ASSERT_TRUE(WriteBitmap(picture));
    ASSERT_NO_FATAL_FAILURE(StartZav({StartRecord(L"Msg", L"保留", L'X')}));

    auto unknown = TestRun(L"Kabe", L"center C:\\x.bmp");
    HWND box = WaitForBox(zav.id(), L"SetKabeNormal ERROR");
    ASSERT_NE(box, nullptr) << Texts(FindBoxes(zav.id()));
    EXPECT_EQ(FindBoxes(zav.id()).size(), 1u) << Texts(FindBoxes(zav.id()));
    EXPECT_TRUE(AnswerBox(box));
    EXPECT_TRUE(unknown->Wait());

    auto tile = TestRun(L"Kabe", L"Tile " + picture);
    EXPECT_TRUE(tile->Wait());
    // Answered before the action: the wallpaper comes a moment later.
    EXPECT_TRUE(WaitUntil([&] { return DesktopValue(L"Wallpaper") == picture; })) << Narrow(DesktopValue(L"Wallpaper"));
    EXPECT_TRUE(FindBoxes(zav.id()).empty()) << Texts(FindBoxes(zav.id()));
    EXPECT_EQ(Narrow(DesktopValue(L"WallpaperStyle")), "0");
    EXPECT_EQ(Narrow(DesktopValue(L"TileWallpaper")), "1");

    auto none = TestRun(L"Kabe", L"(なし)");
    EXPECT_TRUE(none->Wait());
    EXPECT_TRUE(WaitUntil([&] { return DesktopValue(L"Wallpaper").empty(); })) << Narrow(DesktopValue(L"Wallpaper"));
    EXPECT_EQ(Narrow(DesktopValue(L"TileWallpaper")), "0");
    EndZav();
    for (size_t i = 0; i < saved.size(); ++i) SetDesktopValue(names[i], saved[i]);
}

// ---- Exit (recording ZAV) ----

TEST_F(ActionScenario, ExitCountdownCancelsRunsNowOrRunsOutAndSuspendsAtOnce) {
    // Due after the first countdown's cancel, about two seconds after the start.
    const SYSTEMTIME later = LocalTimeAfter(kLeadSeconds + 4);
    ASSERT_NO_FATAL_FAILURE(StartZav({EveryDayRecord(later, L"Msg", L"取消の後")}, true));
    {
        auto run = TestRun(L"Exit", L"通常の終了 強制終了 待機時間 =3秒");
        HWND dialog = WaitForCountdown(L"通常の終了 強制終了 までの時間");
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(Narrow(TextOf(dialog, IDC_EXIT_TOTAL)), "3秒");
        HWND bar = GetDlgItem(dialog, IDC_EXIT_BAR);
        EXPECT_EQ(SendMessageW(bar, PBM_GETRANGE, FALSE, 0), 3);
        EXPECT_EQ(SendMessageW(bar, PBM_GETPOS, 0, 0), 3);
        Screenshot(L"exit-countdown", dialog);
        EXPECT_TRUE(WaitUntil([&] { return SendMessageW(bar, PBM_GETPOS, 0, 0) == 2; }, 2500)) << "the bar stayed full";
        // A user typing when the countdown appears: the space goes to "キャンセル".
        HWND focus = FocusOf(dialog);
        EXPECT_EQ(focus, GetDlgItem(dialog, IDC_EXIT_CANCEL)) << "the keyboard focus is not on キャンセル";
        PostKey(focus, VK_SPACE);
        EXPECT_TRUE(Closed(dialog));
        EXPECT_TRUE(run->Wait());
        EXPECT_EQ(run->Result(), 0);
    }
    HWND box = WaitForBox(zav.id(), L"取消の後", kLeadSeconds * 1000 + kWaitMs);
    EXPECT_NE(box, nullptr) << "the watch did not go on after the cancel";
    if (box != nullptr) {
        EXPECT_TRUE(AnswerBox(box));
    }
    EXPECT_TRUE(PowerCalls().empty());
    {
        auto run = TestRun(L"Exit", L"通常の終了 強制終了 待機時間 =300秒");
        HWND dialog = WaitForCountdown(L"通常の終了 強制終了 までの時間");
        ASSERT_NE(dialog, nullptr);
        Press(dialog, IDC_EXIT_NOW);
        EXPECT_TRUE(run->Wait());
        // Answered at once: the next test run waits for this one's power call.
        EXPECT_TRUE(WaitUntil([&] { return PowerCalls().size() == 1; }));
    }
    {
        auto run = TestRun(L"Exit", L"再起動 待機時間 =2秒");
        ASSERT_NE(WaitForCountdown(L"再起動 までの時間"), nullptr);
        EXPECT_TRUE(run->Wait());
        EXPECT_TRUE(WaitUntil([&] { return PowerCalls().size() == 2; }));
    }
    size_t count = 2;
    for (const wchar_t* parameter : {L"スリープ", L"休止状態"}) {
        auto run = TestRun(L"Exit", parameter);
        EXPECT_TRUE(run->Wait(3000)) << Narrow(parameter);
        EXPECT_TRUE(WaitUntil([&] { return PowerCalls().size() == count + 1; }, 3000)) << Narrow(parameter);
        ++count;
        EXPECT_TRUE(VisibleWindows(zav.id(), L"#32770").empty()) << Narrow(parameter) << " showed a dialog";
    }
    const std::vector<std::wstring> calls = PowerCalls();
    ASSERT_EQ(calls.size(), 4u);
    EXPECT_EQ(Narrow(calls[0]), "ExitWindowsEx 12 0");
    EXPECT_EQ(Narrow(calls[1]), "ExitWindowsEx 2 0");
    EXPECT_EQ(Narrow(calls[2]), "SetSystemPowerState 1 0");
    EXPECT_EQ(Narrow(calls[3]), "SetSystemPowerState 0 0");
    EndZav();
}

TEST_F(ActionScenario, TwoCountdownsEndOnTheirOwnAndACancelUnderAMsgBoxHolds) {
    const SYSTEMTIME first = LocalTimeAfter(kLeadSeconds);
    const SYSTEMTIME second = LocalTimeAfter(kLeadSeconds + 1);
    ASSERT_NO_FATAL_FAILURE(StartZav({EveryDayRecord(first, L"Exit", L"通常の終了 待機時間 =3秒"),
                                      EveryDayRecord(second, L"Exit", L"再起動 待機時間 =30秒")},
                                     true));
    HWND outer = WaitForCountdown(L"通常の終了 までの時間");
    HWND inner = WaitForCountdown(L"再起動 までの時間");
    ASSERT_NE(outer, nullptr);
    ASSERT_NE(inner, nullptr);
    // The first one runs out while the second one still counts.
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(outer) || !IsWindowVisible(outer); }, 6000));
    EXPECT_TRUE(IsWindowVisible(inner));
    Press(inner, IDC_EXIT_CANCEL);
    EXPECT_TRUE(WaitUntil([&] { return PowerCalls().size() == 1; }));
    Sleep(500);
    const std::vector<std::wstring> calls = PowerCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(Narrow(calls[0]), "ExitWindowsEx 8 0");
    EndZav();
}

TEST_F(ActionScenario, CancelWhileAMsgBoxIsOpenHoldsAndClosingZavCancels) {
    const SYSTEMTIME due = LocalTimeAfter(kLeadSeconds);
    const SYSTEMTIME message = LocalTimeAfter(kLeadSeconds + 1);
    ASSERT_NO_FATAL_FAILURE(StartZav({EveryDayRecord(due, L"Exit", L"通常の終了 待機時間 =2秒"),
                                      EveryDayRecord(message, L"Msg", L"待機中のメッセージ")},
                                     true));
    HWND dialog = WaitForCountdown(L"通常の終了 までの時間");
    ASSERT_NE(dialog, nullptr);
    HWND box = WaitForBox(zav.id(), L"待機中のメッセージ", kLeadSeconds * 1000 + kWaitMs);
    ASSERT_NE(box, nullptr);
    Press(dialog, IDC_EXIT_CANCEL);
    Sleep(3000);   // past the end of the count
    EXPECT_TRUE(AnswerBox(box));
    Sleep(500);
    EXPECT_TRUE(PowerCalls().empty()) << Narrow(PowerCalls()[0]);

    auto run = TestRun(L"Exit", L"再起動 待機時間 =30秒");
    ASSERT_NE(WaitForCountdown(L"再起動 までの時間"), nullptr);
    EXPECT_TRUE(zav.Close()) << "ZAV did not end during the countdown";
    EXPECT_TRUE(PowerCalls().empty()) << Narrow(PowerCalls()[0]);
}

}  // namespace

// The schedule editor of ZAVSet.exe end to end under Wine, beside the real
// ZAV.exe: a schedule added from the list comes due at its second, a copy
// and a double-click modification land at their sorted places, and a
// parameter dialog's answer reaches the line (the command, media, exit and
// wallpaper dialogs, and the screensaver picker of the real Quillon64.exe).
// Every window is found by class and title, every control by the id a user's
// click reaches.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/System.h"
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

constexpr WORD kTraySet = 40003;  // the tray menu's settings entry
constexpr int kList = 1100;
constexpr int kAddButton = 1101;
constexpr int kCopyButton = 1102;
constexpr int kListCancel = 1109;
constexpr int kListOk = 1110;
// The editor (120).
constexpr int kEveryDay = 1204;
constexpr int kHour = 1211;
constexpr int kMinute = 1214;
constexpr int kSecond = 1217;
constexpr int kShellAction = 1258;
constexpr int kParameter = 1261;
constexpr int kEditParameter = 1265;
constexpr int kEditorOk = 1308;
// The command dialog (9200).
constexpr int kCommandLine = 9203;
constexpr int kCommandOk = 9212;
// The action buttons of the editor's action block.
constexpr int kMplayAction = 1252;
constexpr int kScreenAction = 1255;
constexpr int kKabeAction = 1257;
constexpr int kExitAction = 1259;
// The exit dialog (9300).
constexpr int kExitRestart = 9305;
constexpr int kExitWait = 9306;
constexpr int kExitForce = 9309;
constexpr int kExitOk = 9312;
// The media dialog (9400).
constexpr int kMediaFile = 9401;
constexpr int kMediaRepeat = 9403;
constexpr int kMediaOk = 9406;
// The wallpaper dialog (160).
constexpr int kKabeFile = 1600;
constexpr int kKabeLayout = 1604;
constexpr int kKabeOk = 1606;
// Wine's file picker (see docs/wine.md).
constexpr int kPickerName = 0x47C;

// Quillon64 is built in the 64-bit tree beside this one: build/x64/bin.
std::wstring HelperProgramPath() { return TestProgramDirectory() + L"\\..\\..\\x64\\bin\\Quillon64.exe"; }



// A check box or radio button clicked as the user does.
void ClickButton(HWND dialog, int id) {
    SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}


std::wstring TwoDigits(int value) {
    wchar_t text[3] = {static_cast<wchar_t>(L'0' + value / 10), static_cast<wchar_t>(L'0' + value % 10), 0};
    return text;
}

const std::wstring kEarly = L"  EveryDay 00:00:00 Msg    早朝";
const std::wstring kHeld = L"X EveryDay 23:59:59 Msg    夜";

class EditorScenario : public ::testing::Test {
protected:
    void SetUp() override { sandbox.InstallSettingsProgram(SettingsProgramPath()); }
    void TearDown() override {
        if (zav.Running()) {
            EXPECT_TRUE(zav.Close());
        }
    }

    HWND OpenList(const std::vector<std::wstring>& records) {
        sandbox.WriteSchedule(records);
        if (!zav.Start(sandbox) || zav.WaitForWindow() == nullptr) return nullptr;
        LRESULT answer = 0;
        if (!SendAndWait(zav.window(), WM_COMMAND, kTraySet, 0, &answer)) return nullptr;
        HWND list = WaitForEnabledDialog(Titled(L"スケジュール設定内容の表示と変更"));
        if (list != nullptr) WaitUntil([&] { return Entries(list).size() == records.size(); });
        return list;
    }

    HWND OpenEditor(HWND list, int button) {
        Press(list, button);
        HWND editor = WaitForEnabledDialog(Titled(L"スケジュールの設定"));
        if (editor != nullptr) {
            EXPECT_EQ(GetWindow(editor, GW_OWNER), list);
        }
        return editor;
    }

    // A new every-day line at a whole hour twelve hours away (never due while
    // the scenario runs: an Exit line must not be performed), the action
    // chosen and its parameter dialog opened through 入力・修正.
    HWND OpenParameterDialog(int actionButton, const std::wstring& title) {
        list_ = OpenList({kHeld});
        if (list_ == nullptr) return nullptr;
        editor_ = OpenEditor(list_, kAddButton);
        if (editor_ == nullptr) return nullptr;
        SYSTEMTIME now;
        GetLocalTime(&now);
        hour_ = TwoDigits((now.wHour + 12) % 24);
        ClickButton(editor_, kEveryDay);
        ClickButton(editor_, actionButton);
        SetDlgItemTextW(editor_, kHour, hour_.c_str());
        SetDlgItemTextW(editor_, kMinute, L"00");
        SetDlgItemTextW(editor_, kSecond, L"00");
        Press(editor_, kEditParameter);
        return WaitForEnabledDialog(title);
    }

    // The parameter the dialog put into 1261 once it closed; then OK of the
    // editor and of the list, and the saved file must carry the line
    // "  EveryDay hh:00:00 <word> <parameter>" (word padded to six).
    void ExpectSavedLine(HWND dialog, const std::wstring& word, const std::wstring& parameter) {
        ASSERT_TRUE(Closed(dialog));
        EXPECT_EQ(TextOf(editor_, kParameter), parameter);
        Press(editor_, kEditorOk);
        ASSERT_TRUE(Closed(editor_)) << "the editor refused " << Narrow(TextOf(editor_, kParameter));
        std::wstring padded = word + std::wstring(6 - word.size(), L' ');
        std::wstring line = L"  EveryDay " + hour_ + L":00:00 " + padded + L" " + parameter;
        Press(list_, kListOk);
        ASSERT_TRUE(Closed(list_));
        // ' ' sorts before the held line's 'X'.
        EXPECT_EQ(sandbox.ReadSchedule(), (std::vector<std::wstring>{line, kHeld}));
    }

    Sandbox sandbox;
    ZavProcess zav;
    HWND list_ = nullptr;
    HWND editor_ = nullptr;
    std::wstring hour_;
};

TEST_F(EditorScenario, AddedEveryDayMessageIsSavedInOrderAndComesDueAtItsSecond) {
    HWND list = OpenList({kEarly, kHeld});
    ASSERT_NE(list, nullptr);
    HWND editor = OpenEditor(list, kAddButton);
    ASSERT_NE(editor, nullptr) << "追加 opened no editor";

    Screenshot(L"edit-dialog-weekday", editor);  // a new schedule opens by weekdays
    SYSTEMTIME due = LocalTimeAfter(15);
    ClickButton(editor, kEveryDay);
    SetDlgItemTextW(editor, kHour, std::to_wstring(due.wHour).c_str());  // one digit before 10: written as two
    SetDlgItemTextW(editor, kMinute, TwoDigits(due.wMinute).c_str());
    SetDlgItemTextW(editor, kSecond, std::to_wstring(due.wSecond).c_str());
    SetDlgItemTextW(editor, kParameter, L"エディタから追加");
    Press(editor, kEditorOk);
    ASSERT_TRUE(Closed(editor));

    std::wstring added = L"  EveryDay " + FormatTime(due) + L" Msg    エディタから追加";
    EXPECT_EQ(Entries(list), (std::vector<std::wstring>{kEarly, added, kHeld}));
    Press(list, kListOk);
    ASSERT_TRUE(Closed(list));
    std::string expected = Encode(932, kEarly + L"\r\n" + added + L"\r\n" + kHeld + L"\r\n");
    EXPECT_EQ(ReadBytes(sandbox.PathOf(L"Zavbell.txt")), expected) << "CP932 lines, CR LF, in sorted order";

    HWND message = WaitForBox(zav.id(), L"エディタから追加", 30000);
    ASSERT_NE(message, nullptr) << "ZAV did not show the added schedule";
    SYSTEMTIME shown;
    GetLocalTime(&shown);
    EXPECT_LT(SecondsBetween(due, shown), 2.0) << "shown at " << Narrow(FormatTime(shown));
    EXPECT_GE(SecondsBetween(due, shown), 0.0);
    EXPECT_TRUE(AnswerBox(message));
}

TEST_F(EditorScenario, CopyAndDoubleClickModifyLandAtTheirSortedPlaces) {
    const std::wstring morning = L"  EveryDay 06:00:00 Msg    朝";
    HWND list = OpenList({morning, kHeld});
    ASSERT_NE(list, nullptr);

    SelectOnly(list, 0);
    HWND editor = OpenEditor(list, kCopyButton);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(TextOf(editor, kParameter), L"朝");
    SetDlgItemTextW(editor, kHour, L"7");
    Press(editor, kEditorOk);
    ASSERT_TRUE(Closed(editor));
    const std::wstring copy = L"  EveryDay 07:00:00 Msg    朝";
    ASSERT_EQ(Entries(list), (std::vector<std::wstring>{morning, copy, kHeld}));

    // A double click on the copy modifies it.
    SelectOnly(list, 1);
    PostMessageW(list, WM_COMMAND, MAKEWPARAM(kList, LBN_DBLCLK), reinterpret_cast<LPARAM>(GetDlgItem(list, kList)));
    editor = WaitForEnabledDialog(Titled(L"スケジュールの設定"));
    ASSERT_NE(editor, nullptr) << "the double click opened no editor";
    SetDlgItemTextW(editor, kHour, L"5");
    SetDlgItemTextW(editor, kParameter, L"もっと朝");
    Press(editor, kEditorOk);
    ASSERT_TRUE(Closed(editor));
    const std::wstring modified = L"  EveryDay 05:00:00 Msg    もっと朝";
    EXPECT_EQ(Entries(list), (std::vector<std::wstring>{modified, morning, kHeld}));
    Press(list, kListOk);
    ASSERT_TRUE(Closed(list));
    EXPECT_EQ(sandbox.ReadSchedule(), (std::vector<std::wstring>{modified, morning, kHeld}));
}

TEST_F(EditorScenario, TheCommandDialogsAnswerLandsInTheLine) {
    HWND list = OpenList({kHeld});
    ASSERT_NE(list, nullptr);
    HWND editor = OpenEditor(list, kAddButton);
    ASSERT_NE(editor, nullptr);
    ClickButton(editor, kEveryDay);
    ClickButton(editor, kShellAction);
    SetDlgItemTextW(editor, kHour, L"12");
    SetDlgItemTextW(editor, kMinute, L"00");
    SetDlgItemTextW(editor, kSecond, L"00");
    Press(editor, kEditParameter);
    HWND command = WaitForEnabledDialog(Titled(L"DOSコマンドの入力"));
    ASSERT_NE(command, nullptr) << "入力・修正 opened no command dialog";
    EXPECT_EQ(GetWindow(command, GW_OWNER), editor);
    SetDlgItemTextW(command, kCommandLine, L"notepad.exe 予定.txt");
    Press(command, kCommandOk);
    ASSERT_TRUE(Closed(command));
    std::wstring parameter = TextOf(editor, kParameter);
    EXPECT_NE(parameter.find(L"notepad.exe 予定.txt"), std::wstring::npos) << Narrow(parameter);
    Press(editor, kEditorOk);
    ASSERT_TRUE(Closed(editor));
    EXPECT_EQ(Entries(list), (std::vector<std::wstring>{L"  EveryDay 12:00:00 Shell  " + parameter, kHeld}));
    Press(list, kListCancel);
    ASSERT_TRUE(Closed(list));
    EXPECT_EQ(sandbox.ReadSchedule(), std::vector<std::wstring>{kHeld}) << "Cancel of the list writes nothing";
}

TEST_F(EditorScenario, TheMediaDialogsFileAndRepeatLandInTheLine) {
    std::wstring sound = sandbox.PathOf(L"chime.wav");
    ASSERT_TRUE(WriteBytes(sound, "RIFF"));
    HWND media = OpenParameterDialog(kMplayAction, Titled(L"音声・動画ファイルの設定"));
    ASSERT_NE(media, nullptr) << "入力・修正 opened no media dialog";
    EXPECT_EQ(GetWindow(media, GW_OWNER), editor_);
    // The name box is read-only to the user; its text is what 参照 would have put there.
    SetDlgItemTextW(media, kMediaFile, sound.c_str());
    ClickButton(media, kMediaRepeat);
    Press(media, kMediaOk);
    ExpectSavedLine(media, L"Mplay", L"Repeat " + sound);
}

// Only composed: a test run of Exit would end the Wine session. The line is
// twelve hours away and ZAV is closed when the scenario ends.
TEST_F(EditorScenario, TheExitDialogsMethodAndWaitLandInTheLine) {
    HWND exit = OpenParameterDialog(kExitAction, Titled(L"Windows終了の設定"));
    ASSERT_NE(exit, nullptr) << "入力・修正 opened no exit dialog";
    EXPECT_EQ(GetWindow(exit, GW_OWNER), editor_);
    ClickButton(exit, kExitRestart);
    SendMessageW(GetDlgItem(exit, kExitForce), BM_SETCHECK, BST_UNCHECKED, 0);
    SetDlgItemTextW(exit, kExitWait, L"45");
    Press(exit, kExitOk);
    ExpectSavedLine(exit, L"Exit", L"再起動 待機時間 =45秒");
}

TEST_F(EditorScenario, TheWallpaperDialogsLayoutAndFileLandInTheLine) {
    std::wstring picture = sandbox.PathOf(L"wall.bmp");
    ASSERT_TRUE(WriteBytes(picture, "BM"));
    HWND wallpaper = OpenParameterDialog(kKabeAction, Titled(L"壁紙の設定"));
    ASSERT_NE(wallpaper, nullptr) << "入力・修正 opened no wallpaper dialog";
    EXPECT_EQ(GetWindow(wallpaper, GW_OWNER), editor_);
    SetDlgItemTextW(wallpaper, kKabeFile, picture.c_str());
    SendDlgItemMessageW(wallpaper, kKabeLayout, CB_SETCURSEL, 1, 0);  // "並べて表示"
    Press(wallpaper, kKabeOk);
    ExpectSavedLine(wallpaper, L"Kabe", L"Tile " + picture);
}

// Wine: ZAVSet always runs on WOW64 there, so the choice goes through the real
// 64-bit helper copied beside it; its picker is Wine's own file dialog.
TEST_F(EditorScenario, TheScreensaverPickedThroughTheHelperLandsInTheLine) {
    ASSERT_TRUE(CopyFileW(HelperProgramPath().c_str(), sandbox.PathOf(L"Quillon64.exe").c_str(), FALSE))
        << "no Quillon64.exe at " << Narrow(HelperProgramPath()) << ": build the x64 tree";
    std::wstring saver = sandbox.PathOf(L"stars.scr");
    ASSERT_TRUE(WriteBytes(saver, "not a program"));  // no name resource: no name box follows
    HWND picker = OpenParameterDialog(kScreenAction, L"スクリーンセーバーの指定");
    ASSERT_NE(picker, nullptr) << "入力・修正 opened no screensaver picker";
    std::vector<DWORD> helpers = ProcessesNamed(L"Quillon64.exe");
    DWORD owner = 0;
    GetWindowThreadProcessId(picker, &owner);
    EXPECT_NE(std::find(helpers.begin(), helpers.end(), owner), helpers.end()) << "the picker is not Quillon64's";
    SendMessageW(GetDlgItem(picker, kPickerName), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(saver.c_str()));
    EXPECT_TRUE(AnswerBox(picker, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return TextOf(editor_, kParameter) == saver; }))
        << "1261 holds " << Narrow(TextOf(editor_, kParameter));
    EXPECT_TRUE(WaitUntil([] { return ProcessesNamed(L"Quillon64.exe").empty(); })) << "Quillon64 stayed";
    ExpectSavedLine(picker, L"Screen", saver);
}

// The date layout, for the pictures of the documentation.
TEST_F(EditorScenario, DateLayoutShowsTheWeekday) {
    HWND list = OpenList({L"  26/12/24 08:00:00 Msg    クリスマスイブ", kHeld});
    ASSERT_NE(list, nullptr);
    SelectOnly(list, 0);
    HWND editor = OpenEditor(list, kCopyButton);
    ASSERT_NE(editor, nullptr);
    // 24 December 2026 is a Thursday.
    EXPECT_EQ(TextOf(editor, 1284), L"(木)");
    Screenshot(L"edit-dialog-date", editor);
    PostMessageW(editor, WM_CLOSE, 0, 0);
    ASSERT_TRUE(Closed(editor));
    EXPECT_EQ(Entries(list).size(), 2u) << "the close box adds nothing";
    Press(list, kListCancel);
    ASSERT_TRUE(Closed(list));
}

}  // namespace

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
#include <functional>
#include <string>
#include <vector>

#include "common/System.h"
#include "tests/e2e/Harness.h"

using namespace e2e;

namespace {

constexpr int kAddButton = 1101;
constexpr int kCopyButton = 1102;
// The editor (120).
constexpr int kEveryDay = 1204;
constexpr int kHour = 1211;
constexpr int kMinute = 1214;
constexpr int kSecond = 1217;
constexpr int kShellAction = 1258;
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

// Seconds from typing a due time into the editor to that second: room for
// OK of the editor and of the list, ZAVSet's save and ZAV's reload on a
// loaded machine.
constexpr int kLeadSeconds = 5;

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

class EditorScenario : public ZavSetScenario {
protected:
    HWND OpenEditor(HWND list, int button) {
        Press(list, button);
        HWND editor = WaitForEnabledDialog(Titled(L"スケジュールの設定"));
        if (editor != nullptr) {
            EXPECT_EQ(GetWindow(editor, GW_OWNER), list);
        }
        return editor;
    }

    // A new every-day line at hh:mm:00, hh twelve hours away (never due while
    // the scenario runs: an Exit line must not be performed), the action
    // chosen and its parameter dialog opened through 入力・修正.
    HWND OpenParameterDialog(int actionButton, const std::wstring& title, int minute = 0) {
        editor_ = OpenEditor(list_, kAddButton);
        if (editor_ == nullptr) return nullptr;
        if (when_.wYear == 0) {  // the hour taken once: the lines of one scenario sort by their minutes
            GetLocalTime(&when_);
            when_.wHour = static_cast<WORD>((when_.wHour + 12) % 24);
        }
        when_.wMinute = static_cast<WORD>(minute);
        when_.wSecond = 0;
        ClickButton(editor_, kEveryDay);
        ClickButton(editor_, actionButton);
        SetDlgItemTextW(editor_, kHour, TwoDigits(when_.wHour).c_str());
        SetDlgItemTextW(editor_, kMinute, TwoDigits(minute).c_str());
        SetDlgItemTextW(editor_, kSecond, L"00");
        Press(editor_, kEditParameter);
        return WaitForEnabledDialog(title);
    }

    // The editor's OK: the list then shows the line with the parameter the
    // dialog put into 1261, which is returned.
    std::wstring AcceptEditor(const std::wstring& word) {
        std::wstring line = EveryDayRecord(when_, word, TextOf(editor_, kParameter));
        Press(editor_, kEditorOk);
        EXPECT_TRUE(Closed(editor_)) << "the editor refused " << Narrow(TextOf(editor_, kParameter));
        return line;
    }

    HWND list_ = nullptr;
    HWND editor_ = nullptr;
    SYSTEMTIME when_ = {};  // the time of the line OpenParameterDialog began
};

TEST_F(EditorScenario, AddedEveryDayMessageIsSavedInOrderAndComesDueAtItsSecond) {
    HWND list = OpenList({kEarly, kHeld});
    ASSERT_NE(list, nullptr);
    HWND editor = OpenEditor(list, kAddButton);
    ASSERT_NE(editor, nullptr) << "追加 opened no editor";

    Screenshot(L"edit-dialog-weekday", editor);  // a new schedule opens by weekdays
    SYSTEMTIME due = LocalTimeAfter(kLeadSeconds);
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

    HWND message = WaitForBox(zav.id(), L"エディタから追加", kLeadSeconds * 1000 + kWaitMs);
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
    PostMessageW(list, WM_COMMAND, MAKEWPARAM(kScheduleList, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(GetDlgItem(list, kScheduleList)));
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

// One line per dialog, each a minute after the one before, all added in one
// list. Exit is only composed: a test run of it would end the Wine session,
// and the line is twelve hours away.
TEST_F(EditorScenario, EachParameterDialogsAnswerLandsInItsLine) {
    const std::wstring sound = sandbox.PathOf(L"chime.wav");
    ASSERT_TRUE(WriteBytes(sound, "RIFF"));
    const std::wstring picture = sandbox.PathOf(L"wall.bmp");
    ASSERT_TRUE(WriteBytes(picture, "BM"));
    const struct {
        int action;
        const wchar_t* title;
        const wchar_t* word;
        std::function<void(HWND)> answer;  // fills the dialog and presses its OK
        std::wstring parameter;
    } rows[] = {
        {kShellAction, L"DOSコマンドの入力", L"Shell",
         [](HWND dialog) {
             SetDlgItemTextW(dialog, kCommandLine, L"notepad.exe 予定.txt");
             Press(dialog, kCommandOk);
         },
         L"notepad.exe 予定.txt"},
        // The name box is read-only to the user; its text is what 参照 would have put there.
        {kMplayAction, L"音声・動画ファイルの設定", L"Mplay",
         [&](HWND dialog) {
             SetDlgItemTextW(dialog, kMediaFile, sound.c_str());
             ClickButton(dialog, kMediaRepeat);
             Press(dialog, kMediaOk);
         },
         L"Repeat " + sound},
        {kExitAction, L"Windows終了の設定", L"Exit",
         [](HWND dialog) {
             ClickButton(dialog, kExitRestart);
             SendMessageW(GetDlgItem(dialog, kExitForce), BM_SETCHECK, BST_UNCHECKED, 0);
             SetDlgItemTextW(dialog, kExitWait, L"45");
             Press(dialog, kExitOk);
         },
         L"再起動 待機時間 =45秒"},
        {kKabeAction, L"壁紙の設定", L"Kabe",
         [&](HWND dialog) {
             SetDlgItemTextW(dialog, kKabeFile, picture.c_str());
             SendDlgItemMessageW(dialog, kKabeLayout, CB_SETCURSEL, 1, 0);  // "並べて表示"
             Press(dialog, kKabeOk);
         },
         L"Tile " + picture},
    };
    list_ = OpenList({kHeld});
    ASSERT_NE(list_, nullptr);
    std::vector<std::wstring> lines;
    int minute = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(Narrow(row.word));
        HWND dialog = OpenParameterDialog(row.action, Titled(row.title), minute++);
        ASSERT_NE(dialog, nullptr) << "入力・修正 opened no dialog";
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), editor_);
        row.answer(dialog);
        ASSERT_TRUE(Closed(dialog));
        EXPECT_EQ(TextOf(editor_, kParameter), row.parameter);
        lines.push_back(AcceptEditor(row.word));
    }
    // ' ' sorts before the held line's 'X'.
    lines.push_back(kHeld);
    EXPECT_EQ(Entries(list_), lines);
    Press(list_, kListOk);
    ASSERT_TRUE(Closed(list_));
    EXPECT_EQ(sandbox.ReadSchedule(), lines);
}

// Wine: ZAVSet always runs on WOW64 there, so the choice goes through the real
// 64-bit helper copied beside it; its picker is Wine's own file dialog.
TEST_F(EditorScenario, TheScreensaverPickedThroughTheHelperLandsInTheLine) {
    ASSERT_TRUE(CopyFileW(HelperProgramPath().c_str(), sandbox.PathOf(L"Quillon64.exe").c_str(), FALSE))
        << "no Quillon64.exe at " << Narrow(HelperProgramPath()) << ": build the x64 tree";
    std::wstring saver = sandbox.PathOf(L"stars.scr");
    ASSERT_TRUE(WriteBytes(saver, "not a program"));  // no name resource: no name box follows
    list_ = OpenList({kHeld});
    ASSERT_NE(list_, nullptr);
    HWND picker = OpenParameterDialog(kScreenAction, L"スクリーンセーバーの指定");
    ASSERT_NE(picker, nullptr) << "入力・修正 opened no screensaver picker";
    std::vector<DWORD> helpers = ProcessesNamed(L"Quillon64.exe");
    EXPECT_NE(std::find(helpers.begin(), helpers.end(), ProcessOf(picker)), helpers.end())
        << "the picker is not Quillon64's";
    SendMessageW(GetDlgItem(picker, kPickerName), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(saver.c_str()));
    EXPECT_TRUE(AnswerBox(picker, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return TextOf(editor_, kParameter) == saver; }))
        << "1261 holds " << Narrow(TextOf(editor_, kParameter));
    EXPECT_TRUE(WaitUntil([] { return ProcessesNamed(L"Quillon64.exe").empty(); })) << "Quillon64 stayed";
    ASSERT_TRUE(Closed(picker));
    std::wstring line = AcceptEditor(L"Screen");
    Press(list_, kListOk);
    ASSERT_TRUE(Closed(list_));
    EXPECT_EQ(sandbox.ReadSchedule(), (std::vector<std::wstring>{line, kHeld}));
}

// The date layout, for the pictures of the documentation; then a copy that
// Cancel of the list throws away.
TEST_F(EditorScenario, DateLayoutShowsTheWeekdayAndCancelWritesNothing) {
    const std::vector<std::wstring> records = {L"  26/12/24 08:00:00 Msg    クリスマスイブ", kHeld};
    HWND list = OpenList(records);
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

    editor = OpenEditor(list, kCopyButton);
    ASSERT_NE(editor, nullptr);
    SetDlgItemTextW(editor, kHour, L"9");
    Press(editor, kEditorOk);
    ASSERT_TRUE(Closed(editor));
    EXPECT_EQ(Entries(list).size(), 3u);
    Press(list, kListCancel);
    ASSERT_TRUE(Closed(list));
    EXPECT_EQ(sandbox.ReadSchedule(), records) << "Cancel of the list writes nothing";
}

}  // namespace

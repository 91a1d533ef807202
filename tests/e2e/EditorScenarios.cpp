// The schedule editor of ZAVSet.exe end to end under Wine, beside the real
// ZAV.exe: a schedule added from the list comes due at its second, a copy
// and a double-click modification land at their sorted places, and a
// parameter dialog's answer reaches the line. Every window is found by class
// and title, every control by the id a user's click reaches.
#include <windows.h>

#include <gtest/gtest.h>

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

// Under Wine every program has a full token: ZAVSet's titles carry "(昇格中)".
std::wstring Titled(const wchar_t* caption) {
    int elevation = 0;
    GetOsLevel(nullptr, &elevation);
    return std::wstring(caption) + (elevation == kElevationFull ? L"(昇格中)" : L"");
}

struct TitleSearch {
    std::wstring title;
    HWND found;
};

BOOL CALLBACK FindTitled(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<TitleSearch*>(data);
    wchar_t className[32] = {};
    wchar_t title[256] = {};
    GetClassNameW(window, className, 32);
    GetWindowTextW(window, title, 256);
    if (!IsWindowVisible(window) || !IsWindowEnabled(window) || lstrcmpW(className, L"#32770") != 0 ||
        search->title != title)
        return TRUE;
    search->found = window;
    return FALSE;
}

HWND WaitForDialog(const std::wstring& title) {
    TitleSearch search{title, nullptr};
    WaitUntil([&] {
        search.found = nullptr;
        EnumWindows(FindTitled, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    });
    return search.found;
}

// Posted: the handler may open a modal window of its own.
void Press(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// A check box or radio button clicked as the user does.
void ClickButton(HWND dialog, int id) {
    SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

std::wstring TextOf(HWND dialog, int id) {
    wchar_t text[512] = {};
    GetDlgItemTextW(dialog, id, text, 512);
    return text;
}

void SelectOnly(HWND dialog, int index) {
    HWND list = GetDlgItem(dialog, kList);
    SendMessageW(list, LB_SETSEL, FALSE, -1);
    SendMessageW(list, LB_SETSEL, TRUE, index);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kList, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

std::vector<std::wstring> Entries(HWND dialog) {
    HWND list = GetDlgItem(dialog, kList);
    std::vector<std::wstring> entries;
    int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[512] = {};
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        entries.emplace_back(text);
    }
    return entries;
}

bool Closed(HWND window) {
    return WaitUntil([window] { return !IsWindow(window); });
}

std::wstring TwoDigits(int value) {
    wchar_t text[3] = {static_cast<wchar_t>(L'0' + value / 10), static_cast<wchar_t>(L'0' + value % 10), 0};
    return text;
}

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
        HWND list = WaitForDialog(Titled(L"スケジュール設定内容の表示と変更"));
        if (list != nullptr) WaitUntil([&] { return Entries(list).size() == records.size(); });
        return list;
    }

    HWND OpenEditor(HWND list, int button) {
        Press(list, button);
        HWND editor = WaitForDialog(Titled(L"スケジュールの設定"));
        if (editor != nullptr) {
            EXPECT_EQ(GetWindow(editor, GW_OWNER), list);
        }
        return editor;
    }

    Sandbox sandbox;
    ZavProcess zav;
};

const std::wstring kEarly = L"  EveryDay 00:00:00 Msg    早朝";
const std::wstring kHeld = L"X EveryDay 23:59:59 Msg    夜";

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
    editor = WaitForDialog(Titled(L"スケジュールの設定"));
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
    HWND command = WaitForDialog(Titled(L"DOSコマンドの入力"));
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

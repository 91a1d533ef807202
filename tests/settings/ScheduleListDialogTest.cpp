// The schedule list: the merge of ZAV's own changes as a table, and the
// real dialog from its template driven through the harness.
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "common/Handles.h"
#include "common/Paths.h"
#include "common/SettingsFile.h"
#include "common/System.h"
#include "schedule/StringList.h"
#include "settings/ScheduleListDialog.h"
#include "settings/resource.h"
#include "tests/common/TestSupport.h"
#include "tests/settings/DialogHarness.h"
#include "tests/settings/ZavRecorder.h"

namespace {

StringList ListOf(std::initializer_list<const wchar_t*> lines) {
    StringList list;
    for (const wchar_t* line : lines) list.append(WString(line));
    return list;
}

std::vector<std::wstring> TextsOf(const StringList& list) {
    std::vector<std::wstring> texts;
    for (int i = 0; i < list.count(); ++i) texts.emplace_back(list.at(i).text());
    return texts;
}

// ---- MergeZavChanges ----

struct MergeCase {
    const char* name;
    std::initializer_list<const wchar_t*> loaded;
    std::initializer_list<const wchar_t*> now;
    std::vector<std::pair<const wchar_t*, int>> entries;    // text, origin
    FileChange expected;
    std::vector<std::wstring> after;
};

const wchar_t kOnce[] = L"! EveryDay 07:00:00 Msg    once";
const wchar_t kHold[] = L"# EveryDay 08:00:00 Msg    hold";
const wchar_t kHoldCleared[] = L"  EveryDay 08:00:00 Msg    hold";
const wchar_t kPlain[] = L"  EveryDay 09:00:00 Msg    plain";
const wchar_t kMarked[] = L"D EveryDay 10:00:00 Msg    ran";

TEST(MergeZavChangesTest, Table) {
    const MergeCase cases[] = {
        {"unchanged", {kOnce, kHold, kPlain}, {kOnce, kHold, kPlain},
         {{kOnce, 0}, {kHold, 1}, {kPlain, 2}}, FileChange::kNone, {kOnce, kHold, kPlain}},
        {"ZAV removed a run-once record", {kOnce, kPlain}, {kPlain},
         {{kOnce, 0}, {kPlain, 1}}, FileChange::kByZav, {kPlain}},
        {"ZAV removed a marked record", {kMarked, kPlain}, {kPlain},
         {{kMarked, 0}, {kPlain, 1}}, FileChange::kByZav, {kPlain}},
        {"ZAV cleared a hold-once flag", {kHold, kPlain}, {kHoldCleared, kPlain},
         {{kPlain, 1}, {kHold, 0}}, FileChange::kByZav, {kPlain, kHoldCleared}},
        {"the user changed the cleared line", {kHold, kPlain}, {kHoldCleared, kPlain},
         {{L"X EveryDay 08:00:00 Msg    hold", kUserEntry}, {kPlain, 1}}, FileChange::kByZav,
         {L"X EveryDay 08:00:00 Msg    hold", kPlain}},
        {"the user deleted the removed line, added one", {kOnce, kPlain}, {kPlain},
         {{kPlain, 1}, {kOnce, kUserEntry}}, FileChange::kByZav, {kPlain, kOnce}},
        {"two equal hold-once records, one cleared", {kHold, kHold}, {kHoldCleared, kHold},
         {{kHold, 0}, {kHold, 1}}, FileChange::kByZav, {kHoldCleared, kHold}},
        {"a line added by someone else", {kPlain}, {kPlain, kOnce}, {{kPlain, 0}}, FileChange::kForeign, {kPlain}},
        {"a line added by someone else while ZAV ran and cleared", {kOnce, kHold, kPlain},
         {kHoldCleared, kPlain, L"  EveryDay 11:00:00 Msg    added"}, {{kOnce, 0}, {kHold, 1}, {kPlain, 2}},
         FileChange::kForeign, {kHoldCleared, kPlain}},
        {"a plain line gone", {kPlain, kHold}, {kHold}, {{kPlain, 0}, {kHold, 1}}, FileChange::kForeign,
         {kPlain, kHold}},
        {"a hold-once record set to hold always", {kHold}, {L"X EveryDay 08:00:00 Msg    hold"}, {{kHold, 0}},
         FileChange::kForeign, {kHold}},
        {"order changed", {kOnce, kPlain}, {kPlain, kOnce}, {{kOnce, 0}, {kPlain, 1}}, FileChange::kForeign,
         {kOnce, kPlain}},
        {"emptied", {kPlain}, {}, {{kPlain, 0}}, FileChange::kForeign, {kPlain}},
    };
    for (const MergeCase& c : cases) {
        std::vector<ListEntry> entries;
        for (const auto& entry : c.entries) entries.push_back({WString(entry.first), entry.second});
        FileChange change = MergeZavChanges(ListOf(c.loaded), ListOf(c.now), entries);
        EXPECT_EQ(c.expected, change) << c.name;
        std::vector<std::wstring> after;
        for (const ListEntry& entry : entries) after.emplace_back(entry.text.text());
        EXPECT_EQ(c.after, after) << c.name;
    }
}

// ---- InsertAllSorted ----

// The oracle: schedule/StringList's InsertSorted, one line after the other.
std::vector<std::wstring> InsertedOneByOne(const std::vector<std::wstring>& entries,
                                           const std::vector<std::wstring>& lines) {
    StringList list;
    for (const std::wstring& entry : entries) list.append(WString(entry.c_str()));
    for (const std::wstring& line : lines) InsertSorted(list, WString(line.c_str()));
    return TextsOf(list);
}

// Small lists of a few keys, where ties and unsorted stretches are the rule:
// the entries are the oracle's, each line's place holds it (equal lines in
// the order they came) and the loaded entries keep their origins in order.
TEST(InsertAllSortedTest, PlacesTheLinesAsOneInsertSortedAfterAnother) {
    const std::wstring pool[] = {L"  EveryDay 07:00:00 Msg    7",
                                 L"  EveryDay 08:00:00 Msg    8",
                                 L"  EveryDay 09:00:00 Msg    9",
                                 L"  EveryDay 07:30:00 Msg    h",
                                 L"  EveryDay Start    Msg    s",
                                 L"X EveryDay 06:00:00 Msg    x",
                                 L""};
    unsigned seed = 12345;
    auto next = [&seed](unsigned below) { return ((seed = seed * 1103515245u + 12345u) >> 16) % below; };
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        std::vector<std::wstring> entryTexts(next(9)), lineTexts(next(7));
        for (std::wstring& text : entryTexts) text = pool[next(7)];
        for (std::wstring& text : lineTexts) text = pool[next(6)];
        std::vector<ListEntry> entries, lines;
        for (const std::wstring& text : entryTexts) entries.push_back({WString(text.c_str()), int(entries.size())});
        for (const std::wstring& text : lineTexts) lines.push_back({WString(text.c_str()), kUserEntry});
        const std::vector<int> places = InsertAllSorted(entries, lines);
        std::vector<std::wstring> got;
        int origin = 0;
        for (const ListEntry& entry : entries) {
            got.emplace_back(entry.text.text());
            if (entry.origin != kUserEntry) {
                EXPECT_EQ(origin++, entry.origin);
            }
        }
        EXPECT_EQ(InsertedOneByOne(entryTexts, lineTexts), got);
        ASSERT_EQ(lineTexts.size(), places.size());
        for (size_t j = 0; j < places.size(); ++j) {
            ASSERT_LT(size_t(places[j]), got.size());
            EXPECT_EQ(kUserEntry, entries[places[j]].origin);
            EXPECT_EQ(lineTexts[j], got[places[j]]);
            if (j > 0 && lineTexts[j - 1] == lineTexts[j]) {
                EXPECT_LT(places[j - 1], places[j]);
            }
        }
    }
}

TEST(ScheduleExplanationTest, ThirtyLinesFiveHeadingsAndTabsBetweenTwoParts) {
    std::vector<std::wstring> lines;
    std::wstring text = kScheduleExplanation;
    for (size_t at = 0, end;; at = end + 1) {
        end = text.find(L'\n', at);
        lines.push_back(text.substr(at, end == std::wstring::npos ? std::wstring::npos : end - at));
        if (end == std::wstring::npos) break;
    }
    ASSERT_EQ(30u, lines.size());
    const size_t headings[] = {0, 5, 13, 18, 28};
    int tabs = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        bool heading = std::find(std::begin(headings), std::end(headings), i) != std::end(headings);
        EXPECT_EQ(!heading, lines[i].compare(0, 2, L"  ") == 0) << "line " << i + 1;
        tabs += lines[i].find(L'\t') != std::wstring::npos;
    }
    EXPECT_EQ(13, tabs) << "Start ... every15m and the nine actions";
    EXPECT_EQ(L"  Start\t起動時", lines[14]);
    EXPECT_EQ(L"  メッセージ、ファイル名、ＤＯＳコマンド等", lines[29]);
}

// ---- The dialog ----

constexpr wchar_t kA[] = L"  EveryDay 07:00:00 Msg    A";
constexpr wchar_t kB[] = L"  EveryDay 08:00:00 Msg    B";
constexpr wchar_t kC[] = L"  EveryDay 09:00:00 Msg    C";
constexpr wchar_t kD[] = L"  EveryDay 10:00:00 Msg    D";

class ScheduleListTest : public testing::Test {
protected:
    WString Schedule() const { return JoinPath(folder_.path(), L"Zavbell.txt"); }
    void Write(std::initializer_list<const wchar_t*> lines) { ASSERT_TRUE(ListOf(lines).save(Schedule())); }
    std::vector<std::wstring> Lines() const {
        StringList list;
        list.load(Schedule());
        return TextsOf(list);
    }
    INT_PTR Run(std::vector<DialogStep> steps, const wchar_t* word = L"set") {
        SettingsFile settings(JoinPath(folder_.path(), L"Zavbell.ini"), L"Zavbell");
        StartInfo start;
        start.elevation = kElevationLimited;
        DSelSchedule list(word, start, Schedule(), settings);
        return RunDialog([&] { return list.Run(nullptr); }, std::move(steps));
    }
    INT_PTR RunUnseen() {
        SettingsFile settings(JoinPath(folder_.path(), L"Zavbell.ini"), L"Zavbell");
        DSelSchedule list(L"set", StartInfo{}, Schedule(), settings);
        return list.Run(nullptr);
    }

    TempFolder folder_;
};

HWND List(HWND dialog) {
    return GetDlgItem(dialog, IDC_LIST_LINES);
}

void Select(HWND dialog, std::initializer_list<int> indexes) {
    SendMessageW(List(dialog), LB_SETSEL, FALSE, -1);
    for (int index : indexes) SendMessageW(List(dialog), LB_SETSEL, TRUE, index);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_LIST_LINES, LBN_SELCHANGE), reinterpret_cast<LPARAM>(List(dialog)));
}

std::vector<std::wstring> Entries(HWND dialog) {
    std::vector<std::wstring> texts;
    int count = static_cast<int>(SendMessageW(List(dialog), LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[512] = L"";
        SendMessageW(List(dialog), LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        texts.emplace_back(text);
    }
    return texts;
}

std::vector<int> Selected(HWND dialog) {
    std::vector<int> selected;
    int count = static_cast<int>(SendMessageW(List(dialog), LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i)
        if (SendMessageW(List(dialog), LB_GETSEL, i, 0) > 0) selected.push_back(i);
    return selected;
}

std::wstring ListTip(HWND dialog) {
    for (const DialogTip& tip : DialogTips(dialog))
        if (tip.controlId == IDC_LIST_LINES) return tip.text;
    return L"(no tip)";
}

// Lets posted and hardware input reach the dialog while a step runs.
void Pump(DWORD ms) {
    DWORD end = GetTickCount() + ms;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (!IsDialogMessageW(GetAncestor(message.hwnd ? message.hwnd : GetDesktopWindow(), GA_ROOT), &message)) {
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
        }
        Sleep(10);
    }
}

TEST_F(ScheduleListTest, ListsTheFileAndEnablesButtonsByTheSelection) {
    Write({kA, L"  EveryDay 11:00:00 Reboot ", kB});
    BoxRecorder boxes;
    INT_PTR result = Run({[&](HWND dialog) {
        EXPECT_EQ((std::vector<std::wstring>{kA, L"  EveryDay 11:00:00 Reboot ", kB}), Entries(dialog));
        ASSERT_EQ(1u, boxes.boxes().size());
        EXPECT_EQ(std::wstring(L"このスケジュールは、Ver.2.00 から使えなくなったので再指定してください\n") +
                      L"  EveryDay 11:00:00 Reboot ",
                  boxes.boxes()[0].text);
        const int needOne[] = {IDC_LIST_COPY_ADD, IDC_LIST_MODIFY, IDC_LIST_TEST_RUN};
        const int needSome[] = {IDC_LIST_DELETE, IDC_LIST_HOLD};
        const int always[] = {IDC_LIST_ADD, IDC_LIST_OPTIONS, IDC_LIST_EXPLAIN, IDC_LIST_CANCEL, IDC_LIST_OK};
        struct Case {
            std::initializer_list<int> selection;
            bool one;
            bool some;
            std::wstring tip;
        };
        const Case cases[] = {{{}, false, false, L""}, {{2}, true, true, kB}, {{0, 2}, false, true, L""}};
        for (const Case& c : cases) {
            Select(dialog, c.selection);
            for (int id : needOne) EXPECT_EQ(c.one, Enabled(dialog, id)) << id << " with " << c.selection.size();
            for (int id : needSome) EXPECT_EQ(c.some, Enabled(dialog, id)) << id << " with " << c.selection.size();
            for (int id : always) EXPECT_TRUE(Enabled(dialog, id)) << id;
            EXPECT_EQ(c.tip, ListTip(dialog)) << c.selection.size() << " selected";
        }
        Click(dialog, IDC_LIST_CANCEL);
    }});
    EXPECT_EQ(0, result);
}

TEST_F(ScheduleListTest, ThreeLinesHeldAlwaysAreReinsertedInOrderAndCancelLeavesTheFile) {
    Write({kA, kB, kC, kD});
    const std::string before = ReadBytes(Schedule());
    INT_PTR result = Run({
        [](HWND dialog) {
            Select(dialog, {0, 2, 3});
            PostClick(dialog, IDC_LIST_HOLD);
        },
        [](HWND hold) {
            EXPECT_TRUE(Checked(hold, IDC_HOLD_NONE)) << "the first selected line's flag";
            SetChecked(hold, IDC_HOLD_ALWAYS, true);
            Click(hold, IDC_HOLD_OK);
        },
        [](HWND dialog) {
            EXPECT_EQ((std::vector<std::wstring>{kB, L"X EveryDay 07:00:00 Msg    A", L"X EveryDay 09:00:00 Msg    C",
                                                 L"X EveryDay 10:00:00 Msg    D"}),
                      Entries(dialog));
            EXPECT_EQ(std::vector<int>{3}, Selected(dialog)) << "only the last one re-inserted";
            Click(dialog, IDC_LIST_CANCEL);
        },
    });
    EXPECT_EQ(0, result);
    EXPECT_EQ(before, ReadBytes(Schedule()));
}

// The dialog keeps its own copy of the lines beside the list box: after
// deletions and a hold change of several lines, both are the oracle's.
TEST_F(ScheduleListTest, AfterDeletionsAndAHoldChangeOkWritesWhatTheListShows) {
    StringList file;
    std::vector<std::wstring> kept, held;
    for (int i = 0; i < 30; ++i) {
        wchar_t line[64];
        wsprintfW(line, L"  EveryDay %02d:%02d:00 Msg    line %d", i * 7 % 24, i, i);
        file.append(WString(line));
        if (i == 3 || i == 7 || i == 8 || i == 24)
            held.push_back(L"X" + std::wstring(line + 1));
        else if (i > 2 && i != 10 && i != 29)
            kept.push_back(line);
    }
    ASSERT_TRUE(file.save(Schedule()));
    const std::vector<std::wstring> expected = InsertedOneByOne(kept, held);
    ZavRecorder zav;
    BoxRecorder yes(IDOK);
    INT_PTR result = Run({
        [](HWND dialog) {
            Select(dialog, {0, 1, 2, 10, 29});
            Click(dialog, IDC_LIST_DELETE);
            Select(dialog, {0, 4, 5, 20});  // lines 3, 7, 8 and 24 of the file
            PostClick(dialog, IDC_LIST_HOLD);
        },
        [](HWND hold) {
            SetChecked(hold, IDC_HOLD_ALWAYS, true);
            Click(hold, IDC_HOLD_OK);
        },
        [&](HWND dialog) {
            EXPECT_EQ(expected, Entries(dialog));
            Click(dialog, IDC_LIST_OK);
        },
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(expected, Lines());
}

TEST_F(ScheduleListTest, HoldDialogOnAnUnknownFlagChangesNothing) {
    Write({L"? EveryDay 07:00:00 Msg    odd", L""});
    INT_PTR result = Run({
        [](HWND dialog) {
            Select(dialog, {0, 1});
            PostClick(dialog, IDC_LIST_HOLD);
        },
        [](HWND hold) { Click(hold, IDC_HOLD_OK); },
        [](HWND dialog) {
            EXPECT_EQ((std::vector<std::wstring>{L"? EveryDay 07:00:00 Msg    odd", L""}), Entries(dialog));
            Select(dialog, {0, 1});
            PostClick(dialog, IDC_LIST_HOLD);
        },
        [](HWND hold) {
            SetChecked(hold, IDC_HOLD_ONCE, true);
            Click(hold, IDC_HOLD_OK);
        },
        [](HWND dialog) {
            EXPECT_EQ((std::vector<std::wstring>{L"", L"# EveryDay 07:00:00 Msg    odd"}), Entries(dialog))
                << "the empty line stays empty";
            Click(dialog, IDC_LIST_CANCEL);
        },
    });
    EXPECT_EQ(0, result);
}

// A real box here: while it is open the list is disabled and its keyboard
// guard set, which is what makes the second key the hook reports (the
// release, handled inside the box's loop) do nothing.
TEST_F(ScheduleListTest, DeleteKeyAsksOnceThoughTheHookSeesPressAndRelease) {
    Write({kA, kB});
    const std::wstring listTitle = L"スケジュール設定内容の表示と変更";
    INT_PTR result = Run({
        [](HWND dialog) {
            Select(dialog, {0});
            SetForegroundWindow(dialog);
            SetFocus(List(dialog));
            INPUT keys[2]{};
            keys[0].type = keys[1].type = INPUT_KEYBOARD;
            keys[0].ki.wVk = keys[1].ki.wVk = VK_DELETE;
            keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
            ASSERT_EQ(2u, SendInput(2, keys, sizeof(INPUT)));
        },
        [](HWND box) {
            EXPECT_EQ(L"Orrivane", WindowText(box));
            EXPECT_EQ(L"スケジュールを削除していいですか", ItemText(box, 0xFFFF));
            Click(box, IDCANCEL);
        },
        [&](HWND dialog) {
            // A second question would be the dialog of this step.
            EXPECT_EQ(listTitle, WindowText(dialog).substr(0, listTitle.size()));
            EXPECT_EQ((std::vector<std::wstring>{kA, kB}), Entries(dialog));
            Click(dialog, IDC_LIST_CANCEL);
        },
    });
    EXPECT_EQ(0, result);
}

TEST_F(ScheduleListTest, EscapeAndEnterDoNothing) {
    Write({kA});
    const std::string before = ReadBytes(Schedule());
    BoxRecorder boxes;
    bool open = false;
    INT_PTR result = Run({[&](HWND dialog) {
        Select(dialog, {0});
        SetFocus(List(dialog));
        PostMessageW(List(dialog), WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageW(List(dialog), WM_KEYDOWN, VK_RETURN, 0);
        Pump(200);
        open = IsWindowVisible(dialog) != FALSE;
        Click(dialog, IDC_LIST_CANCEL);
    }});
    EXPECT_TRUE(open);
    EXPECT_EQ(0, result);
    EXPECT_TRUE(boxes.boxes().empty());
    EXPECT_EQ(before, ReadBytes(Schedule()));
}

// Where the menu opened (empty: none); a thread timer, which the menu's own
// loop runs, finds it and closes it.
RECT g_menuPlace;
BOOL CALLBACK NoteMenu(HWND window, LPARAM) {
    wchar_t name[8] = L"";
    GetClassNameW(window, name, 8);
    if (lstrcmpW(name, L"#32768") != 0 || !IsWindowVisible(window)) return TRUE;
    GetWindowRect(window, &g_menuPlace);
    EndMenu();
    return FALSE;
}
void CALLBACK LookForMenu(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), NoteMenu, 0);
}

// Shift+F10 and the menu key come as (-1, -1), under Wine too: the menu opens
// below the caret line and keeps the selection. A right click below the last
// line clears the selection and shows none.
TEST_F(ScheduleListTest, KeyboardMenuOpensBelowTheCaretLineAndAClickBelowTheLinesClearsTheSelection) {
    Write({kA, kB, kC, kD});
    INT_PTR result = Run({[](HWND dialog) {
        auto menuAt = [dialog](LPARAM place) {
            g_menuPlace = RECT{};
            UINT_PTR timer = SetTimer(nullptr, 0, 20, LookForMenu);
            SendMessageW(dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List(dialog)), place);
            KillTimer(nullptr, timer);
            return g_menuPlace;
        };
        Select(dialog, {1, 3});
        SendMessageW(List(dialog), LB_SETCARETINDEX, 3, FALSE);
        RECT caret{};
        SendMessageW(List(dialog), LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&caret));
        MapWindowPoints(List(dialog), nullptr, reinterpret_cast<POINT*>(&caret), 2);
        EXPECT_NEAR(caret.bottom, menuAt(MAKELPARAM(-1, -1)).top, 2) << "no menu, or not below the caret line";
        EXPECT_EQ((std::vector<int>{1, 3}), Selected(dialog));

        RECT below = menuAt(MAKELPARAM(caret.left + 5, caret.bottom + 10));
        EXPECT_TRUE(IsRectEmpty(&below)) << "a menu below the last line";
        EXPECT_TRUE(Selected(dialog).empty());
        EXPECT_FALSE(Enabled(dialog, IDC_LIST_DELETE));
        EXPECT_FALSE(Enabled(dialog, IDC_LIST_MODIFY));
        Click(dialog, IDC_LIST_CANCEL);
    }});
    EXPECT_EQ(0, result);
}

TEST_F(ScheduleListTest, ResizingGrowsTheListAndMovesTheRowsAndTheTemplateSizeIsTheMinimum) {
    Write({kA});
    INT_PTR result = Run({[](HWND dialog) {
        auto placeOf = [dialog](int id) {
            RECT rect{};
            GetWindowRect(GetDlgItem(dialog, id), &rect);
            MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
            return rect;
        };
        RECT window{};
        GetWindowRect(dialog, &window);
        RECT list = placeOf(IDC_LIST_LINES), ok = placeOf(IDC_LIST_OK), add = placeOf(IDC_LIST_ADD),
             reminder = placeOf(IDC_LIST_REMINDER);
        MINMAXINFO info{};
        SendMessageW(dialog, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(window.right - window.left, info.ptMinTrackSize.x);
        EXPECT_EQ(window.bottom - window.top, info.ptMinTrackSize.y);

        MoveWindow(dialog, window.left, window.top, window.right - window.left + 100, window.bottom - window.top + 60,
                   TRUE);
        RECT list2 = placeOf(IDC_LIST_LINES), ok2 = placeOf(IDC_LIST_OK), add2 = placeOf(IDC_LIST_ADD),
             reminder2 = placeOf(IDC_LIST_REMINDER);
        EXPECT_EQ(list.right + 100, list2.right);
        EXPECT_EQ(list.bottom + 60, list2.bottom);
        EXPECT_EQ(list.top, list2.top);
        EXPECT_EQ(ok.top + 60, ok2.top);
        EXPECT_EQ(ok.left, ok2.left);
        EXPECT_EQ(add.top + 60, add2.top);
        EXPECT_EQ(reminder.top + 60, reminder2.top);
        Click(dialog, IDC_LIST_CANCEL);
    }});
    EXPECT_EQ(0, result);
}

TEST_F(ScheduleListTest, OkKeepsWhatZavChangedMeanwhileAndTellsZav) {
    const wchar_t once[] = L"! EveryDay 07:00:00 Msg    once";
    const wchar_t hold[] = L"# EveryDay 08:00:00 Msg    hold";
    const wchar_t mine[] = L"# EveryDay 09:00:00 Msg    mine";
    Write({once, hold, mine, kD});
    ZavRecorder zav;
    INT_PTR result = Run({
        [&](HWND dialog) {
            // What ZAV writes after the three came due: the run-once record
            // gone, both hold-once flags cleared.
            Write({L"  EveryDay 08:00:00 Msg    hold", L"  EveryDay 09:00:00 Msg    mine", kD});
            Select(dialog, {2});
            PostClick(dialog, IDC_LIST_HOLD);
        },
        [](HWND holdDialog) {
            SetChecked(holdDialog, IDC_HOLD_ALWAYS, true);
            Click(holdDialog, IDC_HOLD_OK);
        },
        [](HWND dialog) { Click(dialog, IDC_LIST_OK); },
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ((std::vector<std::wstring>{L"  EveryDay 08:00:00 Msg    hold", kD, L"X EveryDay 09:00:00 Msg    mine"}),
              Lines());
    EXPECT_EQ(std::vector<WPARAM>{kReloadSchedule}, zav.messages);
}

TEST_F(ScheduleListTest, AForeignChangeIsOverwrittenOnlyWhenTheUserSaysSo) {
    Write({kA, kB});
    ZavRecorder zav;
    INT_PTR result = Run({[&](HWND dialog) {
        Write({kA, kB, kC});
        {
            BoxRecorder no(IDCANCEL);
            Click(dialog, IDC_LIST_OK);
            ASSERT_EQ(1u, no.boxes().size());
            EXPECT_EQ(L"Zavbell.txt はこの画面を開いた後に変更されています。\n一覧の内容で上書きしますか？",
                      no.boxes()[0].text);
            EXPECT_EQ(static_cast<UINT>(MB_OKCANCEL), no.boxes()[0].style & MB_TYPEMASK);
        }
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_EQ((std::vector<std::wstring>{kA, kB, kC}), Lines()) << "Cancel writes nothing";
        EXPECT_TRUE(zav.messages.empty());
        BoxRecorder yes(IDOK);
        Click(dialog, IDC_LIST_OK);
        EXPECT_EQ(1u, yes.boxes().size());
    }});
    EXPECT_EQ(1, result);
    EXPECT_EQ((std::vector<std::wstring>{kA, kB}), Lines());
    EXPECT_EQ(std::vector<WPARAM>{kReloadSchedule}, zav.messages);
}

TEST_F(ScheduleListTest, AFailedWriteIsReportedAndTheListStaysOpen) {
    Write({kA, kB});
    ASSERT_TRUE(SetFileAttributesW(Schedule().text(), FILE_ATTRIBUTE_READONLY));
    ZavRecorder zav;
    BoxRecorder boxes;
    INT_PTR result = Run({[&](HWND dialog) {
        Select(dialog, {0});
        Click(dialog, IDC_LIST_DELETE);
        Click(dialog, IDC_LIST_OK);
        ASSERT_EQ(2u, boxes.boxes().size());
        EXPECT_EQ(L"Zavbell.txt に書き込めませんでした", boxes.boxes()[1].text);
        EXPECT_TRUE(IsWindowVisible(dialog));
        EXPECT_EQ(std::vector<std::wstring>{kB}, Entries(dialog)) << "the user's work is kept";
        Click(dialog, IDC_LIST_CANCEL);
    }});
    SetFileAttributesW(Schedule().text(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(0, result);
    EXPECT_TRUE(zav.messages.empty());
    EXPECT_EQ((std::vector<std::wstring>{kA, kB}), Lines());
}

TEST_F(ScheduleListTest, AScheduleThatCannotBeReadClosesTheListWithoutWriting) {
    Write({kA});
    const std::string before = ReadBytes(Schedule());
    BoxRecorder boxes;
    INT_PTR result;
    {
        UniqueHandle holder(CreateFileW(Schedule().text(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(static_cast<bool>(holder));
        result = RunUnseen();
    }
    EXPECT_EQ(0, result);
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_NE(std::wstring::npos, boxes.boxes()[0].text.find(L"ファイルがないのかもしれません"));
    EXPECT_EQ(before, ReadBytes(Schedule()));
}

TEST_F(ScheduleListTest, AMissingScheduleClosesTheList) {
    BoxRecorder boxes;
    EXPECT_EQ(0, RunUnseen());
    ASSERT_EQ(1u, boxes.boxes().size());
    EXPECT_EQ(L"Zavbell.txt が見つかりません", boxes.boxes()[0].text);
    EXPECT_FALSE(PathExists(Schedule()));
}

TEST_F(ScheduleListTest, TestRunHandsZavTheActionTextAndLeavesTheLine) {
    const wchar_t line[] = L"X EveryDay 07:00:00 Msg    テスト実行";
    Write({line});
    ZavRecorder zav;
    BoxRecorder boxes(IDOK);
    INT_PTR result = Run({[&](HWND dialog) {
        Select(dialog, {0});
        Click(dialog, IDC_LIST_TEST_RUN);
        ASSERT_EQ(1u, boxes.boxes().size());
        EXPECT_EQ(L"テスト実行していいですか", boxes.boxes()[0].text);
        EXPECT_EQ(std::vector<std::wstring>{line}, Entries(dialog));
        Click(dialog, IDC_LIST_CANCEL);
    }});
    EXPECT_EQ(0, result);
    EXPECT_EQ(std::vector<WPARAM>{kTestRun}, zav.messages);
    EXPECT_EQ(std::vector<std::wstring>{L"Msg    テスト実行"}, zav.testRuns);
}

// While the offer is asked, something takes the link's name (a folder of
// that name here): the creation fails and the user is told.
std::wstring g_blockedLink, g_lastBox;
int BlockLinkOnYes(HWND, const wchar_t* text, const wchar_t*, UINT) {
    g_lastBox = text;
    if (g_lastBox != L"スタートアップに ZAV.exe のショートカット作成しますか？") return IDOK;
    CreateDirectoryW(g_blockedLink.c_str(), nullptr);
    return IDYES;
}

TEST_F(ScheduleListTest, AStartupShortcutThatCannotBeCreatedIsReported) {
    Write({kA});
    g_blockedLink = JoinPath(SpecialFolderPath(CSIDL_STARTUP), L"ZAV.lnk").text();
    DeleteFileW(g_blockedLink.c_str());
    OleInitialize(nullptr);  // as ZAVSet's main does
    BoxHook previous = SetBoxHook(BlockLinkOnYes);
    Run({[](HWND dialog) {
            Pump(500);  // the offer comes from a timer after the opening
            Click(dialog, IDC_LIST_CANCEL);
        }},
        L"zzzzzz");
    SetBoxHook(previous);
    OleUninitialize();
    RemoveDirectoryW(g_blockedLink.c_str());
    EXPECT_EQ(g_lastBox, L"スタートアップに ZAV.exe のショートカットを作成できませんでした");
}

TEST_F(ScheduleListTest, TheLineUnderTheListSaysWhenTheSelectedLineNextComesDue) {
    Write({L"  99/12/31 23:59:59 Msg    end", L"  **/02/30 07:00:00 Msg    never", kA});
    Run({[](HWND dialog) {
        auto shownAfter = [dialog](std::initializer_list<int> selection) {
            Select(dialog, selection);
            return ItemText(dialog, IDC_LIST_NEXT_DUE);
        };
        EXPECT_EQ(L"次回: 2099/12/31(木) 23:59:59", shownAfter({0}));
        EXPECT_EQ(L"次回: なし（このままでは実行されません）", shownAfter({1}));
        EXPECT_EQ(L"", shownAfter({0, 2}));
        Click(dialog, IDC_LIST_CANCEL);
    }});
}

}  // namespace

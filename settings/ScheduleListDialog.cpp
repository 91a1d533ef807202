#include "settings/ScheduleListDialog.h"

#include <shlobj.h>
#include <windowsx.h>

#include <algorithm>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "common/MessageBoxes.h"
#include "common/Paths.h"
#include "common/Protocol.h"
#include "common/SharedBlock.h"
#include "common/System.h"
#include "schedule/InitSchedule.h"
#include "schedule/ScheduleRecord.h"
#include "settings/DialogPosition.h"
#include "settings/HoldDialog.h"
#include "settings/OptionsDialog.h"
#include "settings/ScheduleEditDialog.h"
#include "settings/ZavLink.h"
#include "settings/resource.h"

const wchar_t kScheduleExplanation[] =
    L"第１項目（保留の指定）\n"
    L"  ' 'は保留しない\n"
    L"  '!'は１度だけ実行\n"
    L"  '#'は１度だけ保留\n"
    L"  'X'はずっと保留\n"
    L"第２項目 (日付の指定)\n"
    L"  23/02/05 2023年2月5日\n"
    L"  23/02/** 2023年2月の毎日\n"
    L"  23/02E-3 2023年2月の月末日(2/28)から3日前(2023/2/25)\n"
    L"  EveryDay 毎日\n"
    L"  _M_W_F_ 月水金(Mon.Wed.Fri.)\n"
    L"  3rd we-2 第３水曜日の２日前\n"
    L"  lastwe-2 最終水曜日の２日前\n"
    L"第３項目 (時間の指定)\n"
    L"  Start\t起動時\n"
    L"  **:00:00\t毎時00分\n"
    L"  22:15:00\t午後10時15分\n"
    L"  every15m\t15分毎\n"
    L"第４項目 (動作の指定)\n"
    L"  Msg\tメッセージの表示\n"
    L"  Mplay\t音声・動画ファイルの再生\n"
    L"  Notice\t通知メッセージの表示\n"
    L"  Blink\tブリンクしてメッセージの表示\n"
    L"  Screen\tスクリーンセーバーの実行\n"
    L"  3DText\t３Ｄテキストメッセージの実行\n"
    L"  Kabe\tウインドウズの壁紙変更\n"
    L"  Shell\tＤＯＳコマンドの実行\n"
    L"  Exit\tパソコンの停止・リブート\n"
    L"第５項目 (動作パラメータの指定)\n"
    L"  メッセージ、ファイル名、ＤＯＳコマンド等";

// ---- ZAV's changes while the list was open ----

namespace {

enum class RecordFate { kKept, kRemoved, kCleared };

bool IsClearedBy(const WString& loaded, const WString& now) {
    return HoldFlagOf(loaded) == kHoldOnce && HoldFlagOf(now) == kHoldNone && loaded.From(1) == now.From(1);
}

bool IsRunOnce(const WString& record) {
    return HoldFlagOf(record) == kHoldRunOnce || HoldFlagOf(record) == kDeletionMark;
}

std::wstring_view ViewOf(const WString& text) {
    return std::wstring_view(text.text(), static_cast<size_t>(text.length()));
}

// How many of each record a part of a list still holds.
class RecordCounts {
public:
    void Add(const WString& record, int n) { counts_[ViewOf(record)] += n; }
    int Of(const WString& record) const {
        auto found = counts_.find(ViewOf(record));
        return found == counts_.end() ? 0 : found->second;
    }

private:
    std::unordered_map<std::wstring_view, int> counts_;
};

}  // namespace

FileChange MergeZavChanges(const StringList& loaded, const StringList& now, std::vector<ListEntry>& entries) {
    // One walk pairs the loaded records with the file's in order. ZAV only
    // drops run-once records and clears hold-once flags; anything else that
    // differs is someone else's: a line of the file that is not among the
    // loaded ones still to come was added, a loaded one not among the
    // file's still to come was taken out.
    std::vector<RecordFate> fates(loaded.count(), RecordFate::kKept);
    RecordCounts loadedLeft;
    RecordCounts nowLeft;
    for (int i = 0; i < loaded.count(); ++i) loadedLeft.Add(loaded.at(i), 1);
    for (int j = 0; j < now.count(); ++j) nowLeft.Add(now.at(j), 1);
    bool byZav = false;
    bool foreign = false;
    int i = 0;
    int j = 0;
    while (i < loaded.count() || j < now.count()) {
        const WString& record = loaded.at(i);
        const WString& line = now.at(j);
        const bool bothLeft = i < loaded.count() && j < now.count();
        if (bothLeft && (line == record || IsClearedBy(record, line))) {
            if (line != record) fates[i] = RecordFate::kCleared;
            byZav = byZav || line != record;
            loadedLeft.Add(record, -1);
            nowLeft.Add(line, -1);
            ++i;
            ++j;
        } else if (i < loaded.count() && IsRunOnce(record) && nowLeft.Of(record) == 0) {
            fates[i] = RecordFate::kRemoved;
            byZav = true;
            loadedLeft.Add(record, -1);
            ++i;
        } else if (j < now.count() && (i == loaded.count() || loadedLeft.Of(line) == 0)) {
            foreign = true;
            nowLeft.Add(line, -1);
            ++j;
        } else {
            foreign = true;
            loadedLeft.Add(record, -1);
            ++i;
        }
    }

    std::vector<ListEntry> merged;
    merged.reserve(entries.size());
    for (ListEntry& entry : entries) {
        bool asLoaded = entry.origin >= 0 && entry.origin < loaded.count() && entry.text == loaded.at(entry.origin);
        if (asLoaded && fates[entry.origin] == RecordFate::kRemoved) continue;
        if (asLoaded && fates[entry.origin] == RecordFate::kCleared) entry.text.SetAt(0, kHoldNone);
        merged.push_back(entry);
    }
    entries.swap(merged);
    if (foreign) return FileChange::kForeign;
    return byZav ? FileChange::kByZav : FileChange::kNone;
}

// ---- Sorted insertion ----

std::vector<int> InsertAllSorted(std::vector<ListEntry>& entries, std::vector<ListEntry> lines) {
    // Taken in the order of their keys, each line passes the entries whose
    // keys are not greater than its own, which every later line passes too,
    // and the lines placed before it; so one walk over the entries places
    // them all, where one InsertSorted per line walked the list each time.
    // The sort is stable, as lines of equal keys inserted one after the
    // other end up in the order they came.
    std::vector<WString> keys;
    keys.reserve(lines.size());
    for (const ListEntry& line : lines) keys.push_back(SortKey(line.text));
    std::vector<int> order(lines.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    std::sort(order.begin(), order.end(), [&keys](int a, int b) {
        int compared = lstrcmpW(keys[a].text(), keys[b].text());
        return compared != 0 ? compared < 0 : a < b;
    });

    std::vector<ListEntry> merged;
    merged.reserve(entries.size() + lines.size());
    std::vector<int> places(lines.size());
    size_t next = 0;  // the first entry not yet in merged
    WString nextKey;  // its key, once made: keys are made only as far as the lines go
    bool known = false;
    for (int line : order) {
        for (; next < entries.size(); ++next, known = false) {
            if (!known) nextKey = SortKey(entries[next].text);
            known = true;
            if (lstrcmpW(nextKey.text(), keys[line].text()) > 0) break;
            merged.push_back(std::move(entries[next]));
        }
        places[line] = static_cast<int>(merged.size());
        merged.push_back(std::move(lines[line]));
    }
    for (; next < entries.size(); ++next) merged.push_back(std::move(entries[next]));
    entries.swap(merged);
    return places;
}

// ---- The dialog ----

namespace {

const wchar_t kScheduleMissing[] = L"Zavbell.txt が見つかりません";
const wchar_t kScheduleNotWritten[] = L"Zavbell.txt に書き込めませんでした";
const wchar_t kScheduleChanged[] =
    L"Zavbell.txt はこの画面を開いた後に変更されています。\n一覧の内容で上書きしますか？";
const wchar_t kAskDelete[] = L"スケジュールを削除していいですか";
const wchar_t kAskTestRun[] = L"テスト実行していいですか";
const wchar_t kShortcutExists[] = L"スタートアップに既に ZAV.exe のショートカットがあります";
const wchar_t kAskShortcut[] = L"スタートアップに ZAV.exe のショートカット作成しますか？";
const wchar_t kShortcutFailed[] = L"スタートアップに ZAV.exe のショートカットを作成できませんでした";
const wchar_t kShortcutName[] = L"ZAV.lnk";

constexpr UINT_PTR kShortcutTimer = 1;
constexpr UINT kShortcutDelay = 100;

const int kFirstRow[] = {IDC_LIST_ADD, IDC_LIST_COPY_ADD, IDC_LIST_MODIFY, IDC_LIST_DELETE, IDC_LIST_HOLD};
const int kSecondRow[] = {IDC_LIST_TEST_RUN, IDC_LIST_OPTIONS, IDC_LIST_EXPLAIN, IDC_LIST_CANCEL, IDC_LIST_OK};
// Enabled with exactly one selected line; with one or more.
const int kNeedOne[] = {IDC_LIST_COPY_ADD, IDC_LIST_MODIFY, IDC_LIST_TEST_RUN};
const int kNeedSome[] = {IDC_LIST_DELETE, IDC_LIST_HOLD};

const StaticColour kListColours[] = {
    {IDC_LIST_REMINDER, kRed},
};

// The list's own tip is added on opening: its window is kept for UpdateButtons.
const ToolTipEntry kListTips[] = {
    {IDC_LIST_ADD, L"スケジュールを新規追加します"},
    {IDC_LIST_COPY_ADD, L"選択したスケジュールを修正して新規追加します"},
    {IDC_LIST_MODIFY, L"選択したスケジュール内容を修正します"},
    {IDC_LIST_DELETE, L"選択したスケジュールを削除します"},
    {IDC_LIST_HOLD, L"スケジュールの実行の保留方法を指定します"},
    {IDC_LIST_TEST_RUN, L"リブート等は注意して下さい"},
    {IDC_LIST_OPTIONS, L"プログラムが時刻を監視する時間間隔等を設定します"},
    {IDC_LIST_EXPLAIN, L"上のリストボックスの表記の説明をします"},
};
const wchar_t kListLinesTip[] = L"設定したスケジュールの内容が表示されています";

// 1106's font also goes to 1107 and 1108 on opening.
const FontEntry kListFonts[] = {
    {IDC_LIST_LINES, 9, kFixedFace},
    {IDC_LIST_TEST_RUN, 8, kDialogFace},
};

struct MenuHold {
    int command;
    wchar_t flag;
};
const MenuHold kMenuHolds[] = {
    {IDM_LIST_HOLD_NONE, kHoldNone},
    {IDM_LIST_HOLD_RUN_ONCE, kHoldRunOnce},
    {IDM_LIST_HOLD_ONCE, kHoldOnce},
    {IDM_LIST_HOLD_ALWAYS, kHoldAlways},
};

// Changes to a list box without a repaint and a scroll bar update for every
// line; it is repainted once at the end.
class ListBatch {
public:
    explicit ListBatch(HWND list) : list_(list) { SendMessageW(list_, WM_SETREDRAW, FALSE, 0); }
    ~ListBatch() {
        SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list_, nullptr, TRUE);
    }
    ListBatch(const ListBatch&) = delete;
    ListBatch& operator=(const ListBatch&) = delete;

private:
    HWND list_;
};

RECT ClientRectOf(HWND dialog, int id) {
    RECT rect{};
    HWND control = GetDlgItem(dialog, id);
    CheckWin32(GetWindowRect(control, &rect), "GetWindowRect");
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void MoveToTop(HWND dialog, int id, int top) {
    RECT rect = ClientRectOf(dialog, id);
    CheckWin32(MoveWindow(GetDlgItem(dialog, id), rect.left, top, rect.right - rect.left, rect.bottom - rect.top, FALSE),
               "MoveWindow");
}

}  // namespace

const DialogTables<DSelSchedule> DSelSchedule::kTables = [] {
    static const CommandEntry<DSelSchedule> commands[] = {
        {IDC_LIST_LINES, LBN_SELCHANGE, &DSelSchedule::UpdateButtons},
        {IDC_LIST_LINES, LBN_DBLCLK, &DSelSchedule::OnListDoubleClick},
        {IDC_LIST_ADD, BN_CLICKED, &DSelSchedule::Add},
        {IDC_LIST_COPY_ADD, BN_CLICKED, &DSelSchedule::CopyAdd},
        {IDC_LIST_MODIFY, BN_CLICKED, &DSelSchedule::Modify},
        {IDC_LIST_DELETE, BN_CLICKED, &DSelSchedule::Delete},
        {IDC_LIST_HOLD, BN_CLICKED, &DSelSchedule::ChangeHold},
        {IDC_LIST_TEST_RUN, BN_CLICKED, &DSelSchedule::TestRun},
        {IDC_LIST_OPTIONS, BN_CLICKED, &DSelSchedule::Options},
        {IDC_LIST_EXPLAIN, BN_CLICKED, &DSelSchedule::Explain},
        {IDC_LIST_CANCEL, BN_CLICKED, &DSelSchedule::Cancel},
        {IDC_LIST_OK, BN_CLICKED, &DSelSchedule::Save},
    };
    static const MessageEntry<DSelSchedule> messages[] = {
        {WM_SIZE, &DSelSchedule::OnSize},
        {WM_GETMINMAXINFO, &DSelSchedule::OnGetMinMaxInfo},
        {WM_CONTEXTMENU, &DSelSchedule::OnContextMenu},
        {WM_KEYDOWN, &DSelSchedule::OnKeyDown},
        {WM_TIMER, &DSelSchedule::OnTimer},
        {WM_CLOSE, &DSelSchedule::OnClose},
        {WM_DESTROY, &DSelSchedule::OnDestroy},
    };
    DialogTables<DSelSchedule> tables{};
    tables.templateId = IDD_SCHEDULE_LIST;
    tables.onInit = &DSelSchedule::OnInitDialog;
    tables.commands = commands;
    tables.colours = kListColours;
    tables.toolTips = kListTips;
    tables.fonts = kListFonts;
    tables.messages = messages;
    tables.closeResult = 0;
    return tables;
}();

DSelSchedule::DSelSchedule(const WString& word, const StartInfo& start, const WString& schedulePath,
                           const SettingsFile& settings)
    : ModalDialog(start.elevation, IDI_SETTINGS),
      word_(word),
      start_(start),
      schedulePath_(schedulePath),
      settings_(settings) {}

bool DSelSchedule::Run(HWND owner) {
    return RunModal(owner);
}

INT_PTR DSelSchedule::OnInitDialog() {
    HFONT rowFont = reinterpret_cast<HFONT>(SendDlgItemMessageW(window, IDC_LIST_TEST_RUN, WM_GETFONT, 0, 0));
    SendDlgItemMessageW(window, IDC_LIST_OPTIONS, WM_SETFONT, reinterpret_cast<WPARAM>(rowFont), FALSE);
    SendDlgItemMessageW(window, IDC_LIST_EXPLAIN, WM_SETFONT, reinterpret_cast<WPARAM>(rowFont), FALSE);

    // The template's layout; the window size there is also the smallest the
    // user can make it, so every control stays where the layout puts it.
    RECT place{};
    CheckWin32(GetWindowRect(window, &place), "GetWindowRect");
    minWidth_ = place.right - place.left;
    minHeight_ = place.bottom - place.top;
    RECT list = ClientRectOf(window, IDC_LIST_LINES);
    listWidth_ = list.right - list.left;
    listHeight_ = list.bottom - list.top;
    nextDueTop_ = ClientRectOf(window, IDC_LIST_NEXT_DUE).top;
    row1Top_ = ClientRectOf(window, IDC_LIST_ADD).top;
    row2Top_ = ClientRectOf(window, IDC_LIST_TEST_RUN).top;
    reminderTop_ = ClientRectOf(window, IDC_LIST_REMINDER).top;

    RestoreRect(window, settings_, L"SelScheduleLeft", L"SelScheduleTop", L"SelScheduleWidth", L"SelScheduleHeight");

    if (!PathExists(schedulePath_)) {
        ShowError(kScheduleMissing, window);
        EndWith(0);
        return TRUE;
    }
    // A schedule that is there but cannot be read never becomes an empty
    // list that OK would write back: load's box, then the list closes.
    if (!loaded_.load(schedulePath_)) {
        EndWith(0);
        return TRUE;
    }
    entries_.reserve(loaded_.count());
    for (int i = 0; i < loaded_.count(); ++i) {
        const WString& line = loaded_.at(i);
        WarnRetiredAction(line, window);
        entries_.push_back({line, i});
    }
    // Filled before the list's tooltip subclasses it.
    ShowEntries();

    listTip_ = AddToolTip(IDC_LIST_LINES, kListLinesTip, kToolTipAutoPop);
    UpdateButtons();
    hook_ = SetWindowsHookExW(WH_KEYBOARD, &DSelSchedule::KeyboardHook, nullptr, GetCurrentThreadId());
    CheckWin32(reinterpret_cast<LONG_PTR>(hook_), "SetWindowsHookEx");
    if (word_ == kWordExplain) CheckWin32(SetTimer(window, kShortcutTimer, kShortcutDelay, nullptr), "SetTimer");
    return TRUE;
}

// ---- Entries ----

void DSelSchedule::ShowEntries() {
    HWND list = GetDlgItem(window, IDC_LIST_LINES);
    ListBatch batch(list);
    size_t units = 0;
    for (const ListEntry& entry : entries_) units += entry.text.length() + 1;
    // Room for every line at once rather than growing line by line.
    SendMessageW(list, LB_INITSTORAGE, entries_.size(), units * sizeof(wchar_t));
    for (const ListEntry& entry : entries_)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.text.text()));
}

std::vector<ListEntry> DSelSchedule::Entries() const {
    return entries_;
}

const WString& DSelSchedule::Line(int index) const {
    static const WString none;
    return index >= 0 && static_cast<size_t>(index) < entries_.size() ? entries_[index].text : none;
}

void DSelSchedule::RemoveLines(const std::vector<int>& indexes) {
    size_t next = 0;
    size_t kept = 0;
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (next < indexes.size() && static_cast<size_t>(indexes[next]) == i) {
            ++next;
            continue;
        }
        if (kept != i) entries_[kept] = std::move(entries_[i]);
        ++kept;
    }
    entries_.erase(entries_.begin() + kept, entries_.end());
    HWND list = GetDlgItem(window, IDC_LIST_LINES);
    ListBatch batch(list);
    // From the last, so that the indexes still to come stay valid.
    for (auto at = indexes.rbegin(); at != indexes.rend(); ++at) SendMessageW(list, LB_DELETESTRING, *at, 0);
}

int DSelSchedule::SelectedCount() const {
    return static_cast<int>(SendDlgItemMessageW(window, IDC_LIST_LINES, LB_GETSELCOUNT, 0, 0));
}

void DSelSchedule::UpdateButtons() {
    SetToolTipText(listTip_, IDC_LIST_LINES, L"");
    int selected = SelectedCount();
    for (int id : kNeedOne) EnableWindow(GetDlgItem(window, id), selected == 1);
    for (int id : kNeedSome) EnableWindow(GetDlgItem(window, id), selected >= 1);
    WString nextDue;
    if (selected == 1) {
        const WString& line = Line(GetFirstSelected(IDC_LIST_LINES));
        SetToolTipText(listTip_, IDC_LIST_LINES, line.text());
        // Only the selected line's: the list stays fast however long it is.
        SYSTEMTIME now;
        GetLocalTime(&now);
        nextDue = NextDueLabel(line, now);
    }
    SetDlgItemTextW(window, IDC_LIST_NEXT_DUE, nextDue.text());
}

void DSelSchedule::InsertSorted(const std::vector<WString>& lines) {
    if (lines.empty()) return;
    std::vector<ListEntry> added;
    added.reserve(lines.size());
    for (const WString& line : lines) added.push_back({line, kUserEntry});
    std::vector<int> places = InsertAllSorted(entries_, std::move(added));
    HWND list = GetDlgItem(window, IDC_LIST_LINES);
    {
        // In ascending order each line goes in before the one that follows it in entries_.
        std::vector<bool> isNew(entries_.size(), false);
        for (int at : places) isNew[at] = true;
        ListBatch batch(list);
        for (size_t at = 0; at < isNew.size(); ++at)
            if (isNew[at]) SendMessageW(list, LB_INSERTSTRING, at, reinterpret_cast<LPARAM>(entries_[at].text.text()));
    }
    SendMessageW(list, LB_SETSEL, FALSE, -1);
    SendMessageW(list, LB_SETSEL, TRUE, places.back());
    UpdateButtons();
}

// ---- Operations ----

void DSelSchedule::Add() {
    WString line;
    if (EditScheduleLine(window, line, start_) && !line.empty()) InsertSorted({line});
}

void DSelSchedule::CopyAdd() {
    if (SelectedCount() != 1) return;
    WString line = Line(GetFirstSelected(IDC_LIST_LINES));
    if (EditScheduleLine(window, line, start_) && !line.empty()) InsertSorted({line});
}

void DSelSchedule::Modify() {
    if (SelectedCount() != 1) return;
    int index = GetFirstSelected(IDC_LIST_LINES);
    WString line = Line(index);
    if (!EditScheduleLine(window, line, start_) || line.empty()) return;
    RemoveLines({index});
    InsertSorted({line});
}

void DSelSchedule::Delete() {
    if (AskBox(kAskDelete, window, MB_OKCANCEL) == IDCANCEL) return;
    RemoveLines(GetSelectedItems(IDC_LIST_LINES));
    UpdateButtons();
}

void DSelSchedule::ChangeHold() {
    std::vector<int> selected = GetSelectedItems(IDC_LIST_LINES);
    if (selected.empty()) return;
    DSetHold hold(Line(selected.front()).at(0), elevation());
    if (hold.Run(window)) SetHoldOfSelected(hold.flag());
}

void DSelSchedule::SetHoldOfSelected(wchar_t flag) {
    std::vector<int> changed;
    std::vector<WString> lines;
    for (int i : GetSelectedItems(IDC_LIST_LINES)) {
        // An empty line has no flag to change: it stays where it is.
        if (Line(i).empty()) continue;
        changed.push_back(i);
        lines.push_back(Line(i));
        lines.back().SetAt(0, flag);
    }
    RemoveLines(changed);
    InsertSorted(lines);
    UpdateButtons();
}

void DSelSchedule::TestRun() {
    if (FindZav() == nullptr) {
        ReportZavMissing(window);
        return;
    }
    if (AskBox(kAskTestRun, window, MB_OKCANCEL) == IDCANCEL) return;
    if (SelectedCount() != 1) return;
    WString action = ActionTextOf(GetListText(IDC_LIST_LINES, GetFirstSelected(IDC_LIST_LINES)));
    int bytes = static_cast<int>(sizeof(wchar_t)) * (action.length() + 1);
    SharedBlock block;
    if (!block.create(kTestRunBlockName, bytes) || !block.write(action.text(), bytes)) return;
    // ZAV opens the block while it handles the message; it is closed only
    // after the sent message returned.
    TellZav(kTestRun, window);
    block.close();
}

void DSelSchedule::Explain() {
    ShowInfo(kScheduleExplanation, window);
}

void DSelSchedule::Options() {
    DSetParam options(settings_, start_.elevation != kElevationDefault, start_.elevation);
    options.Run(window);
}

void DSelSchedule::Save() {
    std::vector<ListEntry> entries = Entries();
    StringList lines;
    // The file is written in the encoding it has now, else as it was read.
    lines.SetEncoding(loaded_.encoding());
    if (PathExists(schedulePath_)) {
        StringList now;
        const bool read = now.loadQuietly(schedulePath_);
        if (read) lines.SetEncoding(now.encoding());
        FileChange change = read ? MergeZavChanges(loaded_, now, entries) : FileChange::kForeign;
        if (change == FileChange::kForeign && AskBox(kScheduleChanged, window, MB_OKCANCEL) == IDCANCEL) return;
    }
    lines.reserve(static_cast<int>(entries.size()));
    for (const ListEntry& entry : entries) lines.append(entry.text);
    if (!lines.save(schedulePath_)) {
        ShowError(kScheduleNotWritten, window);
        return;
    }
    TellZav(kReloadSchedule, window);
    SavePlace();
    EndWith(1);
}

void DSelSchedule::Cancel() {
    SavePlace();
    EndWith(0);
}

void DSelSchedule::SavePlace() const {
    SaveRect(window, settings_, L"SelScheduleLeft", L"SelScheduleTop", L"SelScheduleWidth", L"SelScheduleHeight");
}

void DSelSchedule::OnListDoubleClick() {
    if (IsWindowEnabled(GetDlgItem(window, IDC_LIST_MODIFY))) Modify();
}

// ---- Messages ----

INT_PTR DSelSchedule::OnSize(WPARAM, LPARAM) {
    if (minWidth_ == 0) return FALSE;   // WM_SIZE of the creation, before the layout is known
    RECT place{};
    CheckWin32(GetWindowRect(window, &place), "GetWindowRect");
    int grow = (place.right - place.left) - minWidth_;
    int drop = (place.bottom - place.top) - minHeight_;
    RECT list = ClientRectOf(window, IDC_LIST_LINES);
    CheckWin32(MoveWindow(GetDlgItem(window, IDC_LIST_LINES), list.left, list.top, listWidth_ + grow,
                          listHeight_ + drop, TRUE),
               "MoveWindow");
    MoveToTop(window, IDC_LIST_NEXT_DUE, nextDueTop_ + drop);
    for (int id : kFirstRow) MoveToTop(window, id, row1Top_ + drop);
    for (int id : kSecondRow) MoveToTop(window, id, row2Top_ + drop);
    MoveToTop(window, IDC_LIST_REMINDER, reminderTop_ + drop);
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
    return TRUE;
}

void DSelSchedule::AfterDpiChange(UINT oldDpi, UINT newDpi) {
    for (int* pixels :
         {&minWidth_, &minHeight_, &listWidth_, &listHeight_, &nextDueTop_, &row1Top_, &row2Top_, &reminderTop_})
        *pixels = MulDiv(*pixels, static_cast<int>(newDpi), static_cast<int>(oldDpi));
}

INT_PTR DSelSchedule::OnGetMinMaxInfo(WPARAM, LPARAM lParam) {
    if (minWidth_ == 0) return FALSE;
    MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
    info->ptMinTrackSize.x = minWidth_;
    info->ptMinTrackSize.y = minHeight_;
    return TRUE;
}

INT_PTR DSelSchedule::OnContextMenu(WPARAM wParam, LPARAM lParam) {
    if (reinterpret_cast<HWND>(wParam) != GetDlgItem(window, IDC_LIST_LINES)) return FALSE;
    POINT at{};
    // From the keyboard (Shift+F10, the menu key) the position is (-1, -1).
    if (GET_X_LPARAM(lParam) == -1 && GET_Y_LPARAM(lParam) == -1) {
        if (!KeyboardMenuPlace(&at)) return TRUE;
    } else {
        int index = SelectAtPoint(IDC_LIST_LINES, lParam);
        UpdateButtons();
        if (index < 0) return TRUE;
        CheckWin32(GetCursorPos(&at), "GetCursorPos");
    }
    ShowLineMenu(at);
    return TRUE;
}

// The keyboard's menu is that of the selected lines, which stay selected;
// with none, of the caret line, which is selected. It opens below the caret
// line, kept inside the list when that line is scrolled out of it.
bool DSelSchedule::KeyboardMenuPlace(POINT* at) {
    HWND list = GetDlgItem(window, IDC_LIST_LINES);
    int caret = static_cast<int>(SendMessageW(list, LB_GETCARETINDEX, 0, 0));
    if (caret < 0 || static_cast<size_t>(caret) >= entries_.size()) return false;
    if (SelectedCount() == 0) {
        SendMessageW(list, LB_SETSEL, TRUE, caret);
        UpdateButtons();
    }
    RECT line{};
    RECT client{};
    SendMessageW(list, LB_GETITEMRECT, caret, reinterpret_cast<LPARAM>(&line));
    GetClientRect(list, &client);
    at->x = line.left;
    at->y = line.bottom < client.top ? client.top : line.bottom > client.bottom ? client.bottom : line.bottom;
    CheckWin32(ClientToScreen(list, at), "ClientToScreen");
    return true;
}

void DSelSchedule::ShowLineMenu(POINT at) {
    UniqueMenu menu(LoadMenuW(g_instance, MAKEINTRESOURCEW(IDR_SCHEDULE_MENU)));
    if (!menu) return;
    HMENU popup = GetSubMenu(menu.get(), 0);
    SetMenuDefaultItem(popup, IDM_LIST_MODIFY, FALSE);
    // The hold flag the selected lines share is checked; none when they differ.
    const std::vector<int> selected = GetSelectedItems(IDC_LIST_LINES);
    wchar_t flag = selected.empty() ? L'\0' : Line(selected.front()).at(0);
    for (int index : selected)
        if (Line(index).at(0) != flag) flag = L'\0';
    for (const MenuHold& hold : kMenuHolds)
        CheckMenuItem(popup, hold.command, MF_BYCOMMAND | (hold.flag == flag ? MF_CHECKED : MF_UNCHECKED));
    // As their buttons: for exactly one line.
    for (int command : {IDM_LIST_MODIFY, IDM_LIST_COPY_ADD, IDM_LIST_TEST_RUN})
        EnableMenuItem(popup, command, MF_BYCOMMAND | (selected.size() == 1 ? MF_ENABLED : MF_GRAYED));
    int command =
        static_cast<int>(TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, window, nullptr));
    CheckWin32(DestroyMenu(menu.release()), "DestroyMenu");

    static const CommandEntry<DSelSchedule> menuCommands[] = {
        {IDM_LIST_MODIFY, kAnyNotification, &DSelSchedule::Modify},
        {IDM_LIST_DELETE, kAnyNotification, &DSelSchedule::Delete},
        {IDM_LIST_COPY_ADD, kAnyNotification, &DSelSchedule::CopyAdd},
        {IDM_LIST_TEST_RUN, kAnyNotification, &DSelSchedule::TestRun},
    };
    if (::DispatchCommand<DSelSchedule>(*this, menuCommands, command, kAnyNotification)) return;
    // The menu of a right click has the line under the pointer alone selected.
    for (const MenuHold& hold : kMenuHolds)
        if (hold.command == command) SetHoldOfSelected(hold.flag);
}

LRESULT CALLBACK DSelSchedule::KeyboardHook(int code, WPARAM wParam, LPARAM lParam) {
    DSelSchedule* self = current();
    // Press and release both come here; the second posted key finds the list
    // disabled under its box, or its button disabled afterwards.
    if (code >= 0 && self != nullptr && (wParam == VK_DELETE || wParam == VK_INSERT))
        PostMessageW(self->window, WM_KEYDOWN, wParam, lParam);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

INT_PTR DSelSchedule::OnKeyDown(WPARAM wParam, LPARAM) {
    if (!IsWindowEnabled(window) || keyAction_) return TRUE;
    keyAction_ = true;
    if (wParam == VK_DELETE && IsWindowEnabled(GetDlgItem(window, IDC_LIST_DELETE)))
        Delete();
    else if (wParam == VK_INSERT && IsWindowEnabled(GetDlgItem(window, IDC_LIST_ADD)))
        Add();
    keyAction_ = false;
    return TRUE;
}

INT_PTR DSelSchedule::OnTimer(WPARAM wParam, LPARAM) {
    if (wParam != kShortcutTimer) return FALSE;
    CheckWin32(KillTimer(window, kShortcutTimer), "KillTimer");
    OfferStartupShortcut();
    return TRUE;
}

void DSelSchedule::OfferStartupShortcut() {
    ShowInfo(kScheduleExplanation, window);
    WString link = JoinPath(SpecialFolderPath(CSIDL_STARTUP), kShortcutName);
    if (PathExists(link)) {
        ShowError(kShortcutExists, window);
        return;
    }
    if (AskBox(kAskShortcut, window, MB_YESNO) != IDYES) return;
    // Said so: without the link the alarms silently stop after the next sign-in.
    if (!CreateShortcut(link, JoinPath(SpecialFolderPath(-1), kZavProgram), WString(), false))
        ShowError(kShortcutFailed, window);
}

INT_PTR DSelSchedule::OnClose(WPARAM, LPARAM) {
    Cancel();
    return TRUE;
}

INT_PTR DSelSchedule::OnDestroy(WPARAM, LPARAM) {
    if (hook_ != nullptr) CheckWin32(UnhookWindowsHookEx(hook_), "UnhookWindowsHookEx");
    hook_ = nullptr;
    return TRUE;
}

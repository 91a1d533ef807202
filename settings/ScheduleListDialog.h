// The schedule list (dialog 110) of "set" and "zzzzzz": every line of
// Zavbell.txt, edited in the list and written back on OK.
#pragma once

#include <windows.h>

#include <vector>

#include "common/SettingsFile.h"
#include "common/WString.h"
#include "schedule/StringList.h"
#include "settings/CommandWords.h"
#include "settings/ModalDialog.h"

// The explanation of the line format (button 1108, and after "zzzzzz").
extern const wchar_t kScheduleExplanation[];

// One entry of the list: its text and the index of the loaded record it
// still is, or kUserEntry for a line the user added or changed.
constexpr int kUserEntry = -1;
struct ListEntry {
    WString text;
    int origin;
};

// What happened to Zavbell.txt while the list was open.
enum class FileChange {
    kNone,     // as loaded
    kByZav,    // only as ZAV changes it: a '!' or 'D' record gone, a '#' now ' '
    kForeign,  // anything else, whether or not ZAV changed it too
};

// Compares the records loaded at opening with the file now. ZAV's changes
// (kByZav, and those among other changes for kForeign) are applied to each
// entry that is still exactly its loaded record (one entry per loaded
// record); entries the user changed, added or deleted stay the user's.
FileChange MergeZavChanges(const StringList& loaded, const StringList& now, std::vector<ListEntry>& entries);

// Adds the lines to the entries as InsertSorted in schedule/StringList.h
// would, one after the other: each before the first entry whose SortKey
// compares greater (lstrcmpW), or at the end. Gives the index of each line
// in the result, in the order the lines came.
std::vector<int> InsertAllSorted(std::vector<ListEntry>& entries, std::vector<ListEntry> lines);

class DSelSchedule : public ModalDialog<DSelSchedule> {
public:
    // word: "set" or "zzzzzz" (the latter adds the explanation and the
    // Startup shortcut offer); the schedule and settings files to use.
    DSelSchedule(const WString& word, const StartInfo& start, const WString& schedulePath,
                 const SettingsFile& settings);
    // True after OK (file written), false otherwise.
    bool Run(HWND owner);

private:
    friend class ModalDialog<DSelSchedule>;
    static const DialogTables<DSelSchedule> kTables;

    INT_PTR OnInitDialog();
    INT_PTR OnSize(WPARAM, LPARAM);
    INT_PTR OnGetMinMaxInfo(WPARAM, LPARAM);
    INT_PTR OnContextMenu(WPARAM, LPARAM);
    INT_PTR OnKeyDown(WPARAM, LPARAM);
    INT_PTR OnTimer(WPARAM, LPARAM);
    INT_PTR OnClose(WPARAM, LPARAM);
    INT_PTR OnDestroy(WPARAM, LPARAM);
    void OnListDoubleClick();
    // The runner's, on a DPI change: the layout's sizes and places.
    void AfterDpiChange(UINT oldDpi, UINT newDpi);

    void Add();
    void CopyAdd();
    void Modify();
    void Delete();
    void ChangeHold();
    void TestRun();
    void Explain();
    void Options();
    void Save();
    void Cancel();
    void UpdateButtons();
    // Inserts the lines by their sort keys; the last one is then the only
    // one selected.
    void InsertSorted(const std::vector<WString>& lines);
    // Each selected line with the flag, re-inserted at its sorted place.
    void SetHoldOfSelected(wchar_t flag);
    bool KeyboardMenuPlace(POINT* at);
    void ShowLineMenu(POINT at);
    void OfferStartupShortcut();

    int SelectedCount() const;
    std::vector<ListEntry> Entries() const;
    // The text of a line; empty for an index out of range.
    const WString& Line(int index) const;
    void ShowEntries();
    // indexes: ascending.
    void RemoveLines(const std::vector<int>& indexes);
    void SavePlace() const;

    static LRESULT CALLBACK KeyboardHook(int code, WPARAM wParam, LPARAM lParam);

    WString word_;
    StartInfo start_;
    WString schedulePath_;
    const SettingsFile& settings_;
    StringList loaded_;             // the records as read at opening
    // What the list box shows, line for line, with each line's origin. The
    // list box keeps the selection; the lines are read from here, since every
    // message to the list box is slow under Wine once its tooltip has
    // subclassed it (a window property looked up in wineserver each time).
    std::vector<ListEntry> entries_;
    HWND listTip_ = nullptr;
    HHOOK hook_ = nullptr;
    bool keyAction_ = false;        // a Delete or Insert from the keyboard is running
    // The layout at template size: window size (also the minimum tracking
    // size), the list's size, the tops of the two button rows and the reminder.
    int minWidth_ = 0;
    int minHeight_ = 0;
    int listWidth_ = 0;
    int listHeight_ = 0;
    int nextDueTop_ = 0;  // the line under the list
    int row1Top_ = 0;
    int row2Top_ = 0;
    int reminderTop_ = 0;
};

// The schedule records in file order, and the file they are loaded from and
// saved to (one record per line, ANSI code page, CR LF).
#pragma once

#include <vector>

#include "common/WString.h"
#include "schedule/ScheduleRecord.h"

class StringList {
public:
    StringList();

    int count() const { return static_cast<int>(items_.size()); }
    // Records the list can hold before it reallocates: 100 at first, then
    // growing in whole hundreds.
    int capacity() const { return static_cast<int>(items_.capacity()); }
    // Out of range: an empty text.
    const WString& at(int i) const;
    // False (and nothing changed) when i is out of range.
    bool SetAt(int i, const WString& record);
    // Replaces the first code unit of record i; false when there is no
    // record i or it is empty.
    bool SetFlag(int i, wchar_t flag);

    void append(const WString& record);
    void append(WString&& record);
    // index 0..count; any other index is ignored.
    void insert(int index, const WString& record);
    // Later records move up; an index out of range is ignored.
    void remove(int index);
    void clear();
    void reserve(int records);

    // Replaces the content by the records of the file. A file that cannot be
    // opened or read shows an error box, leaves the list empty and gives false.
    bool load(const WString& path);
    // The same without a box.
    bool loadQuietly(const WString& path);
    // Writes the whole list through a temporary file in the same folder that
    // replaces the old file only once it is complete. False, with the old
    // file untouched, when anything fails.
    bool save(const WString& path) const;

private:
    void Grow(int needed);

    std::vector<WString> items_;
};

// Inserts before the first record whose SortKey is greater (lstrcmpW) than
// the new record's, or at the end when there is none.
void InsertSorted(StringList& list, const WString& record);

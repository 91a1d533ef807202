// The schedule records in file order, and the file they are loaded from and
// saved to (one record per line, CR LF; written in the ANSI code page, read
// from it or from UTF-8).
#pragma once

#include <vector>

#include "common/WString.h"
#include "schedule/ScheduleRecord.h"

// The largest schedule file ZAV and ZAVSet take: a 32-bit process holds a
// schedule two or three times over (UTF-16 records, a copy, the encoded
// file), and every record costs memory of its own however short it is.
constexpr ULONGLONG kMaxScheduleBytes = 64ULL * 1024 * 1024;
constexpr int kMaxScheduleRecords = 1000000;

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

    // Replaces the content by the records of the file. A file that starts
    // with the UTF-8 byte-order mark, or is valid UTF-8 and not plain ASCII,
    // is read as UTF-8, any other in the ANSI code page; a NUL in a line
    // becomes a blank. A file that cannot be opened or read, or is larger
    // than the limits above, shows an error box naming it, leaves the list
    // empty and gives false.
    bool load(const WString& path);
    // The same without a box.
    bool loadQuietly(const WString& path);
    // Writes the whole list, in the ANSI code page, to a temporary file in
    // the same folder, and renames it over the old file (one atomic rename,
    // keeping the old file's hidden and system flags) only once it is
    // complete. Where no temporary file can be made, writes the file in
    // place. False, with the old file untouched, when anything else fails,
    // and for a read-only file.
    bool save(const WString& path) const;

private:
    enum class ReadResult { Read, CannotOpen, TooLarge };
    ReadResult Read(const WString& path, ULONGLONG* size);
    void Grow(int needed);

    std::vector<WString> items_;
};

// Inserts before the first record whose SortKey is greater (lstrcmpW) than
// the new record's, or at the end when there is none.
void InsertSorted(StringList& list, const WString& record);

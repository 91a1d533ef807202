// The schedule records in file order, and the file they are loaded from and
// saved to (one record per line, CR LF; in the ANSI code page or in UTF-8,
// written back the way it was read).
#pragma once

#include <vector>

#include "common/WString.h"
#include "schedule/ScheduleFile.h"
#include "schedule/ScheduleRecord.h"

// The largest schedule file ZAV and ZAVSet take: a 32-bit process holds a
// schedule two or three times over (UTF-16 records, a copy, the encoded
// file), and every record costs memory of its own however short it is.
constexpr ULONGLONG kMaxScheduleBytes = 64ULL * 1024 * 1024;
constexpr int kMaxScheduleRecords = 1000000;

// How a schedule file is written. A new file is in the ANSI code page, as
// ZAVSet always wrote it; one an editor saved in UTF-8 stays UTF-8, with its
// byte-order mark when it had one, so that no character is lost.
enum class ScheduleEncoding { kAnsi, kUtf8, kUtf8Bom };

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

    // The encoding the list was read in and is saved in.
    ScheduleEncoding encoding() const { return encoding_; }
    void SetEncoding(ScheduleEncoding encoding) { encoding_ = encoding; }

    // Replaces the content by the records of the file and takes its
    // encoding (ScheduleEncodingOf); a NUL in a line becomes a blank. A file
    // that cannot be opened or read, or is larger than the limits above,
    // shows an error box naming it, leaves the list empty in the ANSI code
    // page and gives false.
    bool load(const WString& path);
    // The same without a box.
    bool loadQuietly(const WString& path);
    // Writes the whole list, in its encoding, to a temporary file in the
    // same folder, and renames it over the old file (one atomic rename,
    // keeping the old file's hidden and system flags) only once it is
    // complete. Where no temporary file can be made, writes the file in
    // place. False, with the old file untouched, when anything else fails,
    // and for a read-only file.
    // With a hold (ScheduleFile.h), the rename happens only while the path
    // still names the held file, and *written gets the new file's stamp.
    bool save(const WString& path, ScheduleHold* hold = nullptr, FileStamp* written = nullptr) const;

private:
    enum class ReadResult { Read, CannotOpen, TooLarge };
    ReadResult Read(const WString& path, ULONGLONG* size);
    void Grow(int needed);

    std::vector<WString> items_;
    ScheduleEncoding encoding_ = ScheduleEncoding::kAnsi;
};

// The encoding of a schedule file's bytes. A byte-order mark means UTF-8.
// Without one, a file is taken for UTF-8 only on evidence that code page 932
// text cannot give: a valid sequence of three or four bytes, and no invalid
// one. (Half-width katakana pairs such as "ﾈｺ", C8 BA, are valid two-byte
// UTF-8 too.) *skip: the length of the byte-order mark.
ScheduleEncoding ScheduleEncodingOf(const char* bytes, size_t size, size_t* skip);
// The encoding of the file as it is now; a missing or unreadable file is a
// new one, in the ANSI code page.
ScheduleEncoding ScheduleEncodingOfFile(const WString& path);

// Inserts before the first record whose SortKey is greater (lstrcmpW) than
// the new record's, or at the end when there is none.
void InsertSorted(StringList& list, const WString& record);

#include "schedule/StringList.h"

#include <string.h>

#include "common/Handles.h"
#include "common/MessageBoxes.h"
#include "schedule/ScheduleFile.h"

namespace {

constexpr int kCapacityStep = 100;

const char kUtf8Bom[3] = {'\xEF', '\xBB', '\xBF'};

// Attributes a save carries over from the file it replaces. Read-only is not
// among them: a read-only schedule is never replaced.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// The file is read in one piece: the schedule is small next to memory, and
// one ReadFile is far cheaper than byte-wise stdio.
// False when the file cannot be opened or read, or is larger than
// kMaxScheduleBytes (then *fileSize says so).
bool ReadWholeFile(const WString& path, std::vector<char>& bytes, ULONGLONG* fileSize) {
    UniqueHandle file(CreateFileW(path.text(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size)) return false;
    *fileSize = static_cast<ULONGLONG>(size.QuadPart);
    // Checked before anything is allocated: a vector that cannot grow ends
    // the program.
    if (*fileSize > kMaxScheduleBytes) return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        if (!ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got, nullptr))
            return false;
        if (got == 0) break;  // the file shrank while being read
        done += got;
    }
    bytes.resize(done);
    return true;
}

// The length of the well-formed UTF-8 sequence (RFC 3629: no overlong
// forms, no surrogates, nothing above U+10FFFF) at p[0] of a non-ASCII lead
// byte, or 0. `left` bytes are there.
size_t Utf8SequenceAt(const unsigned char* p, size_t left) {
    const unsigned char c = p[0];
    size_t more;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (c >= 0xC2 && c <= 0xDF) {
        more = 1;
    } else if (c >= 0xE0 && c <= 0xEF) {
        more = 2;
        if (c == 0xE0) low = 0xA0;
        if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        more = 3;
        if (c == 0xF0) low = 0x90;
        if (c == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (left <= more || p[1] < low || p[1] > high) return 0;
    for (size_t k = 2; k <= more; ++k) {
        if ((p[k] & 0xC0) != 0x80) return 0;
    }
    return more + 1;
}

// Writes every byte. No piece but the last ends in LF: a temporary file that
// a kill cut short never looks complete (IsComplete in ScheduleFile.cpp).
bool WriteAll(HANDLE file, const std::vector<char>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD put = 0;
        DWORD chunk = static_cast<DWORD>(bytes.size() - done > 0x1000000 ? 0x1000000 : bytes.size() - done);
        if (done + chunk < bytes.size() && bytes[done + chunk - 1] == '\n') --chunk;
        if (!WriteFile(file, bytes.data() + done, chunk, &put, nullptr) || put == 0) return false;
        done += put;
    }
    return true;
}

// Each record in the list's encoding, then CR LF. A LF inside a record also
// becomes CR LF, as a text-mode write would make it; no DBCS trail byte and
// no byte of a UTF-8 sequence is ever 0x0A, so the byte scan is safe.
std::vector<char> EncodeSchedule(const StringList& list) {
    const UINT codePage = list.encoding() == ScheduleEncoding::kAnsi ? CP_ACP : CP_UTF8;
    size_t units = 0;
    for (int i = 0; i < list.count(); ++i) units += list.at(i).length();
    std::vector<char> out(units * 2 + static_cast<size_t>(list.count()) * 2 + 16);
    size_t pos = 0;
    if (list.encoding() == ScheduleEncoding::kUtf8Bom) {
        for (char c : kUtf8Bom) out[pos++] = c;
    }
    for (int i = 0; i < list.count(); ++i) {
        const WString& record = list.at(i);
        // Neither an ANSI code page nor UTF-8 needs more than 4 bytes per
        // UTF-16 unit.
        const size_t worst = static_cast<size_t>(record.length()) * 4 + 2;
        if (out.size() - pos < worst) out.resize((out.size() + worst) * 3 / 2);
        int n = 0;
        if (record.length() > 0)
            n = WideCharToMultiByte(codePage, 0, record.text(), record.length(), out.data() + pos,
                                    static_cast<int>(out.size() - pos), nullptr, nullptr);
        char* begin = out.data() + pos;
        if (n > 0 && memchr(begin, '\n', n)) {
            std::vector<char> line(begin, begin + n);
            for (char c : line) {
                if (out.size() - pos < 3) out.resize(out.size() * 3 / 2 + 3);
                if (c == '\n') out[pos++] = '\r';
                out[pos++] = c;
            }
        } else {
            pos += n;
        }
        out[pos++] = '\r';
        out[pos++] = '\n';
    }
    out.resize(pos);
    return out;
}

// Sets the write time by hand, so that closing the handle leaves it
// (Windows sets it again when a written file is closed otherwise), and the
// attributes (0 leaves them); gives the stamp: the new schedule's for good,
// whoever saves next.
bool SealFile(HANDLE file, DWORD attributes, FileStamp* written) {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    FILE_BASIC_INFO info = {};
    info.LastWriteTime.LowPart = now.dwLowDateTime;
    info.LastWriteTime.HighPart = static_cast<LONG>(now.dwHighDateTime);
    info.FileAttributes = attributes;
    if (!SetFileInformationByHandle(file, FileBasicInfo, &info, sizeof info)) return false;
    if (written) *written = StampOfHandle(file);
    return true;
}

// The old way, for a folder where no new file can be made (no right to
// create files there, or a path too long for the temporary name): the
// schedule itself is overwritten. OPEN_ALWAYS rather than CREATE_ALWAYS,
// which refuses a hidden or system file unless asked for the same attributes.
bool WriteInPlace(const WString& path, const std::vector<char>& bytes, FileStamp* written) {
    UniqueHandle file(
        CreateFileW(path.text(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    return WriteAll(file.get(), bytes) && SetEndOfFile(file.get()) && FlushFileBuffers(file.get()) &&
           SealFile(file.get(), 0, written);
}

// FILE_RENAME_INFO with its Flags member (FileRenameInfoEx), which older
// headers lack.
struct RenameInfoEx {
    DWORD flags;
    HANDLE rootDirectory;
    DWORD fileNameLength;
    wchar_t fileName[1];
};
constexpr FILE_INFO_BY_HANDLE_CLASS kFileRenameInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(22);
constexpr DWORD kRenameReplaceIfExists = 0x1;
constexpr DWORD kRenamePosixSemantics = 0x2;

// Renames the open file to target, replacing it even while other programs
// (or the hold) have it open. Only Windows 10 1607 and later on NTFS can;
// elsewhere (Wine, FAT) this fails and nothing happened.
bool RenameReplacingOpenFile(HANDLE file, const WString& target) {
    const DWORD nameBytes = static_cast<DWORD>(target.length()) * sizeof(wchar_t);
    std::vector<char> buffer(sizeof(RenameInfoEx) + nameBytes);
    RenameInfoEx* info = reinterpret_cast<RenameInfoEx*>(buffer.data());
    info->flags = kRenameReplaceIfExists | kRenamePosixSemantics;
    info->fileNameLength = nameBytes;
    memcpy(info->fileName, target.text(), nameBytes);
    return SetFileInformationByHandle(file, kFileRenameInfoEx, info, static_cast<DWORD>(buffer.size())) != 0;
}

// The classic rename, which Windows and Wine refuse while anyone has the
// old file open, the hold included: the hold is let go just before it,
// which leaves another program's save a moment of microseconds to land
// unseen.
bool MoveOver(const WString& temp, const WString& target, ScheduleHold* hold) {
    constexpr DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    if (MoveFileExW(temp.text(), target.text(), flags)) return true;
    if (!hold || GetLastError() != ERROR_ACCESS_DENIED) return false;
    hold->Release();
    return MoveFileExW(temp.text(), target.text(), flags) != 0;
}

WString DecimalText(ULONGLONG value) {
    wchar_t digits[24];
    int at = 23;
    digits[at] = L'\0';
    do {
        digits[--at] = static_cast<wchar_t>(L'0' + value % 10);
        value /= 10;
    } while (value > 0);
    return WString(digits + at);
}

}  // namespace

ScheduleEncoding ScheduleEncodingOf(const char* bytes, size_t size, size_t* skip) {
    *skip = 0;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes);
    if (size >= 3 && memcmp(bytes, kUtf8Bom, 3) == 0) {
        *skip = 3;
        return ScheduleEncoding::kUtf8Bom;
    }
    bool longSequence = false;
    for (size_t i = 0; i < size;) {
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        const size_t length = Utf8SequenceAt(p + i, size - i);
        if (length == 0) return ScheduleEncoding::kAnsi;
        longSequence = longSequence || length >= 3;
        i += length;
    }
    return longSequence ? ScheduleEncoding::kUtf8 : ScheduleEncoding::kAnsi;
}

ScheduleEncoding ScheduleEncodingOfFile(const WString& path) {
    std::vector<char> bytes;
    ULONGLONG size = 0;
    size_t skip = 0;
    if (!ReadWholeFile(path, bytes, &size)) return ScheduleEncoding::kAnsi;
    return ScheduleEncodingOf(bytes.data(), bytes.size(), &skip);
}

StringList::StringList() {
    items_.reserve(kCapacityStep);
}

const WString& StringList::at(int i) const {
    static const WString empty;
    if (i < 0 || i >= count()) return empty;
    return items_[i];
}

bool StringList::SetAt(int i, const WString& record) {
    if (i < 0 || i >= count()) return false;
    items_[i] = record;
    return true;
}

bool StringList::SetFlag(int i, wchar_t flag) {
    if (i < 0 || i >= count()) return false;
    return items_[i].SetAt(kHoldFlagColumn, flag);
}

void StringList::Grow(int needed) {
    if (needed <= capacity()) return;
    // The next whole hundred that holds them; a reallocation only moves the
    // records' buffer pointers, never their text.
    items_.reserve((needed + kCapacityStep - 1) / kCapacityStep * kCapacityStep);
}

void StringList::reserve(int records) {
    Grow(records);
}

void StringList::append(const WString& record) {
    Grow(count() + 1);
    items_.push_back(record);
}

void StringList::append(WString&& record) {
    Grow(count() + 1);
    items_.push_back(static_cast<WString&&>(record));
}

void StringList::insert(int index, const WString& record) {
    if (index < 0 || index > count()) return;
    Grow(count() + 1);
    items_.insert(items_.begin() + index, record);
}

void StringList::remove(int index) {
    if (index < 0 || index >= count()) return;
    items_.erase(items_.begin() + index);
}

void StringList::clear() {
    items_.clear();
}

bool StringList::load(const WString& path) {
    ULONGLONG size = 0;
    switch (Read(path, &size)) {
    case ReadResult::Read: return true;
    case ReadResult::CannotOpen: ShowError((path + L"\nファイルがないのかもしれません").text()); break;
    case ReadResult::TooLarge:
        ShowError((path + L"\nファイルが大きすぎるので読み込めません (" + DecimalText(size) + L" バイト)").text());
        break;
    }
    return false;
}

bool StringList::loadQuietly(const WString& path) {
    ULONGLONG size = 0;
    return Read(path, &size) == ReadResult::Read;
}

StringList::ReadResult StringList::Read(const WString& path, ULONGLONG* size) {
    clear();
    encoding_ = ScheduleEncoding::kAnsi;
    std::vector<char> bytes;
    if (!ReadWholeFile(path, bytes, size))
        return *size > kMaxScheduleBytes ? ReadResult::TooLarge : ReadResult::CannotOpen;
    size_t start = 0;
    const ScheduleEncoding encoding = ScheduleEncodingOf(bytes.data(), bytes.size(), &start);
    const UINT codePage = encoding == ScheduleEncoding::kAnsi ? CP_ACP : CP_UTF8;
    const char* data = bytes.data();
    const size_t end = bytes.size();

    int lines = 0;
    for (const char* p = data + start; p && p < data + end; ++lines) {
        p = static_cast<const char*>(memchr(p, '\n', data + end - p));
        if (p) ++p;
    }
    // Every record costs memory of its own, however short.
    if (lines > kMaxScheduleRecords) return ReadResult::TooLarge;
    Grow(lines);

    // Each line is converted with its LF, as a whole, and only then stripped
    // of LF and CR. Neither code page yields more UTF-16 units than bytes.
    std::vector<wchar_t> wide;
    while (start < end) {
        const char* line = data + start;
        const char* lf = static_cast<const char*>(memchr(line, '\n', end - start));
        const size_t length = lf ? static_cast<size_t>(lf - line) + 1 : end - start;
        if (wide.size() < length) wide.resize(length);
        int n = MultiByteToWideChar(codePage, 0, line, static_cast<int>(length), wide.data(),
                                    static_cast<int>(wide.size()));
        if (n == 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
            // Only a code page with more units than bytes would get here.
            wide.resize(MultiByteToWideChar(codePage, 0, line, static_cast<int>(length), nullptr, 0));
            n = MultiByteToWideChar(codePage, 0, line, static_cast<int>(length), wide.data(),
                                    static_cast<int>(wide.size()));
        }
        if (n > 0 && wide[n - 1] == L'\n') --n;
        if (n > 0 && wide[n - 1] == L'\r') --n;
        // A WString ends at a NUL: the rest of the line would be lost.
        for (int i = 0; i < n; ++i) {
            if (wide[i] == L'\0') wide[i] = L' ';
        }
        items_.emplace_back(wide.data(), n);
        start += length;
    }
    encoding_ = encoding;
    return ReadResult::Read;
}

bool StringList::save(const WString& path, ScheduleHold* hold, FileStamp* written) const {
    const WString target = FullPathOf(path);
    if (target.empty()) return false;
    // Writing "over" a folder must fail, and a read-only schedule is the
    // user's to keep as it is.
    const DWORD attributes = GetFileAttributesW(target.text());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) return false;

    const std::vector<char> bytes = EncodeSchedule(*this);
    // Same folder as the schedule, so the rename never crosses volumes; the
    // process id keeps ZAV's and ZAVSet's saves apart and tells ZAV's
    // start-up whether the saver still runs (RecoverScheduleFile).
    const WString temp = SaveTemporaryPath(target, GetCurrentProcessId());
    // DELETE and shared for it: where the system can, the file is renamed
    // by this handle, over the schedule even while that is held open.
    UniqueHandle file(CreateFileW(temp.text(), GENERIC_WRITE | DELETE, FILE_SHARE_DELETE, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        // In place, the held file must be let go first: the hold shuts out
        // every writer, this one too.
        if (hold && !hold->StillNamed()) return false;
        if (hold) hold->Release();
        return WriteInPlace(target, bytes, written);
    }
    // The new file takes the old one's hidden and system flags with it.
    const DWORD kept = exists ? attributes & kKeptAttributes : 0;
    bool done = WriteAll(file.get(), bytes) && FlushFileBuffers(file.get()) && SealFile(file.get(), kept, written);
    // One rename: the schedule's name always holds either the old or the new
    // file. (ReplaceFileW is no such swap under Wine: it moves the old file
    // aside and deletes it before the new one takes its name.)
    done = done && (!hold || hold->StillNamed());
    bool renamed = done && RenameReplacingOpenFile(file.get(), target);
    // Closed before the classic rename, which may want the file unshared.
    file.reset();
    renamed = renamed || (done && MoveOver(temp, target, hold));
    if (!renamed) DeleteFileW(temp.text());
    return renamed;
}

void InsertSorted(StringList& list, const WString& record) {
    const WString key = SortKey(record);
    for (int i = 0; i < list.count(); ++i) {
        if (lstrcmpW(SortKey(list.at(i)).text(), key.text()) > 0) {
            list.insert(i, record);
            return;
        }
    }
    list.append(record);
}

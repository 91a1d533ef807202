#include "schedule/StringList.h"

#include <string.h>

#include "common/Handles.h"
#include "common/MessageBoxes.h"

namespace {

constexpr int kCapacityStep = 100;

// The file is read in one piece: the schedule is small next to memory, and
// one ReadFile is far cheaper than byte-wise stdio.
bool ReadWholeFile(const WString& path, std::vector<char>& bytes)
{
    UniqueHandle file(CreateFileW(path.text(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x40000000) return false;
    bytes.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        if (!ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got,
                      nullptr))
            return false;
        if (got == 0) break;  // the file shrank while being read
        done += got;
    }
    bytes.resize(done);
    return true;
}

bool WriteAll(HANDLE file, const std::vector<char>& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD put = 0;
        const DWORD chunk = static_cast<DWORD>(bytes.size() - done > 0x1000000 ? 0x1000000
                                                                               : bytes.size() - done);
        if (!WriteFile(file, bytes.data() + done, chunk, &put, nullptr) || put == 0) return false;
        done += put;
    }
    return true;
}

// Each record in the ANSI code page, then CR LF. A LF inside a record also
// becomes CR LF, as a text-mode write would make it; no DBCS trail byte is
// ever 0x0A, so the byte scan is safe.
std::vector<char> EncodeSchedule(const StringList& list)
{
    size_t units = 0;
    for (int i = 0; i < list.count(); ++i) units += list.at(i).length();
    std::vector<char> out(units * 2 + static_cast<size_t>(list.count()) * 2 + 16);
    size_t pos = 0;
    for (int i = 0; i < list.count(); ++i) {
        const WString& record = list.at(i);
        // No ANSI code page needs more than 4 bytes per UTF-16 unit.
        const size_t worst = static_cast<size_t>(record.length()) * 4 + 2;
        if (out.size() - pos < worst) out.resize((out.size() + worst) * 3 / 2);
        int n = 0;
        if (record.length() > 0)
            n = WideCharToMultiByte(CP_ACP, 0, record.text(), record.length(), out.data() + pos,
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

bool MoveOver(const WString& from, const WString& to)
{
    return MoveFileExW(from.text(), to.text(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

// Puts the finished temporary file in the place of the schedule file.
// ReplaceFileW keeps the old file's attributes and security; it needs an
// existing target, so a first save moves the file into place instead.
// Returns false when the temporary file still has to be cleaned up.
bool PutInPlace(const WString& path, const WString& temp, bool* keepTemp)
{
    *keepTemp = false;
    if (GetFileAttributesW(path.text()) == INVALID_FILE_ATTRIBUTES &&
        GetLastError() == ERROR_FILE_NOT_FOUND)
        return MoveOver(temp, path);
    if (ReplaceFileW(path.text(), temp.text(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                     nullptr))
        return true;
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) return MoveOver(temp, path);  // removed in between
    if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT || error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
        // ReplaceFileW got halfway: the old file may already be gone, and then
        // the temporary file is the only copy of the schedule.
        if (MoveOver(temp, path)) return true;
        *keepTemp = GetFileAttributesW(path.text()) == INVALID_FILE_ATTRIBUTES;
    }
    return false;
}

}  // namespace

StringList::StringList() { items_.reserve(kCapacityStep); }

const WString& StringList::at(int i) const
{
    static const WString empty;
    if (i < 0 || i >= count()) return empty;
    return items_[i];
}

bool StringList::SetAt(int i, const WString& record)
{
    if (i < 0 || i >= count()) return false;
    items_[i] = record;
    return true;
}

bool StringList::SetFlag(int i, wchar_t flag)
{
    if (i < 0 || i >= count()) return false;
    return items_[i].SetAt(kHoldFlagColumn, flag);
}

void StringList::Grow(int needed)
{
    if (needed <= capacity()) return;
    // The next whole hundred that holds them; a reallocation only moves the
    // records' buffer pointers, never their text.
    items_.reserve((needed + kCapacityStep - 1) / kCapacityStep * kCapacityStep);
}

void StringList::reserve(int records) { Grow(records); }

void StringList::append(const WString& record)
{
    Grow(count() + 1);
    items_.push_back(record);
}

void StringList::append(WString&& record)
{
    Grow(count() + 1);
    items_.push_back(static_cast<WString&&>(record));
}

void StringList::insert(int index, const WString& record)
{
    if (index < 0 || index > count()) return;
    Grow(count() + 1);
    items_.insert(items_.begin() + index, record);
}

void StringList::remove(int index)
{
    if (index < 0 || index >= count()) return;
    items_.erase(items_.begin() + index);
}

void StringList::clear() { items_.clear(); }

bool StringList::load(const WString& path)
{
    if (loadQuietly(path)) return true;
    ShowError((path + L"\nファイルがないのかもしれません").text());
    return false;
}

bool StringList::loadQuietly(const WString& path)
{
    clear();
    std::vector<char> bytes;
    if (!ReadWholeFile(path, bytes)) return false;
    const char* data = bytes.data();
    const size_t size = bytes.size();

    int lines = 0;
    for (const char* p = data; p && p < data + size; ++lines) {
        p = static_cast<const char*>(memchr(p, '\n', data + size - p));
        if (p) ++p;
    }
    Grow(lines);

    // Each line is converted with its LF, as a whole, and only then stripped
    // of LF and CR. No ANSI code page yields more UTF-16 units than bytes.
    std::vector<wchar_t> wide;
    size_t start = 0;
    while (start < size) {
        const char* line = data + start;
        const char* lf = static_cast<const char*>(memchr(line, '\n', size - start));
        const size_t length = lf ? static_cast<size_t>(lf - line) + 1 : size - start;
        if (wide.size() < length) wide.resize(length);
        int n = MultiByteToWideChar(CP_ACP, 0, line, static_cast<int>(length), wide.data(),
                                    static_cast<int>(wide.size()));
        if (n == 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
            // Only a code page with more units than bytes would get here.
            wide.resize(MultiByteToWideChar(CP_ACP, 0, line, static_cast<int>(length), nullptr, 0));
            n = MultiByteToWideChar(CP_ACP, 0, line, static_cast<int>(length), wide.data(),
                                    static_cast<int>(wide.size()));
        }
        if (n > 0 && wide[n - 1] == L'\n') --n;
        if (n > 0 && wide[n - 1] == L'\r') --n;
        items_.emplace_back(wide.data(), n);
        start += length;
    }
    return true;
}

bool StringList::save(const WString& path) const
{
    // A full path: ReplaceFileW under Wine takes the folder for its own
    // temporary name from the path and fails on a bare file name.
    wchar_t full[MAX_PATH * 4];
    const DWORD length = GetFullPathNameW(path.text(), MAX_PATH * 4, full, nullptr);
    if (length == 0 || length >= MAX_PATH * 4) return false;
    const WString target(full);
    // Writing "over" a folder must fail (Wine's ReplaceFileW would move the
    // folder aside).
    const DWORD attributes = GetFileAttributesW(target.text());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;

    const std::vector<char> bytes = EncodeSchedule(*this);
    // Same folder as the schedule, so the final rename never crosses volumes;
    // the process id keeps ZAV's and ZAVSet's saves apart.
    const WString temp = target + L"." + WString(static_cast<int>(GetCurrentProcessId())) + L".tmp";
    bool written;
    {
        UniqueHandle file(CreateFileW(temp.text(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        written = WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
    }
    bool keepTemp = false;
    if (written && PutInPlace(target, temp, &keepTemp)) return true;
    if (!keepTemp) DeleteFileW(temp.text());
    return false;
}

void InsertSorted(StringList& list, const WString& record)
{
    const WString key = SortKey(record);
    for (int i = 0; i < list.count(); ++i) {
        if (lstrcmpW(SortKey(list.at(i)).text(), key.text()) > 0) {
            list.insert(i, record);
            return;
        }
    }
    list.append(record);
}

#include "common/WString.h"

#include <climits>
#include <cstdarg>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <cstdlib>
#include <cstdio>
#include <utility>

namespace {

// A moved-from WString points here with capacity 0: it reads as the empty
// text, owns nothing, and the first assign or append allocates.
wchar_t g_movedFrom[1] = {L'\0'};

constexpr int kEmptyCapacity = 30;
constexpr int kGrowth = 30;
constexpr int kIntCapacity = 15;

int MeasureN(const wchar_t* text, int count) {
    int n = 0;
    if (text == nullptr) return 0;
    while (n < count && text[n] != L'\0') ++n;
    return n;
}

int Measure(const wchar_t* text) {
    return text == nullptr ? 0 : lstrlenW(text);
}

// The capacity for a text of `length` units: its length plus 30, or double
// the old capacity when that is more, so that a text built in many small
// appends is copied a logarithmic number of times, not once per 30 units.
int GrownCapacity(int capacity, int length) {
    int grown = length + kGrowth;
    if (capacity <= INT_MAX / 2 && capacity * 2 > grown) grown = capacity * 2;
    return grown;
}

}  // namespace

WString::WString() : capacity_(kEmptyCapacity), buffer_(new wchar_t[kEmptyCapacity]), length_(0) {
    buffer_[0] = L'\0';
}

WString::WString(const wchar_t* text) : WString(text, Measure(text)) {}

WString::WString(const wchar_t* text, int count) {
    length_ = count > 0 ? MeasureN(text, count) : 0;
    capacity_ = length_ + 1;
    buffer_ = new wchar_t[capacity_];
    if (length_ > 0) std::memcpy(buffer_, text, length_ * sizeof(wchar_t));
    buffer_[length_] = L'\0';
}

WString::WString(const char* ansi) {
    int needed = 0;
    if (ansi != nullptr) needed = MultiByteToWideChar(CP_ACP, 0, ansi, -1, nullptr, 0);
    if (needed <= 0) {
        capacity_ = 1;
        buffer_ = new wchar_t[1];
        buffer_[0] = L'\0';
        length_ = 0;
        return;
    }
    capacity_ = needed;
    buffer_ = new wchar_t[capacity_];
    if (MultiByteToWideChar(CP_ACP, 0, ansi, -1, buffer_, capacity_) <= 0) buffer_[0] = L'\0';
    buffer_[capacity_ - 1] = L'\0';
    length_ = lstrlenW(buffer_);
}

WString::WString(int value) : capacity_(kIntCapacity), buffer_(new wchar_t[kIntCapacity]), length_(0) {
    if (_itow_s(value, buffer_, kIntCapacity, 10) != 0) lstrcpynW(buffer_, L"error", kIntCapacity);
    length_ = lstrlenW(buffer_);
}

WString::WString(const WString& other)
    : capacity_(other.capacity_ > 0 ? other.capacity_ : 1),
      buffer_(new wchar_t[capacity_]),
      length_(other.length_) {
    std::memcpy(buffer_, other.buffer_, (length_ + 1) * sizeof(wchar_t));
}

WString::WString(WString&& other) noexcept
    : capacity_(other.capacity_), buffer_(other.buffer_), length_(other.length_) {
    other.capacity_ = 0;
    other.buffer_ = g_movedFrom;
    other.length_ = 0;
}

WString& WString::operator=(const WString& other) {
    if (this != &other) assign(other.buffer_);
    return *this;
}

WString& WString::operator=(WString&& other) noexcept {
    if (this != &other) {
        std::swap(capacity_, other.capacity_);
        std::swap(buffer_, other.buffer_);
        std::swap(length_, other.length_);
    }
    return *this;
}

WString& WString::operator=(const wchar_t* text) {
    assign(text);
    return *this;
}

WString::~WString() {
    if (buffer_ != g_movedFrom) delete[] buffer_;
}

WString WString::Format(const wchar_t* format, int value) {
    WString result;
    wchar_t out[kIntCapacity];
    int written = _snwprintf_s(out, kIntCapacity, kIntCapacity - 1, format, value);
    if (written < 0) {
        result.assign(L"error");
    } else {
        result.assign(out);
    }
    return result;
}

void WString::assign(const wchar_t* text) {
    if (text == buffer_) return;
    int n = Measure(text);
    if (capacity_ < n + 1) {
        // The text cannot lie inside our own buffer here: it is longer than
        // anything the buffer holds.
        int capacity = GrownCapacity(capacity_, n);
        wchar_t* grown = new wchar_t[capacity];
        std::memcpy(grown, text, n * sizeof(wchar_t));
        if (buffer_ != g_movedFrom) delete[] buffer_;
        buffer_ = grown;
        capacity_ = capacity;
    } else if (n > 0) {
        // memmove: the text may be a tail of our own buffer.
        std::memmove(buffer_, text, n * sizeof(wchar_t));
    }
    length_ = n;
    buffer_[length_] = L'\0';
}

void WString::append(const wchar_t* text) {
    int n = Measure(text);
    if (n == 0) return;
    int total = length_ + n;
    if (capacity_ < total + 1) {
        int capacity = GrownCapacity(capacity_, total);
        wchar_t* grown = new wchar_t[capacity];
        std::memcpy(grown, buffer_, length_ * sizeof(wchar_t));
        // The old buffer stays alive until here: text may point into it.
        std::memcpy(grown + length_, text, n * sizeof(wchar_t));
        if (buffer_ != g_movedFrom) delete[] buffer_;
        buffer_ = grown;
        capacity_ = capacity;
    } else {
        std::memmove(buffer_ + length_, text, n * sizeof(wchar_t));
    }
    length_ = total;
    buffer_[length_] = L'\0';
}

WString WString::Left(int n) const {
    if (n < 0 || n > length_) return WString();
    return WString(buffer_, n);
}

WString WString::Right(int n) const {
    if (n < 0 || n > length_) return WString();
    return WString(buffer_ + (length_ - n), n);
}

WString WString::From(int i) const {
    if (i < 0 || i >= length_) return WString();
    return WString(buffer_ + i, length_ - i);
}

WString WString::Mid(int i, int j) const {
    if (i < 0 || i >= length_ || j < i) return WString();
    if (j > length_ - 1) j = length_ - 1;
    return WString(buffer_ + i, j - i + 1);
}

int WString::Find(const wchar_t* sub) const {
    if (sub == nullptr || sub[0] == L'\0') return 0;
    const wchar_t* hit = std::wcsstr(buffer_, sub);
    return hit == nullptr ? -1 : static_cast<int>(hit - buffer_);
}

int WString::FindLast(wchar_t ch) const {
    for (int i = length_ - 1; i >= 0; --i) {
        if (buffer_[i] == ch) return i;
    }
    return -1;
}

bool WString::StartsWithNoCase(const wchar_t* prefix) const {
    int n = Measure(prefix);
    if (length_ < n) return false;
    WString head = Left(n);
    return lstrcmpiW(head.buffer_, prefix != nullptr ? prefix : L"") == 0;
}

bool WString::SetAt(int i, wchar_t ch) {
    if (i < 0 || i >= length_) return false;
    buffer_[i] = ch;
    if (ch == L'\0') length_ = i;
    return true;
}

WString WString::Trim() const {
    int first = 0;
    int last = length_ - 1;
    while (first <= last && buffer_[first] == L' ') ++first;
    while (last >= first && buffer_[last] == L' ') --last;
    return WString(buffer_ + first, last - first + 1);
}

WString WString::Unquote() const {
    WString trimmed = Trim();
    if (trimmed.length_ == 0 || trimmed.buffer_[0] != L'"') return trimmed;
    // The last unit goes whatever it is: a text that opens a quote and never
    // closes it loses its last character.
    if (trimmed.length_ < 2) return WString();
    return WString(trimmed.buffer_ + 1, trimmed.length_ - 2);
}

WString WString::Lower() const {
    WString result(*this);
    for (int i = 0; i < result.length_; ++i) result.buffer_[i] = towlower(result.buffer_[i]);
    return result;
}

WString WString::Upper() const {
    WString result(*this);
    for (int i = 0; i < result.length_; ++i) result.buffer_[i] = towupper(result.buffer_[i]);
    return result;
}

int WString::ToInt(int fallback) const {
    if (length_ == 0) return 0;
    wchar_t* end = nullptr;
    long value = std::wcstol(buffer_, &end, 10);
    if (end == nullptr || *end != L'\0') return fallback;
    return static_cast<int>(value);
}

AnsiText WString::ToAnsi() const {
    int needed = WideCharToMultiByte(CP_ACP, 0, buffer_, -1, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) {
        AnsiText empty(new char[1]);
        empty[0] = '\0';
        return empty;
    }
    AnsiText result(new char[needed]);
    if (WideCharToMultiByte(CP_ACP, 0, buffer_, -1, result.get(), needed, nullptr, nullptr) <= 0) {
        result[0] = '\0';
    }
    result[needed - 1] = '\0';
    return result;
}

wchar_t* WString::Duplicate() const {
    wchar_t* copy = new wchar_t[length_ + 1];
    std::memcpy(copy, buffer_, (length_ + 1) * sizeof(wchar_t));
    return copy;
}

bool WString::operator==(const WString& other) const {
    return length_ == other.length_ && std::wcscmp(buffer_, other.buffer_) == 0;
}

bool WString::operator==(const wchar_t* other) const {
    return std::wcscmp(buffer_, other != nullptr ? other : L"") == 0;
}

namespace {

// The joined text with a capacity of exactly its length plus the terminator.
WString Concat(const wchar_t* a, int la, const wchar_t* b, int lb) {
    int total = la + lb;
    wchar_t* joined = new wchar_t[total + 1];
    if (la > 0) std::memcpy(joined, a, la * sizeof(wchar_t));
    if (lb > 0) std::memcpy(joined + la, b, lb * sizeof(wchar_t));
    joined[total] = L'\0';
    WString result(joined, total);
    delete[] joined;
    return result;
}

}  // namespace

WString operator+(const WString& a, const wchar_t* b) {
    return Concat(a.text(), a.length(), b, b == nullptr ? 0 : lstrlenW(b));
}

WString operator+(const wchar_t* a, const WString& b) {
    return Concat(a, a == nullptr ? 0 : lstrlenW(a), b.text(), b.length());
}

WString operator+(const WString& a, const WString& b) {
    return Concat(a.text(), a.length(), b.text(), b.length());
}

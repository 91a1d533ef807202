// The owned UTF-16 text type of all three programs.
//
// Slicing operations never fail on bad indexes: they yield the empty text.
// Everything that takes text in stops at the first NUL, so a WString never
// holds an embedded NUL. Conversions to and from 8-bit text use CP_ACP.
#pragma once

#include <windows.h>

#include <memory>

// An 8-bit text in the ANSI code page, owned by the caller.
using AnsiText = std::unique_ptr<char[]>;

class WString {
public:
    WString();                          // empty, capacity 30
    WString(const wchar_t* text);       // NOLINT: implicit on purpose, texts are passed everywhere
    WString(const wchar_t* text, int count);  // the first count code units (stops at a NUL)
    explicit WString(const char* ansi); // converted from the ANSI code page
    explicit WString(int value);        // decimal, capacity 15
    WString(const WString& other);
    WString(WString&& other) noexcept;
    WString& operator=(const WString& other);
    WString& operator=(WString&& other) noexcept;
    WString& operator=(const wchar_t* text);
    ~WString();

    // One integer formatted with a printf-style format into at most 14 code
    // units; "error" when it does not fit.
    static WString Format(const wchar_t* format, int value);

    void assign(const wchar_t* text);
    void append(const wchar_t* text);
    WString& operator+=(const wchar_t* text) { append(text); return *this; }
    WString& operator+=(const WString& text) { append(text.text()); return *this; }

    WString Left(int n) const;
    WString Right(int n) const;
    WString From(int i) const;
    WString Mid(int i, int j) const;    // units i..j inclusive
    int Find(const wchar_t* sub) const;
    int FindLast(wchar_t ch) const;
    bool StartsWithNoCase(const wchar_t* prefix) const;
    bool SetAt(int i, wchar_t ch);
    WString Trim() const;
    WString Unquote() const;
    WString Lower() const;
    WString Upper() const;
    int ToInt(int fallback) const;
    AnsiText ToAnsi() const;

    const wchar_t* text() const { return buffer_; }
    wchar_t* Duplicate() const;         // new[]-allocated copy; the caller delete[]s it
    int length() const { return length_; }
    int capacity() const { return capacity_; }
    bool empty() const { return length_ == 0; }
    // The code unit at i, or NUL when i is out of range.
    wchar_t at(int i) const { return (i >= 0 && i < length_) ? buffer_[i] : L'\0'; }

    bool operator==(const WString& other) const;
    bool operator==(const wchar_t* other) const;
    bool operator!=(const WString& other) const { return !(*this == other); }
    bool operator!=(const wchar_t* other) const { return !(*this == other); }

private:
    int capacity_;
    wchar_t* buffer_;
    int length_;
};

WString operator+(const WString& a, const wchar_t* b);
WString operator+(const wchar_t* a, const WString& b);
WString operator+(const WString& a, const WString& b);

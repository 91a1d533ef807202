// A named block of paging-file memory, mapped whole, with a byte cursor.
#pragma once

#include <windows.h>

#include "common/WString.h"

class SharedBlock {
public:
    SharedBlock() = default;
    ~SharedBlock();
    SharedBlock(const SharedBlock&) = delete;
    SharedBlock& operator=(const SharedBlock&) = delete;

    bool create(const wchar_t* name, int size);
    bool open(const wchar_t* name);
    bool write(const void* source, int count);
    bool read(void* destination, int count);
    bool seek(int offset);
    // The NUL-terminated UTF-16 text at the cursor, found with one bounded
    // search and taken with one copy; the cursor then stands after its NUL.
    // A text that runs to the end of the block (or of the mapped pages) ends
    // there. False, taking nothing, when the text is longer than maxUnits
    // (it is not read), the cursor is at an odd offset, or the block is closed.
    bool readText(WString* text, int maxUnits);
    void close();

    bool isOpen() const { return view_ != nullptr; }
    int size() const { return size_; }
    int position() const { return position_; }
    const void* view() const { return view_; }
    HANDLE mapping() const { return mapping_; }

private:
    bool attach(HANDLE mapping, int size);
    bool fits(int count) const;

    int size_ = 0;          // 0 when opened by name: no bound checks then
    HANDLE mapping_ = nullptr;
    void* view_ = nullptr;
    int position_ = 0;
    int mapped_ = 0;        // bytes reachable from view_ (whole pages)
};


#include "common/SharedBlock.h"

#include <cstring>

#include "common/MessageBoxes.h"

SharedBlock::~SharedBlock() {
    if (isOpen() || mapping_ != nullptr) close();
}

namespace {

// Bytes really reachable from the view: the mapping rounded up to pages.
int MappedBytes(const void* view) {
    MEMORY_BASIC_INFORMATION info = {};
    if (VirtualQuery(view, &info, sizeof(info)) == 0) return 0;
    return info.RegionSize > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(info.RegionSize);
}

}  // namespace

bool SharedBlock::create(const wchar_t* name, int size) {
    if (isOpen() || mapping_ != nullptr) close();
    if (size <= 0) return false;
    return attach(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                     static_cast<DWORD>(size), name),
                  size);
}

bool SharedBlock::open(const wchar_t* name) {
    if (isOpen() || mapping_ != nullptr) close();
    return attach(OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, name), 0);
}

// Takes over a freshly created or opened mapping. A mapping whose view cannot
// be made is closed again here, so the block stays wholly closed and nothing
// is left for close() to report.
bool SharedBlock::attach(HANDLE mapping, int size) {
    if (mapping == nullptr) return false;
    void* view = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0);
    if (view == nullptr) {
        CloseHandle(mapping);
        return false;
    }
    mapping_ = mapping;
    view_ = view;
    size_ = size;
    mapped_ = MappedBytes(view);
    position_ = 0;
    return true;
}

// size_ is the bound the creator asked for; a block opened by name has none,
// but it still cannot go past the pages really mapped.
bool SharedBlock::fits(int count) const {
    if (view_ == nullptr || count < 0) return false;
    long long end = static_cast<long long>(position_) + count;
    if (size_ > 0 && end > size_) return false;
    return end <= mapped_;
}

bool SharedBlock::write(const void* source, int count) {
    if (!fits(count)) return false;
    if (count > 0) std::memcpy(static_cast<char*>(view_) + position_, source, count);
    position_ += count;
    return true;
}

bool SharedBlock::read(void* destination, int count) {
    if (!fits(count)) return false;
    if (count > 0) std::memcpy(destination, static_cast<const char*>(view_) + position_, count);
    position_ += count;
    return true;
}

bool SharedBlock::readText(WString* text, int maxUnits) {
    if (view_ == nullptr || maxUnits < 0 || position_ % 2 != 0) return false;
    int end = (size_ > 0 && size_ < mapped_) ? size_ : mapped_;
    int available = end > position_ ? (end - position_) / 2 : 0;
    int searched = available <= maxUnits ? available : maxUnits + 1;
    const wchar_t* start = reinterpret_cast<const wchar_t*>(static_cast<const char*>(view_) + position_);
    int length = 0;
    while (length < searched && start[length] != L'\0') ++length;
    if (length > maxUnits) return false;
    *text = WString(start, length);
    bool terminated = length < available;
    position_ += (length + (terminated ? 1 : 0)) * 2;
    return true;
}

bool SharedBlock::seek(int offset) {
    if (offset < 0) return false;
    if (size_ >= 1 && offset > size_) return false;
    position_ = offset;
    return true;
}

void SharedBlock::close() {
    if (view_ != nullptr) CheckWin32(UnmapViewOfFile(view_), "UnmapViewOfFile");
    if (mapping_ != nullptr) CheckWin32(CloseHandle(mapping_), "CloseHandle");
    view_ = nullptr;
    mapping_ = nullptr;
    size_ = 0;
    mapped_ = 0;
    position_ = 0;
}

// Quillon64's share of the C++ runtime. The program is built without
// exceptions; the runtime's throwing operator new would still bring in the
// whole exception machinery (over 100 KiB, more than the program itself).
// Here running out of memory ends the program, as everywhere in the system.
#include <windows.h>

#include <cstddef>

namespace {

void* Allocate(std::size_t size) {
    void* block = HeapAlloc(GetProcessHeap(), 0, size != 0 ? size : 1);
    if (block == nullptr) ExitProcess(ERROR_OUTOFMEMORY);
    return block;
}

void Release(void* block) {
    if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}

}  // namespace

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, std::size_t) noexcept { Release(block); }
void operator delete[](void* block, std::size_t) noexcept { Release(block); }

// Called by a new[] whose element count overflows.
extern "C" void __cxa_throw_bad_array_new_length() { ExitProcess(ERROR_OUTOFMEMORY); }

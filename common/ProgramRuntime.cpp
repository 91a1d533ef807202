// The C++ runtime pieces the shipped programs need, in the forms a program
// without exceptions wants. Linked into ZAV, ZAVSet and Quillon64 only (the
// tests keep the toolchain's own): defining these here keeps the linker from
// pulling in the runtime's exception, terminate-handler and demangler code,
// which is most of a statically linked program's size.
//
// Every one of them ends the program where the runtime would have thrown:
// product code catches nothing, so a throw would have ended it all the same
// (through abort, exit code 3, after a message to a console nobody sees).
#include <windows.h>

#include <cstdlib>
#include <new>

#include "common/ProgramRuntime.h"

namespace {

[[noreturn]] void EndProgram() {
    ExitProcess(kRuntimeFailureExitCode);
}

void* Allocate(std::size_t size) {
    void* memory = std::malloc(size != 0 ? size : 1);
    if (memory == nullptr) EndProgram();
    return memory;
}

}  // namespace

// One line a function: these read as the table they are.
// clang-format off
void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size != 0 ? size : 1); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size != 0 ? size : 1); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete(void* memory, const std::nothrow_t&) noexcept { std::free(memory); }
void operator delete[](void* memory, const std::nothrow_t&) noexcept { std::free(memory); }

// What the standard containers call on a length or index they cannot serve.
namespace std {
void __throw_bad_cast() { EndProgram(); }
void __throw_bad_alloc() { EndProgram(); }
void __throw_bad_typeid() { EndProgram(); }
void __throw_logic_error(const char*) { EndProgram(); }
void __throw_range_error(const char*) { EndProgram(); }
void __throw_domain_error(const char*) { EndProgram(); }
void __throw_length_error(const char*) { EndProgram(); }
void __throw_out_of_range(const char*) { EndProgram(); }
void __throw_bad_exception() { EndProgram(); }
void __throw_runtime_error(const char*) { EndProgram(); }
void __throw_overflow_error(const char*) { EndProgram(); }
void __throw_underflow_error(const char*) { EndProgram(); }
void __throw_invalid_argument(const char*) { EndProgram(); }
void __throw_out_of_range_fmt(const char*, ...) { EndProgram(); }
void __throw_bad_array_new_length() { EndProgram(); }
}  // namespace std

extern "C" {
void __cxa_bad_cast() { EndProgram(); }
void __cxa_bad_typeid() { EndProgram(); }
void __cxa_throw_bad_array_new_length() { EndProgram(); }
// A pure virtual function called during construction or destruction.
void __cxa_pure_virtual() { EndProgram(); }
void __cxa_deleted_virtual() { EndProgram(); }
}
// clang-format on

// A program built as the shipped ones are (no exceptions, ProgramRuntime.cpp
// linked in) that does one thing named by its argument and ends:
//   alloc  -> asks operator new for more memory than a 32-bit process has
//   at     -> asks a std::vector for an element past its end
//   pure   -> calls a pure virtual function from a constructor
//   fine   -> allocates a little and ends with 0
// Where the runtime would have thrown, ProgramRuntime ends the program with
// kRuntimeFailureExitCode.
#include <windows.h>

#include <cwchar>
#include <vector>

namespace {

struct Base;
void CallWork(Base* object);

struct Base {
    Base() { CallWork(this); }
    virtual ~Base() = default;
    virtual int Work() = 0;
};
struct Derived : Base {
    int Work() override { return 1; }
};

// Out of line, so the compiler cannot see that the call is made while Base
// is still being built.
__attribute__((noipa)) void CallWork(Base* object) {
    object->Work();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, wchar_t* arguments, int) {
    if (std::wcscmp(arguments, L"alloc") == 0) {
        volatile size_t size = static_cast<size_t>(-1) / 2;
        char* volatile memory = new char[size];
        memory[0] = 1;
        return 10;  // not reached: the allocation cannot succeed
    }
    if (std::wcscmp(arguments, L"at") == 0) {
        std::vector<int> values(2);
        return values.at(static_cast<size_t>(std::wcslen(arguments)));
    }
    if (std::wcscmp(arguments, L"pure") == 0) {
        Derived derived;
        return 11;
    }
    std::vector<int> values(1000, 7);
    return values[999] == 7 ? 0 : 12;
}

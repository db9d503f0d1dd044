// What std::terminate does in the launcher: it hands over to the last-resort
// filter (one warning, a crash dump, the trace's record), as any other fault
// does, instead of the C++ library's default. That default writes the
// exception's demangled type to a standard error no one sees in a windowed
// program, then aborts without a word; its name demangler alone is a sixth of
// the launcher's size. Linked into the launcher only (not the core library),
// so that it replaces the library's own definition.
#include <windows.h>

#include <cstdlib>

namespace {
// The system's code for a program that ends itself after a fatal error.
constexpr DWORD kFatalApplicationExit = 0x40000015;
}  // namespace

namespace __gnu_cxx {

void __verbose_terminate_handler() {
    ::RaiseException(kFatalApplicationExit, EXCEPTION_NONCONTINUABLE, 0, nullptr);
    std::abort();
}

}  // namespace __gnu_cxx

// Entry point of Vantapicker.exe.
#include <windows.h>

#include <cstdlib>

#include "app/Program.h"

#if defined(__GLIBCXX__)
// The C++ library's default end for an uncaught exception prints the exception's
// demangled type to standard error, which a windowed program does not have; its
// demangler and the formatted output it brings would be a fifth of the program's size.
// NOLINTNEXTLINE(readability-identifier-naming): the library's own name, replaced here.
namespace __gnu_cxx {
void __verbose_terminate_handler();
void __verbose_terminate_handler() {
    std::abort();
}
}  // namespace __gnu_cxx
#endif

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return vp::RunProgram(instance, ::GetCommandLineA());
}

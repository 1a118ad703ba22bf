// The program from its start to its end: single instance, registration switches,
// main window and message loop.
#pragma once

#include <windows.h>

namespace vp {

// Returns the process exit code.
int RunProgram(HINSTANCE instance, const char* commandLine);

}  // namespace vp

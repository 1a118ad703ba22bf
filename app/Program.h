// The program from its start to its end: single instance, registration switches,
// main window and message loop.
#pragma once

#include <windows.h>

namespace vp {

// Hands the window layer the program's texts: the error box's caption and the texts of
// failures that carry no message of their own. RunProgram does it first.
void InstallProgramTexts();

// Returns the process exit code.
int RunProgram(HINSTANCE instance, const char* commandLine);

}  // namespace vp

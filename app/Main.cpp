// Entry point of Vantapicker.exe.
#include <windows.h>

#include "app/Program.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return vp::RunProgram(instance, ::GetCommandLineA());
}

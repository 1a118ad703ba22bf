// Starting the real Vantapicker.exe from a test and watching it from outside.
#pragma once

#include <windows.h>

#include <string>

#include "win/Handle.h"

namespace vp {

// Full path of Vantapicker.exe, which the build puts beside the test program; the
// environment variable VP_TEST_PROGRAM names another copy (an installed one).
std::string ProgramPath();

class AppProcess {
public:
    // Starts the program with the given arguments (after its own path); `program` names
    // another copy than ProgramPath().
    explicit AppProcess(const std::string& arguments = "", const std::u16string& program = {});
    ~AppProcess();  // ends the process if it still runs
    AppProcess(const AppProcess&) = delete;
    AppProcess& operator=(const AppProcess&) = delete;

    // Waits for the process to end; its exit code, or -1 on time-out.
    long WaitForExit(DWORD timeoutMs = 10000);
    bool IsRunning() const;
    HANDLE Process() const { return process_.Get(); }

private:
    win::KernelHandle process_;
};

// Puts the default catalogue that the build made where setup puts it (the Windows
// directory) and removes a user's own copy, as on a newly installed machine.
void InstallDefaultCatalogue();
// Removes every site list file that the program could read at start-up.
void RemoveSiteLists();

// The program's hidden main window, once it exists (null after the time-out).
HWND WaitForMainWindow(DWORD timeoutMs = 10000);

}  // namespace vp

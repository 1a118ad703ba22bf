// Vantapicker.exe started for a test on a freshly installed machine's state, with the
// means to reach its windows and its tray menu from outside.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "sites/SiteCatalogue.h"
#include "tests/win/AppProcess.h"
#include "tests/win/Fixtures.h"

namespace vp {

// No settings, no history, the default catalogue in the Windows directory.
void ResetProgramState();

// The default catalogue as the program reads it.
SiteCatalogue InstalledCatalogue();

// The stored search history, newest first, up to the first missing position.
std::vector<std::string> StoredHistory();

class RunningApp {
public:
    explicit RunningApp(const std::string& arguments = "", const std::u16string& program = {});

    // True once start-up has finished: the main window, its search box and its
    // triggers exist (with a 32-bit selection fixture, the 32-bit hook too).
    bool Ready() const { return ready_; }
    HWND MainWindow() const { return mainWindow_; }
    HWND SearchBox() const { return searchBox_; }
    std::string SearchText() const;
    void SetSearchText(const std::string& text) const;
    AppProcess& Process() { return process_; }

    // The process id of the program's running host of the 32-bit hook
    // (VPHookHost32.exe), or 0.
    DWORD HookHost32() const;
    // Waits until a host other than `previous` runs and takes messages, so its hook is in
    // place; its process id, or 0 on time-out.
    DWORD WaitForHookHost32(DWORD previous = 0, DWORD timeoutMs = 10000) const;

    // Opens the tray menu as a right click on the icon does and leaves it open; its
    // window once shown, or null. (Its items cannot be read from another process under
    // Wine.)
    HWND OpenTrayMenu();
    // Chooses a tray menu item by its underlined letter, as a user would.
    bool ChooseTrayMenuItem(char mnemonic);
    // Ends the program through the tray menu's Exit; returns its exit code (-1 on
    // time-out).
    long ExitThroughTrayMenu();

    // Waits until the capture window of a trigger at `triggeredAt` (GetTickCount64) has
    // passed, then for an answer from the program's thread: what the program does within
    // and at the end of the window is done. False when the program does not answer.
    bool WaitPastCaptureWindow(ULONGLONG triggeredAt = ::GetTickCount64()) const;

private:
    AppProcess process_;
    HWND mainWindow_ = nullptr;
    HWND searchBox_ = nullptr;
    bool ready_ = false;
};

// Waits until no menu is shown (a chosen or dismissed one has closed); false on time-out.
bool WaitForNoMenu();

// Whether the process with this id still runs.
bool ProcessRuns(DWORD processId);

// A test of the real program whose searches reach the stand-in browser: the program's
// state reset before, its keys removed after.
class RecordedSearchTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    UrlRecorder recorder_;
    std::string defaultUrl_;  // of the default site, 0
};

}  // namespace vp

// Drives the program's dialogs from a test as a user would: buttons pressed, pages
// found, and modal boxes answered from a helper thread, so that a box that nobody
// expected fails the test instead of hanging it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace vp {

// Presses a dialog's button, as a click does.
void Press(HWND dialog, int button);
// The page of a tabbed dialog with the given title.
HWND PageOf(HWND dialog, const char* title);

// Runs `trigger` while a helper thread waits for the dialog titled `title` and answers
// it with `act`; true when the dialog came and went.
bool Answered(const char* title, const std::function<void(HWND)>& act,
              const std::function<void()>& trigger);
// Answers a message box with `button`, keeping its text.
std::function<void(HWND)> Reply(int button, std::string* text = nullptr);
// Fills the site properties dialog and presses OK (or `button`).
std::function<void(HWND)> FillSiteProperties(std::string name, std::string url, int button = IDOK);

}  // namespace vp

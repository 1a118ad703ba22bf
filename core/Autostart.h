// Start at logon: the value "Vantapicker.exe" under the current user's Run key, holding
// the program's path in double quotes so that a path with blanks names this program
// and nothing else. Task Manager's start-up list can switch that value off without
// removing it: it then marks it under the StartupApproved key.
#pragma once

#include <string>

namespace vp {

inline constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kAutostartValue[] = "Vantapicker.exe";
// A binary value of the Run value's name: its first byte is even while the value starts
// the program (2), odd when the user switched it off (3, then the time of that).
inline constexpr char kStartupApprovedKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

// The command that the Run value holds: the running program's executable in quotes, in
// UTF-16, as a folder's name may hold characters that the ANSI code page cannot.
std::u16string AutostartCommand();

// True when the Run value exists, quoted or not, and Task Manager has not switched it off.
bool IsAutostartSet();

// Writes (checked) or deletes the Run value, and removes Task Manager's mark of it either
// way: a ticked box starts the program again, a cleared one leaves no mark of a removed
// value. Without a Run key nothing is done: the key is never created. Failures are ignored.
void WriteAutostart(bool checked);

}  // namespace vp

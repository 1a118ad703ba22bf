// Start at logon: the value "Vantapicker.exe" under the current user's Run key, holding
// the program's path in double quotes so that a path with blanks names this program
// and nothing else.
#pragma once

#include <string>

namespace vp {

inline constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kAutostartValue[] = "Vantapicker.exe";

// The command that the Run value holds: the running program's executable in quotes.
std::string AutostartCommand();

// True when the Run value exists, quoted or not.
bool IsAutostartSet();

// Writes (checked) or deletes the Run value. Without a Run key nothing is done: the key
// is never created. Failures are ignored.
void WriteAutostart(bool checked);

}  // namespace vp

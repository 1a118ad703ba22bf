// Text services of the system: the ANSI code page's lead bytes and the string table.
#pragma once

#include <windows.h>

#include <string>

#include "base/AnsiText.h"

namespace vp {

// Lead bytes of the system's ANSI code page.
const LeadByteSet& SystemLeadBytes();

// A string-table entry of the program's module, cut to 255 characters (empty if absent).
std::string LoadResourceString(UINT id);

// The folder of the program's executable with a trailing backslash (empty if unknown).
// The last backslash is found by whole characters: in a double-byte code page a trail
// byte can have the backslash's value.
std::string ProgramFolder();

// The module whose resources the program uses: the executable.
HINSTANCE ProgramInstance();

}  // namespace vp

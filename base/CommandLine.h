// Recognises the registration switches at the end of the program's command line.
#pragma once

#include <string_view>

#include "base/AnsiText.h"

namespace vp {

enum class RegistrationSwitch { None, Register, Unregister };

// Looks for a '-' or '/' whose whole remaining text is "UnregServer" or "RegServer"
// (case-insensitive). So the switch counts only as the last thing on the line.
RegistrationSwitch FindRegistrationSwitch(std::string_view commandLine,
                                          const LeadByteSet& leadBytes);

}  // namespace vp

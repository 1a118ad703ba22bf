// Text services of the system: the ANSI code page's lead bytes and the string table.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "base/AnsiText.h"

namespace vp {

// Lead bytes of the system's ANSI code page.
const LeadByteSet& SystemLeadBytes();

// Windows' wide strings are UTF-16, the same units as the portable code's char16_t.
inline const wchar_t* WidePointer(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

// The text in the ANSI code page when it converts there and back without loss (no
// character replaced by the default one or by a look-alike); nothing otherwise.
std::optional<std::string> LosslessAnsi(std::u16string_view text);

// ANSI text of the system code page as UTF-16.
std::u16string AnsiToUtf16(std::string_view text);

// A string-table entry of the program's module in its language (win/Language.h), in
// the ANSI code page, cut to 255 bytes (empty if absent).
std::string LoadResourceString(UINT id);

// The program's executable, whatever its path's length and characters (empty if unknown).
std::u16string WideProgramPath();
// Its folder with a trailing backslash (empty if unknown).
std::u16string WideProgramFolder();

// The module whose resources the program uses: the executable.
HINSTANCE ProgramInstance();

}  // namespace vp

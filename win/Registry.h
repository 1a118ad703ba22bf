// Small helpers over the registry of the current user, on owned keys.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "win/Handle.h"

namespace vp::win {

// Opens an existing key; an empty RegKey when it cannot be opened. `error` receives
// the system error when given.
RegKey OpenKey(HKEY root, const char* path, REGSAM access, LONG* error = nullptr);
// Creates (or opens) a key with full access; an empty RegKey on failure.
RegKey CreateKey(HKEY root, const char* path, LONG* error = nullptr);

// Reads a value through a 4-byte buffer without looking at its type; nothing when the
// value is missing, longer than 4 bytes or the key is empty.
std::optional<std::uint32_t> ReadDword(HKEY key, const char* name);
LONG WriteDword(HKEY key, const char* name, std::uint32_t value);
// Writes a REG_SZ with its terminating zero.
LONG WriteString(HKEY key, const char* name, const std::string& value);

// A REG_SZ (or REG_EXPAND_SZ, unexpanded) read as Unicode, without its terminating zero;
// nothing when the value is missing, of another type or the key is empty.
std::optional<std::u16string> ReadWideString(HKEY key, const char* name);
// Writes a REG_SZ in Unicode with its terminating zero.
LONG WriteWideString(HKEY key, const char* name, std::u16string_view value);

// Deletes every value named by a position ("0", "1", ... in decimal, no leading zeros)
// of `first` or more, gaps in the numbering notwithstanding; other values stay.
void DeletePositionsFrom(HKEY key, std::size_t first);

}  // namespace vp::win

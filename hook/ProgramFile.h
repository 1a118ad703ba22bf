// The name by which a process is excluded from the gestures: the long form of its
// program file's name, as the list names it, also when the process was started by an
// 8.3 short name or from a path longer than MAX_PATH. Header-only and without the C
// runtime: the hook library and its 32-bit host both use it.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/ProgramNames.h"

namespace vp::hook {

// A buffer for any path Windows takes: the path goes in at kPathOffset, which leaves
// room in front for the long-path prefix.
inline constexpr DWORD kPathOffset = 8;
inline constexpr DWORD kLongPathUnits = kPathOffset + 32768;

// The hash of the long file name of the path of `length` units at buffer + kPathOffset
// (zero-terminated; `buffer` holds kLongPathUnits units and is used for the work). A
// name that cannot be made long (a folder that cannot be read) counts as it is.
inline std::uint64_t LongProgramNameHash(wchar_t* buffer, DWORD length) {
    wchar_t* path = buffer + kPathOffset;
    // Beyond MAX_PATH only the prefixed form is taken: "\\?\C:\..." or "\\?\UNC\server\...".
    if (length >= MAX_PATH && path[0] != L'\\' && path[1] == L':') {
        path -= 4;
        path[0] = path[1] = path[3] = L'\\';
        path[2] = L'?';
    } else if (length >= MAX_PATH && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'?' &&
               path[2] != L'.') {
        constexpr wchar_t kUnc[] = L"\\\\?\\UNC";  // replaces the first backslash
        path -= 6;
        for (int i = 0; i < 7; ++i) {
            path[i] = kUnc[i];
        }
    }
    const DWORD space = kLongPathUnits - static_cast<DWORD>(path - buffer);
    const DWORD longLength = ::GetLongPathNameW(path, path, space);
    if (longLength > 0 && longLength < space) {
        return HashProgramPath(path, longLength);
    }
    return HashProgramPath(buffer + kPathOffset, length);
}

}  // namespace vp::hook

// The programs in which no gesture is taken, named by their executable file names
// ("mstsc.exe;game.exe"), and the 64-bit hash under which a name travels to the hook
// library. The hashing part is header-only and calls nothing, not even the C runtime,
// so the hook procedure runs the very same loops on its own process's file name.
//
// Names are compared without case by one fixed rule, the same everywhere and independent
// of the system's locale: Unicode's simple case folding, one UTF-16 code unit at a time
// (base/CaseFold.h). A unit never becomes two, so "STRASSE.EXE" and "straße.exe" are
// different names, as they are different files.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/CaseFold.h"

namespace vp {

// How many names the hook library holds; more are refused where the list is edited.
inline constexpr int kMaxGestureExclusions = 32;

// The position after the last path separator ('\\', '/' or a drive's ':') of the first
// `length` units of `path`: where its file name starts.
template <typename Unit>
constexpr std::size_t ProgramFileNameStart(const Unit* path, std::size_t length) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < length; ++i) {
        if (path[i] == Unit('\\') || path[i] == Unit('/') || path[i] == Unit(':')) {
            start = i + 1;
        }
    }
    return start;
}

// FNV-1a (64 bits) over the folded UTF-16 code units, each fed low byte first.
template <typename Unit>
constexpr std::uint64_t HashProgramName(const Unit* name, std::size_t length) {
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (std::size_t i = 0; i < length; ++i) {
        const char16_t unit = FoldCase(static_cast<char16_t>(name[i]));
        hash = (hash ^ static_cast<std::uint8_t>(unit & 0xFF)) * 0x100000001B3ull;
        hash = (hash ^ static_cast<std::uint8_t>(unit >> 8)) * 0x100000001B3ull;
    }
    return hash;
}

// The hash of the file name part of a full path, as the hook takes its own process's.
template <typename Unit>
constexpr std::uint64_t HashProgramPath(const Unit* path, std::size_t length) {
    const std::size_t start = ProgramFileNameStart(path, length);
    return HashProgramName(path + start, length - start);
}

// The list as the user wrote it, one entry per name: entries are separated by ';',
// blanks and tabs around an entry are dropped, empty entries are skipped and a path
// keeps only its file name. Names that differ only in case count once (the first kept).
std::vector<std::u16string> ParseProgramList(std::u16string_view text);

// The hashes of a list's names, in order, for the hook library.
struct ProgramHashes {
    std::array<std::uint64_t, kMaxGestureExclusions> hashes{};
    int count = 0;

    bool operator==(const ProgramHashes&) const = default;
};

// Nothing when the list names more programs than the hook library holds.
std::optional<ProgramHashes> HashProgramList(std::u16string_view text);

}  // namespace vp

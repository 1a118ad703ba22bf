// What the program and VPHookHost32.exe, the host of the hook library for 32-bit
// applications, say to each other. A hook library enters only processes of its own
// bitness, so on 64-bit Windows a small 32-bit program installs VPHook32.dll for the
// program; the library reads the gestures from the state that the program writes.
//   VPHookHost32.exe TARGET_WINDOW PROGRAM_PROCESS_ID COUNT HASH...
// (decimal numbers: the window's handle and the process id of 32 bits, then how many
// programs keep their clicks, at most kMaxGestureExclusions, and as many 64-bit hashes of
// their names, base/ProgramNames.h). The host leaves the threads of those programs
// unhooked and hooks every other 32-bit thread with a window; then it posts
// kHostReadyMessage to the target window. kHostListMessage to its thread makes it take
// the program's new list from the hook state (the hook library's GetGestureExclusions):
// it hooks the threads of programs no longer named and unhooks those of programs named
// now, and its other hooks stay in place. WM_QUIT to its thread, or the end of the
// program's process, removes the hooks and ends the host.
// Portable: no Windows header.
#pragma once

#include <cstdint>
#include <optional>

#include "base/ProgramNames.h"

namespace vp::hook {

inline constexpr char16_t kHookHost32FileName[] = u"VPHookHost32.exe";
inline constexpr char16_t kHook32FileName[] = u"VPHook32.dll";

// To the program's main window: wParam the host's process id, lParam its thread id.
inline constexpr unsigned kHostReadyMessage = 0x8000 + 64;  // WM_APP+64
// To the program's main window, from its own wait on the host's process: it ended.
inline constexpr unsigned kHostEndedMessage = 0x8000 + 65;  // WM_APP+65
// To the host's thread, without parameters: the list of programs without gestures in the
// hook state has changed.
inline constexpr unsigned kHostListMessage = 0x8000 + 67;  // WM_APP+67

struct HostArguments {
    std::uint32_t targetWindow = 0;  // the low 32 bits of a window handle: all that is used
    std::uint32_t programProcessId = 0;
    ProgramHashes exclusions;
};

// The host's command line as Windows gives it: its own name (quoted or not), then the
// numbers, separated by blanks. False unless exactly that: every number within its
// field, a window and a process that are not zero, and as many hashes as counted (then
// `arguments` holds no meaning). Needs no C runtime, which the host goes without, and
// copies no structure, which might call it.
template <typename Unit>
constexpr bool ParseHostCommandLine(const Unit* commandLine, HostArguments& arguments) {
    if (commandLine == nullptr) {
        return false;
    }
    const Unit* at = commandLine;
    const auto isBlank = [](Unit unit) { return unit == Unit(' ') || unit == Unit('\t'); };
    if (*at == Unit('"')) {
        for (++at; *at != Unit(0) && *at != Unit('"'); ++at) {
        }
        if (*at == Unit('"')) {
            ++at;
        }
    } else {
        for (; *at != Unit(0) && !isBlank(*at); ++at) {
        }
    }
    // The next number, at most `largest`; nothing when there is none or it is larger.
    const auto next = [&](std::uint64_t largest) -> std::optional<std::uint64_t> {
        if (!isBlank(*at)) {
            return std::nullopt;
        }
        while (isBlank(*at)) {
            ++at;
        }
        if (*at < Unit('0') || *at > Unit('9')) {
            return std::nullopt;
        }
        std::uint64_t value = 0;
        for (; *at >= Unit('0') && *at <= Unit('9'); ++at) {
            const auto digit = static_cast<std::uint64_t>(*at - Unit('0'));
            if (value > (largest - digit) / 10) {
                return std::nullopt;
            }
            value = value * 10 + digit;
        }
        return value;
    };
    const auto window = next(0xFFFFFFFFu);
    const auto process = next(0xFFFFFFFFu);
    const auto count = next(static_cast<std::uint64_t>(kMaxGestureExclusions));
    if (!window || !process || !count || *window == 0 || *process == 0) {
        return false;
    }
    arguments.targetWindow = static_cast<std::uint32_t>(*window);
    arguments.programProcessId = static_cast<std::uint32_t>(*process);
    ProgramHashes& exclusions = arguments.exclusions;
    for (exclusions.count = 0; exclusions.count < static_cast<int>(*count); ++exclusions.count) {
        const auto hash = next(~std::uint64_t{0});
        if (!hash) {
            return false;
        }
        exclusions.hashes[static_cast<std::size_t>(exclusions.count)] = *hash;
    }
    while (isBlank(*at)) {
        ++at;
    }
    return *at == Unit(0);
}

}  // namespace vp::hook

// What the program and VPHookHost32.exe, the host of the hook library for 32-bit
// applications, say to each other. A hook library enters only processes of its own
// bitness, so on 64-bit Windows a small 32-bit program installs VPHook32.dll for the
// program and hands it the gestures.
//   VPHookHost32.exe TARGET_WINDOW PROGRAM_PROCESS_ID POPUP_GESTURE DEFAULT_GESTURE
// (decimal numbers; each gesture as PackGesture gives it). The host installs the hook
// for TARGET_WINDOW with these gestures and posts kHostReadyMessage to that window once
// it takes messages: the program answers with the gestures in force then. Later changes
// come as kHostGesturesMessage to the host's thread, the programs without gestures as
// kHostExclusionMessage halves followed by kHostExclusionsEndMessage; WM_QUIT to that thread, or
// the end of the program's process, removes the hook and ends the host. Portable: no Windows
// header.
#pragma once

#include <cstdint>
#include <optional>

#include "base/ProgramNames.h"

namespace vp::hook {

inline constexpr char kHookHost32FileName[] = "VPHookHost32.exe";
inline constexpr char kHook32FileName[] = "VPHook32.dll";

// To the host's thread: wParam the popup gesture, lParam the default-site gesture.
inline constexpr unsigned kHostGesturesMessage = 0x8000 + 1;  // WM_APP+1
// To the host's thread, one per half of a program name's hash: wParam the slot times two
// plus the half (0 low, 1 high), lParam those 32 bits.
inline constexpr unsigned kHostExclusionMessage = 0x8000 + 2;  // WM_APP+2
// To the host's thread after the halves: wParam how many names the list holds.
inline constexpr unsigned kHostExclusionsEndMessage = 0x8000 + 3;  // WM_APP+3
// To the program's main window: wParam the host's process id, lParam its thread id.
inline constexpr unsigned kHostReadyMessage = 0x8000 + 64;  // WM_APP+64
// To the program's main window, from its own wait on the host's process: it ended.
inline constexpr unsigned kHostEndedMessage = 0x8000 + 65;  // WM_APP+65

struct GestureSetting {
    std::uint32_t modifierIndex = 0;
    std::uint32_t buttonIndex = 0;
    bool enable = false;
};

// One gesture in 32 bits. An index beyond 254 becomes 255, which is out of range as it
// was, so the hook keeps its previous value just as for the original index.
constexpr std::uint32_t PackGesture(const GestureSetting& gesture) {
    const std::uint32_t modifier = gesture.modifierIndex < 0xFF ? gesture.modifierIndex : 0xFF;
    const std::uint32_t button = gesture.buttonIndex < 0xFF ? gesture.buttonIndex : 0xFF;
    return modifier | (button << 8) | (gesture.enable ? 1u << 16 : 0u);
}

constexpr GestureSetting UnpackGesture(std::uint32_t packed) {
    return {packed & 0xFF, (packed >> 8) & 0xFF, ((packed >> 16) & 1) != 0};
}

// The host's side of the list of programs without gestures: puts the halves together
// and gives the whole list once its end arrives. Halves for slots outside the list are
// ignored; a slot that got no half since the last end counts as 0.
class ExclusionAssembly {
public:
    constexpr void TakeHalf(std::uint32_t slotAndHalf, std::uint32_t bits) {
        const std::uint32_t slot = slotAndHalf / 2;
        if (slot >= static_cast<std::uint32_t>(kMaxGestureExclusions)) {
            return;
        }
        const std::uint64_t value = static_cast<std::uint64_t>(bits) << (slotAndHalf % 2 * 32);
        const std::uint64_t keep = slotAndHalf % 2 ? 0xFFFFFFFFull : 0xFFFFFFFF00000000ull;
        hashes_[slot] = (hashes_[slot] & keep) | value;
    }
    // The list as sent: the first `count` hashes (at most the hook's capacity). The
    // assembly starts afresh.
    constexpr int End(std::uint32_t count, std::uint64_t (&hashes)[kMaxGestureExclusions]) {
        const int taken = count < static_cast<std::uint32_t>(kMaxGestureExclusions)
                              ? static_cast<int>(count)
                              : kMaxGestureExclusions;
        for (int i = 0; i < kMaxGestureExclusions; ++i) {
            hashes[i] = i < taken ? hashes_[i] : 0;
            hashes_[i] = 0;
        }
        return taken;
    }

private:
    std::uint64_t hashes_[kMaxGestureExclusions] = {};
};

struct HostArguments {
    std::uint32_t targetWindow = 0;  // the low 32 bits of a window handle: all that is used
    std::uint32_t programProcessId = 0;
    GestureSetting popup;
    GestureSetting defaultSite;
};

// The host's command line as Windows gives it: its own name (quoted or not), then four
// decimal numbers of 32 bits separated by blanks. Nothing unless exactly that, with a
// window and a process that are not zero. Needs no C runtime, which the host goes without.
constexpr std::optional<HostArguments> ParseHostCommandLine(const char* commandLine) {
    if (commandLine == nullptr) {
        return std::nullopt;
    }
    const char* at = commandLine;
    if (*at == '"') {
        for (++at; *at != '\0' && *at != '"'; ++at) {
        }
        if (*at == '"') {
            ++at;
        }
    } else {
        for (; *at != '\0' && *at != ' ' && *at != '\t'; ++at) {
        }
    }
    std::uint32_t numbers[4] = {};
    for (std::uint32_t& number : numbers) {
        if (*at != ' ' && *at != '\t') {
            return std::nullopt;
        }
        while (*at == ' ' || *at == '\t') {
            ++at;
        }
        if (*at < '0' || *at > '9') {
            return std::nullopt;
        }
        std::uint64_t value = 0;
        for (; *at >= '0' && *at <= '9'; ++at) {
            value = value * 10 + static_cast<std::uint64_t>(*at - '0');
            if (value > 0xFFFFFFFFull) {
                return std::nullopt;
            }
        }
        number = static_cast<std::uint32_t>(value);
    }
    while (*at == ' ' || *at == '\t') {
        ++at;
    }
    if (*at != '\0' || numbers[0] == 0 || numbers[1] == 0) {
        return std::nullopt;
    }
    return HostArguments{numbers[0], numbers[1], UnpackGesture(numbers[2]),
                         UnpackGesture(numbers[3])};
}

}  // namespace vp::hook

// The gesture hook's state, which the program writes and every copy of the hook library
// reads: one named file mapping per user and session, laid out the same for 32-bit and
// 64-bit code. Portable and header-only: no Windows header, no C runtime.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/ProgramNames.h"
#include "hook/GestureMatch.h"

namespace vp::hook {

struct HookState {
    // The window that receives the triggers; window handles have 32 significant bits and
    // are widened by sign extension, as Windows does between 32-bit and 64-bit code.
    std::int32_t targetWindow;
    // The one process whose calls write the state: the program. Another may take its
    // place only once it has gone (its window with it).
    std::uint32_t writerProcess;
    // The program's mandatory integrity level (the label's relative id). A process below
    // it cannot post to the program's window and stays passive.
    std::uint32_t programIntegrity;
    // The two gestures, each one whole word (PackGesture).
    std::uint32_t popup;
    std::uint32_t defaultSite;
    // The programs that keep their clicks: hashes of their file names
    // (base/ProgramNames.h). The counter moves after each new list or writer is in place,
    // so each process works out again whether it takes gestures.
    std::int32_t exclusionCount;
    std::int32_t exclusionChange;
    std::uint32_t unused;
    std::uint64_t exclusionHashes[kMaxGestureExclusions];
};
static_assert(offsetof(HookState, exclusionHashes) == 32 && sizeof(HookState) == 288,
              "the layout is shared by 32-bit and 64-bit code");

// A gesture in one word: the button-down message in bits 0..15, the modifier mask in
// bits 16..23, enabled in bit 24.
constexpr std::uint32_t PackGesture(const Gesture& gesture) {
    return (gesture.buttonMessage & 0xFFFF) | ((gesture.modifiers & 0xFF) << 16) |
           (gesture.enabled ? 1u << 24 : 0u);
}

constexpr Gesture UnpackGesture(std::uint32_t packed) {
    return {packed & 0xFFFF, (packed >> 16) & 0xFF, ((packed >> 24) & 1) != 0};
}

// What the state holds before the program sets anything: the first mouse messages are
// no button messages, so nothing matches until a gesture is set.
constexpr HookState InitialHookState() {
    return {0, 0, 0, PackGesture({1, kControlKey, false}), PackGesture({0, kControlKey, false}), 0,
            0, 0, {}};
}

// The state's file mapping is named in the session's own namespace and, after this
// prefix, by the user's SID: another session or another user never finds it.
inline constexpr char kHookStatePrefix[] = "Local\\QH_VantapickerHookState_";
// A prefix, "S-1-" and up to 15 sub-authorities of 10 digits each, with room to spare.
inline constexpr std::size_t kSidTextUnits = 256;

// Writes `prefix`, the SID in text ("S-1-5-21-...", every number in decimal), `suffix`
// and a terminating zero into `out`. `sid` holds the SID's binary form: revision, count
// of sub-authorities, the 6-byte big-endian authority and the little-endian 32-bit
// sub-authorities. False when the SID is malformed or the text does not fit.
template <typename Unit>
constexpr bool SidText(const char* prefix, const std::uint8_t* sid, std::size_t sidSize,
                       const char* suffix, Unit* out, std::size_t capacity) {
    std::size_t at = 0;
    const auto put = [&](char c) {
        if (at + 1 < capacity) {
            out[at] = static_cast<Unit>(c);
        }
        ++at;
    };
    const auto putNumber = [&](std::uint64_t value) {
        char digits[20] = {};
        int count = 0;
        do {
            digits[count++] = static_cast<char>('0' + value % 10);
            value /= 10;
        } while (value != 0);
        while (count > 0) {
            put(digits[--count]);
        }
    };
    if (sid == nullptr || sidSize < 8 || sid[0] != 1 || sid[1] > 15 ||
        sidSize < 8 + 4 * static_cast<std::size_t>(sid[1])) {
        return false;
    }
    const auto putText = [&](const char* text) {
        for (; *text != '\0'; ++text) {
            put(*text);
        }
    };
    putText(prefix);
    put('S');
    put('-');
    putNumber(sid[0]);
    put('-');
    std::uint64_t authority = 0;
    for (int i = 2; i < 8; ++i) {
        authority = authority << 8 | sid[i];
    }
    putNumber(authority);
    for (std::size_t i = 0; i < sid[1]; ++i) {
        const std::uint8_t* part = sid + 8 + 4 * i;
        put('-');
        putNumber(static_cast<std::uint32_t>(part[0]) | static_cast<std::uint32_t>(part[1]) << 8 |
                  static_cast<std::uint32_t>(part[2]) << 16 |
                  static_cast<std::uint32_t>(part[3]) << 24);
    }
    putText(suffix);
    if (at + 1 > capacity) {
        return false;
    }
    out[at] = Unit(0);
    return true;
}

}  // namespace vp::hook

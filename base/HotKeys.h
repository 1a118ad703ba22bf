// The hot keys that the settings can name, as the system's RegisterHotKey takes them.
#pragma once

#include <cstdint>
#include <optional>

namespace vp {

// Modifier index 0 Ctrl, 1 Shift, 2 Ctrl+Shift to MOD_ flags; nothing for another index.
constexpr std::optional<std::uint32_t> HotKeyModifiers(std::uint32_t modifierIndex) {
    constexpr std::uint32_t kModControl = 0x2;
    constexpr std::uint32_t kModShift = 0x4;
    switch (modifierIndex) {
        case 0:
            return kModControl;
        case 1:
            return kModShift;
        case 2:
            return kModControl | kModShift;
        default:
            return std::nullopt;
    }
}

// Key index to virtual key: 0..9 F1..F10, 10..19 the digit keys 0..9, 20..45 A..Z;
// nothing from 46 on.
constexpr std::optional<std::uint32_t> HotKeyVirtualKey(std::uint32_t keyIndex) {
    if (keyIndex < 10) {
        return 0x70 + keyIndex;  // VK_F1..VK_F10
    }
    if (keyIndex < 20) {
        return 0x26 + keyIndex;  // '0'..'9'
    }
    if (keyIndex < 46) {
        return 0x2D + keyIndex;  // 'A'..'Z'
    }
    return std::nullopt;
}

// The key list's labels, position by position as HotKeyVirtualKey reads them: each digit
// key is labelled with its own digit.
inline constexpr int kHotKeyCount = 46;
inline constexpr const char* HotKeyNames[kHotKeyCount] = {
    "F1", "F2", "F3", "F4", "F5", "F6", "F7", "F8", "F9", "F10",                      //
    "0",  "1",  "2",  "3",  "4",  "5",  "6",  "7",  "8",  "9",                        //
    "A",  "B",  "C",  "D",  "E",  "F",  "G",  "H",  "I",  "J",   "K", "L", "M", "N",  //
    "O",  "P",  "Q",  "R",  "S",  "T",  "U",  "V",  "W",  "X",   "Y", "Z",
};

}  // namespace vp

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

}  // namespace vp

// The trigger settings and the activation state in HKCU\...\Vantapicker\Settings.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vp {

// The twelve trigger values, with the defaults that apply while nothing is stored:
// popup on Ctrl + right button and Ctrl+F1, default site on Ctrl+Shift + left button
// and Ctrl+F2.
struct TriggerSettings {
    std::uint32_t PopupWindowButton = 1;  // 0 left, 1 right, 2 middle, 3 X button
    std::uint32_t DefaultActionButton = 0;
    std::uint32_t PopupWindowKey = 0;  // 0 Ctrl, 1 Shift, 2 Ctrl+Shift
    std::uint32_t DefaultActionKey = 2;
    bool EnablePopupWindow = true;
    bool EnableDefaultAction = true;
    std::uint32_t PopupWindowHotModifier = 0;
    std::uint32_t DefaultActionHotModifier = 0;
    std::uint32_t PopupWindowHotKey = 0;  // 0..9 F1..F10, 10..19 digits, 20..45 A..Z
    std::uint32_t DefaultActionHotKey = 1;
    bool EnablePopupWindowHotKey = true;
    bool EnableDefaultActionHotKey = true;
};

// Reads the stored values over the given ones: a value that cannot be read (missing,
// longer than 4 bytes, no key) keeps what is in memory. Types are not examined.
void ReadTriggerSettings(TriggerSettings& settings);

// The twelve values as the Options dialog stores them: a value that is nothing (a list
// without selection, or a value that a policy fixes) is not written, so the stored one
// stays.
struct TriggerSettingsUpdate {
    std::optional<std::uint32_t> PopupWindowButton;
    std::optional<std::uint32_t> DefaultActionButton;
    std::optional<std::uint32_t> PopupWindowKey;
    std::optional<std::uint32_t> DefaultActionKey;
    std::optional<bool> EnableDefaultAction;
    std::optional<bool> EnablePopupWindow;
    std::optional<std::uint32_t> PopupWindowHotModifier;
    std::optional<std::uint32_t> DefaultActionHotModifier;
    std::optional<std::uint32_t> PopupWindowHotKey;
    std::optional<std::uint32_t> DefaultActionHotKey;
    std::optional<bool> EnableDefaultActionHotKey;
    std::optional<bool> EnablePopupWindowHotKey;
};

// Stores the given values as REG_DWORD (flags as 1 or 0); raises _qh_error (110, 111) when the
// Settings key cannot be written. The result of each single write is ignored.
void WriteTriggerSettings(const TriggerSettingsUpdate& settings);

// RestoreClipboard: whether a capture puts the user's clipboard back (default false).
bool ReadRestoreClipboard();
// Stores RestoreClipboard as REG_DWORD; off, the default, is written only over a stored
// value, so a user who never turned it on keeps the Settings key as it was. Raises _qh_error (110,
// 111) when the key cannot be written.
void WriteRestoreClipboard(bool restore);

// GestureExclusions: the programs without gestures as the user wrote them (a REG_SZ of
// file names separated by ';', see base/ProgramNames.h); empty when not stored.
std::u16string ReadGestureExclusions();
// Stores GestureExclusions; an empty list is written only when a list is stored, so a
// user who never named a program keeps the Settings key as it was. Raises _qh_error
// (110, 111) when the key cannot be written.
void WriteGestureExclusions(std::u16string_view programs);

// ReadSelectionDirectly: whether a trigger reads the selection from the focused control
// before it falls back to a copy (default true).
bool ReadSelectionDirectly();
// Stores ReadSelectionDirectly as REG_DWORD; on, the default, is written only over a
// stored value, so a user who never turned it off keeps the Settings key as it was.
// Raises _qh_error (110, 111) when the key cannot be written.
void WriteReadSelectionDirectly(bool direct);

// Reads ActiveState over `active` (kept when it cannot be read).
void ReadActiveState(bool& active);
// Stores ActiveState; raises _qh_error (110, 111) when the key cannot be written.
void WriteActiveState(bool active);

}  // namespace vp

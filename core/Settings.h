// The trigger settings and the activation state in HKCU\...\Vantapicker\Settings.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/Configuration.h"

namespace vp {

// Reads the stored trigger values (each under its policy's name) over the given ones: a
// value that cannot be read (missing, longer than 4 bytes, no key) keeps what is in
// memory. Types are not examined.
void ReadTriggerSettings(UserSettings& settings);

// Stores the given trigger values as REG_DWORD under their policies' names (flags as 1 or
// 0); a value not given (a list without selection, or a value that a policy fixes) is not
// written, so the stored one stays. Raises _qh_error (110, 111) when the Settings key
// cannot be written. The result of each single write is ignored.
void WriteTriggerSettings(const std::vector<std::pair<PolicyId, std::uint32_t>>& values);

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

// The ids of the Selected key ("0", "1", ...) up to the first missing position, each value
// read as up to four bytes; nothing when the key does not open.
std::optional<std::vector<std::int32_t>> ReadSelectedSiteIds();

// DefaultSite as stored (up to four bytes of any type), 0 when it cannot be read.
std::uint32_t ReadDefaultSite();

// Reads ActiveState over `active` (kept when it cannot be read).
void ReadActiveState(bool& active);
// Stores ActiveState; raises _qh_error (110, 111) when the key cannot be written.
void WriteActiveState(bool active);

}  // namespace vp

#include "core/Settings.h"

#include <windows.h>

#include <string>

#include "core/RegistryKeys.h"
#include "win/Registry.h"

namespace vp {
namespace {

void Read(HKEY key, const char* name, std::uint32_t& value) {
    if (auto stored = win::ReadDword(key, name)) {
        value = *stored;
    }
}

void Read(HKEY key, const char* name, bool& value) {
    if (auto stored = win::ReadDword(key, name)) {
        value = *stored != 0;
    }
}

void Write(HKEY key, const char* name, bool value) {
    win::WriteDword(key, name, value ? 1 : 0);
}

bool ReadFlag(const char* name, bool defaultValue) {
    bool value = defaultValue;
    win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kSettingsKey, KEY_READ);
    Read(key.Get(), name, value);
    return value;
}

// A flag at its default is written only over a stored value, so a user who never changed
// it keeps the Settings key as it was.
void WriteFlag(const char* name, bool value, bool defaultValue) {
    if (value == defaultValue) {
        win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kSettingsKey, KEY_READ);
        if (!win::ReadDword(key.Get(), name)) {
            return;
        }
    }
    win::RegKey key = OpenSettingsForWriting();
    Write(key.Get(), name, value);
}

}  // namespace

void ReadTriggerSettings(UserSettings& settings) {
    win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kSettingsKey, KEY_READ);
    for (std::size_t row = 0; row < kTriggerSettingCount; ++row) {
        const PolicySetting& setting = kPolicySettings[row];
        const char* name = kPolicies[static_cast<std::size_t>(setting.policy)].name;
        if (setting.number != nullptr) {
            Read(key.Get(), name, settings.*setting.number);
        } else {
            Read(key.Get(), name, settings.*setting.flag);
        }
    }
}

void WriteTriggerSettings(const std::vector<std::pair<PolicyId, std::uint32_t>>& values) {
    win::RegKey key = OpenSettingsForWriting();
    for (const auto& [policy, value] : values) {
        win::WriteDword(key.Get(), kPolicies[static_cast<std::size_t>(policy)].name, value);
    }
}

std::optional<std::vector<std::int32_t>> ReadSelectedSiteIds() {
    win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kSelectedKey, KEY_READ);
    if (!key) {
        return std::nullopt;
    }
    std::vector<std::int32_t> ids;
    for (unsigned position = 0;; ++position) {
        auto id = win::ReadDword(key.Get(), std::to_string(position).c_str());
        if (!id) {
            return ids;
        }
        ids.push_back(static_cast<std::int32_t>(*id));
    }
}

std::uint32_t ReadDefaultSite() {
    win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kSettingsKey, KEY_READ);
    return win::ReadDword(key.Get(), kDefaultSiteValue).value_or(0);
}

void ReadActiveState(bool& active) {
    win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kSettingsKey, KEY_READ);
    Read(key.Get(), "ActiveState", active);
}

void WriteActiveState(bool active) {
    win::RegKey key = OpenSettingsForWriting();
    win::WriteDword(key.Get(), "ActiveState", active ? 1 : 0);
}

bool ReadRestoreClipboard() {
    return ReadFlag("RestoreClipboard", false);
}

void WriteRestoreClipboard(bool restore) {
    WriteFlag("RestoreClipboard", restore, false);
}

std::u16string ReadGestureExclusions() {
    win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kSettingsKey, KEY_READ);
    return win::ReadWideString(key.Get(), "GestureExclusions").value_or(std::u16string());
}

void WriteGestureExclusions(std::u16string_view programs) {
    if (programs.empty() && ReadGestureExclusions().empty()) {
        return;
    }
    win::RegKey key = OpenSettingsForWriting();
    win::WriteWideString(key.Get(), "GestureExclusions", programs);
}

bool ReadSelectionDirectly() {
    return ReadFlag("ReadSelectionDirectly", true);
}

void WriteReadSelectionDirectly(bool direct) {
    WriteFlag("ReadSelectionDirectly", direct, true);
}

}  // namespace vp

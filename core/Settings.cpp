#include "core/Settings.h"

#include <windows.h>

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

template <typename Value>
void Write(HKEY key, const char* name, const std::optional<Value>& value) {
    if (value) {
        win::WriteDword(key, name, static_cast<std::uint32_t>(*value));
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

void ReadTriggerSettings(TriggerSettings& settings) {
    win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kSettingsKey, KEY_READ);
    Read(key.Get(), "PopupWindowButton", settings.PopupWindowButton);
    Read(key.Get(), "PopupWindowKey", settings.PopupWindowKey);
    Read(key.Get(), "EnablePopupWindow", settings.EnablePopupWindow);
    Read(key.Get(), "DefaultActionButton", settings.DefaultActionButton);
    Read(key.Get(), "DefaultActionKey", settings.DefaultActionKey);
    Read(key.Get(), "EnableDefaultAction", settings.EnableDefaultAction);
    Read(key.Get(), "EnablePopupWindowHotKey", settings.EnablePopupWindowHotKey);
    Read(key.Get(), "PopupWindowHotModifier", settings.PopupWindowHotModifier);
    Read(key.Get(), "PopupWindowHotKey", settings.PopupWindowHotKey);
    Read(key.Get(), "EnableDefaultActionHotKey", settings.EnableDefaultActionHotKey);
    Read(key.Get(), "DefaultActionHotModifier", settings.DefaultActionHotModifier);
    Read(key.Get(), "DefaultActionHotKey", settings.DefaultActionHotKey);
}

void WriteTriggerSettings(const TriggerSettingsUpdate& settings) {
    win::RegKey key = OpenSettingsForWriting();
    Write(key.Get(), "PopupWindowButton", settings.PopupWindowButton);
    Write(key.Get(), "DefaultActionButton", settings.DefaultActionButton);
    Write(key.Get(), "PopupWindowKey", settings.PopupWindowKey);
    Write(key.Get(), "DefaultActionKey", settings.DefaultActionKey);
    Write(key.Get(), "EnableDefaultAction", settings.EnableDefaultAction);
    Write(key.Get(), "EnablePopupWindow", settings.EnablePopupWindow);
    Write(key.Get(), "PopupWindowHotModifier", settings.PopupWindowHotModifier);
    Write(key.Get(), "DefaultActionHotModifier", settings.DefaultActionHotModifier);
    Write(key.Get(), "PopupWindowHotKey", settings.PopupWindowHotKey);
    Write(key.Get(), "DefaultActionHotKey", settings.DefaultActionHotKey);
    Write(key.Get(), "EnableDefaultActionHotKey", settings.EnableDefaultActionHotKey);
    Write(key.Get(), "EnablePopupWindowHotKey", settings.EnablePopupWindowHotKey);
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

// The user's settings with the policies over them: what is in force, and what a policy
// fixes so that the user's own value has no say. This is the one place where a policy
// goes before the user's value, which goes before the default.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Policies.h"

namespace vp {

// The twelve trigger values, with the defaults that apply while nothing is stored:
// popup on Ctrl + right button and Ctrl+F1, default site on Ctrl+Shift + left button
// and Ctrl+F2. Each is stored under its policy's name.
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

// Every value a policy can decide, as the user left it (each missing one at its default),
// or as it is in force.
struct UserSettings : TriggerSettings {
    bool RunAtLogon = false;  // the Run value is there and not switched off
    bool RestoreClipboard = false;
    bool ReadSelectionDirectly = true;
    std::u16string GestureExclusions;  // list text (base/ProgramNames.h)
    std::uint32_t DefaultSite = 0;     // a site id as stored, four bytes
    // The visible site ids in their order; nothing: the first seven ids.
    std::optional<std::vector<std::int32_t>> VisibleSites;
    bool AllowSiteEditing = true;   // policy only
    bool KeepSearchHistory = true;  // policy only
};

// The one table of the settings that a Flag or Number policy decides.
struct PolicySetting {
    PolicyId policy;
    std::uint32_t UserSettings::*number = nullptr;
    bool UserSettings::*flag = nullptr;
};
inline constexpr PolicySetting kPolicySettings[] = {
    {PolicyId::EnablePopupWindow, nullptr, &UserSettings::EnablePopupWindow},
    {PolicyId::PopupWindowKey, &UserSettings::PopupWindowKey},
    {PolicyId::PopupWindowButton, &UserSettings::PopupWindowButton},
    {PolicyId::EnablePopupWindowHotKey, nullptr, &UserSettings::EnablePopupWindowHotKey},
    {PolicyId::PopupWindowHotModifier, &UserSettings::PopupWindowHotModifier},
    {PolicyId::PopupWindowHotKey, &UserSettings::PopupWindowHotKey},
    {PolicyId::EnableDefaultAction, nullptr, &UserSettings::EnableDefaultAction},
    {PolicyId::DefaultActionKey, &UserSettings::DefaultActionKey},
    {PolicyId::DefaultActionButton, &UserSettings::DefaultActionButton},
    {PolicyId::EnableDefaultActionHotKey, nullptr, &UserSettings::EnableDefaultActionHotKey},
    {PolicyId::DefaultActionHotModifier, &UserSettings::DefaultActionHotModifier},
    {PolicyId::DefaultActionHotKey, &UserSettings::DefaultActionHotKey},
    {PolicyId::RunAtLogon, nullptr, &UserSettings::RunAtLogon},
    {PolicyId::RestoreClipboard, nullptr, &UserSettings::RestoreClipboard},
    {PolicyId::ReadSelectionDirectly, nullptr, &UserSettings::ReadSelectionDirectly},
    {PolicyId::DefaultSite, &UserSettings::DefaultSite},
    {PolicyId::AllowSiteEditing, nullptr, &UserSettings::AllowSiteEditing},
    {PolicyId::KeepSearchHistory, nullptr, &UserSettings::KeepSearchHistory},
};
// The first twelve rows are the trigger values, in the order of their ids.
inline constexpr std::size_t kTriggerSettingCount = 12;
static_assert(
    [] {
        for (std::size_t row = 0; row < kTriggerSettingCount; ++row) {
            if (static_cast<std::size_t>(kPolicySettings[row].policy) != row) {
                return false;
            }
        }
        return kPolicySettings[kTriggerSettingCount].policy == PolicyId::RunAtLogon;
    }(),
    "the trigger rows come first");

// The row of a policy; null for one that decides no such value (the lists and texts).
const PolicySetting* SettingOf(PolicyId policy);

// What the policies say of the program's own site list.
struct SiteListPolicy {
    std::optional<std::u16string> managedPath;  // SiteListPath: read in place of Windows'
    bool allowEditing = true;                   // off: the user's own file is passed over
};

class Configuration {
public:
    Configuration() = default;  // no policy, nothing stored
    Configuration(PolicySet policies, UserSettings user);

    // Whether a policy fixes the setting it governs, so that the user may not change it:
    // a configured Flag or Number policy; GestureExclusions when its programs replace the
    // user's, AddToUserGestureExclusions when they join them; AllowSiteEditing when it
    // is off (the catalogue is fixed); a configured VisibleSites, SiteListPath, Language.
    bool Fixed(PolicyId id) const;

    const UserSettings& User() const { return user_; }
    const UserSettings& InForce() const { return inForce_; }
    // The programs without gestures in force with `user` as the user's list, as list text
    // (base/ProgramNames.h): the policy's names replace it, or come before it when
    // AddToUserGestureExclusions is on.
    std::u16string GestureExclusionsWith(std::u16string_view user) const;
    SiteListPolicy SiteList() const;
    // The Language policy; empty when not configured.
    std::u16string LanguagePolicy() const;

private:
    PolicySet policies_;
    UserSettings user_;
    UserSettings inForce_;
};

}  // namespace vp

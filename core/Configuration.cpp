#include "core/Configuration.h"

#include <windows.h>

#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/Autostart.h"
#include "core/Settings.h"
#include "win/Registry.h"

namespace vp {
namespace {

std::optional<StoredValue> ReadValue(HKEY key, const wchar_t* name) {
    StoredValue stored;
    DWORD size = 0;
    if (::RegQueryValueExW(key, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    stored.bytes.resize(size);
    DWORD type = 0;
    if (::RegQueryValueExW(key, name, nullptr, &type, stored.bytes.data(), &size) !=
        ERROR_SUCCESS) {
        return std::nullopt;  // changed between the two reads
    }
    stored.type = type;
    stored.bytes.resize(size);
    return stored;
}

// Every value of a key, by name.
std::vector<std::pair<std::u16string, StoredValue>> ReadAllValues(HKEY key) {
    std::vector<std::pair<std::u16string, StoredValue>> values;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD length = 256;
        const LONG result =
            ::RegEnumValueW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_MORE_DATA) {
            continue;  // a name this long is no position
        }
        if (result != ERROR_SUCCESS) {
            break;
        }
        if (std::optional<StoredValue> stored = ReadValue(key, name)) {
            values.emplace_back(std::u16string(reinterpret_cast<const char16_t*>(name), length),
                                std::move(*stored));
        }
    }
    return values;
}

std::u16string Expanded(const std::u16string& text) {
    const auto* source = reinterpret_cast<const wchar_t*>(text.c_str());
    const DWORD size = ::ExpandEnvironmentStringsW(source, nullptr, 0);
    std::u16string expanded(size, u'\0');
    if (size == 0 || ::ExpandEnvironmentStringsW(
                         source, reinterpret_cast<wchar_t*>(expanded.data()), size) != size) {
        return text;
    }
    expanded.resize(size - 1);  // without the terminating zero
    return expanded;
}

PolicySet ReadPolicies() {
    PolicySet policies;
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        win::RegKey key = win::OpenKey(root, kPolicyKey, KEY_READ);
        if (!key) {
            continue;
        }
        for (const PolicyDefinition& policy : kPolicies) {
            std::optional<PolicyValue> value;
            if (policy.type == PolicyType::List) {
                if (win::RegKey list = win::OpenKey(key.Get(), policy.name, KEY_READ)) {
                    value = ParsePolicyList(ReadAllValues(list.Get()));
                }
            } else {
                const std::wstring name(policy.name, policy.name + std::strlen(policy.name));
                if (std::optional<StoredValue> stored = ReadValue(key.Get(), name.c_str())) {
                    value = ParsePolicyValue(policy, *stored);
                    if (value && stored->type == REG_EXPAND_SZ) {
                        value->text = Expanded(value->text);
                    }
                }
            }
            policies.Offer(policy.id, std::move(value));
        }
    }
    return policies;
}

}  // namespace

Configuration ReadConfiguration() {
    UserSettings user;
    ReadTriggerSettings(user);
    user.RunAtLogon = IsAutostartSet();
    user.RestoreClipboard = ReadRestoreClipboard();
    user.ReadSelectionDirectly = ReadSelectionDirectly();
    user.GestureExclusions = ReadGestureExclusions();
    user.DefaultSite = ReadDefaultSite();
    user.VisibleSites = ReadSelectedSiteIds();
    return Configuration(ReadPolicies(), std::move(user));
}

void ApplyAutostartPolicy(const Configuration& configuration) {
    const bool run = configuration.InForce().RunAtLogon;
    if (configuration.Fixed(PolicyId::RunAtLogon) && run != configuration.User().RunAtLogon) {
        WriteAutostart(run);
    }
}

}  // namespace vp

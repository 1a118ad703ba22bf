#include "base/Configuration.h"

#include <utility>

namespace vp {

const PolicySetting* SettingOf(PolicyId policy) {
    for (const PolicySetting& row : kPolicySettings) {
        if (row.policy == policy) {
            return &row;
        }
    }
    return nullptr;
}

Configuration::Configuration(PolicySet policies, UserSettings user)
    : policies_(std::move(policies)), user_(std::move(user)), inForce_(user_) {
    for (const PolicySetting& row : kPolicySettings) {
        if (row.number != nullptr) {
            inForce_.*row.number = policies_.Number(row.policy, user_.*row.number);
        } else {
            inForce_.*row.flag = policies_.Flag(row.policy, user_.*row.flag);
        }
    }
    inForce_.GestureExclusions = GestureExclusionsWith(user_.GestureExclusions);
    if (const PolicyValue* visible = policies_.Find(PolicyId::VisibleSites)) {
        inForce_.VisibleSites = ParseSiteIds(visible->list);
    }
}

bool Configuration::Fixed(PolicyId id) const {
    const bool adds = policies_.Flag(PolicyId::AddToUserGestureExclusions, false);
    switch (id) {
        case PolicyId::GestureExclusions:
            return policies_.Configured(id) && !adds;
        case PolicyId::AddToUserGestureExclusions:
            return policies_.Configured(PolicyId::GestureExclusions) && adds;
        case PolicyId::AllowSiteEditing:
            return !policies_.Flag(id, true);
        default:
            return policies_.Configured(id);
    }
}

std::u16string Configuration::GestureExclusionsWith(std::u16string_view user) const {
    const PolicyValue* managed = policies_.Find(PolicyId::GestureExclusions);
    if (managed == nullptr) {
        return std::u16string(user);
    }
    std::u16string text;
    for (const std::u16string& name : managed->list) {
        text += name + u";";
    }
    if (policies_.Flag(PolicyId::AddToUserGestureExclusions, false)) {
        text += user;
    }
    return text;
}

SiteListPolicy Configuration::SiteList() const {
    SiteListPolicy policy;
    if (const PolicyValue* path = policies_.Find(PolicyId::SiteListPath)) {
        policy.managedPath = path->text;
    }
    policy.allowEditing = inForce_.AllowSiteEditing;
    return policy;
}

std::u16string Configuration::LanguagePolicy() const {
    const PolicyValue* language = policies_.Find(PolicyId::Language);
    return language != nullptr ? language->text : std::u16string();
}

}  // namespace vp

#include "sites/SelectionStore.h"

#include <windows.h>

#include <functional>

#include "win/QhError.h"
#include "core/RegistryKeys.h"
#include "resources/resource.h"
#include "win/Registry.h"

namespace vp {
namespace {

constexpr char kDefaultSiteValue[] = "DefaultSite";

// Calls visit with each id of the Selected key up to the first missing position.
// Returns false when the key does not open.
bool ForEachSelectedId(const std::function<void(SiteId)>& visit) {
    win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kSelectedKey, KEY_READ);
    if (!key) {
        return false;
    }
    for (unsigned position = 0;; ++position) {
        auto id = win::ReadDword(key.Get(), std::to_string(position).c_str());
        if (!id) {
            break;
        }
        visit(static_cast<SiteId>(*id));
    }
    return true;
}

}  // namespace

VisibleSiteList LoadVisibleSites(const SiteCatalogue& catalogue) {
    VisibleSiteList sites;
    auto append = [&](SiteId id) {
        if (const SiteRecord* record = catalogue.Find(id)) {
            sites.push_back({record->name, record->url});
        }
    };
    if (!ForEachSelectedId(append)) {
        for (SiteId id = 0; id < kDefaultVisibleIdEnd; ++id) {
            append(id);
        }
    }
    return sites;
}

SiteId LoadDefaultSiteId() {
    win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kSettingsKey, KEY_READ);
    return static_cast<SiteId>(win::ReadDword(key.Get(), kDefaultSiteValue).value_or(0));
}

std::string ResolveDefaultSite(const SiteCatalogue& catalogue) {
    const SiteRecord* record = catalogue.Find(LoadDefaultSiteId());
    return record != nullptr ? record->url : std::string();
}

void MarkVisibleSites(SiteCatalogue& catalogue, bool useDefaults) {
    auto mark = [&](SiteId id) {
        if (SiteRecord* record = catalogue.Find(id)) {
            record->visible = true;
        }
    };
    if (useDefaults || !ForEachSelectedId(mark)) {
        for (SiteId id = 0; id < kDefaultVisibleIdEnd; ++id) {
            mark(id);
        }
    }
}

void SaveVisibleSites(const SiteCatalogue& catalogue) {
    // The new positions are written over the old ones before the leftovers go, so a
    // failure leaves the old selection or the new one, never none.
    LONG error = ERROR_SUCCESS;
    win::RegKey key = win::CreateKey(HKEY_CURRENT_USER, kSelectedKey, &error);
    if (!key) {
        throw _qh_error::FromSystemError(static_cast<DWORD>(error), IDS_CANT_CREATE_SELECTED);
    }
    unsigned position = 0;
    for (const auto& [id, record] : catalogue) {
        if (record.visible) {
            win::WriteDword(key.Get(), std::to_string(position++).c_str(),
                            static_cast<std::uint32_t>(id));
        }
    }
    win::DeletePositionsFrom(key.Get(), position);
}

void SaveDefaultSiteId(SiteId id) {
    win::RegKey key = OpenSettingsForWriting();
    win::WriteDword(key.Get(), kDefaultSiteValue, static_cast<std::uint32_t>(id));
}

}  // namespace vp

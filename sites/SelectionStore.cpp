#include "sites/SelectionStore.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "win/QhError.h"
#include "core/Policies.h"
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

// Calls visit with each visible id: the VisibleSites policy's, or else the Selected key's
// unless ignoreSelected. Returns false when neither gives a list.
bool ForEachVisibleId(const std::function<void(SiteId)>& visit, bool ignoreSelected = false) {
    const PolicySet policies = ReadPolicies();
    if (const PolicyValue* managed = policies.Find(PolicyId::VisibleSites)) {
        for (SiteId id : ParseSiteIds(managed->list)) {
            visit(id);
        }
        return true;
    }
    return !ignoreSelected && ForEachSelectedId(visit);
}

}  // namespace

VisibleSiteList LoadVisibleSites(const SiteCatalogue& catalogue) {
    VisibleSiteList sites;
    auto append = [&](SiteId id) {
        if (const SiteRecord* record = catalogue.Find(id)) {
            sites.push_back({record->name, record->url});
        }
    };
    if (!ForEachVisibleId(append)) {
        for (SiteId id = 0; id < kDefaultVisibleIdEnd; ++id) {
            append(id);
        }
    }
    return sites;
}

SiteId LoadDefaultSiteId() {
    const PolicySet policies = ReadPolicies();
    if (const PolicyValue* managed = policies.Find(PolicyId::DefaultSite)) {
        return static_cast<SiteId>(managed->number);
    }
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
    if (!ForEachVisibleId(mark, useDefaults)) {
        for (SiteId id = 0; id < kDefaultVisibleIdEnd; ++id) {
            mark(id);
        }
    }
}

void SaveVisibleSites(const SiteCatalogue& catalogue) {
    // The new positions are written over the old ones before the leftovers go. A write
    // that fails puts the old values back, so a failure leaves the old selection or the
    // new one, never a mix of both.
    std::vector<std::uint32_t> previous;
    const bool existed =
        ForEachSelectedId([&](SiteId id) { previous.push_back(static_cast<std::uint32_t>(id)); });
    LONG error = ERROR_SUCCESS;
    win::RegKey key = win::CreateKey(HKEY_CURRENT_USER, kSelectedKey, &error);
    if (!key) {
        throw _qh_error::FromSystemError(static_cast<DWORD>(error), IDS_CANT_CREATE_SELECTED);
    }
    std::vector<std::uint32_t> visible;
    for (const auto& [id, record] : catalogue) {
        if (record.visible) {
            visible.push_back(static_cast<std::uint32_t>(id));
        }
    }
    auto write = [&key](const std::vector<std::uint32_t>& ids) {
        for (std::size_t position = 0; position < ids.size(); ++position) {
            const LONG result =
                win::WriteDword(key.Get(), std::to_string(position).c_str(), ids[position]);
            if (result != ERROR_SUCCESS) {
                return result;
            }
        }
        // Readers stop at the first missing position: that one must go.
        const LONG result = ::RegDeleteValueA(key.Get(), std::to_string(ids.size()).c_str());
        return result == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : result;
    };
    error = write(visible);
    if (error != ERROR_SUCCESS) {
        if (!existed) {
            key.Reset();
            ::RegDeleteKeyA(HKEY_CURRENT_USER, kSelectedKey);  // no key: the default sites
        } else if (write(previous) == ERROR_SUCCESS) {
            win::DeletePositionsFrom(key.Get(), previous.size());
        }
        throw _qh_error::FromSystemError(static_cast<DWORD>(error), IDS_CANT_CREATE_SELECTED);
    }
    win::DeletePositionsFrom(key.Get(), visible.size());
}

void SaveDefaultSiteId(SiteId id) {
    win::RegKey key = OpenSettingsForWriting();
    win::WriteDword(key.Get(), kDefaultSiteValue, static_cast<std::uint32_t>(id));
}

}  // namespace vp

#include "sites/SelectionStore.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/RegistryKeys.h"
#include "core/Settings.h"
#include "resources/resource.h"
#include "win/QhError.h"
#include "win/Registry.h"

namespace vp {
namespace {

void ForEachVisibleId(const VisibleSiteIds& ids, const std::function<void(SiteId)>& visit) {
    if (ids) {
        for (SiteId id : *ids) {
            visit(id);
        }
        return;
    }
    for (SiteId id = 0; id < kDefaultVisibleIdEnd; ++id) {
        visit(id);
    }
}

}  // namespace

VisibleSiteList LoadVisibleSites(const SiteCatalogue& catalogue, const VisibleSiteIds& ids) {
    VisibleSiteList sites;
    ForEachVisibleId(ids, [&](SiteId id) {
        if (const SiteRecord* record = catalogue.Find(id)) {
            sites.push_back({record->name, record->url});
        }
    });
    return sites;
}

std::string ResolveDefaultSite(const SiteCatalogue& catalogue, SiteId id) {
    const SiteRecord* record = catalogue.Find(id);
    return record != nullptr ? record->url : std::string();
}

void MarkVisibleSites(SiteCatalogue& catalogue, const VisibleSiteIds& ids) {
    ForEachVisibleId(ids, [&](SiteId id) {
        if (SiteRecord* record = catalogue.Find(id)) {
            record->visible = true;
        }
    });
}

void SaveVisibleSites(const SiteCatalogue& catalogue) {
    // The new positions are written over the old ones before the leftovers go. A write
    // that fails puts the old values back, so a failure leaves the old selection or the
    // new one, never a mix of both.
    const std::optional<std::vector<SiteId>> stored = ReadSelectedSiteIds();
    const bool existed = stored.has_value();
    const std::vector<SiteId> previous = stored.value_or(std::vector<SiteId>());
    LONG error = ERROR_SUCCESS;
    win::RegKey key = win::CreateKey(HKEY_CURRENT_USER, kSelectedKey, &error);
    if (!key) {
        throw _qh_error::FromSystemError(static_cast<DWORD>(error), IDS_CANT_CREATE_SELECTED);
    }
    const std::vector<SiteId> visible = VisibleIds(catalogue);
    auto write = [&key](const std::vector<SiteId>& ids) {
        for (std::size_t position = 0; position < ids.size(); ++position) {
            const LONG result = win::WriteDword(key.Get(), std::to_string(position).c_str(),
                                                static_cast<std::uint32_t>(ids[position]));
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

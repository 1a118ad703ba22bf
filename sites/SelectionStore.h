// Which sites the popup shows and which one is the default, in the current user's
// registry: the Selected key ("0", "1", ... hold site ids in display order) and the
// Settings value DefaultSite. They are read with the configuration (core/Configuration.h),
// whose values in force come in here.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sites/SiteCatalogue.h"

namespace vp {

// The visible site ids in force (UserSettings::VisibleSites); nothing: ids 0 to 6.
using VisibleSiteIds = std::optional<std::vector<SiteId>>;

// The sites of the ids, in their order (duplicates kept, unknown ids skipped).
VisibleSiteList LoadVisibleSites(const SiteCatalogue& catalogue, const VisibleSiteIds& ids);

// The default site's URL, or empty when the id names no site of the catalogue.
std::string ResolveDefaultSite(const SiteCatalogue& catalogue, SiteId id);

// Sets `visible` on the records of the ids. Flags are only set, never cleared.
void MarkVisibleSites(SiteCatalogue& catalogue, const VisibleSiteIds& ids);

// Rebuilds the Selected key from the visible records in ascending id order.
// Raises _qh_error (message 109) when the key cannot be created.
void SaveVisibleSites(const SiteCatalogue& catalogue);

// Writes DefaultSite. Raises _qh_error (110, 111) when the Settings key cannot be
// created or opened.
void SaveDefaultSiteId(SiteId id);

}  // namespace vp

// Which sites the popup shows and which one is the default, in the current user's
// registry: the Selected key ("0", "1", ... hold site ids in display order) and the
// Settings value DefaultSite.
#pragma once

#include <string>

#include "sites/SiteCatalogue.h"

namespace vp {

// The sites named by the VisibleSites policy or else by the Selected key, in their order
// (duplicates kept, unknown ids skipped, reading up to the first missing position); with
// neither, ids 0 to 6.
VisibleSiteList LoadVisibleSites(const SiteCatalogue& catalogue);

// The default site id: the DefaultSite policy's, else the stored DefaultSite, or 0 when
// it cannot be read.
SiteId LoadDefaultSiteId();

// The default site's URL, or empty when the stored id names no site of the catalogue.
std::string ResolveDefaultSite(const SiteCatalogue& catalogue);

// Sets `visible` on the records the VisibleSites policy names, else on those the Selected
// key names, or on ids 0 to 6 when useDefaults is set or there is no key. Flags are only
// set, never cleared.
void MarkVisibleSites(SiteCatalogue& catalogue, bool useDefaults);

// Rebuilds the Selected key from the visible records in ascending id order.
// Raises _qh_error (message 109) when the key cannot be created.
void SaveVisibleSites(const SiteCatalogue& catalogue);

// Writes DefaultSite. Raises _qh_error (110, 111) when the Settings key cannot be
// created or opened.
void SaveDefaultSiteId(SiteId id);

}  // namespace vp

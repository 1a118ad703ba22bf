#include "sites/SiteCatalogue.h"

#include <iterator>
#include <limits>
#include <utility>

namespace vp {

const SiteRecord* SiteCatalogue::Find(SiteId id) const {
    const auto found = records_.find(id);
    return found == records_.end() ? nullptr : &found->second;
}

SiteRecord* SiteCatalogue::Find(SiteId id) {
    const auto found = records_.find(id);
    return found == records_.end() ? nullptr : &found->second;
}

bool SiteCatalogue::Insert(SiteId id, SiteRecord record) {
    // try_emplace leaves `record` untouched when the id is present.
    return records_.try_emplace(id, std::move(record)).second;
}

std::vector<SiteId> VisibleIds(const SiteCatalogue& catalogue) {
    std::vector<SiteId> ids;
    for (const auto& [id, record] : catalogue) {
        if (record.visible) {
            ids.push_back(id);
        }
    }
    return ids;
}

SiteId NextSiteId(const SiteCatalogue& catalogue) {
    constexpr SiteId kLargestId = std::numeric_limits<SiteId>::max();
    if (catalogue.Empty()) {
        return 1;
    }
    const SiteId largest = std::prev(catalogue.end())->first;
    if (largest < 0) {
        return 1;
    }
    if (largest < kLargestId) {
        return largest + 1;
    }
    // The next id would overflow: take the first gap from 0 upwards instead.
    SiteId candidate = 0;
    for (const auto& [id, record] : catalogue) {
        if (id < candidate) {
            continue;
        }
        if (id > candidate || candidate == kLargestId) {
            break;  // a gap; or every id from 0 up is taken, which no memory could hold
        }
        ++candidate;
    }
    return candidate;
}

}  // namespace vp

// Site records, categories and the catalogue that holds them, ordered by id.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vp {

using SiteId = std::int32_t;

struct SiteRecord {
    std::string name;           // display name (ANSI bytes)
    std::string url;            // search request up to where the search text goes
    std::int32_t category = 0;  // position in the category list of the file it came from
    bool reservedFlag = false;  // fifth field of the file record, written back unchanged
    bool visible = false;       // shown in the popup (Options working copy only)
};

struct SiteCategory {
    std::string name;
};

using SiteCategoryList = std::vector<SiteCategory>;

// Sites by id in ascending order; the first record inserted under an id wins.
class SiteCatalogue {
public:
    using Map = std::map<SiteId, SiteRecord>;

    void Clear() { records_.clear(); }
    const SiteRecord* Find(SiteId id) const;
    SiteRecord* Find(SiteId id);
    // Refused (false) when the id is present; the present record stays unchanged.
    bool Insert(SiteId id, SiteRecord record);
    bool Erase(SiteId id) { return records_.erase(id) != 0; }

    std::size_t Size() const { return records_.size(); }
    bool Empty() const { return records_.empty(); }
    Map::const_iterator begin() const { return records_.begin(); }
    Map::const_iterator end() const { return records_.end(); }
    Map::iterator begin() { return records_.begin(); }
    Map::iterator end() { return records_.end(); }

private:
    Map records_;
};

// The id for a new site: the largest id (taken as at least 0) plus 1. When that would
// overflow, the smallest unused id of 0 or more.
SiteId NextSiteId(const SiteCatalogue& catalogue);

// The ids of the visible records, ascending.
std::vector<SiteId> VisibleIds(const SiteCatalogue& catalogue);

}  // namespace vp

namespace vp {

// A copy of a visible site's name and URL, in the order the popup shows them.
struct VisibleSite {
    std::string name;
    std::string url;
};
using VisibleSiteList = std::vector<VisibleSite>;

// Sites visible while the user has chosen none: ids 0 to 6, those that exist.
inline constexpr SiteId kDefaultVisibleIdEnd = 7;

}  // namespace vp

#include "sites/SiteCatalogue.h"

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vp {
namespace {

constexpr SiteId kMaxId = std::numeric_limits<SiteId>::max();
constexpr SiteId kMinId = std::numeric_limits<SiteId>::min();

SiteRecord Site(std::string name) {
    SiteRecord record;
    record.name = std::move(name);
    record.url = "https://example.test/?q=";
    return record;
}

SiteCatalogue CatalogueWithIds(const std::vector<SiteId>& ids) {
    SiteCatalogue catalogue;
    for (SiteId id : ids) {
        catalogue.Insert(id, Site("site " + std::to_string(id)));
    }
    return catalogue;
}

std::vector<SiteId> IdsOf(const SiteCatalogue& catalogue) {
    std::vector<SiteId> ids;
    for (const auto& [id, record] : catalogue) {
        ids.push_back(id);
    }
    return ids;
}

TEST(SiteCatalogue, IteratesInAscendingIdOrder) {
    const SiteCatalogue catalogue = CatalogueWithIds({7, -2, 4, kMaxId, 0, kMinId});
    EXPECT_EQ(IdsOf(catalogue), (std::vector<SiteId>{kMinId, -2, 0, 4, 7, kMaxId}));
    EXPECT_EQ(catalogue.Size(), 6u);
}

TEST(SiteCatalogue, InsertUnderAPresentIdIsRefusedAndKeepsTheFirstRecord) {
    SiteCatalogue catalogue;
    EXPECT_TRUE(catalogue.Insert(3, Site("first")));
    EXPECT_FALSE(catalogue.Insert(3, Site("second")));
    ASSERT_NE(catalogue.Find(3), nullptr);
    EXPECT_EQ(catalogue.Find(3)->name, "first");
    EXPECT_EQ(catalogue.Size(), 1u);
}

TEST(SiteCatalogue, FindEraseAndClear) {
    SiteCatalogue catalogue = CatalogueWithIds({1, 2, 3});
    EXPECT_EQ(catalogue.Find(4), nullptr);

    // Find gives write access to the stored record.
    catalogue.Find(2)->visible = true;
    const SiteCatalogue& readOnly = catalogue;
    ASSERT_NE(readOnly.Find(2), nullptr);
    EXPECT_TRUE(readOnly.Find(2)->visible);

    EXPECT_TRUE(catalogue.Erase(2));
    EXPECT_FALSE(catalogue.Erase(2));
    EXPECT_EQ(catalogue.Find(2), nullptr);
    EXPECT_EQ(IdsOf(catalogue), (std::vector<SiteId>{1, 3}));
    // An erased id can be used again.
    EXPECT_TRUE(catalogue.Insert(2, Site("again")));

    catalogue.Clear();
    EXPECT_TRUE(catalogue.Empty());
    EXPECT_EQ(catalogue.begin(), catalogue.end());
}

TEST(NextSiteId, IsTheLargestIdTakenAsAtLeastZeroPlusOne) {
    EXPECT_EQ(NextSiteId(SiteCatalogue()), 1);
    EXPECT_EQ(NextSiteId(CatalogueWithIds({3, 10})), 11);
    EXPECT_EQ(NextSiteId(CatalogueWithIds({10, 3})), 11);
    EXPECT_EQ(NextSiteId(CatalogueWithIds({-5, 0})), 1);
    EXPECT_EQ(NextSiteId(CatalogueWithIds({-3, -1})), 1);
    EXPECT_EQ(NextSiteId(CatalogueWithIds({kMinId})), 1);
    EXPECT_EQ(NextSiteId(CatalogueWithIds({0})), 1);
    EXPECT_EQ(NextSiteId(CatalogueWithIds({1, 2})), 3);
    EXPECT_EQ(NextSiteId(CatalogueWithIds({kMaxId - 1})), kMaxId);
}

TEST(NextSiteId, FallsBackToTheSmallestFreeIdWhenTheLargestIdIsTaken) {
    EXPECT_EQ(NextSiteId(CatalogueWithIds({kMaxId})), 0);
    EXPECT_EQ(NextSiteId(CatalogueWithIds({-4, -1, kMaxId})), 0);
    EXPECT_EQ(NextSiteId(CatalogueWithIds({0, 1, 2, 5, kMaxId})), 3);
    EXPECT_EQ(NextSiteId(CatalogueWithIds({-1, 0, 1, kMaxId - 1, kMaxId})), 2);
    EXPECT_EQ(NextSiteId(CatalogueWithIds({1, kMaxId})), 0);
}

}  // namespace
}  // namespace vp

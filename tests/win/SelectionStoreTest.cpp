// The visible and default sites in the real registry of the current user.
#include "sites/SelectionStore.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "win/QhError.h"
#include "core/RegistryKeys.h"
#include "core/Settings.h"
#include "tests/win/RegistryFixture.h"
#include "win/Registry.h"

namespace vp {
namespace {

SiteCatalogue CatalogueWithIds(std::initializer_list<SiteId> ids) {
    SiteCatalogue catalogue;
    for (SiteId id : ids) {
        catalogue.Insert(id, {"site" + std::to_string(id),
                              "https://s" + std::to_string(id) + "/?q=", 0, false, false});
    }
    return catalogue;
}

std::vector<std::string> Names(const VisibleSiteList& sites) {
    std::vector<std::string> names;
    for (const auto& site : sites) {
        names.push_back(site.name);
    }
    return names;
}

std::vector<std::string> SiteNames(std::initializer_list<int> ids) {
    std::vector<std::string> names;
    for (int id : ids) {
        names.push_back("site" + std::to_string(id));
    }
    return names;
}

void WriteSelected(std::initializer_list<std::pair<const char*, std::uint32_t>> values) {
    win::CreateKey(HKEY_CURRENT_USER, kSelectedKey);
    for (const auto& [name, id] : values) {
        WriteTestDword(kSelectedKey, name, id);
    }
}

// The Selected key's values "0", "1", ... up to the first missing one.
std::vector<std::uint32_t> StoredSelection() {
    std::vector<std::uint32_t> ids;
    win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kSelectedKey, KEY_READ);
    while (auto id = win::ReadDword(key.Get(), std::to_string(ids.size()).c_str())) {
        ids.push_back(*id);
    }
    return ids;
}

// The visible sites of the Selected key, as the configuration reads it.
VisibleSiteList Visible(const SiteCatalogue& catalogue) {
    return LoadVisibleSites(catalogue, ReadSelectedSiteIds());
}

class SelectionStore : public RegistryTest {};

TEST_F(SelectionStore, WithoutSelectedKeyTheFirstSevenIdsAreVisible) {
    EXPECT_EQ(Names(Visible(CatalogueWithIds({0, 1, 2, 3, 4, 5, 6, 7, 8, 9}))),
              SiteNames({0, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(Names(Visible(CatalogueWithIds({2, 5, 8}))), SiteNames({2, 5}));
}

TEST_F(SelectionStore, SelectedKeyGivesOrderStopsAtGapsSkipsUnknownAndKeepsDuplicates) {
    SiteCatalogue catalogue = CatalogueWithIds({0, 1, 2, 3, 4, 5});
    WriteSelected({{"0", 5}, {"1", 3}});
    EXPECT_EQ(Names(Visible(catalogue)), SiteNames({5, 3}));

    DeleteProgramKeys();
    WriteSelected({{"0", 1}, {"1", 2}, {"3", 4}});
    EXPECT_EQ(Names(Visible(catalogue)), SiteNames({1, 2}));

    DeleteProgramKeys();
    WriteSelected({{"0", 99}, {"1", 2}, {"2", 2}});
    EXPECT_EQ(Names(Visible(catalogue)), SiteNames({2, 2}));
}

TEST_F(SelectionStore, EmptySelectedKeyShowsNoSite) {
    WriteSelected({});
    EXPECT_TRUE(Visible(CatalogueWithIds({0, 1, 2})).empty());
}

TEST_F(SelectionStore, ValuesOfOtherTypesCountUpToFourBytes) {
    const std::uint8_t binaryId[4] = {3, 0, 0, 0};
    WriteTestValue(kSelectedKey, "0", REG_BINARY, binaryId, sizeof binaryId);
    WriteTestValue(kSelectedKey, "1", REG_SZ, "12345678", 9);  // 9 bytes: unreadable
    WriteTestDword(kSelectedKey, "2", 1);
    EXPECT_EQ(Names(Visible(CatalogueWithIds({1, 3}))), SiteNames({3}));
}

TEST_F(SelectionStore, SavingRebuildsTheKeyInAscendingIdOrder) {
    SiteCatalogue catalogue = CatalogueWithIds({0, 1, 2, 3, 4, 5, 6, 7});
    MarkVisibleSites(catalogue, VisibleSiteIds());  // 0..6: seven values
    SaveVisibleSites(catalogue);
    ASSERT_EQ(StoredSelection().size(), 7u);

    for (auto& [id, record] : catalogue) {
        record.visible = id == 7 || id == 2 || id == 4;
    }
    SaveVisibleSites(catalogue);
    EXPECT_EQ(StoredSelection(), (std::vector<std::uint32_t>{2, 4, 7}));
    win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kSelectedKey, KEY_READ);
    EXPECT_FALSE(win::ReadDword(key.Get(), "3"));  // nothing of the longer list survives

    for (auto& [id, record] : catalogue) {
        record.visible = false;
    }
    SaveVisibleSites(catalogue);
    EXPECT_TRUE(Visible(catalogue).empty());  // an empty key, not the defaults
}

TEST_F(SelectionStore, SavingOverAKeyThatCannotBeDeletedLeavesNothingOfTheLongerList) {
    SiteCatalogue catalogue = CatalogueWithIds({0, 1, 2, 3, 4, 5, 6});
    MarkVisibleSites(catalogue, VisibleSiteIds());
    SaveVisibleSites(catalogue);
    ASSERT_TRUE(win::CreateKey(HKEY_CURRENT_USER, (std::string(kSelectedKey) + "\\Sub").c_str()));

    for (auto& [id, record] : catalogue) {
        record.visible = id == 5 || id == 6;
    }
    SaveVisibleSites(catalogue);
    EXPECT_EQ(Names(Visible(catalogue)), SiteNames({5, 6}));
    win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kSelectedKey, KEY_READ);
    EXPECT_FALSE(win::ReadDword(key.Get(), "6"));
}

TEST_F(SelectionStore, MarkingSetsFlagsFromTheKey) {
    SiteCatalogue catalogue = CatalogueWithIds({0, 3, 8, 9});
    WriteSelected({{"0", 9}, {"1", 77}, {"2", 3}});
    MarkVisibleSites(catalogue, ReadSelectedSiteIds());
    EXPECT_FALSE(catalogue.Find(0)->visible);
    EXPECT_TRUE(catalogue.Find(3)->visible);
    EXPECT_FALSE(catalogue.Find(8)->visible);
    EXPECT_TRUE(catalogue.Find(9)->visible);
}

TEST_F(SelectionStore, DefaultSiteIsZeroUnlessStored) {
    EXPECT_EQ(ReadDefaultSite(), 0u);
    EXPECT_EQ(ResolveDefaultSite(CatalogueWithIds({0, 1}), 0), "https://s0/?q=");
    EXPECT_EQ(ResolveDefaultSite(CatalogueWithIds({1, 2}), 0), "");

    SaveDefaultSiteId(-5);
    EXPECT_EQ(static_cast<SiteId>(ReadDefaultSite()), -5);
    SaveDefaultSiteId(2);
    EXPECT_EQ(ResolveDefaultSite(CatalogueWithIds({1, 2}), 2), "https://s2/?q=");
    EXPECT_EQ(ReadDefaultSite(), 2u);

    const std::uint8_t twoBytes[2] = {1, 0};
    WriteTestValue(kSettingsKey, "DefaultSite", REG_BINARY, twoBytes, sizeof twoBytes);
    EXPECT_EQ(ReadDefaultSite(), 1u);
    WriteTestValue(kSettingsKey, "DefaultSite", REG_SZ, "two", 4);
    EXPECT_EQ(ReadDefaultSite(), 0x6F7774u);  // four bytes "two\0", read as a number
    WriteTestValue(kSettingsKey, "DefaultSite", REG_SZ, "twelve", 7);
    EXPECT_EQ(ReadDefaultSite(), 0u);  // longer than four bytes: as if missing
}

// A non-volatile key cannot be created below a volatile one, which makes creating the
// program's keys fail.
void MakeProgramKeyVolatile() {
    DeleteProgramKeys();
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, kProgramKey, 0, nullptr, REG_OPTION_VOLATILE,
                                KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ::RegCloseKey(key);
}

TEST_F(SelectionStore, FailedSaveLeavesTheOldOrTheNewSelectionNeverNone) {
    // Below a volatile program key the Selected key can be opened but never created
    // again: a save that removed it first would lose the selection.
    MakeProgramKeyVolatile();
    HKEY selected = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, kSelectedKey, 0, nullptr, REG_OPTION_VOLATILE,
                                KEY_ALL_ACCESS, nullptr, &selected, nullptr),
              ERROR_SUCCESS);
    ::RegCloseKey(selected);
    WriteSelected({{"0", 5}, {"1", 3}, {"2", 1}});
    SiteCatalogue catalogue = CatalogueWithIds({1, 2, 3, 5});
    catalogue.Find(2)->visible = true;
    try {
        SaveVisibleSites(catalogue);
    } catch (const _qh_error&) {
    }
    const std::vector<std::uint32_t> stored = StoredSelection();
    EXPECT_TRUE(stored == (std::vector<std::uint32_t>{5, 3, 1}) ||
                stored == std::vector<std::uint32_t>{2})
        << stored.size() << " sites stored";
}

TEST_F(SelectionStore, KeysThatCannotBeCreatedRaiseTheirMessages) {
    MakeProgramKeyVolatile();
    SiteCatalogue catalogue = CatalogueWithIds({0});
    try {
        SaveVisibleSites(catalogue);
        ADD_FAILURE() << "no error raised";
    } catch (const _qh_error& error) {
        EXPECT_EQ(error.Text(), "Can't Create Selected Sites Setting Key");
        EXPECT_EQ(static_cast<std::uint32_t>(error.Code()),
                  0x80070000u | ERROR_CHILD_MUST_BE_VOLATILE);
    }
    try {
        SaveDefaultSiteId(3);
        ADD_FAILURE() << "no error raised";
    } catch (const _qh_error& error) {
        EXPECT_EQ(error.Text(), "Can't Create User Settings Key");
        EXPECT_LT(error.Code(), 0);
    }
}

}  // namespace
}  // namespace vp

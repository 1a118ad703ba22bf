// The Sites page and the site properties dialog, hosted in a hidden dialog of this
// process and driven with the tree's own messages; modal boxes and file dialogs are
// answered from a helper thread.
#include "options/SitesPage.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "core/Configuration.h"
#include "core/RegistryKeys.h"
#include "resources/resource.h"
#include "tests/fixtures/FixtureMessages.h"
#include "sites/SiteListFile.h"
#include "sites/SiteListFormat.h"
#include "tests/win/DialogDriver.h"
#include "tests/win/Fixtures.h"
#include "tests/win/RegistryFixture.h"
#include "tests/win/WindowSearch.h"
#include "win/ErrorBox.h"
#include "win/Handle.h"
#include "win/Registry.h"
#include "win/WinText.h"

namespace vp {
namespace {

using test::ReadFileBytes;

// Ids 0 to 9 in two categories, and site 12 in a category that does not exist. The
// numbers are written loosely, so a rewrite would change the file's bytes.
const std::string kCatalogueText = [] {
    std::string text = "Quenhollow Available Site List\r\n\r\nSearch\r\nNews\r\n\r\n";
    for (int id = 0; id < 10; ++id) {
        text += "0" + std::to_string(id) + "\r\n" + std::to_string(id % 3 == 1) + "\r\nSite " +
                std::to_string(id) + "\r\nhttps://s" + std::to_string(id) + ".test/?q=\r\n0\r\n";
    }
    return text + "12\r\n7\r\nOrphan\r\nhttps://o.test/?q=\r\n0\r\n";
}();

// Types a path into a common file dialog's name box and presses its OK button.
std::function<void(HWND)> ChooseFile(std::string path) {
    return [=](HWND dialog) {
        HWND name = ::GetDlgItem(dialog, 0x47C);  // the name combo box, or else a plain edit
        ::SetWindowTextA(name != nullptr ? name : ::GetDlgItem(dialog, 0x480), path.c_str());
        ::PostMessageA(dialog, WM_COMMAND, IDOK,
                       reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
    };
}

INT_PTR CALLBACK HostProcedure(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

class SitesPageTest : public RegistryTest {
protected:
    void SetUp() override {
        RegistryTest::SetUp();
        ::DeleteFileW(WidePointer(UserSiteListPath()));
        WriteFileBytes(SystemSiteListPath(), Encrypted(kCatalogueText));
    }
    void TearDown() override {
        Close();
        ::DeleteFileW(WidePointer(UserSiteListPath()));
        ::DeleteFileW(WidePointer(SystemSiteListPath()));
        RegistryTest::TearDown();
    }

    // The page in a hidden host (as the sheet makes it), every category expanded.
    void Open() {
        host = ::CreateDialogParamA(ProgramInstance(), MAKEINTRESOURCEA(IDD_OPTIONS), nullptr,
                                    HostProcedure, 0);
        configuration = ReadConfiguration();
        page = std::make_unique<SitesPage>(configuration, [this] { ++exits; });
        RECT area{};
        ::GetClientRect(host, &area);
        ASSERT_TRUE(page->Create(ProgramInstance(), IDD_SITES_PAGE, host, area));
        page->Show(true);
        tree = ::GetDlgItem(page->Handle(), IDC_SITE_TREE);
        for (HTREEITEM root : Children(TVI_ROOT)) {
            TreeView_Expand(tree, root, TVE_EXPAND);
        }
    }
    void Close() {
        if (host != nullptr) {
            ::DestroyWindow(host);
            host = nullptr;
        }
        page.reset();
    }
    // Applies and closes, as the sheet's OK does; returns the stored catalogue.
    SiteCatalogue ApplyAndClose() {
        page->Apply();
        Close();
        SiteCatalogue stored;
        LoadSiteList(stored, nullptr, SiteListPolicy());
        return stored;
    }

    std::vector<HTREEITEM> Children(HTREEITEM parent) const {
        std::vector<HTREEITEM> nodes;
        for (HTREEITEM node = TreeView_GetNextItem(tree, parent == TVI_ROOT ? nullptr : parent,
                                                   parent == TVI_ROOT ? TVGN_ROOT : TVGN_CHILD);
             node != nullptr; node = TreeView_GetNextSibling(tree, node)) {
            nodes.push_back(node);
        }
        return nodes;
    }
    HTREEITEM Root(std::size_t index) const { return Children(TVI_ROOT).at(index); }
    TVITEMA Node(HTREEITEM node) const {
        static char text[300];
        TVITEMA item{};
        item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
        item.hItem = node;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        TreeView_GetItem(tree, &item);
        return item;
    }
    HTREEITEM SiteNode(SiteId id) const {
        for (HTREEITEM root : Children(TVI_ROOT)) {
            for (HTREEITEM node : Children(root)) {
                if (Node(node).lParam == id) {
                    return node;
                }
            }
        }
        return nullptr;
    }
    // Each category as "[name]" followed by its sites as "id:image".
    std::string TreeShape() const {
        std::string shape;
        for (HTREEITEM root : Children(TVI_ROOT)) {
            TVITEMA item = Node(root);
            shape += "[" + std::string(item.pszText) + ":" + std::to_string(item.iImage) +
                     std::to_string(item.iSelectedImage) + "]";
            for (HTREEITEM node : Children(root)) {
                item = Node(node);
                shape += std::to_string(item.lParam) + ":" + std::to_string(item.iImage) +
                         std::to_string(item.iSelectedImage) + " ";
            }
        }
        return shape;
    }
    int Image(HTREEITEM node) const { return Node(node).iImage; }
    void Select(HTREEITEM node) const { TreeView_SelectItem(tree, node); }
    void Key(WORD vk, bool control = false) const {
        if (control) {
            HoldKey(VK_CONTROL);
        }
        ::SendMessageA(tree, WM_KEYDOWN, vk, 0);
        if (control) {
            ReleaseKey(VK_CONTROL);
        }
    }
    void Button(int id) const {
        ::SendMessageA(page->Handle(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(page->Handle(), id)));
    }
    // Show, Default, New, Edit and Remove as "1" (enabled) or "0", then 207's caption.
    std::string Buttons() const {
        std::string states;
        for (int id :
             {IDC_TOGGLE_SITE, IDC_SET_DEFAULT, IDC_NEW_SITE, IDC_EDIT_SITE, IDC_REMOVE_SITE}) {
            states += ::IsWindowEnabled(::GetDlgItem(page->Handle(), id)) ? '1' : '0';
        }
        return states + " " + WindowText(::GetDlgItem(page->Handle(), IDC_TOGGLE_SITE));
    }
    std::string Label() const {
        return WindowText(::GetDlgItem(page->Handle(), IDC_DEFAULT_SITE_LABEL));
    }

    // A point of the node in screen coordinates: on its icon, or on its text.
    POINT PointOn(HTREEITEM node, bool icon) const {
        RECT text{};
        std::memcpy(&text, &node, sizeof node);  // TVM_GETITEMRECT takes the node in the rect
        ::SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&text));
        TVHITTESTINFO hit{};
        hit.pt = {(text.left + text.right) / 2, (text.top + text.bottom) / 2};
        for (hit.pt.x = icon ? text.left - 1 : hit.pt.x; icon && hit.pt.x > 0; --hit.pt.x) {
            if (TreeView_HitTest(tree, &hit) == node && (hit.flags & TVHT_ONITEMICON)) {
                break;
            }
        }
        ::ClientToScreen(tree, &hit.pt);
        return hit.pt;
    }
    // The tree's notification of a click at `screen`, where the cursor is put.
    void Notify(UINT code, POINT screen) const {
        ::SetCursorPos(screen.x, screen.y);
        NMHDR header{tree, IDC_SITE_TREE, code};
        ::SendMessageA(page->Handle(), WM_NOTIFY, IDC_SITE_TREE, reinterpret_cast<LPARAM>(&header));
    }

    static std::string SelectedIds() {
        std::string ids;
        win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kSelectedKey, KEY_READ);
        for (int i = 0; auto id = win::ReadDword(key.Get(), std::to_string(i).c_str()); ++i) {
            ids += std::to_string(*id) + " ";
        }
        return ids;
    }
    static std::uint32_t DefaultSite() {
        return ReadTestDword(kSettingsKey, "DefaultSite").value_or(999);
    }

    HWND host = nullptr;
    HWND tree = nullptr;
    Configuration configuration;  // the page holds it
    std::unique_ptr<SitesPage> page;
    int exits = 0;
};

TEST_F(SitesPageTest, ShowsTheTreeAndTogglesAndSetsTheDefaultByKeysClicksAndButtons) {
    WriteTestDword(kSelectedKey, "0", 9);
    WriteTestDword(kSelectedKey, "1", 2);
    WriteTestDword(kSettingsKey, "DefaultSite", 3);
    Open();
    EXPECT_EQ(exits, 0);
    // Sites whose category is missing go under one extra root at the end.
    EXPECT_EQ(TreeShape(),
              "[Search:00]0:22 2:11 3:22 5:22 6:22 8:22 9:11 [News:00]1:22 4:22 7:22 "
              "[Other Sites:00]12:22 ");
    EXPECT_EQ(Label(), "Site 3");
    EXPECT_EQ(Buttons(), "00000 Show &Site");
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(page->Handle(), IDC_EXPORT_SITES)));
    // The node pictures come at the size of the screen's DPI (16 pixels at 96 DPI).
    const int pictureSize =
        (16 * ::GetDeviceCaps(win::WindowDc(nullptr).Get(), LOGPIXELSY) + 48) / 96;
    int width = 0;
    int height = 0;
    ASSERT_TRUE(::ImageList_GetIconSize(
        reinterpret_cast<HIMAGELIST>(::SendMessageA(tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0)),
        &width, &height));
    EXPECT_EQ(width, pictureSize);
    EXPECT_EQ(height, pictureSize);

    HTREEITEM site8 = SiteNode(8);
    HTREEITEM site2 = SiteNode(2);
    Select(site8);
    EXPECT_EQ(Buttons(), "11111 Show &Site");
    Key(VK_SPACE);
    EXPECT_EQ(Image(site8), 1);
    EXPECT_EQ(Buttons(), "11111 Hide &Site");
    Key('M');  // without Ctrl: nothing
    EXPECT_EQ(Image(site8), 1);
    Key('M', true);
    EXPECT_EQ(Image(site8), 2);
    Button(IDC_TOGGLE_SITE);
    EXPECT_EQ(Image(site8), 1);
    // A click on another site's icon toggles that site; one on its text does nothing.
    Notify(NM_CLICK, PointOn(site2, true));
    Notify(NM_CLICK, PointOn(SiteNode(12), false));
    EXPECT_EQ(Image(site2), 2);
    EXPECT_EQ(Image(site8), 1);
    EXPECT_EQ(Image(SiteNode(12)), 2);
    // A double click makes the selected site the default; on a category, nothing.
    Notify(NM_DBLCLK, PointOn(site8, false));
    EXPECT_EQ(Label(), "Site 8");
    Select(Root(0));
    EXPECT_EQ(Buttons(), "00100 Show &Site");
    Key(VK_SPACE);
    Key('D', true);
    Notify(NM_DBLCLK, PointOn(Root(0), false));
    EXPECT_EQ(Label(), "Site 8");
    Select(nullptr);
    EXPECT_EQ(Buttons(), "00000 Show &Site");

    // Visible sites and the default reach the registry; the file keeps its bytes.
    ApplyAndClose();
    EXPECT_EQ(SelectedIds(), "8 9 ");
    EXPECT_EQ(DefaultSite(), 8u);
    EXPECT_EQ(::GetFileAttributesW(WidePointer(UserSiteListPath())), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadFileBytes(SystemSiteListPath()), Encrypted(kCatalogueText));
}

// Policies fix the visible sites, the default site and the catalogue: the tree shows
// theirs, nothing changes them, and OK leaves the user's own as stored.
TEST_F(SitesPageTest, PoliciesFixTheVisibleSitesTheDefaultAndTheCatalogue) {
    WriteTestDword(kSelectedKey, "0", 9);
    WriteTestDword(kSelectedKey, "1", 2);
    WriteTestDword(kSettingsKey, "DefaultSite", 3);
    ASSERT_TRUE(AddPolicy("HKLM\\VisibleSites", "1", "REG_SZ", "4"));
    ASSERT_TRUE(AddPolicy("HKLM\\VisibleSites", "2", "REG_SZ", "1"));
    ASSERT_TRUE(AddPolicy("HKCU", "DefaultSite", "REG_DWORD", "5"));
    ASSERT_TRUE(AddPolicy("HKLM", "AllowSiteEditing", "REG_DWORD", "0"));
    Open();
    EXPECT_EQ(TreeShape(),
              "[Search:00]0:22 2:22 3:22 5:22 6:22 8:22 9:22 [News:00]1:11 4:11 7:22 "
              "[Other Sites:00]12:22 ");
    EXPECT_EQ(Label(), "Site 5");
    EXPECT_EQ(WindowText(::GetDlgItem(page->Handle(), IDC_MANAGED_NOTE)),
              "Some settings are managed by your organization.");
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(page->Handle(), IDC_IMPORT_SITES)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(page->Handle(), IDC_EXPORT_SITES)));
    HTREEITEM site8 = SiteNode(8);
    Select(site8);
    EXPECT_EQ(Buttons(), "00000 Show &Site");
    Notify(NM_CLICK, PointOn(site8, true));  // Space, Ctrl+M and a double click: the same
    Key('D', true);
    EXPECT_EQ(Image(site8), 2);
    EXPECT_EQ(Label(), "Site 5");
    // No question comes: removing is off.
    EXPECT_FALSE(Answered("Vantapicker", Reply(IDYES), [&] { Key(VK_DELETE); }));

    ApplyAndClose();
    EXPECT_EQ(SelectedIds(), "9 2 ");
    EXPECT_EQ(DefaultSite(), 3u);
    EXPECT_EQ(::GetFileAttributesW(WidePointer(UserSiteListPath())), INVALID_FILE_ATTRIBUTES);
}

// The organisation's list is unread: nothing is stored over it.
TEST_F(SitesPageTest, AnUnreadOrganisationsListIsNeverReplaced) {
    WriteTestDword(kSelectedKey, "0", 9);
    WriteTestDword(kSettingsKey, "DefaultSite", 3);
    ASSERT_TRUE(AddPolicy("HKLM", "SiteListPath", "REG_SZ", TempFolder() + "no such list.qhsl"));
    Open();
    EXPECT_EQ(WindowText(::GetDlgItem(page->Handle(), IDC_MANAGED_NOTE)),
              "Your organization's site list has not been read yet, so the sites shown cannot "
              "be changed.");
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(page->Handle(), IDC_IMPORT_SITES)));
    Select(SiteNode(8));
    EXPECT_EQ(Buttons(), "00000 Show &Site");
    Key(VK_SPACE);
    ApplyAndClose();
    EXPECT_EQ(SelectedIds(), "9 ");
    EXPECT_EQ(DefaultSite(), 3u);
    EXPECT_EQ(::GetFileAttributesW(WidePointer(UserSiteListPath())), INVALID_FILE_ATTRIBUTES);
}

TEST_F(SitesPageTest, ContextMenuFollowsTheNodeKind) {
    Open();
    // Right-clicks at `at`; the menu's items as "1" (enabled) or "0" (grey) in the order
    // toggle, default, new, edit, remove, then the toggle's text. Empty without a menu.
    auto menuAt = [&](POINT at) {
        std::string shown;
        std::atomic<bool> stop{false};
        std::thread reader([&] {
            HWND window = WaitForTopLevelWindow("#32768", nullptr, 3000, {}, &stop);
            if (window == nullptr) {
                return;
            }
            auto menu = reinterpret_cast<HMENU>(::SendMessageA(window, MN_GETHMENU, 0, 0));
            for (UINT id :
                 {ID_SITE_TOGGLE, ID_SITE_SET_DEFAULT, ID_SITE_NEW, ID_SITE_EDIT, ID_SITE_REMOVE}) {
                shown += (::GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) ? '0' : '1';
            }
            char text[64] = {};
            ::GetMenuStringA(menu, ID_SITE_TOGGLE, text, sizeof text, MF_BYCOMMAND);
            shown += std::string(" ") + text;
            ::PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
        });
        Notify(NM_RCLICK, at);
        stop = true;
        reader.join();
        return shown;
    };
    EXPECT_EQ(menuAt(PointOn(Root(1), false)), "00100 Show &Site\tSpace");
    EXPECT_EQ(TreeView_GetSelection(tree), Root(1));
    EXPECT_EQ(Buttons(), "00100 Show &Site");
    EXPECT_EQ(menuAt(PointOn(SiteNode(1), false)), "11111 Hide &Site\tSpace");
    EXPECT_EQ(TreeView_GetSelection(tree), SiteNode(1));
    EXPECT_EQ(menuAt(PointOn(SiteNode(8), false)), "11111 Show &Site\tSpace");
    // Empty space: no menu, the selection stays.
    for (HTREEITEM root : Children(TVI_ROOT)) {
        TreeView_Expand(tree, root, TVE_COLLAPSE);
    }
    HTREEITEM selected = TreeView_GetSelection(tree);
    RECT client{};
    ::GetClientRect(tree, &client);
    POINT empty{client.right - 5, client.bottom - 5};
    ::ClientToScreen(tree, &empty);
    EXPECT_EQ(menuAt(empty), "");
    EXPECT_EQ(TreeView_GetSelection(tree), selected);
}

TEST_F(SitesPageTest, RemoveNewAndEditChangeTheCatalogueAndCancelChangesNothing) {
    Open();
    std::string question;
    Select(SiteNode(3));
    ASSERT_TRUE(Answered("Vantapicker", Reply(IDNO, &question), [&] { Key(VK_DELETE); }));
    EXPECT_EQ(question,
              "Are you sure you want to remove this site?\nThis operation can't be undone.");
    ASSERT_NE(SiteNode(3), nullptr);
    ASSERT_TRUE(Answered("Vantapicker", Reply(IDYES), [&] { Key(VK_DELETE); }));
    EXPECT_EQ(SiteNode(3), nullptr);
    Select(SiteNode(12));  // a site without a category is removed like any other
    ASSERT_TRUE(Answered("Vantapicker", Reply(IDYES), [&] { Button(IDC_REMOVE_SITE); }));
    EXPECT_EQ(SiteNode(12), nullptr);

    // New Site under a selected category, then beside a selected site.
    Select(Root(1));
    ASSERT_TRUE(Answered("Site Properties", FillSiteProperties("Fresh", "https://fresh.test/?q="),
                         [&] { Button(IDC_NEW_SITE); }));
    HTREEITEM fresh = SiteNode(10);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(Children(Root(1)).back(), fresh);
    EXPECT_EQ(Image(fresh), 1);
    EXPECT_EQ(TreeView_GetSelection(tree), fresh);
    EXPECT_EQ(Buttons(), "11111 Hide &Site");
    Select(SiteNode(0));
    ASSERT_TRUE(Answered("Site Properties", FillSiteProperties("Second", "https://second.test/"),
                         [&] { Key('N', true); }));
    EXPECT_EQ(TreeView_GetParent(tree, SiteNode(11)), Root(0));

    // Edit changes name and URL only; Cancel in the dialog changes nothing.
    Select(SiteNode(7));
    ASSERT_TRUE(Answered("Site Properties", FillSiteProperties("Seven", "https://seven.test/"),
                         [&] { Key('E', true); }));
    EXPECT_STREQ(Node(SiteNode(7)).pszText, "Seven");
    ASSERT_TRUE(Answered("Site Properties", FillSiteProperties("No", "no", IDCANCEL),
                         [&] { Button(IDC_EDIT_SITE); }));
    Select(Root(0));
    ASSERT_TRUE(Answered("Site Properties", FillSiteProperties("No", "no", IDCANCEL),
                         [&] { Button(IDC_NEW_SITE); }));
    EXPECT_EQ(SiteNode(12), nullptr);
    EXPECT_STREQ(Node(SiteNode(7)).pszText, "Seven");

    SiteCatalogue stored = ApplyAndClose();
    std::string summary;
    for (const auto& [id, site] : stored) {
        summary += std::to_string(id) + ":" + std::to_string(site.category) + ":" + site.name + " ";
    }
    EXPECT_EQ(summary,
              "0:0:Site 0 1:1:Site 1 2:0:Site 2 4:1:Site 4 5:0:Site 5 6:0:Site 6 7:1:Seven "
              "8:0:Site 8 9:0:Site 9 10:1:Fresh 11:0:Second ");
    EXPECT_EQ(stored.Find(7)->url, "https://seven.test/");
    EXPECT_EQ(SelectedIds(), "0 1 2 4 5 6 10 11 ");
}

TEST_F(SitesPageTest, EditCutsOnlyTheFieldTheUserChanged) {
    const std::string longName(300, 'n');
    const std::string longUrl = "https://long.test/?q=" + std::string(3000, 'u');
    SiteCatalogue catalogue;
    catalogue.Insert(0, {longName, longUrl, 0, false, false});
    WriteFileBytes(SystemSiteListPath(), Encrypted(FormatSiteList(catalogue, {{"Only"}})));
    Open();
    Select(SiteNode(0));
    auto sameUrl = [&](HWND dialog) {
        ::SetWindowTextA(::GetDlgItem(dialog, IDC_SITE_URL), longUrl.c_str());
        ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    };
    ASSERT_TRUE(Answered("Site Properties", sameUrl, [&] { Button(IDC_EDIT_SITE); }));
    ASSERT_TRUE(Answered("Site Properties", FillSiteProperties(longName + "x", longUrl + "x"),
                         [&] { Button(IDC_NEW_SITE); }));
    SiteCatalogue stored = ApplyAndClose();
    EXPECT_TRUE(stored.Find(0)->name == longName);
    EXPECT_TRUE(stored.Find(0)->url == longUrl);
    EXPECT_TRUE(stored.Find(1)->name == longName.substr(0, 259));
    EXPECT_TRUE(stored.Find(1)->url == longUrl.substr(0, 2082));
}

TEST_F(SitesPageTest, FailedStoreOfTheSiteListIsReported) {
    Open();
    Select(SiteNode(5));
    ASSERT_TRUE(Answered("Site Properties", FillSiteProperties("Five", "5"),
                         [&] { Button(IDC_EDIT_SITE); }));
    // The user's file is held open elsewhere: it cannot be replaced.
    ASSERT_EQ(SaveSiteList({}, {}), 0u);
    const std::string before = ReadFileBytes(UserSiteListPath());
    win::FileHandle holder = HoldFile(UserSiteListPath());
    std::string text;
    EXPECT_TRUE(Answered("Vantapicker", Reply(IDOK, &text), [&] {
        page->Apply();
        Close();
    }));
    EXPECT_EQ(text.rfind("Can't store the site list file. Your changes to the sites were not "
                         "saved.\r\n\r\n",
                         0),
              0u)
        << text;
    EXPECT_GT(text.size(), 80u);  // the system's reason follows
    holder.Reset();
    EXPECT_EQ(ReadFileBytes(UserSiteListPath()), before);
}

TEST_F(SitesPageTest, ImportAndExportExchangeWholeCatalogues) {
    WriteTestDword(kSettingsKey, "DefaultSite", 4);
    Open();
    const std::string exchange = TempFolder() + "AvailableSitesExchange.qhsle";
    const std::string otherName = TempFolder() + "plain copy.qhsl";
    const std::string plain =
        "Quenhollow Available Site List\r\n\r\nOne\r\n\r\n"
        "1\r\n0\r\nFirst\r\nhttps://1.test/\r\n0\r\n8\r\n0\r\nEighth\r\nhttps://8.test/\r\n0\r\n";
    WriteFileBytes(exchange, plain);
    WriteFileBytes(otherName, plain);
    auto import = [&](const std::string& path) {
        return Answered("Open", ChooseFile(path), [&] { Button(IDC_IMPORT_SITES); });
    };

    // The plain bytes under another name are refused, and the page stays as it was.
    const std::string shapeBefore = TreeShape();
    std::string message;
    EXPECT_TRUE(Answered("Vantapicker", Reply(IDOK, &message), [&] { import(otherName); }));
    EXPECT_EQ(message, "Wrong site list file");
    EXPECT_EQ(TreeShape(), shapeBefore);

    // Export without an extension writes an encrypted .qhsl of the working copy.
    const std::string exported = TempFolder() + "exported.qhsl";
    ::DeleteFileA(exported.c_str());
    ASSERT_TRUE(Answered("Save As", ChooseFile(TempFolder() + "exported"),
                         [&] { Button(IDC_EXPORT_SITES); }));
    const std::string exportedBytes = ReadFileBytes(exported);
    SiteCatalogue expected;
    SiteCategoryList expectedCategories;
    ParseSiteList(kCatalogueText, expected, &expectedCategories);
    EXPECT_EQ(exportedBytes, Encrypted(FormatSiteList(expected, expectedCategories)));
    {
        // A file that another program holds cannot be replaced: the export says so, and why.
        win::FileHandle holder = HoldFile(exported);
        ASSERT_TRUE(holder);
        auto replace = [&](HWND dialog) {
            ChooseFile(exported)(dialog);
            HWND confirm = nullptr;  // the dialog asks before it replaces a file: yes
            WaitUntil([&] {
                for (HWND window : TopLevelWindows("#32770", nullptr, kOwnVisibleWindows)) {
                    confirm = ::GetWindow(window, GW_OWNER) == dialog ? window : confirm;
                }
                return confirm != nullptr;
            });
            ::PostMessageA(confirm, WM_COMMAND, IDYES, 0);
        };
        std::string failure;
        EXPECT_TRUE(Answered("Vantapicker", Reply(IDOK, &failure), [&] {
            Answered("Save As", replace, [&] { Button(IDC_EXPORT_SITES); });
        }));
        const std::string said = "Can't write the site list file. The sites were not exported.";
        EXPECT_EQ(failure.substr(0, said.size() + 4), said + "\r\n\r\n");
        EXPECT_GT(failure.size(), said.size() + 4);  // and the system's reason
    }
    EXPECT_EQ(ReadFileBytes(exported), exportedBytes);

    // A plain list under the exchange name is read; without site 0 the label stays.
    ASSERT_TRUE(import(exchange));
    EXPECT_EQ(TreeShape(), "[One:00]1:11 8:22 ");
    EXPECT_EQ(Label(), "Site 4");
    // The exported list comes back whole, ids 0 to 6 visible and site 0 the default.
    ASSERT_TRUE(import(exported));
    EXPECT_EQ(TreeShape(),
              "[Search:00]0:11 2:11 3:11 5:11 6:11 8:22 9:22 [News:00]1:11 4:11 7:22 "
              "[Other Sites:00]12:22 ");
    EXPECT_EQ(Label(), "Site 0");
    ApplyAndClose();
    EXPECT_EQ(DefaultSite(), 0u);
    EXPECT_EQ(SelectedIds(), "0 1 2 3 4 5 6 ");
    EXPECT_EQ(ReadFileBytes(UserSiteListPath()), exportedBytes);
    for (const std::string& path : {exchange, otherName, exported}) {
        ::DeleteFileA(path.c_str());
    }
}

TEST_F(SitesPageTest, CancelAfterAnImportStoresNothing) {
    WriteTestDword(kSelectedKey, "0", 2);
    WriteTestDword(kSettingsKey, "DefaultSite", 4);
    Open();
    const std::string exchange = TempFolder() + "AvailableSitesExchange.qhsle";
    WriteFileBytes(exchange,
                   "Quenhollow Available Site List\r\n\r\nOne\r\n\r\n"
                   "0\r\n0\r\nFirst\r\nhttps://1.test/\r\n0\r\n");
    ASSERT_TRUE(Answered("Open", ChooseFile(exchange), [&] { Button(IDC_IMPORT_SITES); }));
    ASSERT_EQ(TreeShape(), "[One:00]0:11 ");
    Close();  // Cancel: the page goes without Apply
    EXPECT_EQ(::GetFileAttributesW(WidePointer(UserSiteListPath())), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadFileBytes(SystemSiteListPath()), Encrypted(kCatalogueText));
    EXPECT_EQ(SelectedIds(), "2 ");
    EXPECT_EQ(DefaultSite(), 4u);
    ::DeleteFileA(exchange.c_str());
}

TEST_F(SitesPageTest, FailedImportLeavesNothingOfItToStore) {
    Open();
    Select(SiteNode(5));
    ASSERT_TRUE(Answered("Site Properties", FillSiteProperties("Five", "5"),
                         [&] { Button(IDC_EDIT_SITE); }));
    const std::string foreign = TempFolder() + "foreign.qhsl";
    WriteFileBytes(foreign, "not a site list");
    EXPECT_TRUE(Answered("Vantapicker", Reply(IDOK), [&] {
        Answered("Open", ChooseFile(foreign), [&] { Button(IDC_IMPORT_SITES); });
    }));
    // A file whose bytes cannot be read (over 2 GiB, extended without writing, so it takes no room)
    // is an error with the system's reason, not an empty catalogue.
    const std::string huge = TempFolder() + "huge.qhsl";
    ASSERT_TRUE(MakeHugeFile(huge));
    std::string message;
    EXPECT_TRUE(Answered("Vantapicker", Reply(IDOK, &message), [&] {
        Answered("Open", ChooseFile(huge), [&] { Button(IDC_IMPORT_SITES); });
    }));
    EXPECT_EQ(message, SystemErrorText(ERROR_FILE_TOO_LARGE));
    ::DeleteFileA(huge.c_str());
    SiteCatalogue stored = ApplyAndClose();
    EXPECT_EQ(stored.Size(), 11u);
    EXPECT_EQ(stored.Find(5)->name, "Five");
    EXPECT_EQ(SelectedIds(), "0 1 2 3 4 5 6 ");
    ::DeleteFileA(foreign.c_str());
}

TEST_F(SitesPageTest, AUserFileThatCouldNotBeReadIsNeverStoredOver) {
    // The user's own catalogue, held open by another program sharing only deletion: the
    // page opens on the Windows directory's copy.
    std::string userText = kCatalogueText;
    userText.replace(userText.find("Site 5"), 6, "Mine 5");
    WriteFileBytes(UserSiteListPath(), Encrypted(userText));
    win::FileHandle holder = HoldFile(UserSiteListPath(), FILE_SHARE_DELETE);
    ASSERT_TRUE(holder);
    Open();
    EXPECT_EQ(Node(SiteNode(5)).pszText, std::string("Site 5"));
    Select(SiteNode(5));
    Key(VK_SPACE);
    ASSERT_TRUE(Answered("Site Properties", FillSiteProperties("Five", "5"),
                         [&] { Button(IDC_EDIT_SITE); }));
    holder.Reset();  // free again by the time of OK: still not the catalogue the user saw
    std::string text;
    EXPECT_TRUE(Answered("Vantapicker", Reply(IDOK, &text), [&] {
        page->Apply();
        Close();
    }));
    EXPECT_EQ(text, LoadResourceString(IDS_SITE_LIST_NOT_READ));
    EXPECT_NE(text, "");
    EXPECT_EQ(ReadFileBytes(UserSiteListPath()), Encrypted(userText));
    EXPECT_EQ(SelectedIds(), "");  // nothing of the page stored
}

}  // namespace
}  // namespace vp

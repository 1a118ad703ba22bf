// The Sites page and the site properties dialog, hosted in a dialog of this process and
// driven with the tree's own messages; modal boxes and file dialogs are answered from a
// helper thread.
#include "options/SitesPage.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/RegistryKeys.h"
#include "resources/resource.h"
#include "sites/SiteListCipher.h"
#include "sites/SiteListFile.h"
#include "sites/SiteListFormat.h"
#include "tests/win/Fixtures.h"
#include "tests/win/RegistryFixture.h"
#include "tests/win/WindowSearch.h"
#include "win/Handle.h"
#include "win/Registry.h"
#include "win/WinText.h"

namespace vp {
namespace {

constexpr int kCategoryImage = 0;
constexpr int kVisibleImage = 1;
constexpr int kHiddenImage = 2;

std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

std::string Encrypted(std::string bytes) {
    SiteListCipher().Encrypt(reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size());
    return bytes;
}

std::string Decrypted(std::string bytes) {
    SiteListCipher().Decrypt(reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size());
    return bytes;
}

bool FileExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string TempPath(const std::string& name) {
    char folder[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, folder);
    return folder + name;
}

// Ids 0 to 9 in "Search" and "News"; site 12 names a category that does not exist. The
// numbers are written loosely, so a rewrite of the file would change its bytes.
const std::string kCatalogueText =
    "Quenhollow Available Site List\r\n\r\nSearch\r\nNews\r\n\r\n"
    "0\r\n0\r\nSite 0\r\nhttps://s0.test/?q=\r\n0\r\n"
    "01\r\n1\r\nSite 1\r\nhttps://s1.test/?q=\r\n1\r\n"
    "2\r\n0\r\nSite 2\r\nhttps://s2.test/?q=\r\n0\r\n"
    "3\r\n1\r\nSite 3\r\nhttps://s3.test/?q=\r\n0\r\n"
    "4\r\n0\r\nSite 4\r\nhttps://s4.test/?q=\r\n0\r\n"
    "5\r\n0\r\nSite 5\r\nhttps://s5.test/?q=\r\n0\r\n"
    "6\r\n1\r\nSite 6\r\nhttps://s6.test/?q=\r\n0\r\n"
    "7\r\n0\r\nSite 7\r\nhttps://s7.test/?q=\r\n0\r\n"
    "8\r\n1\r\nSite 8\r\nhttps://s8.test/?q=\r\n0\r\n"
    "9\r\n0\r\nSite 9\r\nhttps://s9.test/?q=\r\n0\r\n"
    "12\r\n7\r\nOrphan\r\nhttps://o.test/?q=\r\n0\r\n";

INT_PTR CALLBACK HostProcedure(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

// Waits on a helper thread for a top-level dialog with the title, then runs `act` on it.
class Answerer {
public:
    Answerer(const char* title, std::function<void(HWND)> act)
        : thread_([this, title, act = std::move(act)] {
              HWND window = WaitForTopLevelWindow("#32770", title, 5000, &stop_);
              if (window != nullptr) {
                  seen_ = true;
                  act(window);
              }
          }) {}
    ~Answerer() { Finish(); }
    // Stops waiting; true when the window came.
    bool Finish() {
        stop_ = true;
        if (thread_.joinable()) {
            thread_.join();
        }
        return seen_;
    }

private:
    std::atomic<bool> stop_{false};
    std::atomic<bool> seen_{false};
    std::thread thread_;
};

// Fills the site properties dialog and presses OK (or Cancel).
std::function<void(HWND)> FillProperties(std::string name, std::string url, int button = IDOK) {
    return [=](HWND dialog) {
        ::SetWindowTextA(::GetDlgItem(dialog, IDC_SITE_NAME), name.c_str());
        ::SetWindowTextA(::GetDlgItem(dialog, IDC_SITE_URL), url.c_str());
        ::PostMessageA(dialog, WM_COMMAND, button, 0);
    };
}

// Types a path into a common file dialog and presses its OK button.
std::function<void(HWND)> ChooseFile(std::string path) {
    return [=](HWND dialog) {
        HWND name = ::GetDlgItem(dialog, 0x47C);  // the file name combo box
        if (name == nullptr) {
            name = ::GetDlgItem(dialog, 0x480);  // or plain edit
        }
        ::SetWindowTextA(name, path.c_str());
        ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(dialog, IDOK)));
    };
}

class SitesPageTest : public RegistryTest {
protected:
    void SetUp() override {
        RegistryTest::SetUp();
        ::DeleteFileA(UserSiteListPath().c_str());
        WriteFileBytes(SystemSiteListPath(), Encrypted(kCatalogueText));
    }

    void TearDown() override {
        Close();
        ::DeleteFileA(UserSiteListPath().c_str());
        ::DeleteFileA(SystemSiteListPath().c_str());
        RegistryTest::TearDown();
    }

    void Open() {
        host = ::CreateDialogParamA(ProgramInstance(), MAKEINTRESOURCEA(IDD_OPTIONS), nullptr,
                                    HostProcedure, 0);
        ASSERT_NE(host, nullptr);
        page = std::make_unique<SitesPage>([this] { ++exits; });
        RECT area{};
        ::GetClientRect(host, &area);
        ASSERT_TRUE(page->Create(ProgramInstance(), IDD_SITES_PAGE, host, area));
        page->Show(true);  // inside the hidden host: its nodes have their places all the same
        tree = ::GetDlgItem(page->Handle(), IDC_SITE_TREE);
        ASSERT_NE(tree, nullptr);
        // Every node shown, so that each has a place to click.
        for (HTREEITEM root = TreeView_GetRoot(tree); root;
             root = TreeView_GetNextSibling(tree, root)) {
            TreeView_Expand(tree, root, TVE_EXPAND);
        }
        PumpMessagesFor(30);
    }

    void Close() {
        if (host != nullptr) {
            ::DestroyWindow(host);
            host = nullptr;
        }
        page.reset();
    }

    // Applies the page and closes the dialog, as the sheet's OK does.
    void ApplyAndClose() {
        page->Apply();
        Close();
    }

    std::string NodeText(HTREEITEM node) const {
        char text[260] = {};
        TVITEMA item{};
        item.mask = TVIF_TEXT;
        item.hItem = node;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        TreeView_GetItem(tree, &item);
        return text;
    }
    TVITEMA NodeItem(HTREEITEM node) const {
        TVITEMA item{};
        item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
        item.hItem = node;
        TreeView_GetItem(tree, &item);
        return item;
    }
    int Image(HTREEITEM node) const { return NodeItem(node).iImage; }

    std::vector<HTREEITEM> Roots() const {
        std::vector<HTREEITEM> roots;
        for (HTREEITEM node = TreeView_GetRoot(tree); node;
             node = TreeView_GetNextSibling(tree, node)) {
            roots.push_back(node);
        }
        return roots;
    }
    std::vector<HTREEITEM> Children(HTREEITEM parent) const {
        std::vector<HTREEITEM> children;
        for (HTREEITEM node = TreeView_GetChild(tree, parent); node;
             node = TreeView_GetNextSibling(tree, node)) {
            children.push_back(node);
        }
        return children;
    }
    // The node of a site id; null when there is none.
    HTREEITEM SiteNode(SiteId id) const {
        for (HTREEITEM root : Roots()) {
            for (HTREEITEM node : Children(root)) {
                if (NodeItem(node).lParam == id) {
                    return node;
                }
            }
        }
        return nullptr;
    }
    // "id:image" of every site node, in tree order, each category as "[text]".
    std::string TreeShape() const {
        std::string shape;
        for (HTREEITEM root : Roots()) {
            shape += "[" + NodeText(root) + "]";
            for (HTREEITEM node : Children(root)) {
                shape +=
                    std::to_string(NodeItem(node).lParam) + ":" + std::to_string(Image(node)) + " ";
            }
        }
        return shape;
    }

    void Select(HTREEITEM node) const { TreeView_SelectItem(tree, node); }
    void Key(WORD vk) const { ::SendMessageA(tree, WM_KEYDOWN, vk, 0); }
    void Button(int id) const {
        ::SendMessageA(page->Handle(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(page->Handle(), id)));
    }
    // Which of Show, Default, New, Edit and Remove are enabled, as "10101".
    std::string Buttons() const {
        std::string states;
        for (int id :
             {IDC_TOGGLE_SITE, IDC_SET_DEFAULT, IDC_NEW_SITE, IDC_EDIT_SITE, IDC_REMOVE_SITE}) {
            states += ::IsWindowEnabled(::GetDlgItem(page->Handle(), id)) ? '1' : '0';
        }
        return states;
    }
    std::string Label() const {
        return WindowText(::GetDlgItem(page->Handle(), IDC_DEFAULT_SITE_LABEL));
    }

    // The rectangle of the node's text (TVM_GETITEMRECT takes the node in the rectangle).
    RECT TextRect(HTREEITEM node) const {
        RECT rect{};
        std::memcpy(&rect, &node, sizeof node);
        ::SendMessageA(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rect));
        return rect;
    }
    // A point on the node's icon, in screen coordinates.
    POINT IconPoint(HTREEITEM node) const {
        RECT text = TextRect(node);
        TVHITTESTINFO hit{};
        hit.pt = {text.left - 1, (text.top + text.bottom) / 2};
        while (hit.pt.x > 0) {
            if (TreeView_HitTest(tree, &hit) == node && (hit.flags & TVHT_ONITEMICON)) {
                break;
            }
            --hit.pt.x;
        }
        POINT screen = hit.pt;
        ::ClientToScreen(tree, &screen);
        return screen;
    }
    POINT TextPoint(HTREEITEM node) const {
        RECT text = TextRect(node);
        POINT screen{(text.left + text.right) / 2, (text.top + text.bottom) / 2};
        ::ClientToScreen(tree, &screen);
        return screen;
    }
    // The tree's notification of a mouse event at the cursor, put at `screen`.
    void Notify(UINT code, POINT screen) const {
        ::SetCursorPos(screen.x, screen.y);
        NMHDR header{tree, IDC_SITE_TREE, code};
        ::SendMessageA(page->Handle(), WM_NOTIFY, IDC_SITE_TREE, reinterpret_cast<LPARAM>(&header));
    }

    std::string SelectedIds() const {
        std::string ids;
        win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kSelectedKey, KEY_READ);
        for (int i = 0; key; ++i) {
            auto id = win::ReadDword(key.Get(), std::to_string(i).c_str());
            if (!id) {
                break;
            }
            ids += std::to_string(*id) + " ";
        }
        return ids;
    }
    std::optional<std::uint32_t> DefaultSite() const {
        win::RegKey key = win::OpenKey(HKEY_CURRENT_USER, kSettingsKey, KEY_READ);
        return win::ReadDword(key.Get(), "DefaultSite");
    }

    HWND host = nullptr;
    HWND tree = nullptr;
    std::unique_ptr<SitesPage> page;
    int exits = 0;
};

TEST_F(SitesPageTest, ShowsCategoriesSitesAndTheDefaultWithTheirImages) {
    WriteTestDword(kSelectedKey, "0", 9);
    WriteTestDword(kSelectedKey, "1", 2);
    WriteTestDword(kSettingsKey, "DefaultSite", 3);
    Open();
    EXPECT_EQ(exits, 0);
    // Sites whose category is missing go under one extra root at the end.
    EXPECT_EQ(TreeShape(),
              "[Search]0:2 2:1 4:2 5:2 7:2 9:1 [News]1:2 3:2 6:2 8:2 [Other Sites]12:2 ");
    for (HTREEITEM root : Roots()) {
        EXPECT_EQ(Image(root), kCategoryImage);
        EXPECT_EQ(NodeItem(root).iSelectedImage, kCategoryImage);
    }
    EXPECT_EQ(NodeItem(SiteNode(9)).iSelectedImage, kVisibleImage);
    EXPECT_EQ(Label(), "Site 3");
    EXPECT_EQ(TreeView_GetSelection(tree), nullptr);
    EXPECT_EQ(Buttons(), "00000");
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(page->Handle(), IDC_EXPORT_SITES)));
}

TEST_F(SitesPageTest, KeysClicksAndButtonsToggleAndSetTheDefault) {
    Open();
    HTREEITEM site8 = SiteNode(8);
    HTREEITEM site2 = SiteNode(2);
    Select(site8);
    EXPECT_EQ(Buttons(), "11111");
    EXPECT_EQ(WindowText(::GetDlgItem(page->Handle(), IDC_TOGGLE_SITE)), "Show &Site");
    Key(VK_SPACE);
    EXPECT_EQ(Image(site8), kVisibleImage);
    EXPECT_EQ(WindowText(::GetDlgItem(page->Handle(), IDC_TOGGLE_SITE)), "Hide &Site");
    Key('M');  // without Ctrl: nothing
    EXPECT_EQ(Image(site8), kVisibleImage);
    HoldKey(VK_CONTROL);
    Key('M');
    ReleaseKey(VK_CONTROL);
    EXPECT_EQ(Image(site8), kHiddenImage);
    Button(IDC_TOGGLE_SITE);
    EXPECT_EQ(Image(site8), kVisibleImage);

    // A click on another site's icon toggles that site; on its text, nothing.
    Notify(NM_CLICK, IconPoint(site2));
    EXPECT_EQ(Image(site2), kHiddenImage);
    EXPECT_EQ(Image(site8), kVisibleImage);
    Notify(NM_CLICK, TextPoint(site2));
    EXPECT_EQ(Image(site2), kHiddenImage);

    // A double click makes the selected site the default; on a category, nothing.
    Notify(NM_DBLCLK, TextPoint(site8));
    EXPECT_EQ(Label(), "Site 8");
    Select(Roots()[0]);
    EXPECT_EQ(Buttons(), "00100");
    Key(VK_SPACE);
    Notify(NM_DBLCLK, TextPoint(Roots()[0]));
    EXPECT_EQ(Label(), "Site 8");
    Select(nullptr);
    EXPECT_EQ(Buttons(), "00000");

    // Toggles and the default reach the registry; the file stays as it was.
    ApplyAndClose();
    EXPECT_EQ(SelectedIds(), "0 1 3 4 5 6 8 ");
    EXPECT_EQ(DefaultSite(), 8u);
    EXPECT_FALSE(FileExists(UserSiteListPath()));
    EXPECT_EQ(ReadBytes(SystemSiteListPath()), Encrypted(kCatalogueText));
}

TEST_F(SitesPageTest, ContextMenuFollowsTheNodeKind) {
    Open();
    struct Shown {
        std::string states;  // enabled (1) or grey (0): toggle, default, new, edit, remove
        std::string toggleText;
    };
    auto rightClick = [&](POINT at) {
        Shown shown;
        std::atomic<bool> stop{false};
        std::thread reader([&] {
            HWND menuWindow = WaitForTopLevelWindow("#32768", nullptr, 3000, &stop);
            if (menuWindow == nullptr) {
                return;
            }
            auto menu = reinterpret_cast<HMENU>(::SendMessageA(menuWindow, 0x01E1, 0, 0));
            for (UINT id :
                 {ID_SITE_TOGGLE, ID_SITE_SET_DEFAULT, ID_SITE_NEW, ID_SITE_EDIT, ID_SITE_REMOVE}) {
                shown.states += (::GetMenuState(menu, id, MF_BYCOMMAND) & MF_GRAYED) ? '0' : '1';
            }
            char text[64] = {};
            ::GetMenuStringA(menu, ID_SITE_TOGGLE, text, sizeof text, MF_BYCOMMAND);
            shown.toggleText = text;
            ::PostMessageA(menuWindow, WM_KEYDOWN, VK_ESCAPE, 0);
        });
        Notify(NM_RCLICK, at);
        stop = true;
        reader.join();
        return shown;
    };
    Shown category = rightClick(TextPoint(Roots()[1]));
    EXPECT_EQ(category.states, "00100");
    EXPECT_EQ(TreeView_GetSelection(tree), Roots()[1]);
    EXPECT_EQ(Buttons(), "00100");
    Shown visible = rightClick(TextPoint(SiteNode(1)));
    EXPECT_EQ(visible.states, "11111");
    EXPECT_EQ(visible.toggleText, "Hide &Site\tSpace");
    EXPECT_EQ(TreeView_GetSelection(tree), SiteNode(1));
    Shown hidden = rightClick(TextPoint(SiteNode(8)));
    EXPECT_EQ(hidden.toggleText, "Show &Site\tSpace");
    EXPECT_EQ(Buttons(), "11111");
    // Empty space: no menu, the selection stays.
    for (HTREEITEM root : Roots()) {
        TreeView_Expand(tree, root, TVE_COLLAPSE);
    }
    RECT client{};
    ::GetClientRect(tree, &client);
    POINT empty{client.right - 5, client.bottom - 5};
    ::ClientToScreen(tree, &empty);
    HTREEITEM selected = TreeView_GetSelection(tree);
    EXPECT_EQ(rightClick(empty).states, "");
    EXPECT_EQ(TreeView_GetSelection(tree), selected);
}

TEST_F(SitesPageTest, DeleteAsksAndRemovesAndApplyStoresTheCatalogue) {
    Open();
    HTREEITEM site3 = SiteNode(3);
    Select(site3);
    std::string question;
    {
        Answerer no("Vantapicker", [&](HWND box) {
            question = MessageBoxText(box);
            ::PostMessageA(box, WM_COMMAND, IDNO, 0);
        });
        Key(VK_DELETE);
        ASSERT_TRUE(no.Finish());
    }
    EXPECT_EQ(question,
              "Are you sure you want to remove this site?\nThis operation can't be undone.");
    EXPECT_EQ(SiteNode(3), site3);
    {
        Answerer yes("Vantapicker", [](HWND box) { ::PostMessageA(box, WM_COMMAND, IDYES, 0); });
        Key(VK_DELETE);
        ASSERT_TRUE(yes.Finish());
    }
    EXPECT_EQ(SiteNode(3), nullptr);
    // The site without a category is removed like any other.
    Select(SiteNode(12));
    {
        Answerer yes("Vantapicker", [](HWND box) { ::PostMessageA(box, WM_COMMAND, IDYES, 0); });
        Button(IDC_REMOVE_SITE);
        ASSERT_TRUE(yes.Finish());
    }
    EXPECT_EQ(SiteNode(12), nullptr);
    ApplyAndClose();
    SiteCatalogue stored;
    LoadSiteList(stored, nullptr);
    EXPECT_EQ(stored.Size(), 9u);
    EXPECT_EQ(stored.Find(3), nullptr);
    EXPECT_EQ(SelectedIds(), "0 1 2 4 5 6 ");
}

TEST_F(SitesPageTest, NewAndEditChangeTheWorkingCopyAndCancelChangesNothing) {
    Open();
    // New Site with a category selected, then with a site selected.
    Select(Roots()[1]);
    {
        Answerer fill("Site Properties", FillProperties("Fresh", "https://fresh.test/?q="));
        Button(IDC_NEW_SITE);
        ASSERT_TRUE(fill.Finish());
    }
    HTREEITEM fresh = SiteNode(13);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(TreeView_GetParent(tree, fresh), Roots()[1]);
    EXPECT_EQ(Children(Roots()[1]).back(), fresh);
    EXPECT_EQ(Image(fresh), kVisibleImage);
    EXPECT_EQ(TreeView_GetSelection(tree), fresh);
    EXPECT_EQ(Buttons(), "11111");
    Select(SiteNode(0));
    {
        Answerer fill("Site Properties", FillProperties("Second", "https://second.test/"));
        HoldKey(VK_CONTROL);
        Key('N');
        ReleaseKey(VK_CONTROL);
        ASSERT_TRUE(fill.Finish());
    }
    ASSERT_NE(SiteNode(14), nullptr);
    EXPECT_EQ(TreeView_GetParent(tree, SiteNode(14)), Roots()[0]);

    // Edit keeps id, category and visibility; Cancel keeps everything.
    Select(SiteNode(7));
    {
        Answerer fill("Site Properties", FillProperties("Seven", "https://seven.test/"));
        Button(IDC_EDIT_SITE);
        ASSERT_TRUE(fill.Finish());
    }
    EXPECT_EQ(NodeText(SiteNode(7)), "Seven");
    {
        Answerer cancel("Site Properties", FillProperties("No", "no", IDCANCEL));
        Button(IDC_EDIT_SITE);
        ASSERT_TRUE(cancel.Finish());
    }
    Select(Roots()[0]);
    {
        Answerer cancel("Site Properties", FillProperties("No", "no", IDCANCEL));
        Button(IDC_NEW_SITE);
        ASSERT_TRUE(cancel.Finish());
    }
    EXPECT_EQ(SiteNode(15), nullptr);
    EXPECT_EQ(NodeText(SiteNode(7)), "Seven");

    ApplyAndClose();
    SiteCatalogue stored;
    SiteCategoryList categories;
    LoadSiteList(stored, &categories);
    ASSERT_EQ(stored.Size(), 13u);
    EXPECT_EQ(stored.Find(13)->name, "Fresh");
    EXPECT_EQ(stored.Find(13)->category, 1);
    EXPECT_EQ(stored.Find(14)->category, 0);
    EXPECT_EQ(stored.Find(7)->name, "Seven");
    EXPECT_EQ(stored.Find(7)->url, "https://seven.test/");
    EXPECT_EQ(stored.Find(7)->category, 0);
    EXPECT_EQ(stored.Find(12)->category, 7);  // still without a category
    EXPECT_EQ(SelectedIds(), "0 1 2 3 4 5 6 13 14 ");
}

TEST_F(SitesPageTest, EditCutsOnlyTheFieldTheUserChanged) {
    const std::string longName(300, 'n');
    const std::string longUrl = "https://long.test/?q=" + std::string(3000, 'u');
    SiteCatalogue catalogue;
    catalogue.Insert(0, {longName, longUrl, 0, false, false, nullptr});
    WriteFileBytes(SystemSiteListPath(), Encrypted(FormatSiteList(catalogue, {{"Only", nullptr}})));
    Open();
    Select(SiteNode(0));
    auto editUrlOnly = [&](HWND dialog) {
        ::SetWindowTextA(::GetDlgItem(dialog, IDC_SITE_URL), longUrl.c_str());
        ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    };
    {
        Answerer edit("Site Properties", editUrlOnly);
        Button(IDC_EDIT_SITE);
        ASSERT_TRUE(edit.Finish());
    }
    {
        Answerer edit("Site Properties", FillProperties(longName + "x", longUrl + "x"));
        Button(IDC_NEW_SITE);
        ASSERT_TRUE(edit.Finish());
    }
    ApplyAndClose();
    SiteCatalogue stored;
    LoadSiteList(stored, nullptr);
    EXPECT_TRUE(stored.Find(0)->name == longName);
    EXPECT_TRUE(stored.Find(0)->url == longUrl);
    EXPECT_TRUE(stored.Find(1)->name == longName.substr(0, 259));
    EXPECT_TRUE(stored.Find(1)->url == longUrl.substr(0, 2082));
}

TEST_F(SitesPageTest, FailedStoreOfTheSiteListIsReported) {
    Open();
    Select(SiteNode(5));
    {
        Answerer fill("Site Properties", FillProperties("Five", "https://five.test/"));
        Button(IDC_EDIT_SITE);
        ASSERT_TRUE(fill.Finish());
    }
    // The user's file exists and is held open elsewhere: it cannot be replaced.
    ASSERT_TRUE(SaveSiteList({}, {}));
    std::string before = ReadBytes(UserSiteListPath());
    win::FileHandle holder(::CreateFileA(UserSiteListPath().c_str(), GENERIC_READ, 0, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);
    std::string text;
    {
        Answerer box("Vantapicker", [&](HWND window) {
            text = MessageBoxText(window);
            ::PostMessageA(window, WM_COMMAND, IDOK, 0);
        });
        ApplyAndClose();
        EXPECT_TRUE(box.Finish());
    }
    EXPECT_EQ(
        text.rfind(
            "Can't store the site list file. Your changes to the sites were not saved.\r\n\r\n", 0),
        0u)
        << text;
    EXPECT_GT(text.size(), 80u);  // the system's reason follows
    holder.Reset();
    EXPECT_EQ(ReadBytes(UserSiteListPath()), before);
}

TEST_F(SitesPageTest, ImportAndExportExchangeWholeCatalogues) {
    WriteTestDword(kSettingsKey, "DefaultSite", 4);
    Open();
    const std::string exchange = TempPath("AvailableSitesExchange.qhsle");
    const std::string sameBytes = TempPath("plain copy.qhsl");
    std::string imported =
        "Quenhollow Available Site List\r\n\r\nOne\r\n\r\n"
        "1\r\n0\r\nFirst\r\nhttps://1.test/\r\n0\r\n"
        "8\r\n0\r\nEighth\r\nhttps://8.test/\r\n0\r\n";
    WriteFileBytes(exchange, imported);
    WriteFileBytes(sameBytes, imported);

    // The same plain bytes under another name are refused, and the page stays as it was.
    const std::string shapeBefore = TreeShape();
    std::string message;
    {
        Answerer open("Open", ChooseFile(sameBytes));
        Answerer box("Vantapicker", [&](HWND window) {
            message = MessageBoxText(window);
            ::PostMessageA(window, WM_COMMAND, IDOK, 0);
        });
        Button(IDC_IMPORT_SITES);
        EXPECT_TRUE(open.Finish());
        EXPECT_TRUE(box.Finish());
    }
    EXPECT_EQ(message, "Wrong site list file");
    EXPECT_EQ(TreeShape(), shapeBefore);

    // Export without an extension writes an encrypted .qhsl; importing it gives the same.
    const std::string exportBase = TempPath("exported");
    ::DeleteFileA((exportBase + ".qhsl").c_str());
    {
        Answerer save("Save As", ChooseFile(exportBase));
        Button(IDC_EXPORT_SITES);
        ASSERT_TRUE(save.Finish());
    }
    std::string exportedBytes = ReadBytes(exportBase + ".qhsl");
    EXPECT_EQ(Decrypted(exportedBytes).substr(0, 40),
              "Quenhollow Available Site List\r\n\r\nSearch");
    SiteCatalogue exportedCatalogue;
    SiteCategoryList exportedCategories;
    LoadSiteList(exportedCatalogue, &exportedCategories, (exportBase + ".qhsl").c_str());
    SiteCatalogue expected;
    SiteCategoryList expectedCategories;
    ParseSiteList(kCatalogueText, expected, &expectedCategories);
    EXPECT_EQ(FormatSiteList(exportedCatalogue, exportedCategories),
              FormatSiteList(expected, expectedCategories));

    // A plain list under the exchange name is read; site 0 is missing, so the label stays.
    {
        Answerer open("Open", ChooseFile(exchange));
        Button(IDC_IMPORT_SITES);
        ASSERT_TRUE(open.Finish());
    }
    EXPECT_EQ(TreeShape(), "[One]1:1 8:2 ");
    EXPECT_EQ(Label(), "Site 4");
    {
        Answerer open("Open", ChooseFile(exportBase + ".qhsl"));
        Button(IDC_IMPORT_SITES);
        ASSERT_TRUE(open.Finish());
    }
    EXPECT_EQ(TreeShape(),
              "[Search]0:1 2:1 4:1 5:1 7:2 9:2 [News]1:1 3:1 6:1 8:2 [Other Sites]12:2 ");
    EXPECT_EQ(Label(), "Site 0");
    ApplyAndClose();
    EXPECT_EQ(DefaultSite(), 0u);
    EXPECT_EQ(SelectedIds(), "0 1 2 3 4 5 6 ");
    EXPECT_EQ(ReadBytes(UserSiteListPath()), exportedBytes);
    for (const std::string& path : {exchange, sameBytes, exportBase + ".qhsl"}) {
        ::DeleteFileA(path.c_str());
    }
}

TEST_F(SitesPageTest, FailedImportLeavesNothingToStore) {
    Open();
    Select(SiteNode(5));
    {
        Answerer fill("Site Properties", FillProperties("Five", "https://five.test/"));
        Button(IDC_EDIT_SITE);
        ASSERT_TRUE(fill.Finish());
    }
    const std::string foreign = TempPath("foreign.qhsl");
    WriteFileBytes(foreign, "not a site list");
    {
        Answerer open("Open", ChooseFile(foreign));
        Answerer box("Vantapicker",
                     [](HWND window) { ::PostMessageA(window, WM_COMMAND, IDOK, 0); });
        Button(IDC_IMPORT_SITES);
        EXPECT_TRUE(open.Finish());
        EXPECT_TRUE(box.Finish());
    }
    ApplyAndClose();
    SiteCatalogue stored;
    LoadSiteList(stored, nullptr);
    EXPECT_EQ(stored.Size(), 11u);
    EXPECT_EQ(stored.Find(5)->name, "Five");
    EXPECT_EQ(SelectedIds(), "0 1 2 3 4 5 6 ");
    ::DeleteFileA(foreign.c_str());
}

}  // namespace
}  // namespace vp

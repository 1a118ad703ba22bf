#include "options/SitesPage.h"

#include <exception>
#include <optional>
#include <string>
#include <utility>

#include "base/ErrorCode.h"
#include "base/DpiScale.h"
#include "options/SitePropertiesDialog.h"
#include "resources/resource.h"
#include "sites/SelectionStore.h"
#include "sites/SiteListExchange.h"
#include "sites/SiteListFile.h"
#include "win/Dpi.h"
#include "win/ErrorBox.h"
#include "win/Handle.h"
#include "win/QhError.h"
#include "win/WinText.h"

namespace vp {

SitesPage::SitesPage(std::function<void()> exitProgram) : exitProgram_(std::move(exitProgram)) {}

SitesPage::~SitesPage() {
    if (imageList_ != nullptr) {
        ::ImageList_Destroy(imageList_);
    }
}

HWND SitesPage::Tree() const {
    return Item(IDC_SITE_TREE);
}

INT_PTR SitesPage::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    using Map = win::MessageMap<SitesPage, INT_PTR>;
    static constexpr Map::Entry kMessages[] = {
        Map::Message<&SitesPage::OnInitDialog>(WM_INITDIALOG),
        Map::Notify<&SitesPage::OnSelectionChanged>(IDC_SITE_TREE, TVN_SELCHANGEDA),
        Map::Notify<&SitesPage::OnSelectionChanged>(IDC_SITE_TREE, TVN_SELCHANGEDW),
        Map::Notify<&SitesPage::OnTreeKey>(IDC_SITE_TREE, TVN_KEYDOWN),
        Map::Notify<&SitesPage::OnTreeDoubleClick>(IDC_SITE_TREE, NM_DBLCLK),
        Map::Notify<&SitesPage::OnTreeClick>(IDC_SITE_TREE, NM_CLICK),
        Map::Notify<&SitesPage::OnTreeRightClick>(IDC_SITE_TREE, NM_RCLICK),
        Map::Command<&SitesPage::OnToggle>(IDC_TOGGLE_SITE, BN_CLICKED),
        Map::Command<&SitesPage::OnSetDefault>(IDC_SET_DEFAULT, BN_CLICKED),
        Map::Command<&SitesPage::OnNewSite>(IDC_NEW_SITE, BN_CLICKED),
        Map::Command<&SitesPage::OnEditSite>(IDC_EDIT_SITE, BN_CLICKED),
        Map::Command<&SitesPage::OnRemoveSite>(IDC_REMOVE_SITE, BN_CLICKED),
        Map::Command<&SitesPage::OnImport>(IDC_IMPORT_SITES, BN_CLICKED),
        Map::Command<&SitesPage::OnExport>(IDC_EXPORT_SITES, BN_CLICKED),
        Map::Message<&SitesPage::OnCtlColor>(WM_CTLCOLORDLG),
        Map::Message<&SitesPage::OnCtlColor>(WM_CTLCOLORBTN),
        Map::Message<&SitesPage::OnCtlColorStatic>(WM_CTLCOLORSTATIC),
    };
    return Dispatch(kMessages, message, wParam, lParam);
}

// ---- Opening ----------------------------------------------------------------

INT_PTR SitesPage::OnInitDialog(WPARAM, LPARAM) {
    const bool opened = RunReportingErrors([this] {
        source_ = LoadSiteList(catalogue_, &categories_);
        MarkVisibleSites(catalogue_, false);
        defaultSiteId_ = LoadDefaultSiteId();
        openedVisibleIds_ = VisibleIds();
        openedDefaultSiteId_ = defaultSiteId_;
        ShowDefaultSiteName();
        BuildImageList();
        InsertCategoryNodes();
        InsertSiteNodes();
        EnableItem(IDC_EXPORT_SITES, true);
    });
    if (!opened && exitProgram_) {
        exitProgram_();
    }
    return TRUE;
}

void SitesPage::ShowDefaultSiteName() {
    if (const SiteRecord* site = catalogue_.Find(defaultSiteId_)) {
        SetItemText(IDC_DEFAULT_SITE_LABEL, site->name);
    }
}

void SitesPage::BuildImageList() {
    // The 16-pixel pictures at the size of the screen's DPI, as the tree's text is.
    RECT page{};
    ::GetWindowRect(Handle(), &page);
    const int size = ScaleForDpi(16, static_cast<int>(DpiAtPoint({page.left, page.top})));
    imageList_ = ::ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 3, 0);
    if (imageList_ == nullptr) {
        throw _qh_error::FromLastError(0);
    }
    // Indexes 0, 1 and 2 are the node kinds.
    for (int bitmapId : {IDB_CATEGORY, IDB_VISIBLE_SITE, IDB_HIDDEN_SITE}) {
        const win::BitmapHandle bitmap(static_cast<HBITMAP>(::LoadImageA(
            ProgramInstance(), MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, size, size, 0)));
        ::ImageList_AddMasked(imageList_, bitmap.Get(), RGB(255, 255, 255));
    }
    ::ImageList_SetBkColor(imageList_, CLR_NONE);
    TreeView_SetImageList(Tree(), imageList_, TVSIL_NORMAL);
}

HTREEITEM SitesPage::InsertNode(HTREEITEM parent, const std::string& text, int kind, LPARAM data) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>(text.c_str());
    insert.item.iImage = kind;
    insert.item.iSelectedImage = kind;
    insert.item.lParam = data;
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageA(Tree(), TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void SitesPage::InsertCategoryNodes() {
    LPARAM position = 0;
    for (SiteCategory& category : categories_) {
        category.treeItem = InsertNode(TVI_ROOT, category.name, kImageCategory, position++);
    }
}

bool SitesPage::IsCategoryPosition(std::int32_t position) const {
    return position >= 0 && static_cast<std::size_t>(position) < categories_.size();
}

HTREEITEM SitesPage::OtherSitesNode() {
    if (otherSitesNode_ == nullptr) {
        // Its item data is the first position past the list, so a site made under it
        // belongs to no category either.
        otherSitesNode_ = InsertNode(TVI_ROOT, LoadResourceString(IDS_OTHER_SITES), kImageCategory,
                                     static_cast<LPARAM>(categories_.size()));
    }
    return otherSitesNode_;
}

void SitesPage::InsertSiteNodes() {
    for (auto& [id, site] : catalogue_) {
        HTREEITEM parent = IsCategoryPosition(site.category)
                               ? static_cast<HTREEITEM>(categories_[site.category].treeItem)
                               : OtherSitesNode();
        site.treeItem =
            InsertNode(parent, site.name, site.visible ? kImageVisibleSite : kImageHiddenSite, id);
    }
}

// ---- Nodes ------------------------------------------------------------------

HTREEITEM SitesPage::SelectedNode() const {
    return TreeView_GetSelection(Tree());
}

bool SitesPage::ReadNode(HTREEITEM node, NodeInfo& info) const {
    if (node == nullptr) {
        return false;
    }
    TVITEMA item{};
    item.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_PARAM;
    item.hItem = node;
    if (!::SendMessageA(Tree(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) {
        return false;
    }
    info.kind = item.iImage;
    info.data = item.lParam;
    return true;
}

void SitesPage::UpdateSiteButtons(int kind) {
    const bool site = kind == kImageVisibleSite || kind == kImageHiddenSite;
    EnableItem(IDC_TOGGLE_SITE, site);
    EnableItem(IDC_SET_DEFAULT, site);
    EnableItem(IDC_NEW_SITE, site || kind == kImageCategory);
    EnableItem(IDC_EDIT_SITE, site);
    EnableItem(IDC_REMOVE_SITE, site);
    SetItemText(IDC_TOGGLE_SITE,
                LoadResourceString(kind == kImageVisibleSite ? IDS_HIDE_SITE : IDS_SHOW_SITE));
}

void SitesPage::ToggleSite(HTREEITEM node) {
    NodeInfo info;
    if (!ReadNode(node, info) ||
        (info.kind != kImageVisibleSite && info.kind != kImageHiddenSite)) {
        return;
    }
    SiteRecord* site = catalogue_.Find(static_cast<SiteId>(info.data));
    if (site == nullptr) {
        return;
    }
    site->visible = info.kind != kImageVisibleSite;
    const int kind = site->visible ? kImageVisibleSite : kImageHiddenSite;
    UpdateSiteButtons(kind);
    TVITEMA item{};
    item.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.hItem = node;
    item.iImage = kind;
    item.iSelectedImage = kind;
    ::SendMessageA(Tree(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void SitesPage::ToggleSelectedSite() {
    if (HTREEITEM node = SelectedNode()) {
        ToggleSite(node);
    }
}

void SitesPage::SetSelectedAsDefault() {
    HTREEITEM node = SelectedNode();
    if (node == nullptr) {
        return;
    }
    char text[260] = {};
    TVITEMA item{};
    item.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_PARAM;
    item.hItem = node;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    if (!::SendMessageA(Tree(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) ||
        (item.iImage != kImageVisibleSite && item.iImage != kImageHiddenSite)) {
        return;
    }
    SetItemText(IDC_DEFAULT_SITE_LABEL, text);
    defaultSiteId_ = static_cast<SiteId>(item.lParam);
}

void SitesPage::RemoveSelectedSite() {
    HTREEITEM node = SelectedNode();
    NodeInfo info;
    if (!ReadNode(node, info) ||
        (info.kind != kImageVisibleSite && info.kind != kImageHiddenSite)) {
        return;
    }
    const std::string question = LoadResourceString(IDS_CONFIRM_REMOVE_SITE);
    const std::string caption = LoadResourceString(IDS_PRODUCT_NAME);
    if (::MessageBoxA(Handle(), question.c_str(), caption.c_str(), MB_ICONQUESTION | MB_YESNO) !=
        IDYES) {
        return;
    }
    const SiteId id = static_cast<SiteId>(info.data);
    if (catalogue_.Find(id) == nullptr) {
        return;
    }
    TreeView_DeleteItem(Tree(), node);
    catalogue_.Erase(id);
    catalogueChanged_ = true;
}

void SitesPage::NewSite() {
    HTREEITEM node = SelectedNode();
    NodeInfo info;
    if (!ReadNode(node, info)) {
        return;
    }
    HTREEITEM parent = nullptr;
    LPARAM position = 0;
    if (info.kind == kImageCategory) {
        parent = node;
        position = info.data;
    } else if (info.kind == kImageVisibleSite || info.kind == kImageHiddenSite) {
        parent = TreeView_GetParent(Tree(), node);
        NodeInfo parentInfo;
        if (!ReadNode(parent, parentInfo)) {
            return;
        }
        position = parentInfo.data;
    } else {
        return;
    }
    const SiteId id = NextSiteId(catalogue_);
    SitePropertiesDialog dialog("", "");
    if (dialog.Run(::GetAncestor(Handle(), GA_ROOT)) != IDOK) {
        return;
    }
    SiteRecord site;
    site.name = dialog.Name();
    site.url = dialog.Url();
    site.category = static_cast<std::int32_t>(position);
    site.reservedFlag = false;
    site.visible = true;
    HTREEITEM siteNode = InsertNode(parent, site.name, kImageVisibleSite, id);
    TreeView_SelectItem(Tree(), siteNode);
    site.treeItem = siteNode;
    catalogue_.Insert(id, std::move(site));
    catalogueChanged_ = true;
}

void SitesPage::EditSelectedSite() {
    HTREEITEM node = SelectedNode();
    NodeInfo info;
    if (!ReadNode(node, info) ||
        (info.kind != kImageVisibleSite && info.kind != kImageHiddenSite)) {
        return;
    }
    SiteRecord* site = catalogue_.Find(static_cast<SiteId>(info.data));
    if (site == nullptr) {
        return;
    }
    SitePropertiesDialog dialog(site->name, site->url);
    if (dialog.Run(::GetAncestor(Handle(), GA_ROOT)) != IDOK) {
        return;
    }
    TVITEMA item{};
    item.mask = TVIF_HANDLE | TVIF_TEXT;
    item.hItem = node;
    item.pszText = const_cast<char*>(dialog.Name().c_str());
    ::SendMessageA(Tree(), TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    site->name = dialog.Name();
    site->url = dialog.Url();
    catalogueChanged_ = true;
}

// ---- Import and export ------------------------------------------------------

void SitesPage::ImportSiteList() {
    std::optional<std::string> path = AskImportPath(Handle());
    if (!path) {
        return;
    }
    RunReportingErrors([&] {
        // Read into a catalogue of its own: a file that fails leaves the page as it was.
        SiteCatalogue imported;
        SiteCategoryList importedCategories;
        LoadSiteList(imported, &importedCategories, path->c_str());
        catalogue_ = std::move(imported);
        categories_ = std::move(importedCategories);
        source_ = SiteListSource::GivenFile;  // the user chose to replace the whole catalogue
        MarkVisibleSites(catalogue_, true);
        defaultSiteId_ = 0;
        ShowDefaultSiteName();
        TreeView_DeleteAllItems(Tree());
        otherSitesNode_ = nullptr;
        InsertCategoryNodes();
        InsertSiteNodes();
        catalogueChanged_ = true;
    });
}

void SitesPage::ExportSiteList() {
    if (std::optional<std::string> path = AskExportPath(Handle())) {
        if (const std::uint32_t error = SaveSiteList(catalogue_, categories_, path->c_str());
            error != 0) {
            ShowSystemErrorBox(IDS_CANT_EXPORT_SITE_LIST, error);  // the file is not there
        }
    }
}

// ---- Applying ---------------------------------------------------------------

void SitesPage::Apply() {
    ApplySiteChanges();
}

std::vector<SiteId> SitesPage::VisibleIds() const {
    std::vector<SiteId> ids;
    for (const auto& [id, record] : catalogue_) {
        if (record.visible) {
            ids.push_back(id);
        }
    }
    return ids;
}

void SitesPage::ApplySiteChanges() {
    try {
        if (source_ == SiteListSource::WindowsCopyForUnreadUserFile) {
            // The page shows the Windows directory's copy in place of the user's file:
            // storing it would replace the user's catalogue, whose ids the selection and
            // the default refer to. Nothing is stored; the user hears why when there was
            // something to store.
            if (catalogueChanged_ || defaultSiteId_ != openedDefaultSiteId_ ||
                VisibleIds() != openedVisibleIds_) {
                ShowErrorBox(kResultFail, LoadResourceString(IDS_SITE_LIST_NOT_READ));
            }
            return;
        }
        if (catalogueChanged_) {
            if (const std::uint32_t error = SaveSiteList(catalogue_, categories_); error != 0) {
                // The user's edits of the catalogue are lost: say so, and why.
                ShowSystemErrorBox(IDS_CANT_SAVE_SITE_LIST, error);
                return;
            }
        }
        SaveVisibleSites(catalogue_);
        SaveDefaultSiteId(defaultSiteId_);
    } catch (...) {
        // Dropped on purpose: applying stops at the step that failed and the dialog closes.
    }
}

// ---- Tree notifications -----------------------------------------------------

INT_PTR SitesPage::OnSelectionChanged(const NMHDR&) {
    SetMsgResult(0);
    RunQuietly([this] {
        HTREEITEM node = SelectedNode();
        if (node == nullptr) {
            UpdateSiteButtons(kNodeNone);
            return;
        }
        NodeInfo info;
        if (ReadNode(node, info)) {
            UpdateSiteButtons(info.kind);
        }
    });
    return 0;
}

INT_PTR SitesPage::OnTreeKey(const NMHDR& header) {
    SetMsgResult(0);
    const WORD key = reinterpret_cast<const NMTVKEYDOWN&>(header).wVKey;
    const bool control = ::GetAsyncKeyState(VK_CONTROL) != 0;
    RunQuietly([&] {
        if (key == VK_SPACE) {
            ToggleSelectedSite();
        } else if (key == VK_DELETE) {
            RemoveSelectedSite();
        } else if (control && key == 'E') {
            EditSelectedSite();
        } else if (control && key == 'N') {
            NewSite();
        } else if (control && key == 'D') {
            SetSelectedAsDefault();
        } else if (control && key == 'M') {
            ToggleSelectedSite();
        }
    });
    return 0;
}

INT_PTR SitesPage::OnTreeDoubleClick(const NMHDR&) {
    SetMsgResult(0);
    RunQuietly([this] { SetSelectedAsDefault(); });
    return 0;
}

HTREEITEM SitesPage::NodeAtCursor(POINT& screen, UINT& flags) const {
    ::GetCursorPos(&screen);
    TVHITTESTINFO hit{};
    hit.pt = screen;
    ::ScreenToClient(Tree(), &hit.pt);
    HTREEITEM node = TreeView_HitTest(Tree(), &hit);
    flags = hit.flags;
    return node;
}

INT_PTR SitesPage::OnTreeClick(const NMHDR&) {
    SetMsgResult(0);
    RunQuietly([this] {
        POINT screen{};
        UINT flags = 0;
        HTREEITEM node = NodeAtCursor(screen, flags);
        if (node != nullptr && (flags & TVHT_ONITEMICON) != 0) {
            ToggleSite(node);
        }
    });
    return 0;
}

INT_PTR SitesPage::OnTreeRightClick(const NMHDR&) {
    SetMsgResult(0);
    RunQuietly([this] { ShowSiteMenu(); });
    return 0;
}

void SitesPage::ShowSiteMenu() {
    POINT screen{};
    UINT flags = 0;
    HTREEITEM node = NodeAtCursor(screen, flags);
    if (node == nullptr) {
        return;
    }
    TreeView_SelectItem(Tree(), node);
    win::UniqueHandle<win::MenuTraits> menu(
        ::LoadMenuA(ProgramInstance(), MAKEINTRESOURCEA(IDM_SITE_MENU)));
    HMENU popup = ::GetSubMenu(menu.Get(), 0);
    NodeInfo info;
    if (popup == nullptr || !ReadNode(node, info)) {
        return;
    }
    const bool site = info.kind == kImageVisibleSite || info.kind == kImageHiddenSite;
    const UINT siteState = MF_BYCOMMAND | (site ? MF_ENABLED : MF_GRAYED);
    for (UINT command : {ID_SITE_TOGGLE, ID_SITE_SET_DEFAULT, ID_SITE_EDIT, ID_SITE_REMOVE}) {
        ::EnableMenuItem(popup, command, siteState);
    }
    const bool any = site || info.kind == kImageCategory;
    ::EnableMenuItem(popup, ID_SITE_NEW, MF_BYCOMMAND | (any ? MF_ENABLED : MF_GRAYED));
    if (info.kind == kImageVisibleSite) {
        const std::string hide = LoadResourceString(IDS_HIDE_SITE_MENU);
        ::ModifyMenuA(popup, ID_SITE_TOGGLE, MF_BYCOMMAND | MF_STRING, ID_SITE_TOGGLE,
                      hide.c_str());
    }
    const UINT command =
        static_cast<UINT>(::TrackPopupMenu(popup, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON,
                                           screen.x, screen.y, 0, Handle(), nullptr));
    RunMenuCommand(command);
}

void SitesPage::RunMenuCommand(UINT command) {
    switch (command) {
        case ID_SITE_TOGGLE:
            ToggleSelectedSite();
            break;
        case ID_SITE_SET_DEFAULT:
            SetSelectedAsDefault();
            break;
        case ID_SITE_NEW:
            NewSite();
            break;
        case ID_SITE_EDIT:
            EditSelectedSite();
            break;
        case ID_SITE_REMOVE:
            RemoveSelectedSite();
            break;
        default:
            break;  // dismissed
    }
}

// ---- Buttons and colours ----------------------------------------------------

void SitesPage::OnToggle() {
    RunQuietly([this] { ToggleSelectedSite(); });
}
void SitesPage::OnSetDefault() {
    RunQuietly([this] { SetSelectedAsDefault(); });
}
void SitesPage::OnNewSite() {
    RunQuietly([this] { NewSite(); });
}
void SitesPage::OnEditSite() {
    RunQuietly([this] { EditSelectedSite(); });
}
void SitesPage::OnRemoveSite() {
    RunQuietly([this] { RemoveSelectedSite(); });
}
void SitesPage::OnImport() {
    RunReportingErrors([this] { ImportSiteList(); });
}
void SitesPage::OnExport() {
    RunQuietly([this] { ExportSiteList(); });
}

INT_PTR SitesPage::OnCtlColor(WPARAM, LPARAM) {
    return reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_MENU));
}

INT_PTR SitesPage::OnCtlColorStatic(WPARAM wParam, LPARAM) {
    ::SetBkColor(reinterpret_cast<HDC>(wParam), ::GetSysColor(COLOR_MENU));
    return reinterpret_cast<INT_PTR>(::GetSysColorBrush(COLOR_MENU));
}

}  // namespace vp

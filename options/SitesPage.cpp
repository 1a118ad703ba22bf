#include "options/SitesPage.h"

#include <exception>
#include <optional>
#include <string>
#include <utility>

#include "base/ErrorCode.h"
#include "options/SitePropertiesDialog.h"
#include "resources/resource.h"
#include "sites/SelectionStore.h"
#include "sites/SiteListExchange.h"
#include "sites/SiteListFile.h"
#include "win/ErrorBox.h"
#include "win/Handle.h"
#include "win/Language.h"
#include "win/QhError.h"
#include "win/WinText.h"

namespace vp {

SitesPage::SitesPage(const Configuration& configuration, std::function<void()> exitProgram)
    : exitProgram_(std::move(exitProgram)), configuration_(configuration) {}

void SitesPage::Quietly(SitesPage& page, void (SitesPage::*command)()) {
    RunQuietly([&] { (page.*command)(); });
}

void SitesPage::Reporting(SitesPage& page, void (SitesPage::*command)()) {
    RunReportingErrors([&] { (page.*command)(); });
}

INT_PTR SitesPage::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    using Map = win::MessageMap<SitesPage, INT_PTR>;
    static constexpr Map::Entry kMessages[] = {
        Map::Notify<&SitesPage::OnSelectionChanged>(IDC_SITE_TREE, TVN_SELCHANGEDA),
        Map::Notify<&SitesPage::OnSelectionChanged>(IDC_SITE_TREE, TVN_SELCHANGEDW),
        Map::Notify<&SitesPage::OnTreeKey>(IDC_SITE_TREE, TVN_KEYDOWN),
        Map::Notify<&SitesPage::OnTreeDoubleClick>(IDC_SITE_TREE, NM_DBLCLK),
        Map::Notify<&SitesPage::OnTreeClick>(IDC_SITE_TREE, NM_CLICK),
        Map::Notify<&SitesPage::OnTreeRightClick>(IDC_SITE_TREE, NM_RCLICK),
        Map::Command<&SitesPage::ToggleSelectedSite, Quietly>(IDC_TOGGLE_SITE, BN_CLICKED),
        Map::Command<&SitesPage::SetSelectedAsDefault, Quietly>(IDC_SET_DEFAULT, BN_CLICKED),
        Map::Command<&SitesPage::NewSite, Quietly>(IDC_NEW_SITE, BN_CLICKED),
        Map::Command<&SitesPage::EditSelectedSite, Quietly>(IDC_EDIT_SITE, BN_CLICKED),
        Map::Command<&SitesPage::RemoveSelectedSite, Quietly>(IDC_REMOVE_SITE, BN_CLICKED),
        Map::Command<&SitesPage::ImportSiteList, Reporting>(IDC_IMPORT_SITES, BN_CLICKED),
        Map::Command<&SitesPage::ExportSiteList, Quietly>(IDC_EXPORT_SITES, BN_CLICKED),
    };
    return Dispatch(kMessages, message, wParam, lParam);
}

// ---- Opening ----------------------------------------------------------------

INT_PTR SitesPage::OnInit() {
    const bool opened = RunReportingErrors([this] {
        // The page never waits on the organisation's list: a failed read is tried again
        // in the background, and the page shows what is known now.
        const SiteListPolicy policy = configuration_.SiteList();
        ReadManagedSiteListAgainIfUnread(policy.managedPath);
        source_ = LoadSiteList(catalogue_, &categories_, policy);
        // Until the organisation's list is read, the page shows a stand-in that nothing
        // may be stored over: every control that changes something is off.
        if (ManagedListUnread()) {
            SetItemText(IDC_MANAGED_NOTE, LoadResourceString(IDS_MANAGED_SITE_LIST_STAND_IN));
        } else if (Fixed(PolicyId::VisibleSites) || Fixed(PolicyId::DefaultSite) ||
                   Fixed(PolicyId::AllowSiteEditing) || source_ == SiteListSource::ManagedFile) {
            SetItemText(IDC_MANAGED_NOTE, LoadResourceString(IDS_MANAGED_SETTINGS));
        }
        MarkVisibleSites(catalogue_, configuration_.InForce().VisibleSites);
        defaultSiteId_ = static_cast<SiteId>(configuration_.InForce().DefaultSite);
        openedVisibleIds_ = VisibleIds(catalogue_);
        openedDefaultSiteId_ = defaultSiteId_;
        ShowDefaultSiteName();
        tree_.Attach(Item(IDC_SITE_TREE));
        tree_.Fill(categories_, catalogue_);
        EnableItem(IDC_EXPORT_SITES, !Fixed(PolicyId::AllowSiteEditing));
        EnableItem(IDC_IMPORT_SITES, !Fixed(PolicyId::AllowSiteEditing));
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

// ---- Nodes ------------------------------------------------------------------

SitesPage::Commands SitesPage::CommandsFor(NodeKind kind) const {
    const bool site = IsSite(kind);
    const bool locked = Fixed(PolicyId::AllowSiteEditing);
    return {site && !Fixed(PolicyId::VisibleSites), site && !Fixed(PolicyId::DefaultSite),
            (site || kind == NodeKind::Category) && !locked, site && !locked};
}

void SitesPage::UpdateSiteButtons(NodeKind kind) {
    const Commands commands = CommandsFor(kind);
    EnableItem(IDC_TOGGLE_SITE, commands.toggle);
    EnableItem(IDC_SET_DEFAULT, commands.setDefault);
    EnableItem(IDC_NEW_SITE, commands.create);
    EnableItem(IDC_EDIT_SITE, commands.change);
    EnableItem(IDC_REMOVE_SITE, commands.change);
    SetItemText(IDC_TOGGLE_SITE,
                LoadResourceString(kind == NodeKind::VisibleSite ? IDS_HIDE_SITE : IDS_SHOW_SITE));
}

void SitesPage::ToggleSite(HTREEITEM item) {
    SiteNode node;
    if (!tree_.Read(item, node) || !CommandsFor(node.kind).toggle) {
        return;
    }
    SiteRecord* site = catalogue_.Find(static_cast<SiteId>(node.data));
    if (site == nullptr) {
        return;
    }
    site->visible = node.kind != NodeKind::VisibleSite;
    const NodeKind kind = site->visible ? NodeKind::VisibleSite : NodeKind::HiddenSite;
    UpdateSiteButtons(kind);
    tree_.SetKind(item, kind);
}

void SitesPage::ToggleSelectedSite() {
    if (HTREEITEM item = tree_.Selected()) {
        ToggleSite(item);
    }
}

void SitesPage::SetSelectedAsDefault() {
    SiteNode node;
    if (!tree_.ReadSelected(node) || !CommandsFor(node.kind).setDefault) {
        return;
    }
    SetItemText(IDC_DEFAULT_SITE_LABEL, node.text);
    defaultSiteId_ = static_cast<SiteId>(node.data);
}

void SitesPage::RemoveSelectedSite() {
    SiteNode node;
    if (!tree_.ReadSelected(node) || !CommandsFor(node.kind).change) {
        return;
    }
    const std::string question = LoadResourceString(IDS_CONFIRM_REMOVE_SITE);
    const std::string caption = LoadResourceString(IDS_PRODUCT_NAME);
    if (::MessageBoxA(Handle(), question.c_str(), caption.c_str(), MB_ICONQUESTION | MB_YESNO) !=
        IDYES) {
        return;
    }
    const SiteId id = static_cast<SiteId>(node.data);
    if (catalogue_.Find(id) == nullptr) {
        return;
    }
    tree_.Remove(node.item);
    catalogue_.Erase(id);
    catalogueChanged_ = true;
}

void SitesPage::NewSite() {
    // Under the chosen category, or beside the chosen site.
    SiteNode category;
    if (Fixed(PolicyId::AllowSiteEditing) || !tree_.ReadSelected(category) ||
        (category.IsSite() && !tree_.Read(tree_.Parent(category.item), category)) ||
        category.kind != NodeKind::Category) {
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
    site.category = static_cast<std::int32_t>(category.data);
    site.reservedFlag = false;
    site.visible = true;
    tree_.Select(tree_.Insert(category.item, site.name, NodeKind::VisibleSite, id));
    catalogue_.Insert(id, std::move(site));
    catalogueChanged_ = true;
}

void SitesPage::EditSelectedSite() {
    SiteNode node;
    if (!tree_.ReadSelected(node) || !CommandsFor(node.kind).change) {
        return;
    }
    SiteRecord* site = catalogue_.Find(static_cast<SiteId>(node.data));
    if (site == nullptr) {
        return;
    }
    SitePropertiesDialog dialog(site->name, site->url);
    if (dialog.Run(::GetAncestor(Handle(), GA_ROOT)) != IDOK) {
        return;
    }
    tree_.SetText(node.item, dialog.Name());
    site->name = dialog.Name();
    site->url = dialog.Url();
    catalogueChanged_ = true;
}

// ---- Import and export ------------------------------------------------------

void SitesPage::ImportSiteList() {
    if (Fixed(PolicyId::AllowSiteEditing)) {
        return;
    }
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
        // The policy's visible sites, else the first seven ids.
        MarkVisibleSites(catalogue_, Fixed(PolicyId::VisibleSites)
                                         ? configuration_.InForce().VisibleSites
                                         : VisibleSiteIds());
        if (!Fixed(PolicyId::DefaultSite)) {
            defaultSiteId_ = 0;
        }
        ShowDefaultSiteName();
        tree_.Fill(categories_, catalogue_);
        catalogueChanged_ = true;
    });
}

void SitesPage::ExportSiteList() {
    if (Fixed(PolicyId::AllowSiteEditing)) {
        return;
    }
    if (std::optional<std::string> path = AskExportPath(Handle())) {
        if (const std::uint32_t error = SaveSiteList(catalogue_, categories_, path->c_str());
            error != 0) {
            ShowSystemErrorBox(IDS_CANT_EXPORT_SITE_LIST, error);  // the file is not there
        }
    }
}

// ---- Applying ---------------------------------------------------------------

void SitesPage::ApplySiteChanges() {
    try {
        if (ManagedListUnread()) {
            return;  // nothing could be changed
        }
        if (source_ == SiteListSource::WindowsCopyForUnreadUserFile) {
            // The page shows the Windows directory's copy in place of the user's file:
            // storing it would replace the user's catalogue, whose ids the selection and
            // the default refer to. Nothing is stored; the user hears why when there was
            // something to store.
            if (catalogueChanged_ || defaultSiteId_ != openedDefaultSiteId_ ||
                VisibleIds(catalogue_) != openedVisibleIds_) {
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
        // What a policy fixes stays as the user stored it.
        if (!Fixed(PolicyId::VisibleSites)) {
            SaveVisibleSites(catalogue_);
        }
        if (!Fixed(PolicyId::DefaultSite)) {
            SaveDefaultSiteId(defaultSiteId_);
        }
    } catch (...) {
        // Dropped on purpose: applying stops at the step that failed and the dialog closes.
    }
}

// ---- Tree notifications -----------------------------------------------------

INT_PTR SitesPage::OnSelectionChanged(const NMHDR&) {
    SetMsgResult(0);
    RunQuietly([this] {
        SiteNode node;
        if (tree_.Selected() == nullptr) {
            UpdateSiteButtons(NodeKind::None);
        } else if (tree_.ReadSelected(node)) {
            UpdateSiteButtons(node.kind);
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

INT_PTR SitesPage::OnTreeClick(const NMHDR&) {
    SetMsgResult(0);
    RunQuietly([this] {
        POINT screen{};
        UINT flags = 0;
        HTREEITEM item = tree_.AtCursor(screen, flags);
        if (item != nullptr && (flags & TVHT_ONITEMICON) != 0) {
            ToggleSite(item);
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
    HTREEITEM item = tree_.AtCursor(screen, flags);
    if (item == nullptr) {
        return;
    }
    tree_.Select(item);
    win::UniqueHandle<win::MenuTraits> menu(LoadLocalMenu(IDM_SITE_MENU));
    HMENU popup = ::GetSubMenu(menu.Get(), 0);
    SiteNode node;
    if (popup == nullptr || !tree_.Read(item, node)) {
        return;
    }
    if (node.kind == NodeKind::VisibleSite) {
        const std::string hide = LoadResourceString(IDS_HIDE_SITE_MENU);
        ::ModifyMenuA(popup, ID_SITE_TOGGLE, MF_BYCOMMAND | MF_STRING, ID_SITE_TOGGLE,
                      hide.c_str());
    }
    const Commands commands = CommandsFor(node.kind);
    const std::pair<UINT, bool> states[] = {{ID_SITE_TOGGLE, commands.toggle},
                                            {ID_SITE_SET_DEFAULT, commands.setDefault},
                                            {ID_SITE_NEW, commands.create},
                                            {ID_SITE_EDIT, commands.change},
                                            {ID_SITE_REMOVE, commands.change}};
    for (const auto& [command, enabled] : states) {
        ::EnableMenuItem(popup, command, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    }
    const UINT command =
        static_cast<UINT>(::TrackPopupMenu(popup, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON,
                                           screen.x, screen.y, 0, Handle(), nullptr));
    RunMenuCommand(command);
}

void SitesPage::RunMenuCommand(UINT command) {
    static constexpr std::pair<UINT, void (SitesPage::*)()> kCommands[] = {
        {ID_SITE_TOGGLE, &SitesPage::ToggleSelectedSite},
        {ID_SITE_SET_DEFAULT, &SitesPage::SetSelectedAsDefault},
        {ID_SITE_NEW, &SitesPage::NewSite},
        {ID_SITE_EDIT, &SitesPage::EditSelectedSite},
        {ID_SITE_REMOVE, &SitesPage::RemoveSelectedSite},
    };
    for (const auto& [id, run] : kCommands) {
        if (id == command) {  // 0: the menu was dismissed
            (this->*run)();
        }
    }
}

}  // namespace vp

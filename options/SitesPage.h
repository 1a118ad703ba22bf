// The Sites page of the Options dialog: the site catalogue as a tree of categories and
// sites, on a working copy that is stored only when the dialog's OK applies it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <vector>

#include "sites/SiteCatalogue.h"
#include "sites/SiteListFile.h"
#include "win/Dialog.h"

namespace vp {

class SitesPage : public win::Page {
public:
    // exitProgram ends the whole program; the page calls it when its initialisation fails
    // (after showing the error box with RunReportingErrors/ShowExceptionBox).
    explicit SitesPage(std::function<void()> exitProgram);
    ~SitesPage() override;
    // Stores the changes (ApplySiteChanges); swallows its own errors except as below.
    void Apply() override;

protected:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Node kinds: the image index of a node.
    static constexpr int kImageCategory = 0;
    static constexpr int kImageVisibleSite = 1;
    static constexpr int kImageHiddenSite = 2;
    static constexpr int kNodeNone = -1;

    struct NodeInfo {
        int kind = kNodeNone;
        LPARAM data = 0;
    };

    INT_PTR OnInitDialog(WPARAM, LPARAM);
    INT_PTR OnSelectionChanged(const NMHDR&);
    INT_PTR OnTreeKey(const NMHDR&);
    INT_PTR OnTreeDoubleClick(const NMHDR&);
    INT_PTR OnTreeClick(const NMHDR&);
    INT_PTR OnTreeRightClick(const NMHDR&);
    INT_PTR OnCtlColor(WPARAM, LPARAM);
    INT_PTR OnCtlColorStatic(WPARAM, LPARAM);

    // Command handlers: any error stops the command without a message.
    void OnToggle();
    void OnSetDefault();
    void OnNewSite();
    void OnEditSite();
    void OnRemoveSite();
    void OnImport();
    void OnExport();

    void ApplySiteChanges();
    std::vector<SiteId> VisibleIds() const;
    void ToggleSite(HTREEITEM node);
    void ToggleSelectedSite();
    void SetSelectedAsDefault();
    void RemoveSelectedSite();
    void NewSite();
    void EditSelectedSite();
    void ImportSiteList();
    void ExportSiteList();
    void UpdateSiteButtons(int kind);
    void ShowSiteMenu();
    void RunMenuCommand(UINT command);
    void BuildImageList();
    void InsertCategoryNodes();
    void InsertSiteNodes();
    // Shows the default site's name in the label when the working copy has the site.
    void ShowDefaultSiteName();

    HWND Tree() const;
    HTREEITEM SelectedNode() const;
    bool ReadNode(HTREEITEM node, NodeInfo& info) const;
    HTREEITEM InsertNode(HTREEITEM parent, const std::string& text, int kind, LPARAM data);
    bool IsCategoryPosition(std::int32_t position) const;
    // The root node at the end for sites whose category number names no category,
    // created when first needed.
    HTREEITEM OtherSitesNode();
    // The node under the cursor (client coordinates of the tree), or null.
    HTREEITEM NodeAtCursor(POINT& screen, UINT& flags) const;

    std::function<void()> exitProgram_;
    SiteId defaultSiteId_ = 0;
    SiteCategoryList categories_;
    SiteCatalogue catalogue_;
    bool catalogueChanged_ = false;
    // Where the working copy came from; the Windows directory's copy standing in for a
    // user's file that could not be read is never stored over that file.
    SiteListSource source_ = SiteListSource::UserFile;
    // The visible ids and the default as opened, to tell whether the user changed them.
    std::vector<SiteId> openedVisibleIds_;
    SiteId openedDefaultSiteId_ = 0;
    HIMAGELIST imageList_ = nullptr;
    HTREEITEM otherSitesNode_ = nullptr;
};

}  // namespace vp

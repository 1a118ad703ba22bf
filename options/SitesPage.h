// The Sites page of the Options dialog: the site catalogue as a tree of categories and
// sites, on a working copy that is stored only when the dialog's OK applies it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <vector>

#include "base/Configuration.h"
#include "options/SiteTree.h"
#include "sites/SiteCatalogue.h"
#include "sites/SiteListFile.h"
#include "win/Dialog.h"

namespace vp {

class SitesPage : public win::Page {
public:
    // Shows and stores against `configuration`, which outlives the page. exitProgram ends
    // the whole program; the page calls it when its initialisation fails (after showing
    // the error box with RunReportingErrors/ShowExceptionBox).
    SitesPage(const Configuration& configuration, std::function<void()> exitProgram);
    // Stores the changes (ApplySiteChanges); swallows its own errors except as below.
    void Apply() override { ApplySiteChanges(); }

protected:
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // Runs a command of the buttons: an error stops it where it happened, without a
    // message (Import's errors are reported).
    static void Quietly(SitesPage& page, void (SitesPage::*command)());
    static void Reporting(SitesPage& page, void (SitesPage::*command)());

    INT_PTR OnInit() override;
    INT_PTR OnSelectionChanged(const NMHDR&);
    INT_PTR OnTreeKey(const NMHDR&);
    INT_PTR OnTreeDoubleClick(const NMHDR&);
    INT_PTR OnTreeClick(const NMHDR&);
    INT_PTR OnTreeRightClick(const NMHDR&);

    void ApplySiteChanges();
    void ToggleSite(HTREEITEM node);
    void ToggleSelectedSite();
    void SetSelectedAsDefault();
    void RemoveSelectedSite();
    void NewSite();
    void EditSelectedSite();
    void ImportSiteList();
    void ExportSiteList();
    // Which commands a node of this kind takes, with what policies fix: showing and
    // hiding, setting the default, new sites, and editing or removing.
    struct Commands {
        bool toggle;
        bool setDefault;
        bool create;
        bool change;
    };
    Commands CommandsFor(NodeKind kind) const;
    void UpdateSiteButtons(NodeKind kind);
    void ShowSiteMenu();
    void RunMenuCommand(UINT command);
    // Shows the default site's name in the label when the working copy has the site.
    void ShowDefaultSiteName();

    std::function<void()> exitProgram_;
    SiteId defaultSiteId_ = 0;
    SiteCategoryList categories_;
    SiteCatalogue catalogue_;
    bool catalogueChanged_ = false;
    // Where the working copy came from; the Windows directory's copy standing in for a
    // user's file that could not be read is never stored over that file.
    SiteListSource source_ = SiteListSource::UserFile;
    // The organisation's list is not read: a stand-in is shown.
    bool ManagedListUnread() const {
        return source_ == SiteListSource::ManagedCopy ||
               source_ == SiteListSource::WindowsCopyForUnreadManagedFile;
    }
    // Whether a policy fixes the visible sites (VisibleSites), the default site
    // (DefaultSite) or the catalogue itself with import and export (AllowSiteEditing);
    // all are fixed while a stand-in for the organisation's list is shown.
    bool Fixed(PolicyId id) const { return ManagedListUnread() || configuration_.Fixed(id); }

    const Configuration& configuration_;
    // The visible ids and the default as opened, to tell whether the user changed them.
    std::vector<SiteId> openedVisibleIds_;
    SiteId openedDefaultSiteId_ = 0;
    SiteTree tree_;
};

}  // namespace vp

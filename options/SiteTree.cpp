#include "options/SiteTree.h"

#include "base/DpiScale.h"
#include "resources/resource.h"
#include "win/Dpi.h"
#include "win/QhError.h"
#include "win/WinText.h"

namespace vp {

void SiteTree::Attach(HWND tree) {
    tree_ = tree;
    // The 16-pixel pictures at the size of the screen's DPI, as the tree's text is.
    RECT rect{};
    ::GetWindowRect(tree_, &rect);
    const int size = ScaleForDpi(16, static_cast<int>(DpiAtPoint({rect.left, rect.top})));
    images_.Reset(::ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 3, 0));
    if (!images_) {
        throw _qh_error::FromLastError(0);
    }
    // In the order of the node kinds.
    for (int bitmapId : {IDB_CATEGORY, IDB_VISIBLE_SITE, IDB_HIDDEN_SITE}) {
        const win::BitmapHandle bitmap(static_cast<HBITMAP>(::LoadImageA(
            ProgramInstance(), MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, size, size, 0)));
        ::ImageList_AddMasked(images_.Get(), bitmap.Get(), RGB(255, 255, 255));
    }
    ::ImageList_SetBkColor(images_.Get(), CLR_NONE);
    TreeView_SetImageList(tree_, images_.Get(), TVSIL_NORMAL);
}

void SiteTree::Fill(const SiteCategoryList& categories, const SiteCatalogue& catalogue) {
    TreeView_DeleteAllItems(tree_);
    categoryItems_.clear();
    otherSites_ = nullptr;
    categoryCount_ = categories.size();
    LPARAM position = 0;
    for (const SiteCategory& category : categories) {
        categoryItems_.push_back(Insert(TVI_ROOT, category.name, NodeKind::Category, position++));
    }
    for (const auto& [id, site] : catalogue) {
        Insert(CategoryItem(site.category), site.name,
               site.visible ? NodeKind::VisibleSite : NodeKind::HiddenSite, id);
    }
}

HTREEITEM SiteTree::CategoryItem(std::int32_t position) {
    if (position >= 0 && static_cast<std::size_t>(position) < categoryItems_.size()) {
        return categoryItems_[static_cast<std::size_t>(position)];
    }
    if (otherSites_ == nullptr) {
        // Its item data is the first position past the list, so a site made under it
        // belongs to no category either.
        otherSites_ = Insert(TVI_ROOT, LoadResourceString(IDS_OTHER_SITES), NodeKind::Category,
                             static_cast<LPARAM>(categoryCount_));
    }
    return otherSites_;
}

HTREEITEM SiteTree::Insert(HTREEITEM parent, const std::string& text, NodeKind kind, LPARAM data) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>(text.c_str());
    insert.item.iImage = static_cast<int>(kind);
    insert.item.iSelectedImage = static_cast<int>(kind);
    insert.item.lParam = data;
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageA(tree_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

bool SiteTree::Read(HTREEITEM item, SiteNode& node) const {
    if (item == nullptr) {
        return false;
    }
    char text[260] = {};
    TVITEMA tv{};
    tv.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_IMAGE | TVIF_PARAM;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = sizeof text;
    if (!::SendMessageA(tree_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv))) {
        return false;
    }
    node.item = item;
    node.kind = static_cast<NodeKind>(tv.iImage);
    node.data = tv.lParam;
    node.text = text;
    return true;
}

void SiteTree::SetKind(HTREEITEM item, NodeKind kind) const {
    TVITEMA tv{};
    tv.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    tv.hItem = item;
    tv.iImage = static_cast<int>(kind);
    tv.iSelectedImage = static_cast<int>(kind);
    ::SendMessageA(tree_, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
}

void SiteTree::SetText(HTREEITEM item, const std::string& text) const {
    TVITEMA tv{};
    tv.mask = TVIF_HANDLE | TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = const_cast<char*>(text.c_str());
    ::SendMessageA(tree_, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
}

HTREEITEM SiteTree::AtCursor(POINT& screen, UINT& flags) const {
    ::GetCursorPos(&screen);
    TVHITTESTINFO hit{};
    hit.pt = screen;
    ::ScreenToClient(tree_, &hit.pt);
    HTREEITEM item = TreeView_HitTest(tree_, &hit);
    flags = hit.flags;
    return item;
}

}  // namespace vp

// The tree of the Sites page: categories at the root, their sites below, each node's
// picture telling its kind. It knows the tree control and its nodes; what a node means
// for the catalogue is the page's business.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "sites/SiteCatalogue.h"
#include "win/Handle.h"

namespace vp {

// A node's kind, which is also the index of its picture in the image list.
enum class NodeKind : int { None = -1, Category = 0, VisibleSite = 1, HiddenSite = 2 };

inline bool IsSite(NodeKind kind) {
    return kind == NodeKind::VisibleSite || kind == NodeKind::HiddenSite;
}

// What a node holds: its kind, its item data (a site's id, a category's position in the
// list) and its text.
struct SiteNode {
    HTREEITEM item = nullptr;
    NodeKind kind = NodeKind::None;
    LPARAM data = 0;
    std::string text;

    bool IsSite() const { return vp::IsSite(kind); }
};

class SiteTree {
public:
    // Takes the tree control and gives it the node pictures at the DPI of its screen.
    void Attach(HWND tree);
    HWND Handle() const { return tree_; }

    // Empties the tree and shows the categories and their sites; a site whose category
    // number names no category goes under a node of its own at the end.
    void Fill(const SiteCategoryList& categories, const SiteCatalogue& catalogue);
    // The node of the category at `position`; the node at the end for any other.
    HTREEITEM CategoryItem(std::int32_t position);
    HTREEITEM Insert(HTREEITEM parent, const std::string& text, NodeKind kind, LPARAM data);

    // Reads a node; false for none or one the tree does not have.
    bool Read(HTREEITEM item, SiteNode& node) const;
    bool ReadSelected(SiteNode& node) const { return Read(Selected(), node); }
    void SetKind(HTREEITEM item, NodeKind kind) const;
    void SetText(HTREEITEM item, const std::string& text) const;

    HTREEITEM Selected() const { return TreeView_GetSelection(tree_); }
    void Select(HTREEITEM item) const { TreeView_SelectItem(tree_, item); }
    HTREEITEM Parent(HTREEITEM item) const { return TreeView_GetParent(tree_, item); }
    void Remove(HTREEITEM item) const { TreeView_DeleteItem(tree_, item); }
    // The node under the cursor, or null; `screen` gets the cursor, `flags` where on the
    // node it is (TVHT_*).
    HTREEITEM AtCursor(POINT& screen, UINT& flags) const;

private:
    HWND tree_ = nullptr;
    win::ImageList images_;
    // The node of each category by its position in the list.
    std::vector<HTREEITEM> categoryItems_;
    HTREEITEM otherSites_ = nullptr;
    std::size_t categoryCount_ = 0;
};

}  // namespace vp

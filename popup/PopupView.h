// The popup that the user sees: the search box with its history and one link per
// visible site, shown at the cursor, with keyboard navigation between them. The popup
// is the main window itself; this object lays out and runs what is inside it, and opens
// the searches that its links and keys ask for.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "base/PopupPalette.h"
#include "base/PopupPlacement.h"
#include "base/SearchHistory.h"
#include "popup/ColorStatic.h"
#include "popup/SearchBox.h"
#include "sites/SiteCatalogue.h"
#include "win/Handle.h"

namespace vp {

class PopupView {
public:
    // At the window's creation: the background (a "Background.bmp" beside the program,
    // tiled, or a plain colour; in dark mode and high contrast the palette's colour).
    void Attach(HWND window);
    // Creates the search box, after its hidden label, and fills its drop-down list with
    // the history.
    void CreateSearchBox(SearchHistoryList history);

    // The sites that the links show and the default site's URL (empty: none).
    void SetSites(VisibleSiteList sites, std::string defaultSiteUrl);
    // One link per visible site, below the search box.
    void RebuildSiteLinks();

    void ShowAtCursor();
    // WM_DPICHANGED: the popup went to a monitor of another DPI.
    void OnDpiChanged(UINT dpi);
    void ShowWithText(const SearchText& text);
    void SetText(const SearchText& text) { searchBox_.SetText(text); }
    const SearchHistoryList& History() const { return history_; }

    // Records the search box's text in the history and opens the visible site's search.
    void OpenSiteSearch(std::size_t index);
    // Records text in the history and opens the default site's search for it.
    void OpenDefaultSiteSearch(const SearchText& text);

    // The main window's messages that concern the popup.
    void OnCommand(int id);
    void OnActivate(WPARAM wParam);
    void OnSetFocus();
    void OnPaint();
    void Hide();
    // WM_SETTINGCHANGE and WM_SYSCOLORCHANGE: high contrast, the apps' dark mode or the
    // system's colours may have changed. The children follow the system's colours too.
    void FollowTheme(bool systemColorsChanged);

private:
    // Lays the inside out for the DPI of the monitor under the cursor.
    void FollowDpiAtCursor();
    // Fonts, sizes and positions of the search box and links for `dpi`.
    void ApplyDpi(UINT dpi);
    void PlaceChildren();
    RECT RectAtCursor() const;
    HWND FocusedChild() const;
    void MoveFocus(bool forward);
    void AddToHistory(const SearchText& text);

    HWND window_ = nullptr;
    SearchBox searchBox_;
    SearchHistoryList history_;
    VisibleSiteList sites_;
    std::string defaultSiteUrl_;
    std::vector<std::unique_ptr<ColorStatic>> links_;
    int contentHeight_ = 0;
    UINT dpi_ = 0;  // of the current layout; 0 before the first
    PopupLayout layout_ = PopupLayoutForDpi(96, 0);
    win::FontHandle font_;           // for a DPI other than the system's; the stock font otherwise
    HFONT searchBoxFont_ = nullptr;  // the search box's own, for the system's DPI
    PopupPalette palette_{};
    win::BrushHandle colorBrush_;         // the palette's background
    win::BrushHandle pictureBrush_;       // the tiled Background.bmp, if there is one
    win::BitmapHandle backgroundBitmap_;  // the pattern of pictureBrush_
};

}  // namespace vp

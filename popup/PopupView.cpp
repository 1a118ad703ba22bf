#include "popup/PopupView.h"

#include <utility>

#include "popup/PopupTheme.h"
#include "resources/resource.h"
#include "sites/SearchLaunch.h"
#include "win/Dpi.h"
#include "win/WinText.h"

namespace vp {
namespace {

constexpr char16_t kBackgroundFileName[] = u"Background.bmp";

// Height of a text line in a font, in pixels.
int TextHeight(HFONT font) {
    const win::WindowDc screen(nullptr);
    const win::SelectedObject selected(screen.Get(), font);
    TEXTMETRICA metrics{};
    ::GetTextMetricsA(screen.Get(), &metrics);
    return metrics.tmHeight;
}

}  // namespace

void PopupView::Attach(HWND window) {
    window_ = window;
    const std::u16string folder = WideProgramFolder();
    if (!folder.empty()) {
        const std::u16string file = folder + kBackgroundFileName;
        win::BitmapHandle bitmap(static_cast<HBITMAP>(
            ::LoadImageW(nullptr, WidePointer(file), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE)));
        if (bitmap) {
            pictureBrush_.Reset(::CreatePatternBrush(bitmap.Get()));
            backgroundBitmap_ = std::move(bitmap);
        }
    }
    palette_ = CurrentPopupPalette();
    colorBrush_.Reset(::CreateSolidBrush(ColorOf(palette_.background)));
}

void PopupView::FollowTheme(bool systemColorsChanged) {
    const PopupPalette palette = CurrentPopupPalette();
    if (palette == palette_ && !systemColorsChanged) {
        return;
    }
    palette_ = palette;
    colorBrush_.Reset(::CreateSolidBrush(ColorOf(palette_.background)));
    // Child windows hear of neither message from the system.
    for (HWND child = ::GetWindow(window_, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        ::SendMessageA(child, WM_SYSCOLORCHANGE, 0, 0);
    }
    ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void PopupView::CreateSearchBox(SearchHistoryList history) {
    // Screen readers name a control without a text of its own by the static text just
    // before it; this one is never shown.
    ::CreateWindowExA(0, "STATIC", LoadResourceString(IDS_SEARCH_LABEL).c_str(), WS_CHILD, 0, 0, 0,
                      0, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_SEARCH_LABEL)),
                      ProgramInstance(), nullptr);
    searchBox_.CreateIn(window_);
    history_ = std::move(history);
    searchBox_.Fill(history_);
    searchBoxFont_ = reinterpret_cast<HFONT>(::SendMessageA(searchBox_.Handle(), WM_GETFONT, 0, 0));
    ApplyDpi(SystemDpi());
}

void PopupView::ApplyDpi(UINT dpi) {
    if (dpi == dpi_) {
        return;
    }
    const bool wasScaled = dpi_ != 0 && dpi_ != SystemDpi();
    dpi_ = dpi;
    // At the system's DPI the stock font already fits; elsewhere it is scaled.
    font_.Reset();
    if (dpi != SystemDpi()) {
        LOGFONTA font{};
        ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
        font.lfHeight =
            ::MulDiv(font.lfHeight, static_cast<int>(dpi), static_cast<int>(SystemDpi()));
        font_.Reset(::CreateFontIndirectA(&font));
    }
    HFONT linkFont = font_ ? font_.Get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    layout_ = PopupLayoutForDpi(static_cast<int>(dpi), TextHeight(linkFont));
    if (font_ || wasScaled) {
        HFONT searchFont = font_ ? font_.Get() : searchBoxFont_;
        ::SendMessageA(searchBox_.Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(searchFont), TRUE);
    }
    for (auto& link : links_) {
        ::SendMessageA(link->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(linkFont), TRUE);
    }
    PlaceChildren();
}

void PopupView::PlaceChildren() {
    ::MoveWindow(searchBox_.Handle(), layout_.left, layout_.searchTop, layout_.right - layout_.left,
                 layout_.searchHeight, TRUE);
    for (std::size_t i = 0; i < links_.size(); ++i) {
        ::MoveWindow(links_[i]->Handle(), layout_.left, layout_.LinkTop(static_cast<int>(i)),
                     layout_.right - layout_.left, layout_.linkHeight, TRUE);
    }
    contentHeight_ = layout_.ContentHeight(static_cast<int>(links_.size()));
}

void PopupView::FollowDpiAtCursor() {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ApplyDpi(DpiAtPoint(cursor));
}

void PopupView::OnDpiChanged(UINT dpi) {
    ApplyDpi(dpi);
    const RECT rect = RectAtCursor();
    ::SetWindowPos(window_, nullptr, 0, 0, rect.right - rect.left, rect.bottom - rect.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void PopupView::SetSites(VisibleSiteList sites, std::string defaultSiteUrl) {
    sites_ = std::move(sites);
    defaultSiteUrl_ = std::move(defaultSiteUrl);
}

void PopupView::RebuildSiteLinks() {
    for (auto& link : links_) {
        ::DestroyWindow(link->Handle());
    }
    links_.clear();
    for (std::size_t i = 0; i < sites_.size(); ++i) {
        const int top = layout_.LinkTop(static_cast<int>(i));
        auto link = std::make_unique<ColorStatic>();
        link->Create(window_, RECT{layout_.left, top, layout_.right, top + layout_.linkHeight},
                     WS_CHILD | WS_VISIBLE | WS_TABSTOP, IDC_FIRST_SITE_LINK + static_cast<int>(i));
        if (font_) {
            ::SendMessageA(link->Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()),
                           FALSE);
        }
        std::string text = kLinkBullet + sites_[i].name;
        link->SetText(text.c_str());
        links_.push_back(std::move(link));
    }
    contentHeight_ = layout_.ContentHeight(static_cast<int>(links_.size()));
}

RECT PopupView::RectAtCursor() const {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    const int width = layout_.clientWidth + 2 * SystemMetricForDpi(SM_CXBORDER, dpi_);
    const int height = SystemMetricForDpi(SM_CYSMCAPTION, dpi_) +
                       2 * SystemMetricForDpi(SM_CYBORDER, dpi_) + contentHeight_;
    // The monitor under the cursor, not the primary one, holds the popup.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoA(::MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST), &monitor);
    const ScreenRect workArea{monitor.rcWork.left, monitor.rcWork.top, monitor.rcWork.right,
                              monitor.rcWork.bottom};
    ScreenPoint corner = PlacePopup({cursor.x, cursor.y}, width, height, workArea);
    return RECT{corner.x, corner.y, corner.x + width, corner.y + height};
}

void PopupView::ShowAtCursor() {
    FollowDpiAtCursor();
    const RECT rect = RectAtCursor();
    HWND foreground = ::GetForegroundWindow();
    if (foreground == nullptr) {
        return;
    }
    DWORD foregroundThread = ::GetWindowThreadProcessId(foreground, nullptr);
    DWORD ownThread = ::GetWindowThreadProcessId(window_, nullptr);
    // Sharing the foreground thread's input lets this window take the foreground.
    if (!::AttachThreadInput(ownThread, foregroundThread, TRUE)) {
        return;
    }
    ::SetWindowPos(window_, HWND_TOP, rect.left, rect.top, rect.right - rect.left,
                   rect.bottom - rect.top, SWP_SHOWWINDOW);
    ::SetForegroundWindow(window_);
    ::AttachThreadInput(ownThread, foregroundThread, FALSE);
    // Detaching can leave the shared input, and so the foreground, without an active
    // window (Wine does); the popup, now on its own input again, takes it back.
    ::SetForegroundWindow(window_);
}

void PopupView::ShowWithText(const SearchText& text) {
    searchBox_.SetText(text);
    FollowDpiAtCursor();
    const RECT rect = RectAtCursor();
    ::SetWindowPos(window_, HWND_TOP, rect.left, rect.top, rect.right - rect.left,
                   rect.bottom - rect.top, SWP_SHOWWINDOW);
}

void PopupView::Hide() {
    ::ShowWindow(window_, SW_HIDE);
}

void PopupView::AddToHistory(const SearchText& text) {
    if (AddToSearchHistory(history_, text)) {
        searchBox_.Fill(history_);
    }
}

void PopupView::OpenSiteSearch(std::size_t index) {
    SearchText text = searchBox_.Text();
    AddToHistory(text);
    if (index < sites_.size()) {
        OpenSearch(sites_[index].url, text);
    }
}

void PopupView::OpenDefaultSiteSearch(const SearchText& text) {
    AddToHistory(text);
    OpenSearch(defaultSiteUrl_, text);
}

HWND PopupView::FocusedChild() const {
    HWND focus = ::GetFocus();
    if (focus != nullptr && focus == searchBox_.EditControl()) {
        return searchBox_.Handle();
    }
    return focus;
}

void PopupView::MoveFocus(bool forward) {
    HWND focus = FocusedChild();
    if (focus == nullptr) {
        return;
    }
    HWND next = ::GetWindow(focus, forward ? GW_HWNDNEXT : GW_HWNDPREV);
    // Not to the search box's label before it.
    if (next != nullptr && (::GetWindowLongPtrA(next, GWL_STYLE) & WS_TABSTOP) != 0) {
        ::SetFocus(next);
    }
}

void PopupView::OnCommand(int id) {
    const int linkCount = static_cast<int>(links_.size());
    if (id >= IDC_FIRST_SITE_LINK && id < IDC_FIRST_SITE_LINK + linkCount) {
        OpenSiteSearch(static_cast<std::size_t>(id - IDC_FIRST_SITE_LINK));
    } else if (id == ID_FOCUS_PREVIOUS) {
        MoveFocus(false);
    } else if (id == ID_FOCUS_NEXT) {
        MoveFocus(true);
    } else if (id == ID_OPEN) {
        HWND focus = ::GetFocus();
        if (focus != nullptr && focus == searchBox_.EditControl()) {
            OpenDefaultSiteSearch(searchBox_.Text());
        } else {
            for (std::size_t i = 0; i < links_.size(); ++i) {
                if (links_[i]->Handle() == focus) {
                    OpenSiteSearch(i);
                    break;
                }
            }
        }
    } else if (id == ID_HIDE_POPUP) {
        Hide();
    }
}

void PopupView::OnActivate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        Hide();
    }
}

void PopupView::OnSetFocus() {
    ::SetFocus(searchBox_.Handle());
}

void PopupView::OnPaint() {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(window_, &paint);
    RECT client;
    ::GetClientRect(window_, &client);
    const bool picture = palette_.backgroundPicture && pictureBrush_;
    ::FillRect(dc, &client, picture ? pictureBrush_.Get() : colorBrush_.Get());
    ::EndPaint(window_, &paint);
}

}  // namespace vp

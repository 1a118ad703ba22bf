#include "popup/PopupView.h"

#include "base/PopupPlacement.h"
#include "resources/resource.h"
#include "sites/SearchLaunch.h"
#include "win/WinText.h"

namespace vp {
namespace {

constexpr COLORREF kBackgroundColor = RGB(255, 250, 240);
constexpr char kBackgroundFileName[] = "Background.bmp";
constexpr char kBullet = '\x95';

}  // namespace

void PopupView::Attach(HWND window) {
    window_ = window;
    const std::string folder = ProgramFolder();
    if (!folder.empty()) {
        const std::string file = folder + kBackgroundFileName;
        auto bitmap = static_cast<HBITMAP>(
            ::LoadImageA(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
        if (bitmap != nullptr) {
            backgroundBitmap_.Reset(bitmap);
            backgroundBrush_.Reset(::CreatePatternBrush(bitmap));
            return;
        }
    }
    backgroundBrush_.Reset(::CreateSolidBrush(kBackgroundColor));
}

void PopupView::CreateSearchBox(SearchHistoryList history) {
    searchBox_.CreateIn(window_);
    history_ = std::move(history);
    searchBox_.Fill(history_);
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
        const int top = 32 + 18 * static_cast<int>(i);
        auto link = std::make_unique<ColorStatic>();
        link->Create(window_, RECT{5, top, 210, top + 16}, WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                     IDC_FIRST_SITE_LINK + static_cast<int>(i));
        std::string text = std::string(1, kBullet) + " " + sites_[i].name;
        link->SetText(text.c_str());
        links_.push_back(std::move(link));
    }
    contentHeight_ = PopupContentHeight(static_cast<int>(links_.size()));
}

RECT PopupView::RectAtCursor() const {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    const int width = 219 + 2 * ::GetSystemMetrics(SM_CXBORDER);
    const int height =
        ::GetSystemMetrics(SM_CYSMCAPTION) + 2 * ::GetSystemMetrics(SM_CYBORDER) + contentHeight_;
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

void PopupView::ShowWithText(const std::string& text) {
    searchBox_.SetText(text);
    const RECT rect = RectAtCursor();
    ::SetWindowPos(window_, HWND_TOP, rect.left, rect.top, rect.right - rect.left,
                   rect.bottom - rect.top, SWP_SHOWWINDOW);
}

void PopupView::Hide() {
    ::ShowWindow(window_, SW_HIDE);
}

void PopupView::AddToHistory(const std::string& text) {
    if (AddToSearchHistory(history_, text)) {
        searchBox_.Fill(history_);
    }
}

void PopupView::OpenSiteSearch(std::size_t index) {
    std::string text = searchBox_.Text();
    AddToHistory(text);
    if (index < sites_.size()) {
        OpenSearch(sites_[index].url, text);
    }
}

void PopupView::OpenDefaultSiteSearch(const std::string& text) {
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
    if (HWND next = ::GetWindow(focus, forward ? GW_HWNDNEXT : GW_HWNDPREV)) {
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
    ::FillRect(dc, &client, static_cast<HBRUSH>(backgroundBrush_.Get()));
    ::EndPaint(window_, &paint);
}

}  // namespace vp

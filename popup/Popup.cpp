// The popup side of the main window: the search box and one link per visible site,
// shown at the cursor, with keyboard navigation between them.
#include <windows.h>

#include <memory>

#include "app/MainWindow.h"
#include "app/WinText.h"
#include "popup/PopupPlacement.h"
#include "resources/resource.h"

namespace vp {
namespace {

constexpr COLORREF kBackgroundColor = RGB(255, 250, 240);
constexpr char kBackgroundFileName[] = "Background.bmp";
constexpr char kBullet = '\x95';

}  // namespace

void MainWindow::CreateBackgroundBrush() {
    // A "Background.bmp" beside the program is tiled; otherwise a plain colour.
    const std::string folder = ProgramFolder();
    if (!folder.empty()) {
        const std::string file = folder + kBackgroundFileName;
        auto bitmap = static_cast<HBITMAP>(
            ::LoadImageA(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
        if (bitmap != nullptr) {
            BackgroundBitmap.Reset(bitmap);
            BackgroundBrush.Reset(::CreatePatternBrush(bitmap));
            return;
        }
    }
    BackgroundBrush.Reset(::CreateSolidBrush(kBackgroundColor));
}

void MainWindow::RebuildSiteLinks() {
    for (auto& link : SiteLinks) {
        ::DestroyWindow(link->Handle());
    }
    SiteLinks.clear();
    for (std::size_t i = 0; i < VisibleSites.size(); ++i) {
        const int top = 32 + 18 * static_cast<int>(i);
        auto link = std::make_unique<ColorStatic>();
        link->Create(Handle(), RECT{5, top, 210, top + 16}, WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                     IDC_FIRST_SITE_LINK + static_cast<int>(i));
        std::string text = std::string(1, kBullet) + " " + VisibleSites[i].name;
        link->SetText(text.c_str());
        SiteLinks.push_back(std::move(link));
    }
    ContentHeight = PopupContentHeight(static_cast<int>(SiteLinks.size()));
}

RECT MainWindow::PopupRectAtCursor() const {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    const int width = 219 + 2 * ::GetSystemMetrics(SM_CXBORDER);
    const int height =
        ::GetSystemMetrics(SM_CYSMCAPTION) + 2 * ::GetSystemMetrics(SM_CYBORDER) + ContentHeight;
    // The monitor under the cursor, not the primary one, holds the popup.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoA(::MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST), &monitor);
    const ScreenRect workArea{monitor.rcWork.left, monitor.rcWork.top, monitor.rcWork.right,
                              monitor.rcWork.bottom};
    ScreenPoint corner = PlacePopup({cursor.x, cursor.y}, width, height, workArea);
    return RECT{corner.x, corner.y, corner.x + width, corner.y + height};
}

void MainWindow::ShowAtCursor() {
    const RECT rect = PopupRectAtCursor();
    HWND foreground = ::GetForegroundWindow();
    if (foreground == nullptr) {
        return;
    }
    DWORD foregroundThread = ::GetWindowThreadProcessId(foreground, nullptr);
    DWORD ownThread = ::GetWindowThreadProcessId(Handle(), nullptr);
    // Sharing the foreground thread's input lets this window take the foreground.
    if (!::AttachThreadInput(ownThread, foregroundThread, TRUE)) {
        return;
    }
    ::SetWindowPos(Handle(), HWND_TOP, rect.left, rect.top, rect.right - rect.left,
                   rect.bottom - rect.top, SWP_SHOWWINDOW);
    ::SetForegroundWindow(Handle());
    ::AttachThreadInput(ownThread, foregroundThread, FALSE);
    // Detaching can leave the shared input, and so the foreground, without an active
    // window (Wine does); the popup, now on its own input again, takes it back.
    ::SetForegroundWindow(Handle());
}

void MainWindow::ShowWithText(const std::string& text) {
    SearchBox.SetText(text);
    const RECT rect = PopupRectAtCursor();
    ::SetWindowPos(Handle(), HWND_TOP, rect.left, rect.top, rect.right - rect.left,
                   rect.bottom - rect.top, SWP_SHOWWINDOW);
}

HWND MainWindow::FocusedChild() const {
    HWND focus = ::GetFocus();
    if (focus != nullptr && focus == SearchBox.EditControl()) {
        return SearchBox.Handle();
    }
    return focus;
}

void MainWindow::MoveFocus(bool forward) {
    HWND focus = FocusedChild();
    if (focus == nullptr) {
        return;
    }
    if (HWND next = ::GetWindow(focus, forward ? GW_HWNDNEXT : GW_HWNDPREV)) {
        ::SetFocus(next);
    }
}

LRESULT MainWindow::OnCommand(WPARAM wParam, LPARAM) {
    const int id = LOWORD(wParam);
    const int linkCount = static_cast<int>(SiteLinks.size());
    if (id >= IDC_FIRST_SITE_LINK && id < IDC_FIRST_SITE_LINK + linkCount) {
        OpenSiteSearch(static_cast<std::size_t>(id - IDC_FIRST_SITE_LINK));
    } else if (id == ID_FOCUS_PREVIOUS) {
        MoveFocus(false);
    } else if (id == ID_FOCUS_NEXT) {
        MoveFocus(true);
    } else if (id == ID_OPEN) {
        HWND focus = ::GetFocus();
        if (focus != nullptr && focus == SearchBox.EditControl()) {
            OpenDefaultSiteSearch(SearchBox.Text());
        } else {
            for (std::size_t i = 0; i < SiteLinks.size(); ++i) {
                if (SiteLinks[i]->Handle() == focus) {
                    OpenSiteSearch(i);
                    break;
                }
            }
        }
    } else if (id == ID_HIDE_POPUP) {
        ::ShowWindow(Handle(), SW_HIDE);
    }
    return 0;
}

LRESULT MainWindow::OnActivate(WPARAM wParam, LPARAM) {
    if (LOWORD(wParam) == WA_INACTIVE) {
        ::ShowWindow(Handle(), SW_HIDE);
    }
    return 0;
}

LRESULT MainWindow::OnSetFocus(WPARAM, LPARAM) {
    ::SetFocus(SearchBox.Handle());
    return 0;
}

LRESULT MainWindow::OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(Handle(), &paint);
    RECT client;
    ::GetClientRect(Handle(), &client);
    ::FillRect(dc, &client, static_cast<HBRUSH>(BackgroundBrush.Get()));
    ::EndPaint(Handle(), &paint);
    return 0;
}

LRESULT MainWindow::OnEraseBackground(WPARAM, LPARAM) {
    return 0;  // WM_PAINT fills the whole client area
}

LRESULT MainWindow::OnShowPopup(WPARAM, LPARAM) {
    ShowAtCursor();
    return 0;
}

}  // namespace vp

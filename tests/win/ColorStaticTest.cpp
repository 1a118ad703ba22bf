// Message-level tests of the site link control: real windows, real messages, pixels read
// back from the windows' surfaces.
#include "popup/ColorStatic.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "win/WinText.h"
#include "resources/resource.h"
#include "tests/win/Fixtures.h"
#include "tests/win/Protocol.h"
#include "tests/win/WindowSearch.h"

namespace vp {
namespace {

constexpr COLORREF kNormalBlue = RGB(0, 20, 140);
constexpr COLORREF kHoverBrown = RGB(180, 80, 0);
constexpr COLORREF kParentBackground = RGB(255, 255, 255);
constexpr int kLinkId = 100;
constexpr RECT kLinkRect{5, 32, 210, 48};

// ---------------------------------------------------------------------------
// A stand-in for the popup: paints its own white background (it is invalidated
// without erasing) and records what its links tell it.
// ---------------------------------------------------------------------------
constexpr char kParentClass[] = "VP_LinkTestParent";

struct ParentRecord {
    std::vector<std::pair<WPARAM, LPARAM>> commands;
    int eraseRequests = 0;
    RECT painted{};  // union of the painted rectangles since the last reset
};

LRESULT CALLBACK ParentProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* record = reinterpret_cast<ParentRecord*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    switch (message) {
        case WM_NCCREATE:
            ::SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                                reinterpret_cast<LONG_PTR>(
                                    reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
            break;
        case WM_COMMAND:
            record->commands.emplace_back(wParam, lParam);
            return 0;
        case WM_ERASEBKGND:
            ++record->eraseRequests;
            break;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = ::BeginPaint(hwnd, &paint);
            ::FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
            ::UnionRect(&record->painted, &record->painted, &paint.rcPaint);
            ::EndPaint(hwnd, &paint);
            return 0;
        }
        default:
            break;
    }
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
}

void RegisterParentClass() {
    static const bool registered = [] {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = ParentProcedure;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
        windowClass.lpszClassName = kParentClass;
        return ::RegisterClassExA(&windowClass) != 0;
    }();
    ASSERT_TRUE(registered);
}

// The client area of a window as it is on its surface, row by row.
std::vector<COLORREF> CaptureClient(HWND window) {
    RECT client;
    ::GetClientRect(window, &client);
    return CapturePixels(window, client);
}

// Strokes that fill whole pixels whatever the font smoothing.
std::string LinkText(std::size_t length) {
    std::string text = "Wikipedia HHHH IIII";
    text.resize(length, 'H');
    return text;
}

// The suite's fixture; inside this file the control itself is vp::ColorStatic.
class ColorStatic : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterParentClass();
        parent =
            ::CreateWindowExA(WS_EX_TOPMOST, kParentClass, "links", WS_POPUP | WS_VISIBLE, 300, 200,
                              240, 80, nullptr, nullptr, ::GetModuleHandleA(nullptr), &record);
        ASSERT_NE(parent, nullptr);
        ::SetForegroundWindow(parent);
        ASSERT_TRUE(link.Create(parent, kLinkRect, WS_CHILD | WS_VISIBLE | WS_TABSTOP, kLinkId));
        ASSERT_NE(link.Handle(), nullptr);
        PumpMessagesFor(50);
    }

    void TearDown() override {
        ::SetCursorPos(0, 0);
        if (parent != nullptr) {
            ::DestroyWindow(parent);
        }
    }

    // Paints everything again now, as a newly shown popup would.
    void Repaint() {
        ::RedrawWindow(parent, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpMessagesFor(50);
    }

    std::vector<COLORREF> LinkPixels() { return CaptureClient(link.Handle()); }

    ParentRecord record;
    HWND parent = nullptr;
    vp::ColorStatic link;
};

TEST_F(ColorStatic, IsAChildOfItsClassWithTheGivenIdAndNoWindowText) {
    char className[64] = {};
    ::GetClassNameA(link.Handle(), className, sizeof className);
    EXPECT_STREQ(className, test::kLinkClassName);
    EXPECT_EQ(::GetParent(link.Handle()), parent);
    EXPECT_EQ(::GetDlgCtrlID(link.Handle()), kLinkId);
    RECT rect;
    ::GetWindowRect(link.Handle(), &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_TRUE(::EqualRect(&rect, &kLinkRect));

    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    ASSERT_TRUE(::GetClassInfoExA(ProgramInstance(), test::kLinkClassName, &windowClass));
    EXPECT_EQ(windowClass.style, static_cast<UINT>(CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS));
    EXPECT_EQ(windowClass.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));

    // The painted text is the control's own; the window text stays empty.
    link.SetText("Wikipedia");
    EXPECT_EQ(WindowText(link.Handle()), "");
}

TEST_F(ColorStatic, CreationMakesTheHandTheClassCursor) {
    HCURSOR hand = ::LoadCursorA(ProgramInstance(), MAKEINTRESOURCEA(IDC_HAND_POINTER));
    ASSERT_NE(hand, nullptr);
    ASSERT_NE(hand, ::LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(reinterpret_cast<HCURSOR>(::GetClassLongPtrA(link.Handle(), GCLP_HCURSOR)), hand);

    // A second link shares it, also after someone put the arrow back on the class.
    ::SetClassLongPtrA(link.Handle(), GCLP_HCURSOR,
                       reinterpret_cast<LONG_PTR>(::LoadCursorA(nullptr, IDC_ARROW)));
    vp::ColorStatic second;
    ASSERT_TRUE(second.Create(parent, RECT{5, 52, 210, 68}, WS_CHILD | WS_VISIBLE, kLinkId + 1));
    EXPECT_EQ(reinterpret_cast<HCURSOR>(::GetClassLongPtrA(link.Handle(), GCLP_HCURSOR)), hand);
    ::DestroyWindow(second.Handle());
}

TEST_F(ColorStatic, ClickTakesTheFocusAndNotifiesTheParentOnceOnRelease) {
    ::SetFocus(parent);
    const LPARAM at = MAKELPARAM(10, 8);
    ::SendMessageA(link.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    EXPECT_EQ(::GetFocus(), link.Handle());
    EXPECT_TRUE(record.commands.empty());

    // Sent, not posted: it has arrived when the release returns.
    ::SendMessageA(link.Handle(), WM_LBUTTONUP, 0, at);
    ASSERT_EQ(record.commands.size(), 1u);
    EXPECT_EQ(record.commands[0].first, static_cast<WPARAM>(kLinkId));
    EXPECT_EQ(record.commands[0].second, 0);
    PumpMessagesFor(50);
    EXPECT_EQ(record.commands.size(), 1u);
}

TEST_F(ColorStatic, NotificationCarriesTheIdReadFromTheWindow) {
    ::SetWindowLongPtrA(link.Handle(), GWLP_ID, 117);
    ::SendMessageA(link.Handle(), WM_LBUTTONUP, 0, 0);
    ASSERT_EQ(record.commands.size(), 1u);
    EXPECT_EQ(record.commands[0].first, static_cast<WPARAM>(117));
}

TEST_F(ColorStatic, SystemColourChangeIsFollowed) {
    link.SetText(LinkText(40).c_str());
    const int element = COLOR_HIGHLIGHT;
    const COLORREF original = ::GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF changed = RGB(20, 160, 40);
    ASSERT_NE(original, changed);
    ASSERT_TRUE(::SetSysColors(1, &element, &changed));
    ::SendMessageA(link.Handle(), WM_SYSCOLORCHANGE, 0, 0);
    ::SetFocus(link.Handle());
    PumpMessagesFor(100);
    const int changedPixels = CountPixels(LinkPixels(), changed);
    ::SetSysColors(1, &element, &original);
    EXPECT_GT(changedPixels, 100);
}

TEST_F(ColorStatic, HoverAndLeaveMessagesSwitchTheColour) {
    link.SetText(LinkText(40).c_str());
    ::SetFocus(parent);
    // The pointer rests on the link, so the leave request does not end the hover at once.
    MoveMouseTo(CenterOf(link.Handle()));
    PumpMessagesFor(50);
    ::SendMessageA(link.Handle(), WM_MOUSEHOVER, 0, 0);
    PumpMessagesFor(100);
    EXPECT_GT(CountPixels(LinkPixels(), kHoverBrown), 20);
    ::SendMessageA(link.Handle(), WM_MOUSELEAVE, 0, 0);
    PumpMessagesFor(100);
    std::vector<COLORREF> left = LinkPixels();
    EXPECT_EQ(CountPixels(left, kHoverBrown), 0);
    EXPECT_GT(CountPixels(left, kNormalBlue), 20);
}

// ---------------------------------------------------------------------------
// About box
// ---------------------------------------------------------------------------

}  // namespace
}  // namespace vp

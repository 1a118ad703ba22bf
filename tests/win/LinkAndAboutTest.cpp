// Message-level tests of the site link control and the About box: real windows, real
// messages, pixels read back from the windows' surfaces.
#include "popup/AboutBox.h"
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
    HDC dc = ::GetDC(window);
    std::vector<COLORREF> pixels = CapturePixels(dc, client);
    ::ReleaseDC(window, dc);
    return pixels;
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

    // Moves the real mouse pointer, as the user's hand would.
    static void MoveMouseTo(POINT screen) {
        ::SetCursorPos(screen.x, screen.y);
        INPUT input{};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        input.mi.dx = MulDiv(screen.x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = MulDiv(screen.y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
        ::SendInput(1, &input, sizeof input);
    }

    POINT LinkCenter() const {
        RECT rect;
        ::GetWindowRect(link.Handle(), &rect);
        return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    }

    ParentRecord record;
    HWND parent = nullptr;
    vp::ColorStatic link;
};

TEST_F(ColorStatic, IsAChildOfItsClassWithTheGivenIdAndNoWindowText) {
    char className[64] = {};
    ::GetClassNameA(link.Handle(), className, sizeof className);
    EXPECT_STREQ(className, "QH_ColorStaticWnd");
    EXPECT_EQ(::GetParent(link.Handle()), parent);
    EXPECT_EQ(::GetDlgCtrlID(link.Handle()), kLinkId);
    RECT rect;
    ::GetWindowRect(link.Handle(), &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    EXPECT_TRUE(::EqualRect(&rect, &kLinkRect));

    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    ASSERT_TRUE(::GetClassInfoExA(ProgramInstance(), "QH_ColorStaticWnd", &windowClass));
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
    MoveMouseTo(LinkCenter());
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
constexpr char kAboutTitle[] = "About Vantapicker";

// Runs something that shows the About box on its own thread; whatever the test does,
// the box is closed and the thread joined at the end.
class AboutOnThread {
public:
    template <typename Body>
    explicit AboutOnThread(Body body)
        : thread_([this, body] {
              body(result_);
              ended_ = true;
          }) {}
    ~AboutOnThread() {
        for (int attempt = 0; attempt < 100 && !ended_; ++attempt) {
            if (HWND box = FindTopLevelWindow("#32770", kAboutTitle)) {
                ::PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
            }
            ::Sleep(20);
        }
        thread_.join();
    }
    // The box once it is shown (the dialog manager shows it when its loop first idles).
    HWND WaitForBox() {
        HWND box = WaitForTopLevelWindow("#32770", kAboutTitle, 5000, {}, &ended_);
        WaitUntil([box] { return box == nullptr || ::IsWindowVisible(box); }, 5000);
        return box;
    }
    // True when the thread ended within the time.
    bool WaitForEnd(DWORD timeoutMs) {
        return WaitUntil([this] { return ended_.load(); }, timeoutMs);
    }
    INT_PTR Result() const { return result_; }

private:
    std::atomic<bool> ended_{false};
    INT_PTR result_ = 0;
    std::thread thread_;
};

std::unique_ptr<AboutOnThread> RunAboutDialog() {
    return std::make_unique<AboutOnThread>([](INT_PTR& result) {
        AboutDialog dialog;
        result = dialog.RunModal(ProgramInstance(), IDD_ABOUT, nullptr);
    });
}

TEST(AboutBox, ShowsTheProgramsBoxWithTheFocusOnOk) {
    AboutOnThread shower([](INT_PTR&) { ShowAboutBox(); });
    HWND box = shower.WaitForBox();
    ASSERT_NE(box, nullptr);
    HWND ok = ::GetDlgItem(box, IDOK);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(WindowText(ok), "&OK");
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(::GetGUIThreadInfo(::GetWindowThreadProcessId(box, nullptr), &info));
    EXPECT_EQ(info.hwndFocus, ok);
    EXPECT_TRUE(::IsWindowVisible(box));
    EXPECT_FALSE(shower.WaitForEnd(100));  // modal: the call waits for the box

    ::PostMessageA(ok, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(shower.WaitForEnd(3000));
    EXPECT_EQ(CountTopLevelWindows("#32770", kAboutTitle), 0);
}

// A modal box disables its owner; after the tray menu the active window is the popup,
// which must keep working while the box is open.
TEST(AboutBox, IsOwnedByNoWindowEvenWhenAWindowIsActive) {
    RegisterParentClass();
    std::atomic<HWND> owner{nullptr};
    AboutOnThread shower([&owner](INT_PTR&) {
        ParentRecord record;
        HWND window =
            ::CreateWindowExA(0, kParentClass, "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50,
                              200, 100, nullptr, nullptr, ::GetModuleHandleA(nullptr), &record);
        ::SetForegroundWindow(window);
        ::SetActiveWindow(window);
        owner = window;
        ShowAboutBox();
        ::DestroyWindow(window);
    });
    HWND box = shower.WaitForBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(::GetWindow(box, GW_OWNER), nullptr);
    EXPECT_TRUE(::IsWindowEnabled(owner.load()));
}

TEST(AboutBox, SecondCallBringsTheOpenBoxForwardInsteadOfOpeningAnother) {
    AboutOnThread first([](INT_PTR&) { ShowAboutBox(); });
    HWND box = first.WaitForBox();
    ASSERT_NE(box, nullptr);

    // Something else comes in front.
    RegisterParentClass();
    ParentRecord record;
    HWND other =
        ::CreateWindowExA(0, kParentClass, "other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 400, 300, 200,
                          100, nullptr, nullptr, ::GetModuleHandleA(nullptr), &record);
    ASSERT_NE(other, nullptr);
    ::SetForegroundWindow(other);
    PumpMessagesFor(100);
    ASSERT_EQ(::GetForegroundWindow(), other);

    {
        AboutOnThread second([](INT_PTR&) { ShowAboutBox(); });
        EXPECT_TRUE(second.WaitForEnd(2000));  // returns at once
    }
    PumpMessagesFor(100);
    EXPECT_EQ(CountTopLevelWindows("#32770", kAboutTitle), 1);
    EXPECT_EQ(::GetForegroundWindow(), box);
    EXPECT_FALSE(first.WaitForEnd(50));
    ::DestroyWindow(other);
}

TEST(AboutBox, EscEndsWithCancel) {
    std::unique_ptr<AboutOnThread> shower = RunAboutDialog();
    HWND box = shower->WaitForBox();
    ASSERT_NE(box, nullptr);
    ::PostMessageA(::GetDlgItem(box, IDOK), WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(shower->WaitForEnd(3000));
    EXPECT_EQ(shower->Result(), IDCANCEL);
}

TEST(AboutBox, OkOrCancelWithAnyNotificationEndsItOtherCommandsDoNot) {
    std::unique_ptr<AboutOnThread> shower = RunAboutDialog();
    HWND box = shower->WaitForBox();
    ASSERT_NE(box, nullptr);
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDABORT, BN_CLICKED), 0);
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDC_FIRST_SITE_LINK, 0), 0);
    EXPECT_FALSE(shower->WaitForEnd(200));
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_DOUBLECLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)));
    ASSERT_TRUE(shower->WaitForEnd(3000));
    EXPECT_EQ(shower->Result(), IDOK);
}

}  // namespace
}  // namespace vp

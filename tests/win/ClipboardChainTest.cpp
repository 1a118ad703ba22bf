// Other clipboard viewers beside the real program: one joined before it and one after.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <initializer_list>
#include <thread>
#include <utility>
#include <vector>

#include "core/RegistryKeys.h"
#include "tests/win/Fixtures.h"
#include "tests/win/Protocol.h"
#include "tests/win/RegistryFixture.h"
#include "tests/win/RunningApp.h"
#include "tests/win/WindowSearch.h"

namespace vp {
namespace {

constexpr UINT kLeaveChain = WM_APP + 1;
constexpr UINT kStopAnswering = WM_APP + 2;
constexpr UINT kCloseClipboard = WM_APP + 3;

// A well-behaved clipboard viewer on a thread of its own (the program sends it the
// chain's messages and waits for the answer). It counts the changes it hears of and, at
// each, how many history entries the program's search box held at that moment. It can
// also stop answering for a while, or read the next change slowly, holding the
// clipboard open as it does.
class Viewer {
public:
    Viewer() {
        thread_ = std::thread([this] { Run(); });
        while (window_ == nullptr) {
            ::Sleep(5);
        }
    }
    ~Viewer() {
        ::PostMessageA(window_, WM_CLOSE, 0, 0);
        thread_.join();
    }

    void Leave() { ::SendMessageA(window_, kLeaveChain, 0, 0); }
    void StopAnswering(DWORD ms) {
        asleep_ = true;
        ::PostMessageA(window_, kStopAnswering, ms, 0);
    }
    bool Asleep() const { return asleep_; }
    void HoldClipboardAtNextChange(DWORD ms) { holdMs_ = ms; }
    void WatchSearchBox(HWND searchBox) { searchBox_ = searchBox; }
    int Changes() const { return changes_; }
    int HistoryAtLastChange() const { return historyAtLastChange_; }
    // Waits until the viewer heard of `count` changes in all; true when it heard of
    // exactly that many.
    bool WaitForChanges(int count, DWORD timeoutMs = 5000) const {
        WaitUntil([&] { return changes_ >= count; }, timeoutMs);
        return changes_ == count;
    }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<Viewer*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
        switch (message) {
            case WM_DRAWCLIPBOARD:
                if (HWND box = self->searchBox_) {
                    self->historyAtLastChange_ =
                        static_cast<int>(::SendMessageA(box, CB_GETCOUNT, 0, 0));
                }
                ++self->changes_;
                if (self->next_ != nullptr) {
                    ::SendMessageA(self->next_, message, wParam, lParam);
                }
                if (const DWORD hold = self->holdMs_.exchange(0); hold != 0) {
                    if (::OpenClipboard(window)) {
                        ::PostMessageA(window, kCloseClipboard, hold, 0);
                    }
                }
                return 0;
            case kCloseClipboard:
                ::Sleep(static_cast<DWORD>(wParam));
                ::CloseClipboard();
                return 0;
            case kStopAnswering:
                ::Sleep(static_cast<DWORD>(wParam));
                self->asleep_ = false;
                return 0;
            case WM_CHANGECBCHAIN:
                if (reinterpret_cast<HWND>(wParam) == self->next_) {
                    self->next_ = reinterpret_cast<HWND>(lParam);
                } else if (self->next_ != nullptr) {
                    ::SendMessageA(self->next_, message, wParam, lParam);
                }
                return 0;
            case kLeaveChain:
                ::ChangeClipboardChain(window, self->next_);
                self->joined_ = false;
                return 0;
            case WM_DESTROY:
                if (self->joined_) {
                    ::ChangeClipboardChain(window, self->next_);
                }
                ::PostQuitMessage(0);
                return 0;
            default:
                return ::DefWindowProcA(window, message, wParam, lParam);
        }
    }

    void Run() {
        HWND window = ::CreateWindowExA(0, "STATIC", "viewer", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        nullptr, nullptr);
        ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc));
        next_ = ::SetClipboardViewer(window);
        window_ = window;
        MSG message;
        while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
            ::DispatchMessageA(&message);
        }
    }

    std::thread thread_;
    std::atomic<HWND> window_{nullptr};
    HWND next_ = nullptr;
    bool joined_ = true;
    std::atomic<HWND> searchBox_{nullptr};
    std::atomic<int> changes_{0};
    std::atomic<int> historyAtLastChange_{-1};
    std::atomic<bool> asleep_{false};
    std::atomic<DWORD> holdMs_{0};
};

class ClipboardChain : public ::testing::Test {
protected:
    void SetUp() override {
        ResetProgramState();
        // The captures here are copies, which the chain hears of.
        WriteTestDword(kSettingsKey, "ReadSelectionDirectly", 0);
    }
    void TearDown() override { DeleteProgramKeys(); }
};

// Changes the clipboard and expects each viewer to hear of it exactly when `hears`.
void ChangeClipboard(const char* text, std::initializer_list<std::pair<Viewer*, bool>> viewers) {
    ::Sleep(300);  // earlier news (a viewer joining announces the clipboard) has arrived
    std::vector<int> counts;
    for (const auto& [viewer, hears] : viewers) {
        counts.push_back(viewer->Changes());
    }
    ASSERT_TRUE(SetClipboardText(text));
    int i = 0;
    for (const auto& [viewer, hears] : viewers) {
        const int expected = counts[i++] + (hears ? 1 : 0);
        EXPECT_TRUE(viewer->WaitForChanges(expected, hears ? 5000 : 500))
            << "viewer " << i << " at " << text << ": " << viewer->Changes() << " changes";
    }
}

TEST_F(ClipboardChain, ViewersBeforeAndAfterTheProgramHearOfEveryChange) {
    UrlRecorder recorder;
    ASSERT_TRUE(recorder.Ready());
    Viewer before;
    {
        RunningApp app;
        ASSERT_TRUE(app.Ready());
        Viewer after;
        ChangeClipboard("one", {{&before, true}, {&after, true}});

        // A capture: the next viewer hears of the change before the program handles it
        // (and searches), so nothing the program does with it can keep it from there.
        SelectionFixture fixture("chained");
        ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
        const int changes = before.Changes();
        before.WatchSearchBox(app.SearchBox());
        PressKeys({VK_CONTROL}, VK_F2);
        ASSERT_TRUE(recorder.WaitForUrls(1));
        EXPECT_TRUE(before.WaitForChanges(changes + 1));
        EXPECT_EQ(before.HistoryAtLastChange(), 0);
        before.WatchSearchBox(nullptr);
        ASSERT_EQ(app.ExitThroughTrayMenu(), 0);

        // The program left the chain: the viewer after it now passes on to the one before.
        ChangeClipboard("two", {{&before, true}, {&after, true}});
    }
    // Viewers that leave while the program runs: the program passes on the news that a
    // viewer further down left, and forgets the one after it when that one leaves.
    Viewer distant;
    Viewer adjacent;
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    distant.Leave();
    ChangeClipboard("three", {{&before, true}, {&adjacent, true}, {&distant, false}});
    adjacent.Leave();
    ChangeClipboard("four", {{&before, true}, {&adjacent, false}});
    ASSERT_EQ(app.ExitThroughTrayMenu(), 0);
    ChangeClipboard("five", {{&before, true}});
}

// The program passes the news on before it reads the clipboard. A viewer that reads it
// for a moment leaves the clipboard busy when the program gets there; one that hangs
// would hold the program up.
TEST_F(ClipboardChain, ABusyOrHungViewerHoldsUpNoCapture) {
    UrlRecorder recorder;
    ASSERT_TRUE(recorder.Ready());
    Viewer slow;
    RunningApp app;
    ASSERT_TRUE(app.Ready());
    SelectionFixture fixture("past a busy viewer");
    ASSERT_TRUE(fixture.Ready()) << fixture.Problem();
    slow.HoldClipboardAtNextChange(25);
    PressKeys({VK_CONTROL}, VK_F2);
    ASSERT_TRUE(recorder.WaitForUrls(1));
    EXPECT_NE(recorder.Urls()[0].find("past a busy viewer"), std::string::npos)
        << recorder.Urls()[0];

    slow.StopAnswering(8000);
    ::SendMessageA(fixture.Window(), test::selection_fixture::kComeForward, 0, 0);
    PressKeys({VK_CONTROL}, VK_F2);
    EXPECT_TRUE(recorder.WaitForUrls(2, 7000));
    EXPECT_TRUE(slow.Asleep()) << "the search waited for the viewer";
    ASSERT_EQ(app.ExitThroughTrayMenu(), 0);
}

}  // namespace
}  // namespace vp

#include "tests/win/DialogDriver.h"

#include <atomic>
#include <thread>

#include "resources/resource.h"
#include "tests/win/WindowSearch.h"

namespace vp {

void Press(HWND dialog, int button) {
    ::SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, button)));
}

HWND PageOf(HWND dialog, const char* title) {
    return ::FindWindowExA(dialog, nullptr, "#32770", title);
}

bool Answered(const char* title, const std::function<void(HWND)>& act,
              const std::function<void()>& trigger) {
    std::atomic<bool> stop{false};
    std::atomic<bool> seen{false};
    std::atomic<bool> done{false};
    std::thread helper([&] {
        if (HWND window = WaitForTopLevelWindow("#32770", title, 5000, {}, &stop)) {
            // A modal window is shown once its initialisation is over: answered before
            // that, it could set its own texts over ours.
            WaitUntil([window] { return ::IsWindowVisible(window) != FALSE; }, 5000);
            act(window);
            // Answered when it goes; one that stays is closed, so the test fails, not hangs.
            seen = WaitUntil([window] { return !::IsWindow(window); }, 5000);
            for (WPARAM button : {IDCANCEL, IDNO}) {
                ::PostMessageA(window, WM_COMMAND, button, 0);
            }
        }
        done = true;
    });
    trigger();
    stop = true;
    // Pumping while the helper ends: its search reads the titles of this thread's windows.
    WaitUntil([&] { return done.load(); }, 20000);
    helper.join();
    return seen;
}

std::function<void(HWND)> Reply(int button, std::string* text) {
    return [=](HWND box) {
        if (text != nullptr) {
            *text = MessageBoxText(box);
        }
        ::PostMessageA(box, WM_COMMAND, button, 0);
    };
}

std::function<void(HWND)> FillSiteProperties(std::string name, std::string url, int button) {
    return [=](HWND dialog) {
        ::SetWindowTextA(::GetDlgItem(dialog, IDC_SITE_NAME), name.c_str());
        ::SetWindowTextA(::GetDlgItem(dialog, IDC_SITE_URL), url.c_str());
        ::PostMessageA(dialog, WM_COMMAND, button, 0);
    };
}

}  // namespace vp

// How long the Options dialog takes to open in the real Vantapicker.exe, measured from
// outside: from the "O" key that chooses "&Options" in the open tray menu until the
// dialog is visible, with both pages made (the Sites page fills its tree from the site
// list as it is made). Measured with the default catalogue and with a site list of
// 10,000 sites. Prints each sample, the median and the minimum.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/LatencySupport.h"
#include "sites/SiteListFile.h"
#include "tests/win/Fixtures.h"
#include "tests/win/RegistryFixture.h"
#include "tests/win/RunningApp.h"
#include "tests/win/WindowSearch.h"

namespace vp {
namespace {

using bench::Milliseconds;
using bench::SpinUntil;

constexpr int kSamples = 10;
constexpr char kOptionsTitle[] = "Vantapicker Options";

HWND VisibleOptions() {
    HWND dialog = ::FindWindowA("#32770", kOptionsTitle);
    return dialog != nullptr && ::IsWindowVisible(dialog) ? dialog : nullptr;
}

// The user's own site list: `count` sites in 20 categories.
bool WriteLargeSiteList(int count) {
    SiteCatalogue catalogue;
    SiteCategoryList categories(20);
    for (std::size_t i = 0; i < categories.size(); ++i) {
        categories[i].name = "Category " + std::to_string(i);
    }
    for (int id = 0; id < count; ++id) {
        SiteRecord site;
        site.name = "Site number " + std::to_string(id);
        site.url = "https://example.com/search?site=" + std::to_string(id) + "&q=";
        site.category = id % 20;
        catalogue.Insert(id, site);
    }
    return SaveSiteList(catalogue, categories) == 0;
}

// One sample: the tray menu open, then "O" until the dialog is visible; negative when it
// did not come. The dialog is cancelled again and the program left idle.
double MeasureOnce(RunningApp& app) {
    if (app.OpenTrayMenu() == nullptr) {
        return -1;
    }
    SettleInput();
    LARGE_INTEGER start;
    LARGE_INTEGER shown;
    ::QueryPerformanceCounter(&start);
    PressKeysAtOnce({}, 'O');
    HWND dialog = nullptr;
    if (!SpinUntil([&] { return (dialog = VisibleOptions()) != nullptr; }, 60000)) {
        return -1;
    }
    ::QueryPerformanceCounter(&shown);
    ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    SpinUntil([] { return ::FindWindowA("#32770", kOptionsTitle) == nullptr; }, 60000);
    DWORD_PTR answer = 0;  // answered once the reload after the dialog is done
    ::SendMessageTimeoutA(app.MainWindow(), WM_NULL, 0, 0, SMTO_BLOCK, 60000, &answer);
    return Milliseconds(start, shown);
}

bool Sample(const char* what) {
    RunningApp app;
    if (!app.Ready()) {
        std::fprintf(stderr, "%s: Vantapicker.exe did not start\n", what);
        return false;
    }
    std::vector<double> samples;
    for (int i = 1; i <= kSamples; ++i) {
        const double milliseconds = MeasureOnce(app);
        if (milliseconds < 0) {
            std::fprintf(stderr, "%s, sample %d: the dialog did not open\n", what, i);
            return false;
        }
        samples.push_back(milliseconds);
        std::printf("%s, sample %2d: %7.1f ms\n", what, i, milliseconds);
        std::fflush(stdout);
    }
    bench::PrintSummary(what, samples);
    app.ExitThroughTrayMenu();
    return true;
}

int Run() {
    ResetProgramState();
    bool measured = Sample("Options to visible dialog, default catalogue");
    if (measured) {
        if (!WriteLargeSiteList(10000)) {
            std::fprintf(stderr, "could not write the 10,000-site list\n");
            measured = false;
        } else {
            measured = Sample("Options to visible dialog, 10,000 sites");
        }
    }
    ResetProgramState();
    DeleteProgramKeys();
    return measured ? 0 : 1;
}

}  // namespace
}  // namespace vp

int main() {
    return vp::Run();
}

#include "win/Dpi.h"

#include "win/Handle.h"
#include "win/SystemFunction.h"

namespace vp {
namespace {

using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using GetSystemMetricsForDpiFunction = int(WINAPI*)(int, UINT);
constexpr int kEffectiveDpi = 0;  // MDT_EFFECTIVE_DPI

}  // namespace

UINT SystemDpi() {
    static const UINT dpi = [] {
        const win::WindowDc screen(nullptr);
        const int logPixels =
            screen.Get() != nullptr ? ::GetDeviceCaps(screen.Get(), LOGPIXELSY) : 96;
        return logPixels > 0 ? static_cast<UINT>(logPixels) : 96u;
    }();
    return dpi;
}

UINT DpiAtPoint(POINT point) {
    static const auto getDpiForMonitor =
        win::SystemFunction<GetDpiForMonitorFunction>("shcore.dll", "GetDpiForMonitor");
    UINT dpiX = 0;
    UINT dpiY = 0;
    if (getDpiForMonitor != nullptr &&
        SUCCEEDED(getDpiForMonitor(::MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST),
                                   kEffectiveDpi, &dpiX, &dpiY)) &&
        dpiY > 0) {
        return dpiY;
    }
    return SystemDpi();
}

int SystemMetricForDpi(int index, UINT dpi) {
    static const auto getSystemMetricsForDpi =
        win::SystemFunction<GetSystemMetricsForDpiFunction>("user32.dll", "GetSystemMetricsForDpi");
    if (dpi == SystemDpi()) {
        return ::GetSystemMetrics(index);
    }
    if (getSystemMetricsForDpi != nullptr) {
        return getSystemMetricsForDpi(index, dpi);
    }
    return ::MulDiv(::GetSystemMetrics(index), static_cast<int>(dpi),
                    static_cast<int>(SystemDpi()));
}

}  // namespace vp

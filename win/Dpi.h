// Dots per inch of the screens, per monitor where Windows knows it (8.1 and later) and
// the system's otherwise, and the system's sizes at a DPI.
#pragma once

#include <windows.h>

namespace vp {

// The DPI the system started with (the one of the primary monitor).
UINT SystemDpi();
// The DPI of the monitor that holds the point (or is nearest to it).
UINT DpiAtPoint(POINT point);
// GetSystemMetrics for a DPI: the system's value where it is at that DPI, else scaled.
int SystemMetricForDpi(int index, UINT dpi);

}  // namespace vp

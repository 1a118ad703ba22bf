// Lengths laid out for 96 DPI, scaled for the DPI of a screen.
#pragma once

namespace vp {

// A length in pixels at 96 DPI, scaled to `dpi` with halves rounded up.
constexpr int ScaleForDpi(int pixelsAt96, int dpi) {
    return (pixelsAt96 * dpi + 48) / 96;
}

}  // namespace vp

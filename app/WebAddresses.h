// The maker's addresses that the tray menu opens.
#pragma once

namespace vp {

inline constexpr char kHomePageAddress[] = "https://www.quenhollow.example/vantapicker/";
inline constexpr char kSupportAddress[] = "mailto:vantapicker-support@quenhollow.example";
// The user guide is installed beside the program.
inline constexpr char kUserGuideFileName[] = "UserGuide.html";

}  // namespace vp

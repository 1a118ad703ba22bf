// The maker's addresses that the tray menu opens.
#pragma once

namespace vp {

inline constexpr char kHomePageAddress[] = "https://www.quenhollow.example/vantapicker/";
inline constexpr char kSupportAddress[] = "mailto:vantapicker-support@quenhollow.example";
// The user guide is installed beside the program.
inline constexpr char16_t kUserGuideFileName[] = u"UserGuide.html";

}  // namespace vp

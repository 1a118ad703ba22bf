// Building the URL of a search: the site's URL prefix followed by the search text.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "base/AnsiText.h"

namespace vp {

// The longest URL that is opened (Internet Explorer's classic limit, kept by many tools).
inline constexpr std::size_t kMaxUrlLength = 2083;

// The site URL with the search text appended byte for byte, except that a double quote
// and control characters (0x00-0x1F, 0x7F), which would end or be lost from the
// browser's command-line argument, are percent-encoded. The result is cut to 2083
// characters without splitting a double-byte character or an escape. Nothing when the
// site URL is empty or the result is not an http or https URL with a host: such a thing
// is never handed to the shell, which would run programs or open files named by it.
std::optional<std::string> ComposeSearchUrl(std::string_view siteUrl, std::string_view text,
                                            const LeadByteSet& leadBytes);

// True for "http://host..." and "https://host..." (scheme in any case, host not empty).
bool IsWebUrl(std::string_view url);

}  // namespace vp

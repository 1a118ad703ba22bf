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

// The placeholder that a site URL may hold where the search text goes.
inline constexpr std::string_view kSearchPlaceholder = "{q}";
bool HasSearchPlaceholder(std::string_view siteUrl);

// A site URL with a placeholder: each "{q}" replaced by the text as percent-encoded UTF-8
// (only RFC 3986 unreserved characters stay), the rest of the site URL treated as above.
// The result is cut to 2083 characters between whole characters of the text; the same
// http/https rule applies. Nothing when the site URL is empty.
std::optional<std::string> ComposePlaceholderUrl(std::string_view siteUrl, std::u16string_view text,
                                                 const LeadByteSet& leadBytes);

// The URL of a wide text for a site URL without placeholder (given in UTF-16): the text
// appended unit for unit, a double quote and control characters (U+0000-U+001F, U+007F)
// percent-encoded as in the ANSI form. The result is cut to 2083 UTF-16 units, never
// separating a surrogate pair or an escape; the same http/https rule applies.
std::optional<std::u16string> ComposeSearchUrl(std::u16string_view siteUrl,
                                               std::u16string_view text);

// True for "http://host..." and "https://host..." (scheme in any case, host not empty).
bool IsWebUrl(std::string_view url);
bool IsWebUrl(std::u16string_view url);

}  // namespace vp

// The site list text: signature, category lines and five-line site records, all lines
// ending in CR LF. Reader and writer of the plain text; encryption is SiteListCipher's.
#pragma once

#include <string>
#include <string_view>

#include "sites/SiteCatalogue.h"

namespace vp {

inline constexpr std::string_view kSiteListSignature = "Quenhollow Available Site List";
// A path that holds this name anywhere (case-sensitive) is a plain-text exchange file.
inline constexpr std::string_view kExchangeFileName = "AvailableSitesExchange.qhsle";
inline constexpr std::string_view kOwnSiteListFileName = "AvailableSites.qhsl";

// True when a file at this path is plain text rather than encrypted.
bool IsPlainSiteListPath(std::string_view path);
bool IsPlainSiteListPath(std::u16string_view path);

// Reads plain site list text into an emptied catalogue (and category list, when given;
// null skips the category lines). The text ends at its first zero byte. Returns false
// when the text does not begin with the signature and an empty line; the catalogue and
// categories are then empty. A record cut short at the end is dropped without error.
bool ParseSiteList(std::string_view text, SiteCatalogue& catalogue, SiteCategoryList* categories);

// Writes the catalogue with its categories as plain site list text.
std::string FormatSiteList(const SiteCatalogue& catalogue, const SiteCategoryList& categories);

// Reads a decimal number as the reader does: leading white space, optional sign, digits
// up to the first other character; no digits gives 0; values beyond 32 bits saturate.
std::int32_t ReadDecimal(std::string_view line);

}  // namespace vp

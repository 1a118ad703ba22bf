#include "sites/SearchUrl.h"

#include "base/WideText.h"

namespace vp {
namespace {

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
        if (c != prefix[i]) {
            return false;
        }
    }
    return true;
}

bool NeedsEncoding(unsigned char byte) {
    return byte == '"' || byte < 0x20 || byte == 0x7F;
}

// Appends text to url, encoding as needed, while the whole of each piece still fits.
// Returns false when a piece no longer fitted: nothing may follow the cut, or the URL
// would no longer be a prefix of the whole composition.
bool AppendEncoded(std::string& url, std::string_view text, const LeadByteSet& leadBytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::size_t position = 0;
    while (position < text.size()) {
        auto byte = static_cast<unsigned char>(text[position]);
        // A lead byte pairs with the next byte unless that one must be encoded: no code
        // page has a quote or a control character as a trail byte, and such a byte must
        // never reach the URL raw.
        if (leadBytes.Contains(byte) && position + 1 < text.size() &&
            !NeedsEncoding(static_cast<unsigned char>(text[position + 1]))) {
            if (url.size() + 2 > kMaxUrlLength) {
                return false;
            }
            url.append(text.substr(position, 2));  // a trail byte is never encoded
            position += 2;
            continue;
        }
        if (NeedsEncoding(byte)) {
            if (url.size() + 3 > kMaxUrlLength) {
                return false;
            }
            url += '%';
            url += kHex[byte >> 4];
            url += kHex[byte & 0xF];
        } else {
            if (url.size() + 1 > kMaxUrlLength) {
                return false;
            }
            url += static_cast<char>(byte);
        }
        ++position;
    }
    return true;
}

bool NeedsEncoding(char16_t unit) {
    return unit == u'"' || unit < 0x20 || unit == 0x7F;
}

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool AppendEncoded(std::u16string& url, std::u16string_view text) {
    static constexpr char16_t kHex[] = u"0123456789ABCDEF";
    std::size_t position = 0;
    while (position < text.size()) {
        const char16_t unit = text[position];
        if (NeedsEncoding(unit)) {
            if (url.size() + 3 > kMaxUrlLength) {
                return false;
            }
            url += u'%';
            url += kHex[unit >> 4];
            url += kHex[unit & 0xF];
            ++position;
            continue;
        }
        // A surrogate pair is one character: both units fit, or neither is taken.
        const std::size_t length = IsHighSurrogate(unit) && position + 1 < text.size() &&
                                           text[position + 1] >= 0xDC00 &&
                                           text[position + 1] <= 0xDFFF
                                       ? 2
                                       : 1;
        if (url.size() + length > kMaxUrlLength) {
            return false;
        }
        url.append(text.substr(position, length));
        position += length;
    }
    return true;
}

}  // namespace

bool HasSearchPlaceholder(std::string_view siteUrl) {
    return siteUrl.find(kSearchPlaceholder) != std::string_view::npos;
}

bool IsWebUrl(std::u16string_view url) {
    // Only ASCII decides the scheme and the host's presence; any other unit stands in as
    // an ordinary host character.
    std::string narrow(url.size(), 'x');
    for (std::size_t i = 0; i < url.size(); ++i) {
        if (url[i] < 0x80) {
            narrow[i] = static_cast<char>(url[i]);
        }
    }
    return IsWebUrl(narrow);
}

bool IsWebUrl(std::string_view url) {
    std::size_t schemeLength = 0;
    if (StartsWithIgnoringCase(url, "http://")) {
        schemeLength = 7;
    } else if (StartsWithIgnoringCase(url, "https://")) {
        schemeLength = 8;
    } else {
        return false;
    }
    std::string_view authority = url.substr(schemeLength);
    authority = authority.substr(0, authority.find_first_of("/?#\\"));
    if (std::size_t at = authority.rfind('@'); at != std::string_view::npos) {
        authority.remove_prefix(at + 1);  // user information
    }
    std::string_view host = authority.substr(0, authority.rfind(':'));
    if (!host.empty() && host.front() == '[') {
        host = authority.substr(0, authority.find(']') + 1);  // IPv6 literal
    }
    return !host.empty();
}

std::optional<std::string> ComposeSearchUrl(std::string_view siteUrl, std::string_view text,
                                            const LeadByteSet& leadBytes) {
    if (siteUrl.empty()) {
        return std::nullopt;  // no site: the text alone is never opened
    }
    std::string url;
    url.reserve(siteUrl.size() + text.size());
    if (AppendEncoded(url, siteUrl, leadBytes)) {
        AppendEncoded(url, text, leadBytes);
    }
    if (!IsWebUrl(url)) {
        return std::nullopt;
    }
    return url;
}

std::optional<std::string> ComposePlaceholderUrl(std::string_view siteUrl, std::u16string_view text,
                                                 const LeadByteSet& leadBytes) {
    if (siteUrl.empty()) {
        return std::nullopt;
    }
    std::string url;
    bool fits = true;
    while (fits) {
        const std::size_t placeholder = siteUrl.find(kSearchPlaceholder);
        fits = AppendEncoded(url, siteUrl.substr(0, placeholder), leadBytes);
        if (placeholder == std::string_view::npos) {
            break;
        }
        siteUrl.remove_prefix(placeholder + kSearchPlaceholder.size());
        ForEachPercentEncoded(text, [&](const std::string& piece) {
            fits = fits && url.size() + piece.size() <= kMaxUrlLength;
            if (fits) {
                url += piece;
            }
            return fits;
        });
    }
    if (!IsWebUrl(url)) {
        return std::nullopt;
    }
    return url;
}

std::optional<std::u16string> ComposeSearchUrl(std::u16string_view siteUrl,
                                               std::u16string_view text) {
    if (siteUrl.empty()) {
        return std::nullopt;
    }
    std::u16string url;
    if (AppendEncoded(url, siteUrl)) {
        AppendEncoded(url, text);
    }
    if (!IsWebUrl(url)) {
        return std::nullopt;
    }
    return url;
}

}  // namespace vp

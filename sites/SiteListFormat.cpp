#include "sites/SiteListFormat.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <utility>

namespace vp {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::size_t kRecordLines = 5;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void AppendLine(std::string& text, std::string_view line) {
    text.append(line);
    text.append(kLineEnd);
}

// A field is one line: a CR or LF inside it would end the line early and shift every
// later record when the text is read again, so each becomes a blank.
void AppendField(std::string& text, std::string_view field) {
    const std::size_t start = text.size();
    AppendLine(text, field);
    std::replace_if(
        text.begin() + static_cast<std::ptrdiff_t>(start),
        text.end() - static_cast<std::ptrdiff_t>(kLineEnd.size()),
        [](char c) { return c == '\r' || c == '\n'; }, ' ');
}

}  // namespace

bool IsPlainSiteListPath(std::string_view path) {
    return path.find(kExchangeFileName) != std::string_view::npos;
}

bool IsPlainSiteListPath(std::u16string_view path) {
    const std::u16string name(kExchangeFileName.begin(), kExchangeFileName.end());
    return path.find(name) != std::u16string_view::npos;
}

std::int32_t ReadDecimal(std::string_view line) {
    std::size_t position = 0;
    while (position < line.size() && IsBlank(line[position])) {
        ++position;
    }
    bool negative = false;
    if (position < line.size() && (line[position] == '+' || line[position] == '-')) {
        negative = line[position] == '-';
        ++position;
    }
    // The magnitude stops growing one past INT32_MAX, enough to saturate either way.
    constexpr std::int64_t kMagnitudeLimit =
        std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    while (position < line.size() && line[position] >= '0' && line[position] <= '9') {
        magnitude = std::min(magnitude * 10 + (line[position] - '0'), kMagnitudeLimit);
        ++position;
    }
    if (negative) {
        return static_cast<std::int32_t>(-magnitude);
    }
    return static_cast<std::int32_t>(std::min(magnitude, kMagnitudeLimit - 1));
}

bool ParseSiteList(std::string_view text, SiteCatalogue& catalogue, SiteCategoryList* categories) {
    catalogue.Clear();
    if (categories != nullptr) {
        categories->clear();
    }
    text = text.substr(0, text.find('\0'));

    std::string expectedStart(kSiteListSignature);
    expectedStart.append(kLineEnd);
    expectedStart.append(kLineEnd);
    if (!text.starts_with(expectedStart)) {
        return false;
    }
    std::size_t position = expectedStart.size();

    // Category lines, up to an empty line. Without any further line end there are no
    // records either.
    for (;;) {
        const std::size_t lineEnd = text.find(kLineEnd, position);
        if (lineEnd == std::string_view::npos) {
            break;
        }
        if (lineEnd == position) {
            position = lineEnd + kLineEnd.size();
            break;
        }
        if (categories != nullptr) {
            SiteCategory category;
            category.name = text.substr(position, lineEnd - position);
            categories->push_back(std::move(category));
        }
        position = lineEnd + kLineEnd.size();
    }

    // Five-line records until one of them is cut short.
    for (;;) {
        std::array<std::string_view, kRecordLines> lines;
        std::size_t cursor = position;
        for (std::string_view& line : lines) {
            const std::size_t lineEnd = text.find(kLineEnd, cursor);
            if (lineEnd == std::string_view::npos) {
                return true;
            }
            line = text.substr(cursor, lineEnd - cursor);
            cursor = lineEnd + kLineEnd.size();
        }
        SiteRecord record;
        record.category = ReadDecimal(lines[1]);
        record.name = lines[2];
        record.url = lines[3];
        record.reservedFlag = ReadDecimal(lines[4]) == 1;
        catalogue.Insert(ReadDecimal(lines[0]), std::move(record));
        position = cursor;
    }
}

std::string FormatSiteList(const SiteCatalogue& catalogue, const SiteCategoryList& categories) {
    std::size_t size = kSiteListSignature.size() + 3 * kLineEnd.size();
    for (const SiteCategory& category : categories) {
        size += category.name.size() + 1 + kLineEnd.size();
    }
    for (const auto& [id, record] : catalogue) {
        // Two numbers of at most 11 characters and a one-character flag.
        size += record.name.size() + record.url.size() + 23 + kRecordLines * kLineEnd.size();
    }

    std::string text;
    text.reserve(size);
    AppendLine(text, kSiteListSignature);
    AppendLine(text, "");
    for (const SiteCategory& category : categories) {
        // An empty line ends the category list: an unnamed category is written as a blank.
        AppendField(text, category.name.empty() ? std::string_view(" ") : category.name);
    }
    AppendLine(text, "");
    for (const auto& [id, record] : catalogue) {
        AppendLine(text, std::to_string(id));
        AppendLine(text, std::to_string(record.category));
        AppendField(text, record.name);
        AppendField(text, record.url);
        AppendLine(text, record.reservedFlag ? "1" : "0");
    }
    return text;
}

}  // namespace vp

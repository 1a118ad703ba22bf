// Feeds arbitrary bytes to the site list reader, as plain text and as an encrypted file,
// and checks that whatever the reader accepts survives a write and a second read (a lone
// CR or LF inside a field as the blank the writer makes of it).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "sites/SiteListCipher.h"
#include "sites/SiteListFormat.h"

namespace vp {
namespace {

void Require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "site list round trip broken: %s\n", what);
        std::abort();
    }
}

// A field as the writer puts it on its one line: a lone CR or LF inside it (a pair would
// have ended the line) becomes a blank.
std::string AsWritten(std::string field) {
    for (char& c : field) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return field;
}

// The records agree; with `written`, the left ones taken as the writer writes them.
bool SameRecords(const SiteCatalogue& left, const SiteCatalogue& right, bool written) {
    auto field = [written](const std::string& text) { return written ? AsWritten(text) : text; };
    return std::ranges::equal(left, right, [&](const auto& l, const auto& r) {
        return l.first == r.first && field(l.second.name) == r.second.name &&
               field(l.second.url) == r.second.url && l.second.category == r.second.category &&
               l.second.reservedFlag == r.second.reservedFlag && !r.second.visible;
    });
}

bool SameCategories(const SiteCategoryList& left, const SiteCategoryList& right) {
    return std::ranges::equal(left, right, [](const SiteCategory& l, const SiteCategory& r) {
        return AsWritten(l.name) == r.name;
    });
}

void CheckText(std::string_view text) {
    SiteCatalogue catalogue;
    SiteCategoryList categories;
    if (!ParseSiteList(text, catalogue, &categories)) {
        Require(catalogue.Empty() && categories.empty(), "refused text left contents");
        return;
    }
    for (const SiteCategory& category : categories) {
        Require(!category.name.empty(), "empty category name");
    }

    // Reading without categories gives the same records.
    SiteCatalogue withoutCategories;
    Require(ParseSiteList(text, withoutCategories, nullptr), "read without categories refused");
    Require(SameRecords(catalogue, withoutCategories, false), "categories changed the records");

    const std::string written = FormatSiteList(catalogue, categories);
    SiteCatalogue reread;
    SiteCategoryList rereadCategories;
    Require(ParseSiteList(written, reread, &rereadCategories), "written text refused");
    Require(SameRecords(catalogue, reread, true), "records changed");
    Require(SameCategories(categories, rereadCategories), "categories changed");
    Require(FormatSiteList(reread, rereadCategories) == written, "second write differs");

    // The encrypted form of the written text reads back to the same text.
    std::vector<std::uint8_t> encrypted(written.begin(), written.end());
    const SiteListCipher cipher;
    cipher.Encrypt(encrypted.data(), encrypted.size());
    cipher.Decrypt(encrypted.data(), encrypted.size());
    Require(std::string_view(reinterpret_cast<const char*>(encrypted.data()), encrypted.size()) ==
                written,
            "decryption does not undo encryption");
}

}  // namespace
}  // namespace vp

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vp::CheckText(std::string_view(reinterpret_cast<const char*>(data), size));

    std::vector<std::uint8_t> decrypted(data, data + size);
    vp::SiteListCipher().Decrypt(decrypted.data(), decrypted.size());
    vp::CheckText(
        std::string_view(reinterpret_cast<const char*>(decrypted.data()), decrypted.size()));
    return 0;
}

#include "base/WideText.h"

namespace vp {
namespace {

bool IsHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

}  // namespace

std::u16string CutText(std::u16string_view text, std::size_t maxUnits) {
    if (text.size() <= maxUnits) {
        return std::u16string(text);
    }
    std::size_t length = maxUnits;
    if (length > 0 && IsHighSurrogate(text[length - 1]) && IsLowSurrogate(text[length])) {
        --length;  // the pair does not fit whole
    }
    return std::u16string(text.substr(0, length));
}

void TrimTrailingBlanks(std::u16string& text) {
    std::size_t end = text.find_last_not_of(u' ');
    text.erase(end == std::u16string::npos ? 0 : end + 1);
}

std::size_t PositionCountingLineEndsOnce(std::u16string_view text, std::size_t position) {
    std::size_t index = 0;
    for (; index < text.size() && position > 0; --position) {
        index += text.compare(index, 2, u"\r\n") == 0 ? 2 : 1;
    }
    return index;
}

bool IsUnreservedUrlCharacter(char32_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_' || c == '~';
}

namespace detail {

char32_t NextCodePoint(std::u16string_view text, std::size_t& position) {
    const char16_t unit = text[position++];
    if (IsHighSurrogate(unit) && position < text.size() && IsLowSurrogate(text[position])) {
        const char16_t low = text[position++];
        return 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (low - 0xDC00);
    }
    if (IsHighSurrogate(unit) || IsLowSurrogate(unit)) {
        return 0xFFFD;  // a lone surrogate has no UTF-8 form
    }
    return unit;
}

std::string EncodeCodePoint(char32_t c) {
    if (IsUnreservedUrlCharacter(c)) {
        return std::string(1, static_cast<char>(c));
    }
    unsigned char bytes[4];
    std::size_t count = 0;
    if (c < 0x80) {
        bytes[count++] = static_cast<unsigned char>(c);
    } else if (c < 0x800) {
        bytes[count++] = static_cast<unsigned char>(0xC0 | (c >> 6));
        bytes[count++] = static_cast<unsigned char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        bytes[count++] = static_cast<unsigned char>(0xE0 | (c >> 12));
        bytes[count++] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
        bytes[count++] = static_cast<unsigned char>(0x80 | (c & 0x3F));
    } else {
        bytes[count++] = static_cast<unsigned char>(0xF0 | (c >> 18));
        bytes[count++] = static_cast<unsigned char>(0x80 | ((c >> 12) & 0x3F));
        bytes[count++] = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
        bytes[count++] = static_cast<unsigned char>(0x80 | (c & 0x3F));
    }
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    for (std::size_t i = 0; i < count; ++i) {
        encoded += '%';
        encoded += kHex[bytes[i] >> 4];
        encoded += kHex[bytes[i] & 0xF];
    }
    return encoded;
}

}  // namespace detail

std::string PercentEncodeUtf8(std::u16string_view text) {
    std::string encoded;
    ForEachPercentEncoded(text, [&encoded](const std::string& piece) {
        encoded += piece;
        return true;
    });
    return encoded;
}

}  // namespace vp

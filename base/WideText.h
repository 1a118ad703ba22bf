// Portable helpers for UTF-16 search texts: the length cut, the trimming of blanks and
// the UTF-8 percent-encoding that puts a text in place of a URL's placeholder.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vp {

// Text cut to at most maxUnits UTF-16 code units, never separating a surrogate pair (a
// high surrogate that would lose its low surrogate is dropped).
std::u16string CutText(std::u16string_view text, std::size_t maxUnits);

// Removes trailing blanks (U+0020 only; tabs, line ends and other spaces stay).
void TrimTrailingBlanks(std::u16string& text);

// A position of a control that counts each line end as one character (a rich edit
// control's CR), turned into a position in `text`, where a line end may be CR LF. A
// position beyond the text gives the text's end.
std::size_t PositionCountingLineEndsOnce(std::u16string_view text, std::size_t position);

// True for the characters that RFC 3986 leaves unreserved: A-Z a-z 0-9 - . _ ~
bool IsUnreservedUrlCharacter(char32_t c);

// Calls emit(piece) once per character of text with the character's UTF-8 bytes
// percent-encoded ("%E6%97%A5"), or the character itself when it is unreserved. A lone
// surrogate becomes U+FFFD. Each piece is one whole character, so a caller that stops
// between pieces never leaves a partial escape or a partial UTF-8 sequence.
template <typename Emit>
void ForEachPercentEncoded(std::u16string_view text, Emit&& emit);

// The whole of text, encoded as above.
std::string PercentEncodeUtf8(std::u16string_view text);

namespace detail {
// The code point at position (advancing position past it); U+FFFD for a lone surrogate.
char32_t NextCodePoint(std::u16string_view text, std::size_t& position);
// The percent-encoded UTF-8 of one code point, or the character itself when unreserved.
std::string EncodeCodePoint(char32_t c);
}  // namespace detail

template <typename Emit>
void ForEachPercentEncoded(std::u16string_view text, Emit&& emit) {
    std::size_t position = 0;
    while (position < text.size()) {
        if (!emit(detail::EncodeCodePoint(detail::NextCodePoint(text, position)))) {
            return;
        }
    }
}

}  // namespace vp

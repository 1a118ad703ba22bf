// Portable helpers for single-byte and double-byte ANSI text.
// The lead-byte rule of the code page is passed in, so that the code runs and is
// tested without Windows; on Windows it comes from the system code page.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace vp {

// The set of bytes that start a double-byte character in one code page.
class LeadByteSet {
public:
    LeadByteSet() = default;
    // Adds the inclusive range [first, last].
    void AddRange(unsigned char first, unsigned char last);
    bool Contains(unsigned char byte) const { return isLead_[byte]; }
    // No lead bytes: a single-byte code page such as Windows-1252.
    static LeadByteSet SingleByte() { return {}; }

private:
    std::array<bool, 256> isLead_{};
};

// Length in bytes of the longest prefix of text that holds at most maxBytes bytes and
// does not end in a lead byte whose trail byte was cut off.
std::size_t CutLength(std::string_view text, std::size_t maxBytes, const LeadByteSet& leadBytes);

// Position where the character before `end` starts (end > 0), scanning from the start
// of the text, as CharPrev does.
std::size_t PreviousCharStart(std::string_view text, std::size_t end, const LeadByteSet& leadBytes);

// Text cut to at most maxBytes bytes without splitting a double-byte character.
std::string CutText(std::string_view text, std::size_t maxBytes, const LeadByteSet& leadBytes);

// Removes trailing blanks (0x20 only; tabs and line ends stay), stepping over whole
// characters so that a double-byte character is never taken apart.
void TrimTrailingBlanks(std::string& text, const LeadByteSet& leadBytes);

}  // namespace vp

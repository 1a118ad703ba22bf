#include "base/AnsiText.h"

namespace vp {

void LeadByteSet::AddRange(unsigned char first, unsigned char last) {
    for (unsigned value = first; value <= last; ++value) {
        isLead_[value] = true;
    }
}

std::size_t CutLength(std::string_view text, std::size_t maxBytes, const LeadByteSet& leadBytes) {
    if (text.size() <= maxBytes) {
        return text.size();
    }
    // Walk whole characters from the start: a trail byte may look like a lead byte.
    std::size_t position = 0;
    while (position < maxBytes) {
        std::size_t width = leadBytes.Contains(static_cast<unsigned char>(text[position])) ? 2 : 1;
        if (position + width > maxBytes) {
            break;
        }
        position += width;
    }
    return position;
}

std::size_t PreviousCharStart(std::string_view text, std::size_t end,
                              const LeadByteSet& leadBytes) {
    std::size_t position = 0;
    std::size_t previous = 0;
    while (position < end) {
        previous = position;
        bool isLead = leadBytes.Contains(static_cast<unsigned char>(text[position]));
        position += (isLead && position + 1 < text.size()) ? 2 : 1;
    }
    return previous;
}

std::string CutText(std::string_view text, std::size_t maxBytes, const LeadByteSet& leadBytes) {
    return std::string(text.substr(0, CutLength(text, maxBytes, leadBytes)));
}

void TrimTrailingBlanks(std::string& text, const LeadByteSet& leadBytes) {
    std::size_t keep = 0;  // end of the last character that is not a blank
    std::size_t position = 0;
    while (position < text.size()) {
        bool isLead = leadBytes.Contains(static_cast<unsigned char>(text[position]));
        std::size_t width = (isLead && position + 1 < text.size()) ? 2 : 1;
        if (width == 2 || text[position] != ' ') {
            keep = position + width;
        }
        position += width;
    }
    text.resize(keep);
}

}  // namespace vp

#include "base/CommandLine.h"

namespace vp {
namespace {

bool EqualsIgnoringCase(std::string_view text, std::string_view word) {
    if (text.size() != word.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        auto fold = [](char c) {
            return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        };
        if (fold(text[i]) != fold(word[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

RegistrationSwitch FindRegistrationSwitch(std::string_view commandLine,
                                          const LeadByteSet& leadBytes) {
    std::size_t position = 0;
    while (position < commandLine.size()) {
        unsigned char byte = static_cast<unsigned char>(commandLine[position]);
        if (leadBytes.Contains(byte)) {
            position += 2;  // a trail byte is never a switch character
            continue;
        }
        ++position;
        if (byte != '-' && byte != '/') {
            continue;
        }
        std::string_view token = commandLine.substr(position);
        if (EqualsIgnoringCase(token, "UnregServer")) {
            return RegistrationSwitch::Unregister;
        }
        if (EqualsIgnoringCase(token, "RegServer")) {
            return RegistrationSwitch::Register;
        }
    }
    return RegistrationSwitch::None;
}

}  // namespace vp

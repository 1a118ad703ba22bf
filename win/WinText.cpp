#include "win/WinText.h"

namespace vp {

const LeadByteSet& SystemLeadBytes() {
    static const LeadByteSet leadBytes = [] {
        LeadByteSet set;
        CPINFO info{};
        if (::GetCPInfo(CP_ACP, &info)) {
            for (int i = 0; i + 1 < MAX_LEADBYTES && info.LeadByte[i] != 0; i += 2) {
                set.AddRange(info.LeadByte[i], info.LeadByte[i + 1]);
            }
        }
        return set;
    }();
    return leadBytes;
}

std::string LoadResourceString(UINT id) {
    char buffer[256] = {};
    int length = ::LoadStringA(ProgramInstance(), id, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    std::size_t end = 0;  // just after the last backslash
    for (std::size_t i = 0; i < length;) {
        if (path[i] == '\\') {
            end = i + 1;
        }
        i += SystemLeadBytes().Contains(static_cast<unsigned char>(path[i])) ? 2 : 1;
    }
    return std::string(path, end);
}

HINSTANCE ProgramInstance() {
    return ::GetModuleHandleA(nullptr);
}

}  // namespace vp

// The double-byte code page that the tests of ANSI text share.
#pragma once

#include "base/AnsiText.h"

namespace vp {

// Shift-JIS style lead bytes: 0x81-0x9F and 0xE0-0xFC.
inline LeadByteSet ShiftJisLeadBytes() {
    LeadByteSet set;
    set.AddRange(0x81, 0x9F);
    set.AddRange(0xE0, 0xFC);
    return set;
}

}  // namespace vp

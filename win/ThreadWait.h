// Waiting on the program's thread without holding up the programs that send it messages.
#pragma once

#include <windows.h>

namespace vp::win {

// Waits at most `timeoutMs` for `object` while still answering messages sent to this
// thread (a hook called out of context, a clipboard viewer's notice, a window that asks
// the program something); posted messages stay queued for the message loop. True when
// the object was signalled in time.
bool WaitAnsweringSent(HANDLE object, DWORD timeoutMs);

}  // namespace vp::win

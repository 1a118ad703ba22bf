// VPHook.dll: recognises the two mouse gestures in every process of the desktop.
// The state lives in a named file mapping of the user's session (hook/HookState.h),
// which one process alone, the program, writes through the setters; every process maps
// it for reading at its first hook call. The pending gestures are each process's own.
// The hook procedure reads single aligned words without locks and talks to the program
// only by posting messages.
#include "hook/VPHook.h"

#include <sddl.h>

#include <atomic>

#include "hook/HookState.h"
#include "hook/Messages.h"
#include "hook/ProgramFile.h"

namespace {

using vp::hook::HookState;

HINSTANCE ModuleInstance = nullptr;
HHOOK HookHandle = nullptr;  // the hook that this process installed
bool PopupPending = false;
bool DefaultPending = false;
// The program window that the pending gestures were pressed for: a gesture pressed for
// a program that has ended since never fires in the next one.
std::int32_t PendingTarget = 0;

// The state mapped for writing, in a process that called a setter.
HookState* Writable = nullptr;
HANDLE WritableMapping = nullptr;
bool WritableTried = false;

// Every process's side, set up once by the first hook call that gets there.
enum : LONG { kUnopened, kOpening, kActive, kPassive };
std::atomic<LONG> ReadPhase{kUnopened};
const volatile HookState* Shared = nullptr;
HANDLE SharedMapping = nullptr;
std::uint64_t OwnNameHash = 0;
DWORD OwnIntegrity = 0;
// Whether this process leaves the gestures alone, as the state stood when its change
// counter was SeenChange (-1: not yet worked out).
bool Passive = false;
LONG SeenChange = -1;
wchar_t PathBuffer[vp::hook::kLongPathUnits];  // only the opening thread uses it

// The process's token facts: its user's SID (binary), the owner that its new objects get
// and its integrity level.
struct TokenFacts {
    union {
        TOKEN_USER user;
        BYTE bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
    } user;
    union {
        TOKEN_OWNER owner;
        BYTE bytes[sizeof(TOKEN_OWNER) + SECURITY_MAX_SID_SIZE];
    } owner;
    DWORD integrity = 0;
    bool known = false;
};

TokenFacts ReadToken() {
    TokenFacts facts;
    HANDLE token = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return facts;
    }
    union {
        TOKEN_MANDATORY_LABEL label;
        BYTE bytes[sizeof(TOKEN_MANDATORY_LABEL) + SECURITY_MAX_SID_SIZE];
    } label;
    DWORD size = 0;
    facts.known =
        ::GetTokenInformation(token, TokenUser, &facts.user, sizeof facts.user, &size) &&
        ::IsValidSid(facts.user.user.User.Sid) &&
        ::GetTokenInformation(token, TokenOwner, &facts.owner, sizeof facts.owner, &size) &&
        ::IsValidSid(facts.owner.owner.Owner);
    if (::GetTokenInformation(token, TokenIntegrityLevel, &label, sizeof label, &size) &&
        ::IsValidSid(label.label.Label.Sid) &&
        *::GetSidSubAuthorityCount(label.label.Label.Sid) > 0) {
        PSID sid = label.label.Label.Sid;
        facts.integrity = *::GetSidSubAuthority(sid, *::GetSidSubAuthorityCount(sid) - 1u);
    }
    ::CloseHandle(token);
    return facts;
}

// The prefix, this process's user's SID and the suffix in text.
bool UserText(const char* prefix, const TokenFacts& facts, const char* suffix,
              wchar_t (&text)[vp::hook::kSidTextUnits]) {
    PSID sid = facts.user.user.User.Sid;
    return facts.known &&
           vp::hook::SidText(prefix, static_cast<const std::uint8_t*>(sid), ::GetLengthSid(sid),
                             suffix, text, vp::hook::kSidTextUnits);
}

// Whether the state's mapping is what MapWritable creates, so no other program can write
// it: owned by this user (or the token's default owner for new objects, under Wine a group,
// for an elevated token the administrators), one entry in its access list, which allows
// this user, and no integrity label below medium or one that lets lower levels write.
// Windows gives an object that a process of low integrity creates a low label; an object
// without a label counts as medium (Wine keeps no labels). Reads into a buffer of its own:
// the hook procedure calls it, where nothing is allocated.
bool StateIsOwn(HANDLE mapping, const TokenFacts& facts) {
    union {
        SECURITY_DESCRIPTOR_RELATIVE header;
        BYTE bytes[2048];
    } descriptor;
    DWORD needed = 0;
    if (!facts.known ||
        !::GetKernelObjectSecurity(
            mapping,
            OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | LABEL_SECURITY_INFORMATION,
            &descriptor, sizeof descriptor, &needed)) {
        return false;
    }
    PSID owner = nullptr;
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL list = nullptr;
    void* entry = nullptr;
    if (!::GetSecurityDescriptorOwner(&descriptor, &owner, &defaulted) || owner == nullptr ||
        !(::EqualSid(owner, facts.user.user.User.Sid) ||
          ::EqualSid(owner, facts.owner.owner.Owner)) ||
        !::GetSecurityDescriptorDacl(&descriptor, &present, &list, &defaulted) || !present ||
        list == nullptr || list->AceCount != 1 || !::GetAce(list, 0, &entry) ||
        static_cast<const ACE_HEADER*>(entry)->AceType != ACCESS_ALLOWED_ACE_TYPE ||
        !::EqualSid(&static_cast<ACCESS_ALLOWED_ACE*>(entry)->SidStart, facts.user.user.User.Sid)) {
        return false;
    }
    list = nullptr;
    if (!::GetSecurityDescriptorSacl(&descriptor, &present, &list, &defaulted) || !present ||
        list == nullptr) {
        return true;  // no label
    }
    for (DWORD i = 0; i < list->AceCount; ++i) {
        if (!::GetAce(list, i, &entry)) {
            return false;
        }
        if (static_cast<const ACE_HEADER*>(entry)->AceType != SYSTEM_MANDATORY_LABEL_ACE_TYPE) {
            continue;
        }
        auto* label = static_cast<SYSTEM_MANDATORY_LABEL_ACE*>(entry);
        PSID level = &label->SidStart;
        if ((label->Mask & SYSTEM_MANDATORY_LABEL_NO_WRITE_UP) == 0 ||
            *::GetSidSubAuthorityCount(level) == 0 ||
            *::GetSidSubAuthority(level, *::GetSidSubAuthorityCount(level) - 1u) <
                SECURITY_MANDATORY_MEDIUM_RID) {
            return false;
        }
    }
    return true;
}

// Maps the state for writing once: creates it, readable by lower integrity levels and
// writable only by this user at medium integrity or above, or opens it when it exists and
// is the program's own; otherwise (another program made it first) nothing is written.
HookState* MapWritable() {
    if (WritableTried) {
        return Writable;
    }
    WritableTried = true;
    const TokenFacts facts = ReadToken();
    wchar_t stateName[vp::hook::kSidTextUnits];
    wchar_t descriptorText[vp::hook::kSidTextUnits];
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    // The user alone, with everything; a medium label that lets lower levels read only.
    if (!UserText(vp::hook::kHookStatePrefix, facts, "", stateName) ||
        !UserText("D:P(A;;GA;;;", facts, ")S:(ML;;NW;;;ME)", descriptorText) ||
        !::ConvertStringSecurityDescriptorToSecurityDescriptorW(descriptorText, SDDL_REVISION_1,
                                                                &descriptor, nullptr)) {
        return nullptr;
    }
    SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor, FALSE};
    WritableMapping = ::CreateFileMappingW(INVALID_HANDLE_VALUE, &attributes, PAGE_READWRITE, 0,
                                           sizeof(HookState), stateName);
    const bool existed = ::GetLastError() == ERROR_ALREADY_EXISTS;
    ::LocalFree(descriptor);
    if (WritableMapping != nullptr && existed && !StateIsOwn(WritableMapping, facts)) {
        ::CloseHandle(WritableMapping);  // the security given above was not applied to it
        WritableMapping = nullptr;
    }
    if (WritableMapping != nullptr) {
        Writable = static_cast<HookState*>(
            ::MapViewOfFile(WritableMapping, FILE_MAP_WRITE, 0, 0, sizeof(HookState)));
    }
    return Writable;
}

// Whether the writer that the state names still runs: the program's window still belongs
// to it, or, before it named a window, its process runs.
bool WriterRuns(const HookState& state, DWORD writer) {
    if (state.targetWindow != 0) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(
            reinterpret_cast<HWND>(static_cast<LONG_PTR>(state.targetWindow)), &owner);
        return owner == writer;
    }
    HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, writer);
    const bool runs = process != nullptr && ::WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    if (process != nullptr) {
        ::CloseHandle(process);
    }
    return runs;
}

// The state for this process's setters: only while it is the writer. The first process
// to set anything becomes the writer, and another one only when that has gone; it starts
// from the first state, and every process works out again whether it takes gestures.
HookState* WritableState() {
    HookState* state = MapWritable();
    if (state == nullptr) {
        return nullptr;
    }
    const DWORD self = ::GetCurrentProcessId();
    const auto writer = static_cast<LONG>(state->writerProcess);
    if (static_cast<DWORD>(writer) == self) {
        return state;
    }
    auto* slot = reinterpret_cast<volatile LONG*>(&state->writerProcess);
    if ((writer != 0 && WriterRuns(*state, static_cast<DWORD>(writer))) ||
        ::InterlockedCompareExchange(slot, static_cast<LONG>(self), writer) != writer) {
        return nullptr;
    }
    HookState fresh = vp::hook::InitialHookState();
    fresh.writerProcess = self;
    fresh.programIntegrity = ReadToken().integrity;
    fresh.exclusionChange = state->exclusionChange;
    *state = fresh;
    ::InterlockedIncrement(reinterpret_cast<volatile LONG*>(&state->exclusionChange));
    return state;
}

// Opens the state for reading, once per process: its user's session's state, with this
// process's integrity level and the name it is excluded by. Bounded work, no allocation
// and no C runtime. Returns the phase reached; kOpening while another thread is at it,
// which is passive for the moment.
LONG OpenSharedState() {
    LONG expected = kUnopened;
    if (!ReadPhase.compare_exchange_strong(expected, kOpening)) {
        return expected;
    }
    LONG phase = kPassive;
    const TokenFacts facts = ReadToken();
    wchar_t name[vp::hook::kSidTextUnits];
    if (UserText(vp::hook::kHookStatePrefix, facts, "", name)) {
        // The handle stays open with the view: while any process holds one, the name
        // stays too, and the program's next run writes the state that this process reads.
        SharedMapping = ::OpenFileMappingW(FILE_MAP_READ | READ_CONTROL, FALSE, name);
        if (SharedMapping != nullptr && !StateIsOwn(SharedMapping, facts)) {
            ::CloseHandle(SharedMapping);  // made by another program: its gestures are not taken
            SharedMapping = nullptr;
        }
        const void* view = SharedMapping != nullptr ? ::MapViewOfFile(SharedMapping, FILE_MAP_READ,
                                                                      0, 0, sizeof(HookState))
                                                    : nullptr;
        if (view != nullptr) {
            Shared = static_cast<const volatile HookState*>(view);
            OwnIntegrity = facts.integrity;
            const DWORD length =
                ::GetModuleFileNameW(nullptr, PathBuffer + vp::hook::kPathOffset,
                                     vp::hook::kLongPathUnits - vp::hook::kPathOffset);
            if (length > 0 && length < vp::hook::kLongPathUnits - vp::hook::kPathOffset) {
                OwnNameHash = vp::hook::LongProgramNameHash(PathBuffer, length);
            }
            phase = kActive;
        }
    }
    ReadPhase.store(phase);
    return phase;
}

// Whether this process leaves the gestures alone: it is named in the list, or it runs
// below the program's integrity level, where the program's window takes no message from
// it and a swallowed click would be lost. Bounded work on the first message after a
// change of the list or of the program.
bool ProcessIsPassive(const volatile HookState& state) {
    // The counter before what it stands for. A list read while it is being replaced is
    // read again at the next message.
    const LONG change = state.exclusionChange;
    if (change == SeenChange) {
        return Passive;
    }
    bool passive = OwnIntegrity < state.programIntegrity;
    const LONG count = state.exclusionCount;
    for (LONG i = 0; i < count && i < vp::kMaxGestureExclusions; ++i) {
        passive = passive || state.exclusionHashes[i] == OwnNameHash;
    }
    Passive = passive;
    SeenChange = change;
    return passive;
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        ModuleInstance = instance;
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // Unloaded while the process goes on: another process may become the writer.
        if (Writable != nullptr) {
            ::InterlockedCompareExchange(reinterpret_cast<volatile LONG*>(&Writable->writerProcess),
                                         0, static_cast<LONG>(::GetCurrentProcessId()));
            ::UnmapViewOfFile(Writable);
        }
        if (WritableMapping != nullptr) {
            ::CloseHandle(WritableMapping);
        }
        if (Shared != nullptr) {
            ::UnmapViewOfFile(const_cast<HookState*>(Shared));
        }
        if (SharedMapping != nullptr) {
            ::CloseHandle(SharedMapping);
        }
    }
    return TRUE;
}

extern "C" {

HHOOK WINAPI SetVPHook(HWND target) {
    HookState* state = WritableState();
    if (state == nullptr) {
        ::SetLastError(ERROR_INVALID_OWNER);
        return nullptr;
    }
    state->targetWindow = static_cast<std::int32_t>(reinterpret_cast<LONG_PTR>(target));
    HookHandle = ::SetWindowsHookExW(WH_GETMESSAGE, VPHookProc, ModuleInstance, 0);
    return HookHandle;
}

HHOOK WINAPI SetVPThreadHook(HWND target, DWORD threadId) {
    if (MapWritable() == nullptr) {
        ::SetLastError(ERROR_INVALID_OWNER);
        return nullptr;  // no hook on a state that another program made
    }
    if (HookState* state = WritableState()) {
        state->targetWindow = static_cast<std::int32_t>(reinterpret_cast<LONG_PTR>(target));
    }
    return ::SetWindowsHookExW(WH_GETMESSAGE, VPHookProc, ModuleInstance, threadId);
}

void WINAPI UnhookVPHook() {
    if (HookHandle == nullptr) {
        return;  // this process installed no hook
    }
    if (!::UnhookWindowsHookEx(HookHandle)) {
        ::Sleep(100);
        ::UnhookWindowsHookEx(HookHandle);
    }
}

void WINAPI SetPopupWindowButton(UINT modifierIndex, UINT buttonIndex, bool enable) {
    if (HookState* state = WritableState()) {
        const vp::hook::Gesture current = vp::hook::UnpackGesture(state->popup);
        state->popup = vp::hook::PackGesture(
            {vp::hook::ButtonMessage(buttonIndex, current.buttonMessage),
             vp::hook::ModifierMask(modifierIndex, current.modifiers), enable});
    }
}

void WINAPI SetDefaultActionButton(UINT modifierIndex, UINT buttonIndex, bool enable) {
    if (HookState* state = WritableState()) {
        const vp::hook::Gesture current = vp::hook::UnpackGesture(state->defaultSite);
        state->defaultSite = vp::hook::PackGesture(
            {vp::hook::ButtonMessage(buttonIndex, current.buttonMessage),
             vp::hook::ModifierMask(modifierIndex, current.modifiers), enable});
    }
}

void WINAPI SetGestureExclusions(const unsigned long long* hashes, int count) {
    HookState* state = WritableState();
    if (state == nullptr) {
        return;
    }
    if (hashes == nullptr || count < 0) {
        count = 0;
    }
    if (count > vp::kMaxGestureExclusions) {
        count = vp::kMaxGestureExclusions;
    }
    for (int i = 0; i < count; ++i) {
        state->exclusionHashes[i] = hashes[i];
    }
    state->exclusionCount = count;
    // After the list: a process that sees the new counter finds the new list.
    ::InterlockedIncrement(reinterpret_cast<volatile LONG*>(&state->exclusionChange));
}

int WINAPI GetGestureExclusions(unsigned long long* hashes, int capacity) {
    // The host of the hook in 32-bit applications maps the state as its hooks do.
    const volatile HookState* state = MapWritable();
    if (state == nullptr || hashes == nullptr || capacity < 0) {
        return -1;
    }
    LONG change = 0;
    int count = 0;
    do {  // a list read while it is being replaced is read again
        change = state->exclusionChange;
        count = state->exclusionCount;
        count = count < 0                           ? 0
                : count > vp::kMaxGestureExclusions ? vp::kMaxGestureExclusions
                                                    : count;
        count = count > capacity ? capacity : count;
        for (int i = 0; i < count; ++i) {
            hashes[i] = state->exclusionHashes[i];
        }
    } while (change != state->exclusionChange);
    return count;
}

LRESULT CALLBACK VPHookProc(int code, WPARAM wParam, LPARAM lParam) {
    LONG phase = ReadPhase.load(std::memory_order_acquire);
    if (code == HC_ACTION && phase == kUnopened) {
        phase = OpenSharedState();
    }
    if (code == HC_ACTION && phase == kActive && !ProcessIsPassive(*Shared)) {
        const volatile HookState& state = *Shared;
        auto* message = reinterpret_cast<MSG*>(lParam);
        const vp::hook::Gesture popup = vp::hook::UnpackGesture(state.popup);
        const vp::hook::Gesture defaultSite = vp::hook::UnpackGesture(state.defaultSite);
        const std::int32_t target = state.targetWindow;
        bool popupPending = PopupPending && PendingTarget == target;
        bool defaultPending = DefaultPending && PendingTarget == target;
        const vp::hook::GestureOutcome outcome =
            vp::hook::MatchGesture(message->message, message->wParam, popup, defaultSite,
                                   popupPending, defaultPending, (wParam & PM_REMOVE) != 0);
        // Windows calls a hook of the other bitness out of context, on the thread that
        // installed it, with another process's message that it cannot change: that
        // application has the library of its own bitness, so this one leaves the message
        // and its gesture alone. Asked only when a gesture would act.
        bool inContext = true;
        if (outcome.swallow) {  // so does every trigger
            DWORD owner = 0;
            ::GetWindowThreadProcessId(message->hwnd, &owner);
            inContext = owner == 0 || owner == ::GetCurrentProcessId();
        }
        if (inContext) {
            PopupPending = popupPending;
            DefaultPending = defaultPending;
            PendingTarget = target;
            if (outcome.swallow) {
                message->message = WM_NULL;
            }
            HWND window = reinterpret_cast<HWND>(static_cast<LONG_PTR>(target));
            if (outcome.firePopup) {
                ::PostMessageW(window, VP_WM_POPUP_TRIGGER, 0, 0);
            }
            if (outcome.fireDefault) {
                ::PostMessageW(window, VP_WM_DEFAULT_TRIGGER, 0, 0);
            }
        }
    }
    return ::CallNextHookEx(HookHandle, code, wParam, lParam);
}

}  // extern "C"

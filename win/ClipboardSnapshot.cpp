#include "win/ClipboardSnapshot.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <utility>

#include "win/Handle.h"
#include "win/ThreadWait.h"

namespace vp::win {
namespace {

constexpr int kOpenAttempts = 6;
constexpr DWORD kOpenRetryMs = 10;

// Formats the restore adds itself: copying them would only repeat them.
constexpr const wchar_t* kMarkerNames[] = {
    L"ExcludeClipboardContentFromMonitorProcessing",
    L"CanIncludeInClipboardHistory",
    L"CanUploadToCloudClipboard",
};

// OLE's bookkeeping: these point at the data object of the program that copied, which
// is gone once another copy replaced it; pasting them later would reach a released object.
constexpr const wchar_t* kOlePrivateNames[] = {
    L"DataObject",
    L"Ole Private Data",
    L"OleClipboardPersistOnFlush",
};

enum class Choice { Skip, Memory, EnhancedMetafile };

bool Listed(const std::vector<UINT>& formats, UINT format) {
    return std::find(formats.begin(), formats.end(), format) != formats.end();
}

// Whether a registered format is one that is skipped by name.
bool SkippedByName(UINT format) {
    wchar_t name[128] = {};
    const int length = ::GetClipboardFormatNameW(format, name, static_cast<int>(std::size(name)));
    if (length <= 0) {
        return false;
    }
    for (const wchar_t* skipped : kOlePrivateNames) {
        if (std::wcscmp(name, skipped) == 0) {
            return true;
        }
    }
    for (const wchar_t* marker : kMarkerNames) {
        if (std::wcscmp(name, marker) == 0) {
            return true;
        }
    }
    return false;
}

// What is done with one listed format, given all that the clipboard lists.
Choice Classify(UINT format, const std::vector<UINT>& listed) {
    switch (format) {
        case CF_UNICODETEXT:
            return Choice::Memory;
        case CF_TEXT:
        case CF_LOCALE:
            // Made from the Unicode text when there is one.
            return Listed(listed, CF_UNICODETEXT) ? Choice::Skip : Choice::Memory;
        case CF_OEMTEXT:
            return Listed(listed, CF_UNICODETEXT) || Listed(listed, CF_TEXT) ? Choice::Skip
                                                                             : Choice::Memory;
        case CF_DIB:
        case CF_DIBV5: {
            // The system makes each from the other (and CF_BITMAP from either): the first
            // one listed is the one the program supplied.
            const auto dib = std::find(listed.begin(), listed.end(), CF_DIB);
            const auto dibV5 = std::find(listed.begin(), listed.end(), CF_DIBV5);
            const UINT first = dib < dibV5 ? CF_DIB : CF_DIBV5;
            return format == first ? Choice::Memory : Choice::Skip;
        }
        case CF_ENHMETAFILE:
            return Choice::EnhancedMetafile;
        case CF_HDROP:
        case CF_SYLK:
        case CF_DIF:
        case CF_TIFF:
        case CF_RIFF:
        case CF_WAVE:
        case CF_PENDATA:
            return Choice::Memory;
        default:
            // Registered formats are plain memory by convention. Everything else is a
            // handle whose kind only its owner knows (bitmaps, palettes, metafile
            // pictures come back through the formats above), or display data for the
            // owner alone.
            if (format >= 0xC000 && format <= 0xFFFF) {
                return SkippedByName(format) ? Choice::Skip : Choice::Memory;
            }
            return Choice::Skip;
    }
}

// A copy of a memory block; nothing when it cannot be made.
HGLOBAL CopyMemoryBlock(HANDLE source, std::size_t size) {
    const GlobalLockView<const void> from(source);
    if (!from) {
        return nullptr;
    }
    HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (const GlobalLockView<void> to(copy); to) {
        std::memcpy(to.Get(), from.Get(), size);
        return copy;
    }
    if (copy != nullptr) {
        ::GlobalFree(copy);
    }
    return nullptr;
}

// Whether the clipboard's owner (when there is one in another thread) answers in time:
// reading a format that it renders on request waits for it without limit.
bool OwnerAnswers(HWND owner) {
    if (owner == nullptr || ::GetWindowThreadProcessId(owner, nullptr) == ::GetCurrentThreadId()) {
        return true;
    }
    DWORD_PTR answer = 0;
    return ::SendMessageTimeoutW(owner, WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                                 ClipboardSnapshot::kOwnerAnswerMs, &answer) != 0;
}

// Puts a small memory block with `value` on the clipboard under a registered name.
void SetMarker(const wchar_t* name, DWORD value) {
    const UINT format = ::RegisterClipboardFormatW(name);
    HGLOBAL block = format != 0 ? ::GlobalAlloc(GMEM_MOVEABLE, sizeof value) : nullptr;
    if (const GlobalLockView<void> to(block); to) {
        std::memcpy(to.Get(), &value, sizeof value);
    } else {
        if (block != nullptr) {
            ::GlobalFree(block);
        }
        return;
    }
    if (::SetClipboardData(format, block) == nullptr) {
        ::GlobalFree(block);
    }
}

// A copy of the open clipboard's Unicode text, within the size limit; nothing otherwise.
HGLOBAL CopyOfUnicodeText() {
    HANDLE data =
        ::IsClipboardFormatAvailable(CF_UNICODETEXT) ? ::GetClipboardData(CF_UNICODETEXT) : nullptr;
    const std::size_t size = data != nullptr ? ::GlobalSize(data) : 0;
    return size != 0 && size <= ClipboardSnapshot::kMaxBytes ? CopyMemoryBlock(data, size)
                                                             : nullptr;
}

}  // namespace

ClipboardOpen::ClipboardOpen(HWND owner) {
    for (int attempt = 1; !(open_ = ::OpenClipboard(owner) != FALSE) && attempt < kOpenAttempts;
         ++attempt) {
        ::Sleep(kOpenRetryMs);
    }
}

ClipboardOpen::~ClipboardOpen() {
    if (open_) {
        ::CloseClipboard();
    }
}

std::optional<ClipboardSnapshot> ClipboardSnapshot::Take(HWND owner, std::size_t maxBytes,
                                                         DWORD budgetMs) {
    const ULONGLONG start = ::GetTickCount64();
    // Asked before the clipboard is opened, so that no one waits for it meanwhile.
    HWND clipboardOwner = ::GetClipboardOwner();
    if (!OwnerAnswers(clipboardOwner)) {
        return std::nullopt;
    }
    ClipboardOpen clipboard(owner);
    if (!clipboard || ::GetClipboardOwner() != clipboardOwner) {
        return std::nullopt;
    }
    std::vector<UINT> listed;
    for (UINT format = ::EnumClipboardFormats(0); format != 0;
         format = ::EnumClipboardFormats(format)) {
        listed.push_back(format);
    }
    ClipboardSnapshot snapshot;
    for (UINT format : listed) {
        const Choice choice = Classify(format, listed);
        if (choice == Choice::Skip) {
            continue;
        }
        if (budgetMs != INFINITE && ::GetTickCount64() - start > budgetMs) {
            return std::nullopt;  // the copies made so far are freed with the snapshot
        }
        HANDLE data = ::GetClipboardData(format);
        if (data == nullptr) {
            continue;
        }
        Item item{format, Kind::Memory, nullptr};
        std::size_t size = 0;
        if (choice == Choice::EnhancedMetafile) {
            item.kind = Kind::EnhancedMetafile;
            size = ::GetEnhMetaFileBits(static_cast<HENHMETAFILE>(data), 0, nullptr);
        } else {
            size = ::GlobalSize(data);
        }
        if (size == 0) {
            continue;  // not what its format says it is
        }
        // The copies made so far are freed with the snapshot.
        if (size > maxBytes - snapshot.bytes_) {
            return std::nullopt;
        }
        item.handle =
            item.kind == Kind::EnhancedMetafile
                ? static_cast<HANDLE>(::CopyEnhMetaFileW(static_cast<HENHMETAFILE>(data), nullptr))
                : CopyMemoryBlock(data, size);
        if (item.handle == nullptr) {
            return std::nullopt;  // a partial copy would bring back a different clipboard
        }
        snapshot.items_.push_back(item);
        snapshot.bytes_ += size;
    }
    return snapshot;
}

namespace {

// One snapshot taken on a worker thread. Shared by the worker and the thread that waits
// for it; whichever lets go of it last frees it, with any copies in it.
struct SnapshotJob {
    std::size_t maxBytes;
    DWORD budgetMs;
    std::optional<ClipboardSnapshot> result;
    LONG holders = 2;

    void LetGo() {
        if (::InterlockedDecrement(&holders) == 0) {
            delete this;
        }
    }
};

DWORD WINAPI TakeOnWorker(void* parameter) {
    auto* job = static_cast<SnapshotJob*>(parameter);
    try {
        job->result = ClipboardSnapshot::Take(nullptr, job->maxBytes, job->budgetMs);
    } catch (...) {
        job->result.reset();  // out of memory: no snapshot, as when it is refused
    }
    job->LetGo();
    return 0;
}

}  // namespace

std::optional<ClipboardSnapshot> ClipboardSnapshot::TakeOffThread(std::size_t maxBytes,
                                                                  DWORD budgetMs) {
    auto* job = new SnapshotJob{maxBytes, budgetMs, std::nullopt};
    const UniqueHandle<KernelHandleTraits> worker(
        ::CreateThread(nullptr, 0, TakeOnWorker, job, 0, nullptr));
    if (!worker) {
        delete job;
        return std::nullopt;
    }
    std::optional<ClipboardSnapshot> result;
    if (WaitAnsweringSent(worker.Get(), budgetMs)) {
        result = std::move(job->result);
    }
    job->LetGo();
    return result;
}

ClipboardSnapshot::ClipboardSnapshot(ClipboardSnapshot&& other) noexcept
    : items_(std::exchange(other.items_, {})), bytes_(std::exchange(other.bytes_, 0)) {}

ClipboardSnapshot& ClipboardSnapshot::operator=(ClipboardSnapshot&& other) noexcept {
    if (this != &other) {
        FreeAll();
        items_ = std::exchange(other.items_, {});
        bytes_ = std::exchange(other.bytes_, 0);
    }
    return *this;
}

ClipboardSnapshot::~ClipboardSnapshot() {
    FreeAll();
}

bool ClipboardSnapshot::Holds(UINT format) const {
    return std::any_of(items_.begin(), items_.end(),
                       [format](const Item& item) { return item.format == format; });
}

void ClipboardSnapshot::Free(const Item& item) {
    switch (item.kind) {
        case Kind::Memory:
            ::GlobalFree(item.handle);
            break;
        case Kind::EnhancedMetafile:
            ::DeleteEnhMetaFile(static_cast<HENHMETAFILE>(item.handle));
            break;
    }
}

void ClipboardSnapshot::FreeAll() {
    for (const Item& item : items_) {
        Free(item);
    }
    items_.clear();
    bytes_ = 0;
}

bool ClipboardSnapshot::Restore(HWND owner, DWORD expectedSequence) {
    // The copies leave the snapshot whatever happens: to the clipboard or freed.
    const std::vector<Item> items = std::exchange(items_, {});
    bytes_ = 0;
    auto freeFrom = [&items](std::size_t first) {
        for (std::size_t i = first; i < items.size(); ++i) {
            Free(items[i]);
        }
    };
    ClipboardOpen clipboard(owner);
    // Checked with the clipboard open: nothing can change it between check and restore.
    if (!clipboard || ::GetClipboardSequenceNumber() != expectedSequence) {
        freeFrom(0);
        return false;
    }
    // Prepared before the clipboard is emptied: what it holds now is kept if the
    // restore cannot complete.
    HGLOBAL fallback = CopyOfUnicodeText();
    if (!::EmptyClipboard()) {
        freeFrom(0);
        if (fallback != nullptr) {
            ::GlobalFree(fallback);
        }
        return false;
    }
    bool complete = true;
    for (std::size_t i = 0; i < items.size() && complete; ++i) {
        if (::SetClipboardData(items[i].format, items[i].handle) == nullptr) {
            complete = false;
            freeFrom(i);  // not taken: still ours, and so are the ones after it
        }
    }
    if (!complete) {
        ::EmptyClipboard();
        if (fallback != nullptr && ::SetClipboardData(CF_UNICODETEXT, fallback) != nullptr) {
            fallback = nullptr;
        }
    }
    if (fallback != nullptr) {
        ::GlobalFree(fallback);
    }
    if (complete && ::CountClipboardFormats() != 0) {
        SetMarker(L"ExcludeClipboardContentFromMonitorProcessing", 0);
        SetMarker(L"CanIncludeInClipboardHistory", 0);
        SetMarker(L"CanUploadToCloudClipboard", 0);
    }
    return complete;
}

}  // namespace vp::win

#include "win/ClipboardSnapshot.h"

#include <cstring>
#include <utility>

namespace vp::win {
namespace {

struct ClipboardOpen {
    explicit ClipboardOpen(HWND owner) : open(::OpenClipboard(owner) != FALSE) {}
    ~ClipboardOpen() {
        if (open) {
            ::CloseClipboard();
        }
    }
    bool open;
};

HGLOBAL CopyMemoryBlock(HANDLE source, std::size_t size) {
    const void* from = ::GlobalLock(source);
    if (from == nullptr) {
        return nullptr;
    }
    HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (void* to = copy != nullptr ? ::GlobalLock(copy) : nullptr) {
        std::memcpy(to, from, size);
        ::GlobalUnlock(copy);
    }
    ::GlobalUnlock(source);
    return copy;
}

HGLOBAL CopyMetafilePicture(HANDLE source) {
    const auto* picture = static_cast<const METAFILEPICT*>(::GlobalLock(source));
    if (picture == nullptr) {
        return nullptr;
    }
    METAFILEPICT copied = *picture;
    ::GlobalUnlock(source);
    copied.hMF = ::CopyMetaFileW(copied.hMF, nullptr);
    if (copied.hMF == nullptr) {
        return nullptr;
    }
    HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE, sizeof copied);
    if (void* to = copy != nullptr ? ::GlobalLock(copy) : nullptr) {
        std::memcpy(to, &copied, sizeof copied);
        ::GlobalUnlock(copy);
        return copy;
    }
    ::DeleteMetaFile(copied.hMF);
    if (copy != nullptr) {
        ::GlobalFree(copy);
    }
    return nullptr;
}

// Puts a small memory block with `value` on the clipboard under a registered name.
void SetMarker(const wchar_t* name, DWORD value) {
    const UINT format = ::RegisterClipboardFormatW(name);
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, sizeof value);
    if (format == 0 || block == nullptr) {
        if (block != nullptr) {
            ::GlobalFree(block);
        }
        return;
    }
    std::memcpy(::GlobalLock(block), &value, sizeof value);
    ::GlobalUnlock(block);
    if (::SetClipboardData(format, block) == nullptr) {
        ::GlobalFree(block);
    }
}

}  // namespace

std::optional<ClipboardSnapshot> ClipboardSnapshot::Take(HWND owner, std::size_t maxBytes) {
    ClipboardOpen clipboard(owner);
    if (!clipboard.open) {
        return std::nullopt;
    }
    ClipboardSnapshot snapshot;
    std::size_t total = 0;
    for (UINT format = ::EnumClipboardFormats(0); format != 0;
         format = ::EnumClipboardFormats(format)) {
        if (format == CF_OWNERDISPLAY || format == CF_PALETTE ||
            (format >= CF_PRIVATEFIRST && format <= CF_GDIOBJLAST)) {
            continue;
        }
        HANDLE data = ::GetClipboardData(format);
        if (data == nullptr) {
            continue;
        }
        Item item{format, Kind::Memory, nullptr};
        switch (format) {
            case CF_BITMAP:
            case CF_DSPBITMAP:
                item.kind = Kind::Bitmap;
                item.handle = ::CopyImage(data, IMAGE_BITMAP, 0, 0, 0);
                break;
            case CF_ENHMETAFILE:
            case CF_DSPENHMETAFILE:
                item.kind = Kind::EnhancedMetafile;
                item.handle = ::CopyEnhMetaFileW(static_cast<HENHMETAFILE>(data), nullptr);
                break;
            case CF_METAFILEPICT:
            case CF_DSPMETAFILEPICT:
                item.kind = Kind::MetafilePicture;
                item.handle = CopyMetafilePicture(data);
                break;
            default: {
                const std::size_t size = ::GlobalSize(data);
                total += size;
                if (total > maxBytes) {
                    return std::nullopt;  // the copies made so far are freed with snapshot
                }
                item.handle = size != 0 ? CopyMemoryBlock(data, size) : nullptr;
                break;
            }
        }
        if (item.handle != nullptr) {
            snapshot.items_.push_back(item);
        }
    }
    return snapshot;
}

ClipboardSnapshot::ClipboardSnapshot(ClipboardSnapshot&& other) noexcept
    : items_(std::exchange(other.items_, {})) {}

ClipboardSnapshot& ClipboardSnapshot::operator=(ClipboardSnapshot&& other) noexcept {
    if (this != &other) {
        FreeAll();
        items_ = std::exchange(other.items_, {});
    }
    return *this;
}

ClipboardSnapshot::~ClipboardSnapshot() {
    FreeAll();
}

void ClipboardSnapshot::Free(const Item& item) {
    switch (item.kind) {
        case Kind::Memory:
            ::GlobalFree(item.handle);
            break;
        case Kind::Bitmap:
            ::DeleteObject(item.handle);
            break;
        case Kind::EnhancedMetafile:
            ::DeleteEnhMetaFile(static_cast<HENHMETAFILE>(item.handle));
            break;
        case Kind::MetafilePicture:
            if (const auto* picture = static_cast<const METAFILEPICT*>(::GlobalLock(item.handle))) {
                ::DeleteMetaFile(picture->hMF);
                ::GlobalUnlock(item.handle);
            }
            ::GlobalFree(item.handle);
            break;
    }
}

void ClipboardSnapshot::FreeAll() {
    for (const Item& item : items_) {
        Free(item);
    }
    items_.clear();
}

bool ClipboardSnapshot::Restore(HWND owner) {
    ClipboardOpen clipboard(owner);
    if (!clipboard.open) {
        return false;
    }
    ::EmptyClipboard();
    for (const Item& item : items_) {
        if (::SetClipboardData(item.format, item.handle) == nullptr) {
            Free(item);  // not taken: still ours
        }
    }
    items_.clear();
    if (::CountClipboardFormats() != 0) {
        SetMarker(L"ExcludeClipboardContentFromMonitorProcessing", 0);
        SetMarker(L"CanIncludeInClipboardHistory", 0);
        SetMarker(L"CanUploadToCloudClipboard", 0);
    }
    return true;
}

}  // namespace vp::win

// A copy of everything on the clipboard that can be copied, to put back later.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <vector>

namespace vp::win {

class ClipboardSnapshot {
public:
    // Larger clipboards are not copied.
    static constexpr std::size_t kMaxBytes = 64u * 1024 * 1024;

    // Copies every format of the clipboard that can be copied: memory formats, bitmaps,
    // enhanced metafiles and metafile pictures. Palettes, owner-display data and the
    // private and GDI object ranges (0x200-0x3FF) are left out: their handles cannot be
    // copied without knowing what they are. Nothing when the clipboard cannot be opened
    // or holds more than maxBytes of memory formats.
    static std::optional<ClipboardSnapshot> Take(HWND owner, std::size_t maxBytes = kMaxBytes);

    ClipboardSnapshot() = default;
    ClipboardSnapshot(ClipboardSnapshot&& other) noexcept;
    ClipboardSnapshot& operator=(ClipboardSnapshot&& other) noexcept;
    ClipboardSnapshot(const ClipboardSnapshot&) = delete;
    ClipboardSnapshot& operator=(const ClipboardSnapshot&) = delete;
    ~ClipboardSnapshot();

    // Replaces the clipboard's content with the copies (an empty snapshot empties it),
    // marked so that clipboard history and cloud clipboard tools ignore the change. The
    // copies belong to the clipboard afterwards. False when the clipboard could not be
    // opened.
    bool Restore(HWND owner);

    std::size_t FormatCount() const { return items_.size(); }

private:
    enum class Kind { Memory, Bitmap, EnhancedMetafile, MetafilePicture };
    struct Item {
        UINT format;
        Kind kind;
        HANDLE handle;
    };
    static void Free(const Item& item);
    void FreeAll();

    std::vector<Item> items_;
};

}  // namespace vp::win

// A copy of what a user can get back from the clipboard, to put back later.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <vector>

namespace vp::win {

// The clipboard opened for one scope. Another program may hold it for a moment (a
// clipboard viewer reading the same change), so the open is retried a few times over
// about 50 ms before it counts as failed.
class ClipboardOpen {
public:
    explicit ClipboardOpen(HWND owner);
    ~ClipboardOpen();
    ClipboardOpen(const ClipboardOpen&) = delete;
    ClipboardOpen& operator=(const ClipboardOpen&) = delete;

    explicit operator bool() const { return open_; }

private:
    bool open_ = false;
};

class ClipboardSnapshot {
public:
    // Larger clipboards are not copied.
    static constexpr std::size_t kMaxBytes = 64u * 1024 * 1024;
    // How long the clipboard's owner may take to answer before it counts as not
    // responding.
    static constexpr UINT kOwnerAnswerMs = 200;

    // Copies what a user can get back: Unicode text (or the ANSI or OEM text with its
    // locale when there is none), the standard memory formats (RTF and HTML are
    // registered ones), a device-independent bitmap (DIBV5 or DIB, whichever the
    // clipboard lists first), file drops, an enhanced metafile, and registered formats
    // that are plain memory. Formats the system makes from another one (ANSI text from
    // Unicode, CF_BITMAP from a DIB, the metafile picture from the enhanced metafile)
    // come back by themselves and are not read, so an owner that renders on request
    // renders nothing else. Left out: OLE's bookkeeping formats, which point at an object
    // of the owner; owner-display formats; palettes; the private and GDI object ranges.
    //
    // Nothing when the clipboard cannot be opened, when the clipboard's owner does not
    // answer within kOwnerAnswerMs (reading a format it renders on request would wait on
    // it), when the copies would exceed maxBytes (every kind counts toward it), or when
    // more than budgetMs have passed before the next format is read (an owner that renders
    // slowly would hold up the program for every format it offers).
    static std::optional<ClipboardSnapshot> Take(HWND owner, std::size_t maxBytes = kMaxBytes,
                                                 DWORD budgetMs = INFINITE);
    // Take on a worker thread that opens the clipboard itself, for the program's thread:
    // an owner may take any time to render a format, and reading it waits for the render.
    // The calling thread waits at most budgetMs, answering messages sent to it meanwhile;
    // past that nothing comes back, and the worker's late copies are freed when it ends.
    static std::optional<ClipboardSnapshot> TakeOffThread(std::size_t maxBytes, DWORD budgetMs);

    ClipboardSnapshot() = default;
    ClipboardSnapshot(ClipboardSnapshot&& other) noexcept;
    ClipboardSnapshot& operator=(ClipboardSnapshot&& other) noexcept;
    ClipboardSnapshot(const ClipboardSnapshot&) = delete;
    ClipboardSnapshot& operator=(const ClipboardSnapshot&) = delete;
    ~ClipboardSnapshot();

    // Replaces the clipboard's content with the copies (an empty snapshot empties it)
    // when, once the clipboard is open, its sequence number is still `expectedSequence`:
    // a change made since by anyone is never replaced. The change is marked so that
    // clipboard history and cloud clipboard tools ignore it. When a copy cannot be put
    // on the clipboard, the clipboard gets back the Unicode text it held before, never
    // nothing. True only when every copy went back; the copies belong to the clipboard
    // afterwards either way.
    bool Restore(HWND owner, DWORD expectedSequence);

    std::size_t FormatCount() const { return items_.size(); }
    // The bytes the copies hold.
    std::size_t Bytes() const { return bytes_; }
    bool Holds(UINT format) const;

private:
    enum class Kind { Memory, EnhancedMetafile };
    struct Item {
        UINT format;
        Kind kind;
        HANDLE handle;
    };
    static void Free(const Item& item);
    void FreeAll();

    std::vector<Item> items_;
    std::size_t bytes_ = 0;
};

}  // namespace vp::win

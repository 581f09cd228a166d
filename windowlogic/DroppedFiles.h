#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillery {

// What a pane sensibly holds: dropped files over this many bytes in all are refused.
inline constexpr std::uint64_t kMaxDroppedBytes = std::uint64_t{64} * 1024 * 1024;

// Whether dropped or chosen bytes are UTF-8: they start with its byte-order mark, or are
// valid UTF-8 holding something beyond ASCII; code page 932 otherwise. A page reads a
// chosen dictionary by this too, so a marked file that is broken is refused as UTF-8
// rather than read as something else.
bool IsUtf8ByDropRules(std::string_view bytes);

// Dropped bytes as text, by IsUtf8ByDropRules (a byte-order mark is left out). Bytes that
// decode to nothing show as U+FFFD, which a pane saves as "?". CR LF, a lone CR and a
// lone LF all come out as CR LF.
std::u16string DecodeDroppedBytes(std::string_view bytes);

// The text of the files in order (paths as the window got them), or the message that
// refuses them all: a file that is not a regular file or does not open (a pipe or a
// device could keep the window waiting for ever), holds a NUL byte, or makes more than
// `maxBytes` in all. Nothing is inserted when one is refused.
struct DroppedText {
    std::optional<std::u16string> text;
    std::u16string refusal;
};
DroppedText ReadDroppedFiles(const std::vector<std::u16string>& paths,
                             std::uint64_t maxBytes = kMaxDroppedBytes);

// The message that refuses a dropped file of `size` bytes after `before` bytes of the same
// drop, when they make more than `maxBytes` in all; nullopt when it fits. Asked before the
// file is read, so that a file too large is never held whole.
std::optional<std::u16string> DropSizeRefusal(std::u16string_view name, std::uint64_t before,
                                              std::uint64_t size,
                                              std::uint64_t maxBytes = kMaxDroppedBytes);

// One dropped file's bytes after `before` bytes of the files ahead of it: its text, or
// the message that refuses it (a NUL byte, or more than `maxBytes` in all). A page, which
// gets the bytes rather than a path, takes its files through this one by one.
DroppedText DroppedFileText(std::u16string_view name, std::string_view bytes, std::uint64_t before,
                            std::uint64_t maxBytes = kMaxDroppedBytes);

// A drop that makes a dictionary (anywhere but the input pane, and on the dictionary
// dialog) holds exactly one regular file.
bool IsDictionaryDrop(const std::vector<std::u16string>& paths);

}  // namespace quillery

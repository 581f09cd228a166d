#pragma once

#include <string>
#include <string_view>

namespace quillery {

// A pane's text (CR LF between lines) as a saved file holds it: code page 932, no
// byte-order mark and no line break added. Each character the code page cannot hold
// becomes one "?"; so does a lone surrogate, and so does a lone escaped byte, which typed
// or pasted text cannot hold and which stands for no character.
std::string PaneFileBytes(std::u16string_view crLfText);

// Text with CR LF between lines: CR LF and a lone LF come out as CR LF, and so does a lone
// CR unless kept (a run's output may hold one from a keyword, and a saved file keeps it
// as the converter writes it).
enum class LoneCr { Break, Keep };
std::u16string WithCrLf(std::u16string_view text, LoneCr loneCr = LoneCr::Break);

// Code page 932 bytes for display: a byte that is not code page 932 shows as U+FFFD.
std::u16string DisplayFromCp932(std::string_view bytes);

}  // namespace quillery

#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace quillery {

// A pane's raw text (QTextDocument::toRawText: paragraph separators between lines,
// no-break spaces kept) with CR LF for every line break it shows (paragraph and line
// separators), as the engine and the files take it.
std::u16string PaneTextToCrLf(const QString& raw);

// Text with CR LF line breaks as a pane takes it (LF alone).
QString CrLfToPaneText(std::u16string_view text);

// A message's text, written with CR LF line breaks, as Qt's widgets show it (LF alone).
QString LfBreaks(QString crLfText);

// Code page 932 bytes for display: a byte that is not code page 932 shows as U+FFFD.
QString DisplayFromCp932(std::string_view bytes);

}  // namespace quillery

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

// The shared rules' texts as Qt takes them.
inline QString ToQString(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace quillery

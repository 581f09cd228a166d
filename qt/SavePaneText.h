#pragma once

#include <QString>
#include <string>

class QPlainTextEdit;

namespace quillery {

inline constexpr char16_t kCannotOpenFileMessage[] = u"ファイルが開けません";

// A pane's raw text (QTextDocument::toRawText) as a saved file holds it: code page 932
// with CR LF between lines, no byte-order mark and no line break added. Each character
// the code page cannot hold becomes one "?"; so does a lone surrogate, which stands for
// no character at all.
std::string PaneFileBytes(const QString& raw);

// Asks for a file with the save chooser and writes the pane's text into it through
// ReplaceWritableFileAtomically, which leaves a read-only file, and on failure any
// existing file, as it was. A failure, read-only included, is reported as a file that
// does not open.
void SavePaneText(QPlainTextEdit* pane);

}  // namespace quillery

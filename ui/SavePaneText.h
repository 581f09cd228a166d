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

// Asks for a file with the save chooser and writes the pane's text into it, replacing
// what the file held, through ReplaceWritableFileAtomically: a new file beside it takes
// its place once complete, so a failed or killed write leaves an existing file as it was and no
// temporary file behind; only in a folder where no new file can be made is the file
// overwritten in place. A read-only file is not touched. A failure, read-only included,
// is reported as a file that does not open.
void SavePaneText(QPlainTextEdit* pane);

}  // namespace quillery

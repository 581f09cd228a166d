#pragma once

#include <QString>
#include <string>

class QPlainTextEdit;

namespace quillery {

// Asks for a file with the save chooser and writes the pane's text into it through
// ReplaceWritableFileAtomically, which leaves a read-only file, and on failure any
// existing file, as it was. A failure, read-only included, is reported as a file that
// does not open.
void SavePaneText(QPlainTextEdit* pane);

}  // namespace quillery

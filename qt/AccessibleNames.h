#pragma once

class QWidget;

namespace quillery {

// Names and descriptions for screen readers, in the interface's language, for the main
// window's panes and status bar; the dialogs name their own fields.
void NameMainWindowParts(QWidget* inputPane, QWidget* outputPane, QWidget* statusBar);

}  // namespace quillery

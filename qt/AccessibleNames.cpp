#include "qt/AccessibleNames.h"

#include <QWidget>

#include "qt/PaneText.h"
#include "windowlogic/Texts.h"

namespace quillery {

void NameMainWindowParts(QWidget* inputPane, QWidget* outputPane, QWidget* statusBar) {
    inputPane->setAccessibleName(ToQString(texts::kInputPaneName));
    inputPane->setAccessibleDescription(ToQString(texts::kInputPaneDescription));
    outputPane->setAccessibleName(ToQString(texts::kOutputPaneName));
    outputPane->setAccessibleDescription(ToQString(texts::kOutputPaneDescription));
    // The bar's one field keeps its text as its name, so the message itself is read.
    statusBar->setAccessibleName(ToQString(texts::kStatusBarName));
    statusBar->setAccessibleDescription(ToQString(texts::kStatusBarDescription));
}

}  // namespace quillery

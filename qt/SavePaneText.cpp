#include "qt/SavePaneText.h"

#include <QPlainTextEdit>
#include <QTextDocument>

#include "files/FileIo.h"
#include "qt/FileDialog.h"
#include "qt/MessageBox.h"
#include "qt/PaneText.h"
#include "windowlogic/PaneFile.h"
#include "windowlogic/Texts.h"

namespace quillery {

namespace {

const QList<FileFilter>& TextFilters() {
    static const QList<FileFilter> filters{
        {ToQString(texts::kTextFilterLabel), {QStringLiteral("*.txt")}, QStringLiteral("txt")},
        {ToQString(texts::kAllFilesFilterLabel), {QStringLiteral("*")}, QString()},
    };
    return filters;
}

}  // namespace

void SavePaneText(QPlainTextEdit* pane) {
    const std::optional<QString> path = ChooseSaveFile(TextFilters());
    if (!path) {
        return;
    }
    // The file is replaced whole or not at all, and one made read-only stays as it is:
    // both fail as a file that does not open.
    const std::string bytes = PaneFileBytes(PaneTextToCrLf(pane->document()->toRawText()));
    if (ReplaceWritableFileAtomically(path->toStdString(), bytes)) {
        ShowMessage(pane->window(), ToQString(texts::kCannotOpenFile), MessageButtons::Ok);
    }
}

}  // namespace quillery

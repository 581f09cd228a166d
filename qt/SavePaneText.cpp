#include "qt/SavePaneText.h"

#include <QPlainTextEdit>
#include <QTextDocument>

#include "engine/Cp932Codec.h"
#include "engine/Cp932Text.h"
#include "files/FileIo.h"
#include "qt/FileDialog.h"
#include "qt/MessageBox.h"
#include "qt/PaneText.h"

namespace quillery {

namespace {

const QList<FileFilter>& TextFilters() {
    static const QList<FileFilter> filters{
        {QStringLiteral("Text Data(*.txt)"), {QStringLiteral("*.txt")}, QStringLiteral("txt")},
        {QStringLiteral("All files(*.*)"), {QStringLiteral("*")}, QString()},
    };
    return filters;
}

}  // namespace

std::string PaneFileBytes(const QString& raw) {
    std::u16string text = PaneTextToCrLf(raw);
    // The codec turns an escaped byte back into a raw byte; typed or pasted text holds
    // none, so a lone one is no character and is saved as any other such unit is.
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsEscapedByte(text[i]) && (i == 0 || !IsHighSurrogate(text[i - 1]))) {
            text[i] = u'?';
        }
    }
    return ThreadCodec().Encode(text);
}

void SavePaneText(QPlainTextEdit* pane) {
    const std::optional<QString> path = ChooseSaveFile(TextFilters());
    if (!path) {
        return;
    }
    // The file is replaced whole or not at all, and one made read-only stays as it is:
    // both fail as a file that does not open.
    const std::string bytes = PaneFileBytes(pane->document()->toRawText());
    if (ReplaceWritableFileAtomically(path->toStdString(), bytes)) {
        ShowMessage(pane->window(), QString::fromUtf16(kCannotOpenFileMessage), MessageButtons::Ok);
    }
}

}  // namespace quillery

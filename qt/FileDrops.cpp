#include "qt/FileDrops.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <algorithm>

#include "engine/Utf8.h"
#include "qt/MessageBox.h"
#include "qt/PaneText.h"

namespace quillery {

namespace {

const QString kRefusedFileFormat = QStringLiteral("次のファイルは挿入できません。\r\n%1\r\n%2");
const QString kCannotOpen = QStringLiteral("ファイルが開けません。");
const QString kNotText =
    QStringLiteral("テキストファイルではありません（NUL文字を含んでいます）。");
const QString kTooLarge =
    QStringLiteral("ファイルが大きすぎます。一度に挿入できるのは合わせて64MBまでです。");

QString Refusal(const QString& path, const QString& reason) {
    return kRefusedFileFormat.arg(QFileInfo(path).fileName(), reason);
}

// Shown once the drop has finished, so the dragging program is not kept waiting.
void ShowLater(QWidget* widget, const QString& text) {
    QTimer::singleShot(0, widget,
                       [widget, text] { ShowMessage(widget->window(), text, MessageButtons::Ok); });
}

// A file drop is a copy; a drag that offers only a move is not taken.
template <class Event>
void TakeAsCopy(Event* event) {
    if (event->possibleActions() & Qt::CopyAction) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

bool IsSingleFile(const QStringList& paths) {
    return paths.size() == 1 && QFileInfo(paths.front()).isFile();
}

}  // namespace

QStringList DroppedLocalFiles(const QMimeData* mime) {
    QStringList paths;
    if (mime == nullptr || !mime->hasUrls()) {
        return paths;
    }
    for (const QUrl& url : mime->urls()) {
        if (!url.isLocalFile() || url.toLocalFile().isEmpty()) {
            return {};
        }
        paths << url.toLocalFile();
    }
    return paths;
}

QString DroppedFileText(std::string_view bytes) {
    QString text;
    const bool bom = bytes.starts_with(kUtf8ByteOrderMark);
    const bool beyondAscii = std::any_of(
        bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) > 0x7F; });
    std::optional<std::u16string> utf8;
    if (!bom && beyondAscii) {
        utf8 = Utf8ToUtf16(bytes);
    }
    if (bom) {
        bytes.remove_prefix(kUtf8ByteOrderMark.size());
        text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    } else if (utf8) {
        text = QString::fromStdU16String(*utf8);
    } else {
        // An escaped byte would be a lone surrogate in the pane: shown as garbage and
        // saved as "?" anyway.
        text = DisplayFromCp932(bytes);
    }
    // A lone CR is a line break too.
    text = LfBreaks(text);
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

DroppedText ReadDroppedFiles(const QStringList& paths, qint64 maxBytes) {
    QString text;
    qint64 total = 0;
    for (const QString& path : paths) {
        // Only a regular file: a pipe or a device could keep the window waiting forever.
        const QFileInfo info(path);
        QFile file(path);
        if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
            return {std::nullopt, Refusal(path, kCannotOpen)};
        }
        // The size is looked at before reading; reading stops one byte past the limit in
        // case the file grows meanwhile.
        const qint64 room = maxBytes - total;
        if (info.size() > room) {
            return {std::nullopt, Refusal(path, kTooLarge)};
        }
        const QByteArray bytes = file.read(room + 1);
        if (file.error() != QFileDevice::NoError) {
            return {std::nullopt, Refusal(path, kCannotOpen)};
        }
        if (bytes.size() > room) {
            return {std::nullopt, Refusal(path, kTooLarge)};
        }
        if (bytes.contains('\0')) {
            return {std::nullopt, Refusal(path, kNotText)};
        }
        total += bytes.size();
        text += DroppedFileText(std::string_view(bytes.constData(), bytes.size()));
    }
    return {text, QString()};
}

bool FileDropPane::canInsertFromMimeData(const QMimeData* source) const {
    return !DroppedLocalFiles(source).isEmpty() || QPlainTextEdit::canInsertFromMimeData(source);
}

void FileDropPane::dragEnterEvent(QDragEnterEvent* event) {
    QPlainTextEdit::dragEnterEvent(event);
    if (event->isAccepted() && !DroppedLocalFiles(event->mimeData()).isEmpty()) {
        TakeAsCopy(event);
    }
}

void FileDropPane::dragMoveEvent(QDragMoveEvent* event) {
    QPlainTextEdit::dragMoveEvent(event);
    if (event->isAccepted() && !DroppedLocalFiles(event->mimeData()).isEmpty()) {
        TakeAsCopy(event);
    }
}

void FileDropPane::dropEvent(QDropEvent* event) {
    if (DroppedLocalFiles(event->mimeData()).isEmpty()) {
        QPlainTextEdit::dropEvent(event);
        return;
    }
    if (!(event->possibleActions() & Qt::CopyAction)) {
        event->ignore();
        return;
    }
    // The base places the cursor at the drop point and calls insertFromMimeData.
    dropping_ = true;
    QPlainTextEdit::dropEvent(event);
    dropping_ = false;
    if (event->isAccepted()) {
        event->setDropAction(Qt::CopyAction);
    }
}

void FileDropPane::insertFromMimeData(const QMimeData* source) {
    const QStringList paths = DroppedLocalFiles(source);
    // Pasting a copied file keeps Qt's behaviour; only a drop reads the file.
    if (!dropping_ || paths.isEmpty()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    const DroppedText dropped = ReadDroppedFiles(paths);
    if (!dropped.text) {
        ShowLater(this, dropped.refusal);
        return;
    }
    insertPlainText(*dropped.text);
}

void DictionaryDrops::Watch(QWidget* target) {
    target->setAcceptDrops(true);
    target->installEventFilter(this);
}

bool DictionaryDrops::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) {
        return QObject::eventFilter(watched, event);
    }
    auto* drop = static_cast<QDropEvent*>(event);
    const QStringList paths = DroppedLocalFiles(drop->mimeData());
    if (paths.isEmpty()) {
        return QObject::eventFilter(watched, event);
    }
    // Files never reach the widget's own handling, which would take their addresses.
    const QPoint global = static_cast<QWidget*>(watched)->mapToGlobal(drop->position().toPoint());
    const bool overExcluded = std::any_of(excluded_.begin(), excluded_.end(), [&](QWidget* area) {
        return area->rect().contains(area->mapFromGlobal(global));
    });
    // The file is looked at when the drag comes in and when it is dropped, not at every
    // move of the pointer.
    if (type != QEvent::DragMove) {
        singleFile_ = IsSingleFile(paths);
    }
    if (overExcluded || !singleFile_) {
        drop->ignore();
        return true;
    }
    TakeAsCopy(drop);
    if (type == QEvent::Drop && drop->isAccepted()) {
        QTimer::singleShot(0, this, [this, path = paths.front()] { take_(path); });
    }
    return true;
}

}  // namespace quillery

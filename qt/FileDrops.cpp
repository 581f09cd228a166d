#include "qt/FileDrops.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <algorithm>

#include "qt/MessageBox.h"
#include "qt/PaneText.h"
#include "windowlogic/DroppedFiles.h"

namespace quillery {

namespace {

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

std::vector<std::u16string> Utf16Paths(const QStringList& paths) {
    std::vector<std::u16string> out;
    for (const QString& path : paths) {
        out.push_back(path.toStdU16String());
    }
    return out;
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
    const DroppedText dropped = ReadDroppedFiles(Utf16Paths(paths));
    if (!dropped.text) {
        ShowLater(this, ToQString(dropped.refusal));
        return;
    }
    insertPlainText(CrLfToPaneText(*dropped.text));
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
        singleFile_ = IsDictionaryDrop(Utf16Paths(paths));
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

#pragma once

#include <QObject>
#include <QPlainTextEdit>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <string_view>

class QDropEvent;
class QMimeData;

namespace quillery {

// What a pane sensibly holds: dropped files over this many bytes in all are refused.
inline constexpr qint64 kMaxDroppedBytes = qint64{64} * 1024 * 1024;

// The local paths of a drag that carries files and nothing else but local files; empty
// for text, web addresses and anything else, which keep the widgets' own handling.
QStringList DroppedLocalFiles(const QMimeData* mime);

// Dropped bytes as pane text: UTF-8 when they start with its byte-order mark (left out)
// or are valid UTF-8 holding something beyond ASCII, code page 932 otherwise. Bytes
// that decode to nothing show as U+FFFD, which a pane saves as "?". CR LF, CR and LF
// all become the pane's line break.
QString DroppedFileText(std::string_view bytes);

// The text of the files in order, or the message that refuses them all: a file that
// does not open, holds a NUL byte, or makes more than `maxBytes` in all.
struct DroppedText {
    std::optional<QString> text;
    QString refusal;
};
DroppedText ReadDroppedFiles(const QStringList& paths, qint64 maxBytes = kMaxDroppedBytes);

// A text pane that takes dropped files as their text, inserted where they are dropped
// (a refusal is shown once the drop is over, and nothing is inserted). A file drop is
// always a copy: the file stays where it was.
class FileDropPane : public QPlainTextEdit {
    Q_OBJECT
  public:
    explicit FileDropPane(QWidget* parent = nullptr) : QPlainTextEdit(parent) {}

  protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

  private:
    bool dropping_ = false;
};

// Makes a single dropped file, on any widget it watches, a dictionary: `take` receives
// its path once the drop is over. Several files, or anything but a regular file, are
// refused at the border; text and other drops go on to the widget's own handling.
class DictionaryDrops : public QObject {
    Q_OBJECT
  public:
    DictionaryDrops(QObject* parent, std::function<void(const QString&)> take)
        : QObject(parent), take_(std::move(take)) {}

    void Watch(QWidget* target);
    // Drops over `area` are refused here: they reach a watched parent only when `area`
    // did not take them (while it is disabled, say).
    void Exclude(QWidget* area) { excluded_.append(area); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::function<void(const QString&)> take_;
    QList<QWidget*> excluded_;
    bool singleFile_ = false;  // the drag under way offers one regular file
};

}  // namespace quillery

#pragma once

#include <QObject>
#include <QPlainTextEdit>
#include <QString>
#include <QStringList>
#include <functional>

class QDropEvent;
class QMimeData;

namespace quillery {

// The local paths of a drag that carries files and nothing else but local files; empty
// for text, web addresses and anything else, which keep the widgets' own handling.
QStringList DroppedLocalFiles(const QMimeData* mime);

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

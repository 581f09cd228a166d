#pragma once

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QTest>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "ui/FileDialog.h"

namespace quillery {

// How the dictionary dialog refuses a chosen or dropped file whose name does not fit the
// settings file.
inline const QString kUnusableChosenName = QStringLiteral(
    "このファイルは辞書ファイルに設定できません。\r\n"
    "ファイル名にシフトJIS（コードページ932）で表せない文字が含まれています。");
inline const QString kChosenNameTooLong = QStringLiteral(
    "このファイルは辞書ファイルに設定できません。\r\n"
    "ファイル名がシフトJISで255バイトを超えています。");

// Answers every file chooser without a person and remembers what was asked. With no
// answer left, a chooser is cancelled.
class FileChooserRecorder {
  public:
    FileChooserRecorder() {
        SetFileChooserHandler([this](const FileChooserRequest& request) {
            requests.append(request);
            return answers.isEmpty() ? std::optional<QString>() : answers.takeFirst();
        });
    }
    ~FileChooserRecorder() { SetFileChooserHandler({}); }

    QList<FileChooserRequest> requests;
    QList<std::optional<QString>> answers;
};

// Each choice of a chooser's type list as "label=patterns".
inline QStringList FilterLabels(const FileChooserRequest& request) {
    QStringList labels;
    for (const FileFilter& filter : request.filters) {
        labels << filter.label + "=" + filter.patterns.join(' ');
    }
    return labels;
}

// Runs `step` on the modal dialog of type Dialog once a command has opened it, from
// inside the dialog's own modal loop; the flag tells afterwards whether it did. Another
// modal widget in its place fails the test and is closed, and a dialog the step leaves
// open is cancelled: a test never waits for a person.
template <class Dialog>
std::shared_ptr<bool> WhenModal(std::function<void(Dialog&)> step) {
    auto ran = std::make_shared<bool>(false);
    QTimer::singleShot(0, [ran, step = std::move(step)] {
        QWidget* modal = QApplication::activeModalWidget();
        auto* dialog = qobject_cast<Dialog*>(modal);
        if (dialog != nullptr) {
            *ran = true;
            step(*dialog);
            if (dialog->isVisible()) {
                dialog->reject();
            }
        } else if (modal != nullptr) {
            QTest::qFail(QByteArray("not the awaited dialog: ") + modal->metaObject()->className(),
                         __FILE__, __LINE__);
            modal->close();
        }
    });
    return ran;
}

// The object names of the widgets that Tab visits from `first`, in order.
inline QStringList TabOrder(QWidget* first) {
    QStringList order;
    QWidget* widget = first;
    do {
        if (widget->focusPolicy() & Qt::TabFocus && widget->isEnabled()) {
            order << widget->objectName();
        }
        widget = widget->nextInFocusChain();
    } while (widget != first && order.size() < 50);
    return order;
}

// The texts of a dialog's labels and buttons in the order they were made, a label's or a
// check box's marked "(cut off)" where its widget is too small for it.
inline QStringList Texts(QWidget& dialog) {
    QStringList texts;
    for (QWidget* widget : dialog.findChildren<QWidget*>()) {
        auto* label = qobject_cast<QLabel*>(widget);
        auto* button = qobject_cast<QAbstractButton*>(widget);
        const QString text = label ? label->text() : button ? button->text() : QString();
        const bool cut = label && label->wordWrap()
                             ? label->heightForWidth(widget->width()) > widget->height()
                             : (label || qobject_cast<QCheckBox*>(widget)) &&
                                   widget->sizeHint().width() > widget->width();
        if (!text.isEmpty()) {
            texts << (cut ? text + " (cut off)" : text);
        }
    }
    return texts;
}

}  // namespace quillery

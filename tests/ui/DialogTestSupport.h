#pragma once

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QList>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

#include "ui/FileDialog.h"

// Answers every file chooser without a person and remembers what was asked. With no
// answer left, a chooser is cancelled.
class FileChooserRecorder {
  public:
    FileChooserRecorder() {
        quillery::SetFileChooserHandler([this](const quillery::FileChooserRequest& request) {
            requests.append(request);
            if (answers.empty()) {
                return std::optional<QString>();
            }
            std::optional<QString> answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }
    ~FileChooserRecorder() { quillery::SetFileChooserHandler({}); }

    QList<quillery::FileChooserRequest> requests;
    std::deque<std::optional<QString>> answers;
};

inline QStringList FilterLabels(const quillery::FileChooserRequest& request) {
    QStringList labels;
    for (const quillery::FileFilter& filter : request.filters) {
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
        if (dialog == nullptr) {
            if (modal != nullptr) {
                const QByteArray what = QByteArray("expected a modal ") +
                                        Dialog::staticMetaObject.className() + ", found " +
                                        modal->metaObject()->className();
                QTest::qFail(what.constData(), __FILE__, __LINE__);
                if (auto* other = qobject_cast<QDialog*>(modal)) {
                    other->reject();
                } else {
                    modal->close();
                }
            }
            return;
        }
        *ran = true;
        step(*dialog);
        if (dialog->isVisible()) {
            dialog->reject();
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

inline QStringList LabelTexts(const QWidget& dialog) {
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        texts << label->text();
    }
    return texts;
}

// The labels and check boxes of a dialog whose text is cut off at their width.
inline QStringList CutOffTexts(QWidget& dialog) {
    QStringList cut;
    for (QWidget* widget : dialog.findChildren<QWidget*>()) {
        auto* label = qobject_cast<QLabel*>(widget);
        auto* check = qobject_cast<QCheckBox*>(widget);
        const QString text = label ? label->text() : check ? check->text() : QString();
        const bool cutOff = label && label->wordWrap()
                                ? label->heightForWidth(label->width()) > label->height()
                                : widget->sizeHint().width() > widget->width();
        if (!text.isEmpty() && cutOff) {
            cut << text;
        }
    }
    return cut;
}

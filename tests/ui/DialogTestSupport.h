#pragma once

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QList>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>
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
        labels << filter.label;
    }
    return labels;
}

// Runs `step` on the modal dialog of type Dialog once a command has opened it, from
// inside the dialog's own modal loop; `ran` tells afterwards whether it did. A dialog
// the step leaves open is cancelled, so a failing step cannot leave the test waiting.
template <class Dialog>
void WhenModal(bool& ran, std::function<void(Dialog&)> step) {
    ran = false;
    QTimer::singleShot(0, [&ran, step = std::move(step)] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        ran = true;
        step(*dialog);
        if (dialog->isVisible()) {
            dialog->reject();
        }
    });
}

// The widgets that Tab visits from `first`, in order, until it comes round again.
inline QList<QWidget*> TabOrder(QWidget* first) {
    QList<QWidget*> order;
    QWidget* widget = first;
    do {
        if (widget->focusPolicy() & Qt::TabFocus && widget->isEnabled()) {
            order << widget;
        }
        widget = widget->nextInFocusChain();
    } while (widget != first && order.size() < 50);
    return order;
}

// The labels and check boxes of a dialog whose text is cut off at their width.
inline QStringList CutOffTexts(QWidget& dialog) {
    QStringList cut;
    for (QWidget* widget : dialog.findChildren<QWidget*>()) {
        QString text;
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            text = label->text();
            if (label->wordWrap()) {
                if (label->heightForWidth(label->width()) > label->height()) {
                    cut << text;
                }
                continue;
            }
        } else if (auto* check = qobject_cast<QCheckBox*>(widget)) {
            text = check->text();
        } else {
            continue;
        }
        if (!text.isEmpty() && widget->sizeHint().width() > widget->width()) {
            cut << text;
        }
    }
    return cut;
}

inline QStringList ObjectNames(const QList<QWidget*>& widgets) {
    QStringList names;
    for (const QWidget* widget : widgets) {
        names << widget->objectName();
    }
    return names;
}

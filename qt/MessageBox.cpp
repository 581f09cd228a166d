#include "qt/MessageBox.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QShortcut>

#include "qt/PaneText.h"

namespace quillery {

namespace {

// Set by tests; empty while the real dialog is to be shown.
MessageHandler& Handler() {
    static MessageHandler handler;
    return handler;
}

MessageResult RealMessageBox(const MessageRequest& request) {
    const QString text = LfBreaks(request.text);
    QMessageBox box(
        request.icon == MessageIcon::Question ? QMessageBox::Question : QMessageBox::Warning,
        request.caption, text, QMessageBox::NoButton, request.parent);
    // As on Windows, Ctrl+C copies the caption and the text (a path the box names can be
    // pasted where it is needed); the text can be selected with the mouse too.
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    QShortcut copy(QKeySequence::Copy, &box);
    QObject::connect(&copy, &QShortcut::activated, &box, [&request, &text] {
        QGuiApplication::clipboard()->setText(request.caption + u'\n' + text + u'\n');
    });
    if (request.buttons == MessageButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    switch (box.exec()) {
        case QMessageBox::Ok:
            return MessageResult::Ok;
        case QMessageBox::Yes:
            return MessageResult::Yes;
        case QMessageBox::No:
            return MessageResult::No;
        default:
            return MessageResult::Failed;
    }
}

}  // namespace

MessageResult ShowMessage(QWidget* parent, const QString& text, MessageButtons buttons,
                          MessageIcon icon) {
    const MessageRequest request{parent, QCoreApplication::applicationName(), text, buttons, icon};
    return Handler() ? Handler()(request) : RealMessageBox(request);
}

void SetMessageHandler(MessageHandler handler) {
    Handler() = std::move(handler);
}

}  // namespace quillery

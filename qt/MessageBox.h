#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace quillery {

// Every message box of the program goes through ShowMessage, so tests can answer them.
enum class MessageButtons { Ok, YesNo };
enum class MessageIcon { Warning, Question };
enum class MessageResult { Failed, Ok, Yes, No };

struct MessageRequest {
    QWidget* parent = nullptr;
    QString caption;
    QString text;  // as the program words it, CR LF line breaks included
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::Warning;
};

// Shows a modal message box captioned with the application name; Yes is the default
// button of a Yes/No box.
MessageResult ShowMessage(QWidget* parent, const QString& text,
                          MessageButtons buttons = MessageButtons::Ok,
                          MessageIcon icon = MessageIcon::Warning);

using MessageHandler = std::function<MessageResult(const MessageRequest&)>;

// Replaces the real message box (for tests); an empty handler restores it.
void SetMessageHandler(MessageHandler handler);

}  // namespace quillery

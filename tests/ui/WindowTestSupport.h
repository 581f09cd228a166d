#pragma once

#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <deque>

#include "engine/Cp932Codec.h"
#include "settings/Settings.h"
#include "ui/MessageBox.h"

namespace quillery {

// Answers every message box without a person and remembers what was asked.
class MessageRecorder {
  public:
    MessageRecorder() {
        SetMessageHandler([this](const MessageRequest& request) {
            requests.append(request);
            if (answers.empty()) {
                return request.buttons == MessageButtons::YesNo ? MessageResult::Yes
                                                                : MessageResult::Ok;
            }
            const MessageResult answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }
    ~MessageRecorder() { SetMessageHandler({}); }

    QStringList texts() const {
        QStringList out;
        for (const MessageRequest& r : requests) {
            out << r.text;
        }
        return out;
    }

    QList<MessageRequest> requests;
    std::deque<MessageResult> answers;
};

inline QByteArray Cp932(const QString& text) {
    const std::string bytes = quillery::ThreadCodec().Encode(text.toStdU16String());
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

inline bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace quillery

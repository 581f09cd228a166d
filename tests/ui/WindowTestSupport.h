#pragma once

#include <QCoreApplication>
#include <QFile>
#include <QList>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <deque>

#include "engine/Cp932Codec.h"
#include "settings/Settings.h"
#include "ui/MainDlg.h"
#include "ui/MessageBox.h"

namespace quillery {

// Answers every message box without a person and remembers what was asked: the queued
// answers first, then Yes to a question and OK to anything else.
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

inline const QString kPlaceholder = QStringLiteral("<<< ここに変換結果が表示されます >>>");

inline QString IniPath() {
    return QCoreApplication::applicationDirPath() + "/QuilleryMini.ini";
}

// Each test starts from the defaults: no settings file, no default dictionary.
inline void ResetSettings() {
    QFile::remove(IniPath());
    QFile::remove(QCoreApplication::applicationDirPath() + "/velmo.dat");
    gSettings = Settings{};
}

inline QByteArray Cp932(const QString& text) {
    const std::string bytes = ThreadCodec().Encode(text.toStdU16String());
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

inline bool SetDictionaryPath(const QString& path) {
    const QByteArray bytes = Cp932(path);
    return gSettings.dictionaryPath.Assign(std::string_view(bytes.data(), bytes.size()));
}

// Writes a dictionary file and makes it the one the next run reads.
inline bool UseDictionary(const QString& path, const QByteArray& bytes) {
    return WriteFile(path, bytes) && SetDictionaryPath(path);
}

inline bool RunEnds(const CMainDlg& window) {
    return QTest::qWaitFor([&window] { return !window.runActive(); }, 20000);
}

}  // namespace quillery

#pragma once

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

#include "engine/Cp932Codec.h"
#include "settings/Settings.h"
#include "ui/MainDlg.h"
#include "ui/MessageBox.h"

namespace quillery {

// Answers every message box without a person and remembers what was asked.
class MessageRecorder {
  public:
    MessageRecorder() {
        SetMessageHandler([this](const MessageRequest& request) { return Answer(request); });
    }
    ~MessageRecorder() { SetMessageHandler({}); }

    // The next queued answer, else Yes to a question and OK to anything else.
    MessageResult Answer(const MessageRequest& request) {
        requests.append(request);
        texts.append(request.text);
        if (!answers.isEmpty()) {
            return answers.takeFirst();
        }
        return request.buttons == MessageButtons::YesNo ? MessageResult::Yes : MessageResult::Ok;
    }

    QList<MessageRequest> requests;
    QStringList texts;
    QList<MessageResult> answers;
};

inline const QString kPlaceholder = QStringLiteral("<<< ここに変換結果が表示されます >>>");

inline QString IniPath() {
    return QCoreApplication::applicationDirPath() + "/QuilleryMini.ini";
}

// A test's window, made afresh from the defaults (no settings file, no default
// dictionary), its message boxes answered.
inline void Renew(std::optional<MessageRecorder>& messages, std::optional<CMainDlg>& window) {
    window.reset();
    messages.reset();
    QFile::remove(IniPath());
    QFile::remove(QCoreApplication::applicationDirPath() + "/velmo.dat");
    gSettings = Settings{};
    messages.emplace();
    window.emplace();
}

inline QByteArray Cp932(const QString& text) {
    return QByteArray::fromStdString(ThreadCodec().Encode(text.toStdU16String()));
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
    return gSettings.dictionaryPath.Assign(Cp932(path).toStdString());
}

// Writes a dictionary file and makes it the one the next run reads.
inline bool UseDictionary(const QString& path, const QByteArray& bytes) {
    return WriteFile(path, bytes) && SetDictionaryPath(path);
}

inline bool RunEnds(const CMainDlg& window) {
    return QTest::qWaitFor([&window] { return !window.runActive(); }, 20000);
}

}  // namespace quillery

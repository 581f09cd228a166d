#pragma once

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "engine/Cp932Codec.h"
#include "qt/MainDlg.h"
#include "qt/MainMenu.h"
#include "qt/MessageBox.h"
#include "settings/Settings.h"

namespace quillery {

// Answers every message box without a person and remembers what was asked: the
// next queued answer, else Yes to a question and OK to anything else.
class MessageRecorder {
  public:
    MessageRecorder() {
        SetMessageHandler([this](const MessageRequest& request) { return Answer(request); });
    }
    ~MessageRecorder() { SetMessageHandler({}); }
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
inline const QString kUnusableChosenName = QStringLiteral(
    "このファイルは辞書ファイルに設定できません。\r\n"
    "ファイル名にシフトJISで表せない文字があります。");
inline const QString kChosenNameTooLong = QStringLiteral(
    "このファイルは辞書ファイルに設定できません。\r\n"
    "ファイル名がシフトJISで255バイトを超えています。");

inline QString IniPath() {
    return QCoreApplication::applicationDirPath() + "/QuilleryMini.ini";
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

// Runs `step` on the modal Dialog that `open` shows, from inside its own modal
// loop, and tells whether it did. Another modal widget is closed, and a dialog the
// step leaves open is cancelled: a test never waits for a person.
template <class Dialog>
bool WhenModal(const std::function<void()>& open, std::function<void(Dialog&)> step) {
    auto ran = std::make_shared<bool>(false);
    QTimer::singleShot(0, [ran, step = std::move(step)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<Dialog*>(modal)) {
            *ran = true;
            step(*dialog);
            if (dialog->isVisible()) {
                dialog->reject();
            }
        } else if (modal != nullptr) {
            modal->close();  // not the awaited dialog: the caller sees that `step` did not run
        }
    });
    open();
    return *ran;
}

// A test's window, made afresh from the defaults (no settings file, no default
// dictionary), its message boxes answered.
struct WindowFixture {
    QTemporaryDir dir_;
    std::optional<MessageRecorder> messages_;
    std::optional<CMainDlg> window_;

    void Renew() {
        window_.reset();
        messages_.reset();
        QFile::remove(IniPath());
        QFile::remove(QCoreApplication::applicationDirPath() + "/velmo.dat");
        gSettings = Settings{};
        messages_.emplace();
        window_.emplace();
    }
    QString Output() const { return window_->outputPane()->toPlainText(); }
    // Menu commands, as the user gives them.
    void Trigger(std::initializer_list<CommandId> ids) {
        for (CommandId id : ids) {
            window_->menu()->action(id)->trigger();
        }
    }
    QByteArray PathBytes() const {
        return QByteArray::fromStdString(gSettings.dictionaryPath.Bytes());
    }
};

// Each named widget has its name, and a description, for a screen reader.
inline void CheckAccessible(QObject* root, const QList<std::pair<const char*, QString>>& named) {
    for (const auto& [objectName, name] : named) {
        QAccessibleInterface* node =
            QAccessible::queryAccessibleInterface(root->findChild<QObject*>(objectName));
        QVERIFY2(node && node->text(QAccessible::Name) == name, objectName);
        QVERIFY2(!node->text(QAccessible::Description).isEmpty(), objectName);
    }
}

}  // namespace quillery

#include "qt/DictionaryDlg.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>
#include <functional>
#include <optional>

#include "engine/Cp932Codec.h"
#include "qt/DialogFont.h"
#include "qt/FileDialog.h"
#include "qt/FileDrops.h"
#include "qt/MessageBox.h"
#include "qt/PaneText.h"
#include "settings/FileNames.h"
#include "settings/Settings.h"

namespace quillery {

const QString kDictionaryExplanation = QStringLiteral(
    "辞書ファイルとは、文章に挿入するキーワードを羅列したファイルです。\r\n"
    "この辞書ファイルのキーワードを使って、入力した文章を変換します。\r\n"
    "ファイル名は直接入力するか、横の[...]ボタンを押して選択します。");

namespace {

constexpr int kTemplateWidth = 267;
constexpr int kTemplateHeight = 103;
constexpr std::size_t kMaxPathBytes = DictionaryPath::kMaxBytes;

const QString kRefusedCharacters = QStringLiteral(
    "辞書ファイル名に使えない文字です。\r\n"
    "シフトJIS（コードページ932）で表せない文字と改行は使えません。");
const QString kUnusableChosenName = QStringLiteral(
    "このファイルは辞書ファイルに設定できません。\r\n"
    "ファイル名にシフトJISで表せない文字があります。");
const QString kChosenNameTooLong = QStringLiteral(
    "このファイルは辞書ファイルに設定できません。\r\n"
    "ファイル名がシフトJISで255バイトを超えています。");
const QString kNameTooLong =
    QStringLiteral("辞書ファイル名が長すぎます。シフトJISで255バイトまでです。");

const QList<FileFilter>& DictionaryFilters() {
    static const QList<FileFilter> filters{
        {QStringLiteral("Dictionary Data(*.dat)"),
         {QStringLiteral("*.dat")},
         QStringLiteral("dat")},
        {QStringLiteral("All files(*.*)"), {QStringLiteral("*")}, QString()},
    };
    return filters;
}

std::optional<std::string> PathBytes(const QString& text) {
    return TextNameToCp932(text.toStdU16String());
}

std::size_t ByteLength(const QString& text) {
    return ThreadCodec().Encode(text.toStdU16String()).size();
}

// Keeps the edit within what dictionaryPath can hold, as the user types, pastes or
// drops: text that would not convert is refused whole (and reported through
// `refused`); text that would run past 255 bytes is cut back to what still fits, from
// the end of what was just put in (the part before the cursor).
class PathValidator : public QValidator {
  public:
    PathValidator(QObject* parent, std::function<void()> refused)
        : QValidator(parent), refused_(std::move(refused)) {}

    State validate(QString& input, int& pos) const override {
        if (!PathBytes(input)) {
            refused_();
            return Invalid;
        }
        if (ByteLength(input) <= kMaxPathBytes) {
            return Acceptable;
        }
        QString head = input.left(pos);
        const QString tail = input.mid(pos);
        const std::size_t tailBytes = ByteLength(tail);
        if (tailBytes > kMaxPathBytes) {
            return Invalid;
        }
        // Text that converts holds no surrogate pair, so one unit is one character.
        while (!head.isEmpty() && ByteLength(head) + tailBytes > kMaxPathBytes) {
            head.chop(1);
        }
        input = head + tail;
        pos = static_cast<int>(head.size());
        QApplication::beep();
        return Acceptable;
    }

  private:
    std::function<void()> refused_;
};

}  // namespace

CDictionaryDlg::CDictionaryDlg()
    : CTemplateDialog(132, QStringLiteral("辞書の選択"), kTemplateWidth, kTemplateHeight),
      okButton_(new QPushButton(QStringLiteral("OK"), this)),
      cancelButton_(new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this)),
      fileNameEdit_(new QLineEdit(this)),
      fileNameLabel_(new QLabel(QStringLiteral("辞書ファイル名"), this)),
      browseButton_(new QPushButton(QStringLiteral("..."), this)),
      explanationText_(new QLabel(this)) {
    const DialogUnits& units = this->units();
    // Created in template order, which is also the tab order.
    Place(okButton_, "button1", 149, 82, 50, 14);
    okButton_->setDefault(true);
    Place(cancelButton_, "button2", 210, 82, 50, 14);
    Place(fileNameEdit_, "edit1029", 7, 20, 233, 12);
    // Every character takes at least one byte; the validator counts the bytes.
    fileNameEdit_->setMaxLength(static_cast<int>(kMaxPathBytes));
    fileNameEdit_->setValidator(new PathValidator(fileNameEdit_, [this] {
        // Told once the edit has finished with the refused change, not from inside it.
        if (!refusalQueued_) {
            refusalQueued_ = true;
            QMetaObject::invokeMethod(this, &CDictionaryDlg::OnRefusedCharacters,
                                      Qt::QueuedConnection);
        }
    }));
    fileNameLabel_->setGeometry(units.Rect(7, 7, 45, 8));
    fileNameLabel_->setTextFormat(Qt::PlainText);
    fileNameLabel_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Place(browseButton_, "button1030", 244, 20, 12, 12);
    Place(explanationText_, "static1031", 7, 39, 250, 35);
    explanationText_->setTextFormat(Qt::PlainText);
    explanationText_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    explanationText_->setWordWrap(true);
    explanationText_->setFrameStyle(QFrame::Panel | QFrame::Sunken);

    WidenToFitText(fileNameLabel_, width() - units.X(7));

    fileNameEdit_->setAccessibleName(QStringLiteral("辞書ファイル名"));
    fileNameEdit_->setAccessibleDescription(
        QStringLiteral("挿入するキーワードを羅列した辞書ファイルのパスです。"
                       "直接入力するか、ファイルをドロップします。"));
    browseButton_->setAccessibleName(QStringLiteral("辞書ファイルを選択"));
    browseButton_->setAccessibleDescription(
        QStringLiteral("ファイルを選ぶ画面を開いて、辞書ファイルを選択します。"));

    // A file dropped on the field or anywhere on the dialog is taken as a chosen one.
    auto* drops = new DictionaryDrops(this, [this](const QString& path) { TakeChosenFile(path); });
    drops->Watch(this);
    drops->Watch(fileNameEdit_);

    connect(okButton_, &QPushButton::clicked, this, &CDictionaryDlg::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &CDictionaryDlg::reject);
    connect(browseButton_, &QPushButton::clicked, this, &CDictionaryDlg::OnBrowse);
}

CDictionaryDlg::~CDictionaryDlg() = default;

bool CDictionaryDlg::UpdateData(bool saveAndValidate) {
    if (!saveAndValidate) {
        // Bytes that are not code page 932 show as escaped units and convert back to
        // the same bytes.
        fileNameEdit_->setText(QString::fromStdU16String(ThreadCodec().Decode(m_fileName)));
        explanationText_->setText(LfBreaks(m_explanation));
        return true;
    }
    const std::optional<std::string> bytes = PathBytes(fileNameEdit_->text());
    if (!bytes || bytes->size() > kMaxPathBytes) {
        ShowMessage(this, bytes ? kNameTooLong : kRefusedCharacters, MessageButtons::Ok);
        fileNameEdit_->setFocus();
        fileNameEdit_->selectAll();
        return false;
    }
    m_fileName = *bytes;
    return true;
}

void CDictionaryDlg::accept() {
    if (UpdateData(true)) {
        QDialog::accept();
    }
}

void CDictionaryDlg::OnBrowse() {
    const std::optional<QString> chosen = ChooseOpenFile(DictionaryFilters());
    if (chosen) {
        TakeChosenFile(*chosen);
    }
}

void CDictionaryDlg::TakeChosenFile(const QString& path) {
    if (const std::optional<std::string> bytes = DictionaryPathOfFile(this, path)) {
        m_fileName = *bytes;
        UpdateData(false);
    }
}

std::optional<std::string> DictionaryPathOfFile(QWidget* parent, const QString& path) {
    const std::optional<std::string> bytes = PathBytes(path);
    if (!bytes || bytes->size() > kMaxPathBytes) {
        ShowMessage(parent, bytes ? kChosenNameTooLong : kUnusableChosenName, MessageButtons::Ok);
        return std::nullopt;
    }
    return bytes;
}

void CDictionaryDlg::OnRefusedCharacters() {
    refusalQueued_ = false;
    ShowMessage(this, kRefusedCharacters, MessageButtons::Ok);
}

}  // namespace quillery

#include "qt/DictionaryDlg.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>
#include <functional>
#include <optional>

#include "qt/DialogFont.h"
#include "qt/FileDialog.h"
#include "qt/FileDrops.h"
#include "qt/MessageBox.h"
#include "qt/PaneText.h"
#include "settings/Settings.h"
#include "windowlogic/DictionaryName.h"
#include "windowlogic/Texts.h"

namespace quillery {

namespace {

constexpr int kTemplateWidth = 267;
constexpr int kTemplateHeight = 103;
constexpr std::size_t kMaxPathBytes = DictionaryPath::kMaxBytes;

const QList<FileFilter>& DictionaryFilters() {
    static const QList<FileFilter> filters{
        {ToQString(texts::kDictionaryFilterLabel),
         {QStringLiteral("*.dat")},
         QStringLiteral("dat")},
        {ToQString(texts::kAllFilesFilterLabel), {QStringLiteral("*")}, QString()},
    };
    return filters;
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
        DictionaryFieldEdit edit =
            FitDictionaryFieldEdit(input.toStdU16String(), static_cast<std::size_t>(pos));
        switch (edit.outcome) {
            case DictionaryFieldEdit::Outcome::Accept:
                return Acceptable;
            case DictionaryFieldEdit::Outcome::Refuse:
                refused_();
                return Invalid;
            case DictionaryFieldEdit::Outcome::Cut:
                input = ToQString(edit.text);
                pos = static_cast<int>(edit.cursor);
                QApplication::beep();
                return Acceptable;
        }
        return Invalid;
    }

  private:
    std::function<void()> refused_;
};

}  // namespace

CDictionaryDlg::CDictionaryDlg()
    : CTemplateDialog(132, ToQString(texts::kDictionaryCaption), kTemplateWidth, kTemplateHeight),
      okButton_(new QPushButton(ToQString(texts::kOk), this)),
      cancelButton_(new QPushButton(ToQString(texts::kCancel), this)),
      fileNameEdit_(new QLineEdit(this)),
      fileNameLabel_(new QLabel(ToQString(texts::kDictionaryFieldLabel), this)),
      browseButton_(new QPushButton(ToQString(texts::kBrowseButton), this)),
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

    fileNameEdit_->setAccessibleName(ToQString(texts::kDictionaryFieldName));
    fileNameEdit_->setAccessibleDescription(ToQString(texts::kDictionaryFieldDescription));
    browseButton_->setAccessibleName(ToQString(texts::kBrowseName));
    browseButton_->setAccessibleDescription(ToQString(texts::kBrowseDescription));

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
        fileNameEdit_->setText(ToQString(DictionaryNameFieldText(m_fileName)));
        explanationText_->setText(LfBreaks(m_explanation));
        return true;
    }
    const DictionaryNameCheck check =
        CheckTypedDictionaryName(fileNameEdit_->text().toStdU16String());
    if (!check.bytes) {
        ShowMessage(this, ToQString(check.refusal), MessageButtons::Ok);
        fileNameEdit_->setFocus();
        fileNameEdit_->selectAll();
        return false;
    }
    m_fileName = *check.bytes;
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
    const DictionaryNameCheck check = CheckChosenDictionaryFile(path.toStdU16String());
    if (!check.bytes) {
        ShowMessage(parent, ToQString(check.refusal), MessageButtons::Ok);
    }
    return check.bytes;
}

void CDictionaryDlg::OnRefusedCharacters() {
    refusalQueued_ = false;
    ShowMessage(this, ToQString(texts::kRefusedCharacters), MessageButtons::Ok);
}

}  // namespace quillery

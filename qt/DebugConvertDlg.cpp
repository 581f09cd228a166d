#include "qt/DebugConvertDlg.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include "qt/DialogFont.h"
#include "qt/MessageBox.h"
#include "qt/PaneText.h"
#include "windowlogic/Texts.h"

namespace quillery {

namespace {

constexpr int kTemplateWidth = 165;
constexpr int kTemplateHeight = 118;

QLabel* MakeLabel(QWidget* parent, const QString& text, const QRect& rect) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(rect);
    return label;
}

}  // namespace

CDebugConvertDlg::CDebugConvertDlg()
    : CTemplateDialog(133, ToQString(texts::kDebugCaption), kTemplateWidth, kTemplateHeight),
      okButton_(new QPushButton(ToQString(texts::kOk), this)),
      cancelButton_(new QPushButton(ToQString(texts::kCancel), this)),
      insertMarkCheck_(new QCheckBox(ToQString(texts::kInsertMarkCheck), this)),
      fixedSeedCheck_(new QCheckBox(ToQString(texts::kFixedSeedCheck), this)),
      seedEdit_(new QLineEdit(this)),
      seedLabel_(nullptr),
      newestSeedLabel_(nullptr),
      newestSeedText_(nullptr),
      copyButton_(nullptr),
      rule_(nullptr) {
    const DialogUnits& units = this->units();
    // Created in template order, which is also the tab order.
    Place(okButton_, "button1", 47, 97, 50, 14);
    okButton_->setDefault(true);
    Place(cancelButton_, "button2", 108, 97, 50, 14);
    Place(insertMarkCheck_, "check1036", 7, 7, 62, 10);
    Place(fixedSeedCheck_, "check1037", 7, 23, 75, 10);
    Place(seedEdit_, "edit1038", 94, 35, 62, 12);
    seedLabel_ = MakeLabel(this, ToQString(texts::kSeedLabel), units.Rect(14, 37, 71, 8));
    newestSeedLabel_ =
        MakeLabel(this, ToQString(texts::kNewestSeedLabel), units.Rect(14, 70, 76, 8));
    newestSeedText_ = MakeLabel(this, QString(), units.Rect(94, 68, 62, 12));
    newestSeedText_->setObjectName(QStringLiteral("static1039"));
    newestSeedText_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    newestSeedText_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    newestSeedText_->setTextInteractionFlags(Qt::NoTextInteraction);
    copyButton_ = new QPushButton(ToQString(texts::kCopySeedButton), this);
    Place(copyButton_, "button1040", 105, 51, 40, 12);
    // The rule above the buttons; a sunken line needs two pixels whatever the font.
    rule_ = new QFrame(this);
    rule_->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    const QRect ruleRect = units.Rect(7, 89, 151, 1);
    rule_->setGeometry(ruleRect.x(), ruleRect.y(), ruleRect.width(),
                       std::max(2, ruleRect.height()));

    const int rightEdge = width() - units.X(7);
    WidenToFitText(insertMarkCheck_, rightEdge);
    WidenToFitText(fixedSeedCheck_, rightEdge);
    WidenToFitText(seedLabel_, seedEdit_->x());
    WidenToFitText(newestSeedLabel_, newestSeedText_->x());

    seedEdit_->setAccessibleName(ToQString(texts::kSeedFieldName));
    seedEdit_->setAccessibleDescription(ToQString(texts::kSeedFieldDescription));
    newestSeedText_->setAccessibleDescription(ToQString(texts::kNewestSeedDescription));

    connect(okButton_, &QPushButton::clicked, this, &CDebugConvertDlg::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &CDebugConvertDlg::reject);
    connect(copyButton_, &QPushButton::clicked, this, &CDebugConvertDlg::OnCopySeed);
}

CDebugConvertDlg::~CDebugConvertDlg() = default;

bool CDebugConvertDlg::UpdateData(bool saveAndValidate) {
    if (!saveAndValidate) {
        const QString newest = ToQString(NewestSeedText(m_options.newestRandomSeed));
        seedEdit_->setText(ToQString(SeedFieldText(m_options.randomSeed)));
        fixedSeedCheck_->setChecked(m_options.useFixedSeed);
        insertMarkCheck_->setChecked(m_options.insertMark);
        newestSeedText_->setText(newest);
        // A named label hides its text from screen readers; the name carries the value.
        newestSeedText_->setAccessibleName(ToQString(texts::kNewestSeedName) + newest);
        return true;
    }
    const std::optional<std::uint32_t> seed = ParseSeedField(seedEdit_->text().toStdU16String());
    if (!seed) {
        ShowMessage(this, ToQString(texts::kSeedRefused), MessageButtons::Ok);
        seedEdit_->setFocus();
        seedEdit_->selectAll();
        return false;
    }
    m_options.randomSeed = *seed;
    m_options.useFixedSeed = fixedSeedCheck_->isChecked();
    m_options.insertMark = insertMarkCheck_->isChecked();
    return true;
}

void CDebugConvertDlg::accept() {
    if (UpdateData(true)) {
        QDialog::accept();
    }
}

void CDebugConvertDlg::OnCopySeed() {
    seedEdit_->setText(ToQString(SeedCopyText(newestSeedText_->text().toStdU16String())));
}

}  // namespace quillery

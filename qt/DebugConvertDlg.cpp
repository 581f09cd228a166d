#include "qt/DebugConvertDlg.h"

#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <limits>

#include "engine/DecimalText.h"
#include "qt/DialogFont.h"
#include "qt/MessageBox.h"

namespace quillery {

namespace {

constexpr int kTemplateWidth = 165;
constexpr int kTemplateHeight = 118;

const QString kSeedRefused = QStringLiteral("系列値には 0～4294967295 の整数を入力してください。");

QLabel* MakeLabel(QWidget* parent, const QString& text, const QRect& rect) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setGeometry(rect);
    return label;
}

// A seed as the seed field takes it: one or more decimal digits 0-9 and nothing else,
// worth at most 4294967295.
std::optional<std::uint32_t> ParseSeed(const QString& text) {
    // A character beyond ASCII becomes bytes that are no digit.
    const std::optional<std::uint64_t> value =
        ParseDecimalDigits(text.toStdString(), std::numeric_limits<std::uint32_t>::max());
    if (!value) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(*value);
}

}  // namespace

CDebugConvertDlg::CDebugConvertDlg()
    : CTemplateDialog(133, QStringLiteral("デバッグ変換"), kTemplateWidth, kTemplateHeight),
      okButton_(new QPushButton(QStringLiteral("OK"), this)),
      cancelButton_(new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this)),
      insertMarkCheck_(new QCheckBox(QStringLiteral("文節に<>を挿入"), this)),
      fixedSeedCheck_(new QCheckBox(QStringLiteral("乱数系列を固定する"), this)),
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
    seedLabel_ =
        MakeLabel(this, QStringLiteral("系列値(0～4294967295)"), units.Rect(14, 37, 71, 8));
    newestSeedLabel_ =
        MakeLabel(this, QStringLiteral("最新の通常変換の系列値"), units.Rect(14, 70, 76, 8));
    newestSeedText_ = MakeLabel(this, QString(), units.Rect(94, 68, 62, 12));
    newestSeedText_->setObjectName(QStringLiteral("static1039"));
    newestSeedText_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    newestSeedText_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    newestSeedText_->setTextInteractionFlags(Qt::NoTextInteraction);
    copyButton_ = new QPushButton(QStringLiteral("↑コピー"), this);
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

    seedEdit_->setAccessibleName(QStringLiteral("系列値"));
    seedEdit_->setAccessibleDescription(
        QStringLiteral("乱数系列を固定するときの系列値です（0～4294967295）。"));
    newestSeedText_->setAccessibleDescription(
        QStringLiteral("時刻から決まった最新の系列値です。[↑コピー]で系列値の欄に写します。"));

    connect(okButton_, &QPushButton::clicked, this, &CDebugConvertDlg::accept);
    connect(cancelButton_, &QPushButton::clicked, this, &CDebugConvertDlg::reject);
    connect(copyButton_, &QPushButton::clicked, this, &CDebugConvertDlg::OnCopySeed);
}

CDebugConvertDlg::~CDebugConvertDlg() = default;

bool CDebugConvertDlg::UpdateData(bool saveAndValidate) {
    if (!saveAndValidate) {
        seedEdit_->setText(QString::number(m_randomSeed));
        fixedSeedCheck_->setChecked(m_useFixedSeed == 1);
        insertMarkCheck_->setChecked(m_insertMark == 1);
        newestSeedText_->setText(m_newestSeedText);
        // A named label hides its text from screen readers; the name carries the value.
        newestSeedText_->setAccessibleName(QStringLiteral("最新の通常変換の系列値 ") +
                                           m_newestSeedText);
        return true;
    }
    const std::optional<std::uint32_t> seed = ParseSeed(seedEdit_->text());
    if (!seed) {
        ShowMessage(this, kSeedRefused, MessageButtons::Ok);
        seedEdit_->setFocus();
        seedEdit_->selectAll();
        return false;
    }
    m_randomSeed = *seed;
    m_useFixedSeed = fixedSeedCheck_->isChecked() ? 1 : 0;
    m_insertMark = insertMarkCheck_->isChecked() ? 1 : 0;
    return true;
}

void CDebugConvertDlg::accept() {
    if (UpdateData(true)) {
        QDialog::accept();
    }
}

void CDebugConvertDlg::OnCopySeed() {
    QString text = m_newestSeedText;
    // A clock seed from 2038 on (or a hand-edited one) shows as a negative number; the
    // run was seeded with its 32-bit pattern, which is what the seed field takes.
    bool isNumber = false;
    const qlonglong value = text.toLongLong(&isNumber);
    if (isNumber && value < 0 && value >= std::numeric_limits<std::int32_t>::min()) {
        text = QString::number(static_cast<std::uint32_t>(static_cast<std::int32_t>(value)));
    }
    seedEdit_->setText(text);
}

}  // namespace quillery

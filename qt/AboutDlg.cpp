#include "qt/AboutDlg.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>

#include "qt/DialogFont.h"
#include "qt/PaneText.h"
#include "qt/ResourcesAndTranslations.h"
#include "windowlogic/Texts.h"

namespace quillery {

namespace {

constexpr int kTemplateWidth = 169;
constexpr int kTemplateHeight = 96;

}  // namespace

CAboutDlg::CAboutDlg()
    : CTemplateDialog(134, ToQString(texts::kAboutCaption), kTemplateWidth, kTemplateHeight),
      okButton_(new QPushButton(ToQString(texts::kOk), this)),
      aboutEdit_(new QPlainTextEdit(this)),
      icon_(new QLabel(this)) {
    const DialogUnits& units = this->units();
    // Created in template order, which is also the tab order.
    Place(okButton_, "button1", 112, 75, 50, 14);
    okButton_->setDefault(true);

    Place(aboutEdit_, "edit1043", 32, 7, 130, 58);
    aboutEdit_->setReadOnly(true);
    aboutEdit_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    aboutEdit_->setFrameStyle(QFrame::NoFrame);
    // Long lines scroll sideways with the caret instead of wrapping; no scroll bars.
    aboutEdit_->setLineWrapMode(QPlainTextEdit::NoWrap);
    aboutEdit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    aboutEdit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    aboutEdit_->setTabChangesFocus(true);
    aboutEdit_->document()->setDocumentMargin(0);
    // A read-only edit shows the dialog's own background.
    QPalette palette = aboutEdit_->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    aboutEdit_->setPalette(palette);
    aboutEdit_->installEventFilter(this);
    aboutEdit_->setAccessibleName(ToQString(texts::kAboutTextName));
    aboutEdit_->setAccessibleDescription(ToQString(texts::kAboutTextDescription));

    // The icon control takes the icon's own size.
    InstallResourcesAndTranslations();
    const QPixmap pixmap(QStringLiteral(":/icons/quillery-mini-32.png"));
    icon_->setObjectName(QStringLiteral("icon128"));
    icon_->setPixmap(pixmap);
    icon_->setGeometry(QRect(units.X(7), units.Y(7), pixmap.width(), pixmap.height()));

    connect(okButton_, &QPushButton::clicked, this, &CAboutDlg::accept);
}

CAboutDlg::~CAboutDlg() = default;

bool CAboutDlg::UpdateData(bool /*saveAndValidate*/) {
    // Nothing to take back: the text is read-only.
    aboutEdit_->setPlainText(LfBreaks(m_aboutText));
    return true;
}

bool CAboutDlg::eventFilter(QObject* watched, QEvent* event) {
    // The text takes Enter as its own, as a multi-line edit does, so Enter there does
    // not close the box.
    if (watched == aboutEdit_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace quillery

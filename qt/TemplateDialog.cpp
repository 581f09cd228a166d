#include "qt/TemplateDialog.h"

namespace quillery {

CTemplateDialog::CTemplateDialog(int templateId, const QString& caption, int width, int height)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                           Qt::MSWindowsFixedSizeDialogHint),
      units_(DialogFont()) {
    setObjectName(QStringLiteral("dialog%1").arg(templateId));
    setWindowTitle(caption);
    setFont(DialogFont());
    setFixedSize(units_.Size(width, height));
}

int CTemplateDialog::DoModal() {
    UpdateData(false);
    return exec();
}

void CTemplateDialog::Place(QWidget* control, const char* name, int x, int y, int width,
                            int height) {
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(units_.Rect(x, y, width, height));
}

}  // namespace quillery

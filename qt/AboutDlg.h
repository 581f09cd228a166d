#pragma once

#include <QString>

#include "qt/TemplateDialog.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace quillery {

// The version the about box shows, as the build states it.
inline constexpr char kVersionString[] = QUILLERY_DISPLAY_VERSION;

// The about box: the icon and a read-only, selectable text with the product line, the
// notice line and the web address.
class CAboutDlg : public CTemplateDialog {
    Q_OBJECT
  public:
    CAboutDlg();
    ~CAboutDlg() override;

    QString m_aboutText;  // CR LF line breaks

  protected:
    bool UpdateData(bool saveAndValidate) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QPushButton* okButton_;
    QPlainTextEdit* aboutEdit_;
    QLabel* icon_;
};

}  // namespace quillery

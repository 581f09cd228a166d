#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace quillery {

// The version the about box shows, as the build states it.
inline constexpr char kVersionString[] = QUILLERY_DISPLAY_VERSION;

// The about box: the icon and a read-only, selectable text with the product line, the
// notice line and the web address.
class CAboutDlg : public QDialog {
    Q_OBJECT
  public:
    CAboutDlg();
    ~CAboutDlg() override;

    // Shows the member in the text and runs the dialog modally.
    int DoModal();

    QString m_aboutText;  // CR LF line breaks

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void UpdateData();

    QPushButton* okButton_;
    QPlainTextEdit* aboutEdit_;
    QLabel* icon_;
};

// The about text for a version: the product line, the notice line, an empty line and
// the web address, joined by CR LF with no line break at the end.
QString AboutText(const char* version);

}  // namespace quillery

#pragma once

#include <QString>
#include <optional>
#include <string>

#include "qt/TemplateDialog.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace quillery {

// The dictionary file dialog: the path typed or picked with the file chooser.
class CDictionaryDlg : public CTemplateDialog {
    Q_OBJECT
  public:
    CDictionaryDlg();
    ~CDictionaryDlg() override;

    void OnBrowse();
    // A file picked with the chooser or dropped on the dialog: its path goes into the
    // edit, or the refusal is shown and nothing changes.
    void TakeChosenFile(const QString& path);
    void accept() override;

    std::string m_fileName;  // code page 932, as dictionaryPath holds it
    QString m_explanation;   // CR LF line breaks

  protected:
    // false: members to controls. true: controls to members; refuses (with a message,
    // the edit focused) a name that cannot be held, and then changes no member.
    bool UpdateData(bool saveAndValidate) override;

  private:
    void OnRefusedCharacters();

    QPushButton* okButton_;
    QPushButton* cancelButton_;
    QLineEdit* fileNameEdit_;
    QLabel* fileNameLabel_;
    QPushButton* browseButton_;
    QLabel* explanationText_;
    bool refusalQueued_ = false;
};

// The code page 932 path of a chosen file as dictionaryPath holds it; nothing once a
// message over `parent` has refused it (a name the code page cannot hold, or over 255
// bytes).
std::optional<std::string> DictionaryPathOfFile(QWidget* parent, const QString& path);

}  // namespace quillery

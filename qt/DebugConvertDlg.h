#pragma once

#include "qt/TemplateDialog.h"
#include "windowlogic/SeedField.h"

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

namespace quillery {

// The debug conversion options: markers around insertion points and a fixed seed, with
// the newest clock seed shown and copyable into the seed field.
class CDebugConvertDlg : public CTemplateDialog {
    Q_OBJECT
  public:
    CDebugConvertDlg();
    ~CDebugConvertDlg() override;

    void OnCopySeed();
    void accept() override;

    DebugOptions m_options;

  protected:
    // false: members to controls. true: controls to members; refuses a seed field that
    // is not a number 0..4294967295 (with a message, the field focused and selected)
    // and then changes no member.
    bool UpdateData(bool saveAndValidate) override;

  private:
    QPushButton* okButton_;
    QPushButton* cancelButton_;
    QCheckBox* insertMarkCheck_;
    QCheckBox* fixedSeedCheck_;
    QLineEdit* seedEdit_;
    QLabel* seedLabel_;
    QLabel* newestSeedLabel_;
    QLabel* newestSeedText_;
    QPushButton* copyButton_;
    QFrame* rule_;
};

}  // namespace quillery

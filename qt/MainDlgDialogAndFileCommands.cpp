// The commands that open the auxiliary dialogs and the file choosers.
#include <QUrl>

#include "qt/AboutDlg.h"
#include "qt/DebugConvertDlg.h"
#include "qt/DictionaryDlg.h"
#include "qt/MainDlg.h"
#include "qt/MessageBox.h"
#include "qt/OnlineHelp.h"
#include "qt/PaneText.h"
#include "qt/SavePaneText.h"
#include "settings/Settings.h"
#include "windowlogic/AboutAndHelp.h"
#include "windowlogic/SeedField.h"
#include "windowlogic/Texts.h"

namespace quillery {

void CMainDlg::OnSaveInput() {
    quillery::SavePaneText(inputPane());
}

void CMainDlg::OnSaveOutput() {
    quillery::SavePaneText(outputPane());
}

void CMainDlg::OnDictionary() {
    quillery::CDictionaryDlg dialog;
    dialog.m_fileName = gSettings.dictionaryPath.Bytes();
    dialog.m_explanation = ToQString(texts::kDictionaryExplanation);
    if (dialog.DoModal() != QDialog::Accepted) {
        return;
    }
    // The dialog accepts no name longer than the record holds.
    gSettings.dictionaryPath.Assign(dialog.m_fileName);
    UpdateTitle();
}

void CMainDlg::OnDroppedDictionary(const QString& path) {
    // As if the file were picked in the dictionary dialog and taken with OK.
    if (const std::optional<std::string> bytes = quillery::DictionaryPathOfFile(this, path)) {
        gSettings.dictionaryPath.Assign(*bytes);
        UpdateTitle();
    }
}

void CMainDlg::OnDebugConvert() {
    // A run that has not yet become busy leaves the command available; the options are
    // not taken when no run could start with them.
    if (runActive()) {
        return;
    }
    quillery::CDebugConvertDlg dialog;
    dialog.m_options = DebugOptionsFrom(gSettings);
    if (dialog.DoModal() != QDialog::Accepted) {
        return;
    }
    StoreDebugOptions(dialog.m_options, gSettings);
    StartRun();
}

void CMainDlg::OnAbout() {
    quillery::CAboutDlg dialog;
    dialog.m_aboutText =
        ToQString(AboutText(kVersionString, quillery::HelpPageAddress().toStdU16String()));
    dialog.DoModal();
}

void CMainDlg::OnOnlineHelp() {
    const QString prompt = ToQString(HelpPrompt(quillery::HelpPageAddress().toStdU16String()));
    if (ShowMessage(this, prompt, MessageButtons::YesNo, MessageIcon::Question) ==
        MessageResult::Yes) {
        quillery::OpenHelpPage(this);
    }
}

}  // namespace quillery

// The commands that open the auxiliary dialogs and the file choosers.
#include "settings/Settings.h"
#include "ui/DictionaryDlg.h"
#include "ui/MainDlg.h"
#include "ui/SavePaneText.h"

using quillery::gSettings;

void CMainDlg::OnSaveInput() {
    quillery::SavePaneText(inputPane());
}

void CMainDlg::OnSaveOutput() {
    quillery::SavePaneText(outputPane());
}

void CMainDlg::OnDictionary() {
    quillery::CDictionaryDlg dialog;
    dialog.m_fileName = gSettings.dictionaryPath.Bytes();
    dialog.m_explanation = quillery::kDictionaryExplanation;
    if (dialog.DoModal() != QDialog::Accepted) {
        return;
    }
    // The dialog accepts no name longer than the record holds.
    gSettings.dictionaryPath.Assign(dialog.m_fileName);
    UpdateTitle();
}

void CMainDlg::OnDebugConvert() {}
void CMainDlg::OnAbout() {}
void CMainDlg::OnOnlineHelp() {}

// The commands that open the auxiliary dialogs and the file choosers.
#include "ui/MainDlg.h"
#include "ui/SavePaneText.h"

void CMainDlg::OnSaveInput() {
    quillery::SavePaneText(inputPane());
}

void CMainDlg::OnSaveOutput() {
    quillery::SavePaneText(outputPane());
}

void CMainDlg::OnDictionary() {}
void CMainDlg::OnDebugConvert() {}
void CMainDlg::OnAbout() {}
void CMainDlg::OnOnlineHelp() {}

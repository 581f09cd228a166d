// The commands that open the auxiliary dialogs and the file choosers.
#include "ui/MainDlg.h"

void CMainDlg::OnSaveInput() {}
void CMainDlg::OnSaveOutput() {}
void CMainDlg::OnDictionary() {}
void CMainDlg::OnDebugConvert() {}
void CMainDlg::OnAbout() {}
void CMainDlg::OnOnlineHelp() {}

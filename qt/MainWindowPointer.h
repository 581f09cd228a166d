#pragma once

namespace quillery {

class CMainDlg;

// The application's main-window pointer, the way every other piece reaches the window:
// the window sets it when it is created and clears it when it ends, so whatever reaches
// for the window after that (a conversion run still under way) finds none.
CMainDlg* MainWindow();
void SetMainWindow(CMainDlg* window);

}  // namespace quillery

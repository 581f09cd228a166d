#pragma once

namespace quillery {

class CMainDlg;

// The application's main-window pointer: set for the whole time the window exists,
// the way every other piece reaches the window.
CMainDlg* MainWindow();
void SetMainWindow(CMainDlg* window);

}  // namespace quillery

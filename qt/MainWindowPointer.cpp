#include "qt/MainWindowPointer.h"

namespace quillery {

namespace {
CMainDlg* gMainWindow = nullptr;
}

CMainDlg* MainWindow() {
    return gMainWindow;
}
void SetMainWindow(CMainDlg* window) {
    gMainWindow = window;
}

}  // namespace quillery

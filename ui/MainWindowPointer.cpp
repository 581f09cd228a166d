#include "ui/MainWindowPointer.h"

namespace {
CMainDlg* gMainWindow = nullptr;
}

CMainDlg* MainWindow() {
    return gMainWindow;
}
void SetMainWindow(CMainDlg* window) {
    gMainWindow = window;
}

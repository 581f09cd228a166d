#include "app/ConverterApp.h"

#include "qt/MainDlg.h"

namespace quillery {

bool CConverterApp::InitInstance() {
    // The window makes itself the main window while it lives (MainWindowPointer.h).
    CMainDlg dialog;
    dialog.exec();
    return false;
}

}  // namespace quillery

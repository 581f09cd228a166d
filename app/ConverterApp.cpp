#include "app/ConverterApp.h"

#include "ui/MainDlg.h"
#include "ui/MainWindowPointer.h"

namespace quillery {

bool CConverterApp::InitInstance() {
    CMainDlg dialog;
    SetMainWindow(&dialog);
    dialog.exec();
    SetMainWindow(nullptr);
    return false;
}

}  // namespace quillery

#include "app/ConverterApp.h"

#include <QString>

#include "engine/Cp932Codec.h"
#include "ui/MainDlg.h"
#include "ui/MessageBox.h"

namespace quillery {

bool CConverterApp::InitInstance() {
    // Without the system's code page 932 converter every saved text would become "?",
    // and so would the dictionary name in the settings file: refuse before reading them.
    if (!ThreadCodec().IsOpen()) {
        ShowMessage(nullptr, QString::fromStdU16String(std::u16string(kNoCodePage932Message)));
        return false;
    }
    // The window makes itself the main window while it lives (MainWindowPointer.h).
    CMainDlg dialog;
    dialog.exec();
    return false;
}

}  // namespace quillery

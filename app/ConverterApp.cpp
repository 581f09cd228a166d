#include "app/ConverterApp.h"

#include <QString>
#include <string_view>

#include "engine/Cp932Codec.h"
#include "qt/MainDlg.h"
#include "qt/MessageBox.h"

namespace quillery {

namespace {
constexpr std::u16string_view kNoCodePage932Message =
    u"このシステムではコードページ932（シフトJIS）の文字変換が使えないため、起動できません。";
}  // namespace

bool CConverterApp::InitInstance() {
    // Without the system's code page 932 converter every saved text would become "?",
    // and so would the dictionary name in the settings file: refuse before reading them.
    if (!ThreadCodec().IsOpen()) {
        ShowMessage(nullptr, QString::fromUtf16(kNoCodePage932Message.data(),
                                                qsizetype(kNoCodePage932Message.size())));
        return false;
    }
    // The window makes itself the main window while it lives (MainWindowPointer.h).
    CMainDlg dialog;
    dialog.exec();
    return false;
}

}  // namespace quillery

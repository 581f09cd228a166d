// The commands that open the auxiliary dialogs and the file choosers.
#include <QUrl>

#include "qt/AboutDlg.h"
#include "qt/DebugConvertDlg.h"
#include "qt/DictionaryDlg.h"
#include "qt/MainDlg.h"
#include "qt/MessageBox.h"
#include "qt/OnlineHelp.h"
#include "qt/SavePaneText.h"
#include "settings/Settings.h"

namespace quillery {

namespace {

constexpr char kHelpPromptFormat[] =
    "オンラインヘルプを表示するため\r\n%s\r\nをブラウザで開きますか？";

}  // namespace

void CMainDlg::OnSaveInput() {
    quillery::SavePaneText(inputPane());
}

void CMainDlg::OnSaveOutput() {
    quillery::SavePaneText(outputPane());
}

void CMainDlg::OnDictionary() {
    quillery::CDictionaryDlg dialog;
    dialog.m_fileName = gSettings.dictionaryPath.Bytes();
    dialog.m_explanation = quillery::kDictionaryExplanation;
    if (dialog.DoModal() != QDialog::Accepted) {
        return;
    }
    // The dialog accepts no name longer than the record holds.
    gSettings.dictionaryPath.Assign(dialog.m_fileName);
    UpdateTitle();
}

void CMainDlg::OnDroppedDictionary(const QString& path) {
    // As if the file were picked in the dictionary dialog and taken with OK.
    if (const std::optional<std::string> bytes = quillery::DictionaryPathOfFile(this, path)) {
        gSettings.dictionaryPath.Assign(*bytes);
        UpdateTitle();
    }
}

void CMainDlg::OnDebugConvert() {
    // A run that has not yet become busy leaves the command available; the options are
    // not taken when no run could start with them.
    if (runActive()) {
        return;
    }
    quillery::CDebugConvertDlg dialog;
    dialog.m_randomSeed = gSettings.randomSeed;
    dialog.m_useFixedSeed = gSettings.useFixedSeed;
    dialog.m_insertMark = gSettings.insertMark;
    dialog.m_newestSeedText =
        QString::asprintf("%ld", static_cast<long>(gSettings.newestRandomSeed));
    if (dialog.DoModal() != QDialog::Accepted) {
        return;
    }
    gSettings.randomSeed = dialog.m_randomSeed;
    gSettings.useFixedSeed = dialog.m_useFixedSeed;
    gSettings.insertMark = dialog.m_insertMark;
    gSettings.debugRun = 1;
    StartRun();
}

void CMainDlg::OnAbout() {
    quillery::CAboutDlg dialog;
    dialog.m_aboutText = quillery::AboutText(quillery::kVersionString);
    dialog.DoModal();
}

void CMainDlg::OnOnlineHelp() {
    const QString prompt =
        QString::asprintf(kHelpPromptFormat, quillery::HelpPageAddress().toUtf8().constData());
    if (ShowMessage(this, prompt, MessageButtons::YesNo, MessageIcon::Question) ==
        MessageResult::Yes) {
        quillery::OpenHelpPage(this);
    }
}

}  // namespace quillery

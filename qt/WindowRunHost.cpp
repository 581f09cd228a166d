#include "qt/WindowRunHost.h"

#include <QPlainTextEdit>
#include <QTextDocument>

#include <mutex>

#include "qt/MainDlg.h"
#include "qt/MainWindowPointer.h"
#include "qt/MessageBox.h"
#include "qt/PaneText.h"
#include "qt/UiOpQueue.h"
#include "settings/Settings.h"

namespace quillery {

namespace {
std::mutex gStatusMutex;
std::u16string gStatusText;
}  // namespace

void SetStatusText(std::u16string text) {
    std::lock_guard lock(gStatusMutex);
    gStatusText.swap(text);
}

std::u16string StatusText() {
    std::lock_guard lock(gStatusMutex);
    return gStatusText;
}

template <typename Op>
void WindowRunHost::WithWindow(Op op) {
    // The main-window pointer is cleared when the window ends, and with it every
    // operation of a run still under way.
    queue_.Post([op = std::move(op)]() mutable {
        if (CMainDlg* window = MainWindow()) {
            op(*window);
        }
    });
}

void WindowRunHost::ShowMessage(std::u16string_view text) {
    WithWindow([message = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()))](
                   CMainDlg& window) { quillery::ShowMessage(&window, message); });
}

void WindowRunHost::SetBusy(bool busy) {
    WithWindow([busy](CMainDlg& window) { window.SetBusy(busy); });
}

void WindowRunHost::PostStatus(std::u16string text) {
    SetStatusText(std::move(text));
    WithWindow([](CMainDlg& window) { window.OnStatusHandOver(); });
}

void WindowRunHost::RecordNewestSeed(std::int32_t seed) {
    WithWindow([seed](CMainDlg&) { gSettings.newestRandomSeed = seed; });
}

void WindowRunHost::SetOutput(std::u16string text) {
    WithWindow([paneText = CrLfToPaneText(text)](CMainDlg& window) {
        window.outputPane()->setPlainText(paneText);
    });
}

void WindowRunHost::RequestInput() {
    WithWindow([this](CMainDlg& window) {
        worker_->ProvideInput(window.inputPane()->document()->toRawText());
    });
}

void WindowRunHost::RunEnded() {
    WithWindow([](CMainDlg& window) { window.RunEnded(); });
}

}  // namespace quillery

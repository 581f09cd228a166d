#include "ui/WindowRunHost.h"

#include <QPlainTextEdit>
#include <QTextDocument>

#include "engine/StatusText.h"
#include "settings/Settings.h"
#include "ui/MainDlg.h"
#include "ui/MessageBox.h"
#include "ui/PaneText.h"
#include "ui/UiOpQueue.h"

namespace quillery {

void WindowRunHost::ShowMessage(std::u16string_view text) {
    queue_.Post(
        [this, message = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()))] {
            quillery::ShowMessage(&window_, message);
        });
}

void WindowRunHost::SetBusy(bool busy) {
    queue_.Post([this, busy] { window_.SetBusy(busy); });
}

void WindowRunHost::PostStatus(std::u16string text) {
    quillery::SetStatusText(std::move(text));
    queue_.Post([this] { window_.OnStatusHandOver(); });
}

void WindowRunHost::RecordNewestSeed(std::int32_t seed) {
    queue_.Post([seed] { quillery::gSettings.newestRandomSeed = seed; });
}

void WindowRunHost::SetOutput(std::u16string text) {
    queue_.Post(
        [this, paneText = CrLfToPaneText(text)] { window_.outputPane()->setPlainText(paneText); });
}

void WindowRunHost::RequestInput() {
    queue_.Post([this] { worker_->ProvideInput(window_.inputPane()->document()->toRawText()); });
}

void WindowRunHost::RunEnded() {
    queue_.Post([this] { window_.RunEnded(); });
}

}  // namespace quillery

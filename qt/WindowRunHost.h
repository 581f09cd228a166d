#pragma once

#include <string>

#include "qt/ConvertWorker.h"

namespace quillery {

class UiOpQueue;

// The status-bar message a run hands over: written by the run's thread, read by the
// window when the hand-over arrives, both under one lock. The hand-over itself carries
// no text, so the window always shows the newest message.
void SetStatusText(std::u16string text);
std::u16string StatusText();

// Carries a run's window operations over to the user-interface thread, in order.
class WindowRunHost : public WorkerHost {
  public:
    explicit WindowRunHost(UiOpQueue& queue) : queue_(queue) {}

    void SetWorker(ConvertWorker* worker) { worker_ = worker; }

    void ShowMessage(std::u16string_view text) override;
    void SetBusy(bool busy) override;
    void PostStatus(std::u16string text) override;
    void RecordNewestSeed(std::int32_t seed) override;
    void SetOutput(std::u16string text) override;
    void RequestInput() override;
    void RunEnded() override;

  private:
    template <typename Op>
    void WithWindow(Op op);

    UiOpQueue& queue_;
    ConvertWorker* worker_ = nullptr;
};

}  // namespace quillery

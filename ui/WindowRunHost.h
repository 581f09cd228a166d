#pragma once

#include "ui/ConvertWorker.h"

namespace quillery {

class UiOpQueue;

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

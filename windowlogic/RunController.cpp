#include "windowlogic/RunController.h"

#include "settings/FileNames.h"
#include "settings/Settings.h"

namespace quillery {

// Carries the run's reports over to the user-interface thread.
class RunController::WindowHost : public WorkerHost {
  public:
    explicit WindowHost(RunController& owner) : owner_(owner) {}

    void ShowMessage(std::u16string_view text) override {
        Post([text = std::u16string(text)](RunController& c) { c.view_.ShowRunMessage(text); });
    }
    void SetBusy(bool busy) override {
        Post([busy](RunController& c) { c.view_.SetBusy(busy); });
    }
    void PostStatus(std::u16string text) override {
        {
            std::lock_guard lock(owner_.statusMutex_);
            owner_.status_.swap(text);
        }
        // The hand-over carries no text: it shows what the mailbox holds when handled.
        Post([](RunController& c) { c.view_.ShowStatus(c.StatusText()); });
    }
    void RecordNewestSeed(std::int32_t seed) override {
        Post([seed](RunController& c) { c.settings_.newestRandomSeed = seed; });
    }
    void SetOutput(std::u16string text) override {
        Post([text = std::move(text)](RunController& c) { c.view_.SetOutputText(text); });
    }
    void RequestInput() override {
        Post([](RunController& c) { c.worker_->ProvideInput(c.view_.InputText()); });
    }
    void RunEnded() override {
        Post([](RunController& c) { c.RunEnded(); });
    }

  private:
    template <typename Op>
    void Post(Op op) {
        owner_.queue_.Post([this, op = std::move(op)]() mutable { op(owner_); });
    }

    RunController& owner_;
};

RunController::RunController(Dispatcher& dispatcher, RunView& view, Settings& settings)
    : view_(view),
      settings_(settings),
      queue_(dispatcher),
      host_(std::make_unique<WindowHost>(*this)),
      worker_(std::make_unique<ConvertWorker>(*host_)) {}

RunController::~RunController() {
    queue_.Close();
    worker_.reset();
}

bool RunController::Start() {
    if (active_ || ended_) {
        return false;
    }
    active_ = true;
    worker_->Start(RunRequestFor(settings_));
    return true;
}

void RunController::End() {
    ended_ = true;
    queue_.Close();
}

std::u16string RunController::StatusText() const {
    std::lock_guard lock(statusMutex_);
    return status_;
}

RunHost& RunController::Host() {
    return *host_;
}

void RunController::RunEnded() {
    active_ = false;
    std::u16string after;
    {
        std::lock_guard lock(statusMutex_);
        after = StatusAfterRun(status_);
        if (after == status_) {
            return;
        }
        status_ = after;
    }
    view_.ShowStatus(after);
}

std::u16string StatusAfterRun(std::u16string_view shown) {
    return shown == kBusyStatus ? std::u16string() : std::u16string(shown);
}

RunRequest RunRequestFor(const Settings& settings) {
    RunRequest request;
    request.dictionaryPathEmpty = settings.dictionaryPath.Empty();
    request.dictionaryFile = Cp932ToFileSystemName(settings.dictionaryPath.Bytes());
    request.insertRatio = settings.insertRatio;
    request.debugRun = settings.debugRun;
    request.useFixedSeed = settings.useFixedSeed;
    request.insertMark = settings.insertMark;
    request.randomSeed = settings.randomSeed;
    return request;
}

}  // namespace quillery

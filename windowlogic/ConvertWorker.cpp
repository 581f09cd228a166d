#include "windowlogic/ConvertWorker.h"

namespace quillery {

ConvertWorker::ConvertWorker(WorkerHost& host) : host_(host), thread_([this] { Loop(); }) {}

ConvertWorker::~ConvertWorker() {
    stopConversion_ = true;
    {
        std::lock_guard lock(mutex_);
        abort_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void ConvertWorker::Start(quillery::RunRequest request) {
    {
        std::lock_guard lock(mutex_);
        request_ = std::move(request);
    }
    wake_.notify_all();
}

void ConvertWorker::ProvideInput(std::u16string text) {
    {
        std::lock_guard lock(mutex_);
        input_ = std::move(text);
    }
    wake_.notify_all();
}

template <typename Predicate>
bool ConvertWorker::WaitFor(std::unique_lock<std::mutex>& lock, Predicate ready) {
    wake_.wait(lock, [&] { return abort_ || ready(); });
    return !abort_;
}

void ConvertWorker::Loop() {
    for (;;) {
        quillery::RunRequest request;
        {
            std::unique_lock lock(mutex_);
            if (!WaitFor(lock, [this] { return request_.has_value(); })) {
                return;
            }
            request = std::move(*request_);
            request_.reset();
        }
        if (auto prepared = quillery::PrepareRun(request, host_)) {
            host_.RequestInput();
            std::u16string input;
            {
                std::unique_lock lock(mutex_);
                if (!WaitFor(lock, [this] { return input_.has_value(); })) {
                    return;
                }
                input = std::move(*input_);
                input_.reset();
            }
            FinishRun(std::move(*prepared), input, host_, &stopConversion_);
        }
        host_.RunEnded();
    }
}

}  // namespace quillery

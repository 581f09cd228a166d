#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "engine/ConversionRun.h"

namespace quillery {

// What the worker needs of the window beyond a run's own steps.
class WorkerHost : public quillery::RunHost {
  public:
    // The window reads its input pane and answers with ConvertWorker::ProvideInput.
    virtual void RequestInput() = 0;
    // Posted after the last step of every run, whichever way it ended.
    virtual void RunEnded() = 0;
};

// The thread that carries out conversion runs, one at a time. It talks to the window
// only through the host, whose calls never wait for the window; its owner stops it and
// waits for it when destroyed.
class ConvertWorker {
  public:
    explicit ConvertWorker(WorkerHost& host);
    ~ConvertWorker();
    ConvertWorker(const ConvertWorker&) = delete;
    ConvertWorker& operator=(const ConvertWorker&) = delete;

    void Start(quillery::RunRequest request);
    // The input pane's text, CR LF between lines.
    void ProvideInput(std::u16string text);

  private:
    void Loop();
    template <typename Predicate>
    bool WaitFor(std::unique_lock<std::mutex>& lock, Predicate ready);

    WorkerHost& host_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<quillery::RunRequest> request_;
    std::optional<std::u16string> input_;
    bool abort_ = false;
    std::atomic<bool> stopConversion_{false};  // read by the conversion without the lock
    std::thread thread_;
};

}  // namespace quillery

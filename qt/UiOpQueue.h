#pragma once

#include <QObject>
#include <deque>
#include <functional>
#include <mutex>

namespace quillery {

// Runs operations on the thread of its owner in the order they were posted, each one
// finished before the next begins, even when one of them opens a modal box. Any thread
// may post; posting never waits.
class UiOpQueue : public QObject {
    Q_OBJECT
  public:
    explicit UiOpQueue(QObject* parent) : QObject(parent) {}

    void Post(std::function<void()> op);
    // Drops what is pending and everything posted later: the window has ended.
    void Close();

  private:
    void Drain();

    std::mutex mutex_;
    std::deque<std::function<void()>> ops_;
    bool closed_ = false;
    bool draining_ = false;  // user-interface thread only
};

}  // namespace quillery

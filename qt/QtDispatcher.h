#pragma once

#include <QMetaObject>
#include <QObject>
#include <deque>
#include <functional>
#include <mutex>

#include "windowlogic/Dispatcher.h"

namespace quillery {

// Runs posted work on the thread that made it, one queued call per post, in order; what
// is still pending when it goes is dropped. The work itself passes through a std::mutex
// rather than inside Qt's event, whose hand-over ThreadSanitizer cannot see.
class QtDispatcher : public QObject, public Dispatcher {
  public:
    void Post(std::function<void()> op) override {
        {
            std::lock_guard lock(mutex_);
            ops_.push_back(std::move(op));
        }
        QMetaObject::invokeMethod(this, &QtDispatcher::RunOne, Qt::QueuedConnection);
    }

  private:
    void RunOne() {
        std::function<void()> op;
        {
            std::lock_guard lock(mutex_);
            if (ops_.empty()) {
                return;
            }
            op = std::move(ops_.front());
            ops_.pop_front();
        }
        op();
    }

    std::mutex mutex_;
    std::deque<std::function<void()>> ops_;
};

}  // namespace quillery

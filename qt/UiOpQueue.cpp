#include "qt/UiOpQueue.h"

#include <QMetaObject>

namespace quillery {

void UiOpQueue::Post(std::function<void()> op) {
    {
        std::lock_guard lock(mutex_);
        if (closed_) {
            return;
        }
        ops_.push_back(std::move(op));
    }
    QMetaObject::invokeMethod(this, &UiOpQueue::Drain, Qt::QueuedConnection);
}

void UiOpQueue::Close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    ops_.clear();
}

void UiOpQueue::Drain() {
    // A modal box opened by an operation runs its own event loop, which delivers later
    // drain calls; they must wait for the outer one so the order holds.
    if (draining_) {
        return;
    }
    draining_ = true;
    for (;;) {
        std::function<void()> op;
        {
            std::lock_guard lock(mutex_);
            if (ops_.empty()) {
                break;
            }
            op = std::move(ops_.front());
            ops_.pop_front();
        }
        op();
    }
    draining_ = false;
}

}  // namespace quillery

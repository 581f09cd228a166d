#include "windowlogic/OpQueue.h"

namespace quillery {

OpQueue::OpQueue(Dispatcher& dispatcher)
    : dispatcher_(dispatcher), state_(std::make_shared<State>()) {}

void OpQueue::Post(std::function<void()> op) {
    {
        std::lock_guard lock(state_->mutex);
        if (state_->closed) {
            return;
        }
        state_->ops.push_back(std::move(op));
    }
    dispatcher_.Post([state = state_] { Drain(*state); });
}

void OpQueue::Close() {
    std::lock_guard lock(state_->mutex);
    state_->closed = true;
    state_->ops.clear();
}

void OpQueue::Drain(State& state) {
    // A later wake delivered by a modal box's loop inside an operation leaves the rest to
    // the outer drain, so the order holds.
    if (state.draining) {
        return;
    }
    state.draining = true;
    for (;;) {
        std::function<void()> op;
        {
            std::lock_guard lock(state.mutex);
            if (state.ops.empty() || state.closed) {
                break;
            }
            op = std::move(state.ops.front());
            state.ops.pop_front();
        }
        op();
    }
    state.draining = false;
}

}  // namespace quillery

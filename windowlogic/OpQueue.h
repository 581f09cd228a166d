#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "windowlogic/Dispatcher.h"

namespace quillery {

// Runs operations on the user-interface thread in the order they were posted, each one
// finished before the next begins, even when one of them opens a modal box (whose own
// event loop would otherwise run the later ones inside it). Any thread may post; posting
// never waits. Wakes posted through the dispatcher keep what they need alive, so the
// queue may go before they run.
class OpQueue {
  public:
    explicit OpQueue(Dispatcher& dispatcher);

    void Post(std::function<void()> op);
    // Drops what is pending and everything posted later: the window has ended.
    void Close();

  private:
    struct State {
        std::mutex mutex;
        std::deque<std::function<void()>> ops;
        bool closed = false;
        bool draining = false;  // user-interface thread only
    };
    static void Drain(State& state);

    Dispatcher& dispatcher_;
    std::shared_ptr<State> state_;
};

}  // namespace quillery

#pragma once

#include <functional>

namespace quillery {

// How work reaches the user-interface thread; each front end provides one (a queued call
// on Qt, a posted message on Windows).
class Dispatcher {
  public:
    virtual ~Dispatcher() = default;
    // Runs `op` on the user-interface thread once its event loop gets to it. Any thread may
    // call it; it never waits.
    virtual void Post(std::function<void()> op) = 0;
};

}  // namespace quillery

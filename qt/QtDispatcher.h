#pragma once

#include <QMetaObject>
#include <QObject>
#include <functional>

#include "windowlogic/Dispatcher.h"

namespace quillery {

// Posts to the thread of a context object as a queued call; what is still pending when
// the context goes is dropped with it.
class QtDispatcher : public Dispatcher {
  public:
    explicit QtDispatcher(QObject* context) : context_(context) {}

    void Post(std::function<void()> op) override {
        QMetaObject::invokeMethod(context_, std::move(op), Qt::QueuedConnection);
    }

  private:
    QObject* context_;
};

}  // namespace quillery

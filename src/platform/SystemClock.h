#pragma once

#include <QTimer>

#include "platform/Clock.h"

namespace platform {

// Seconds since the epoch, whole.
class SystemClock final : public Clock {
public:
    std::int64_t nowSeconds() const override;
};

// Lets the Qt event loop run: waits for the next event, but never longer than a short moment.
class QtEventPump final : public EventPump {
public:
    QtEventPump();
    void processEvents() override;
    void processPendingEvents() override;

private:
    QTimer wake_;
};

}  // namespace platform

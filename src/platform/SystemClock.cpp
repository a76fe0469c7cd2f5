#include "platform/SystemClock.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEventLoop>

namespace platform {

std::int64_t SystemClock::nowSeconds() const {
    return QDateTime::currentSecsSinceEpoch();
}

QtEventPump::QtEventPump() {
    wake_.setSingleShot(true);
    wake_.setInterval(20);
}

void QtEventPump::processEvents() {
    // Waiting for an event (the port's write notifier, a timer) instead of spinning keeps a
    // drain loop from burning the CPU; the short timer ends the wait when nothing else comes.
    if (!wake_.isActive()) {
        wake_.start();
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

void QtEventPump::processPendingEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace platform

#include "platform/EventPump.h"

#include <QObject>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

// The device link's waits sleep in processOrWait() until the port's event
// thread posts the receive event; the same call must deliver it, on every
// Qt event dispatcher (CMake runs this once more with QT_NO_GLIB=1, Qt's
// plain Unix one), or the line would wait for the next timer tick.
TEST(EventPump, AnEventPostedWhileWaitingIsDeliveredByThatWait)
{
    QtEventPump pump;
    pump.processPending();
    QObject receiver;
    bool delivered = false;
    std::thread poster([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        QMetaObject::invokeMethod(&receiver, [&] { delivered = true; }, Qt::QueuedConnection);
    });
    pump.processOrWait();
    poster.join();
    EXPECT_TRUE(delivered);
}

}  // namespace

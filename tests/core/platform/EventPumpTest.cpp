#include "core/platform/EventPump.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

// Counts the events it is given.
class Receiver : public QObject {
public:
    bool event(QEvent* event) override
    {
        delivered += event->type() == QEvent::User;
        return true;
    }
    int delivered = 0;
};

// The device link's waits sleep in processOrWait() until the port's event
// thread posts the receive event; the same call must deliver it, on every
// Qt event dispatcher (CMake runs this once more with QT_NO_GLIB=1, Qt's
// plain Unix one), or the line would wait for the next timer tick.
TEST(EventPump, AnEventPostedWhileWaitingIsDeliveredByThatWait)
{
    QtEventPump pump;
    pump.processPending();
    // A plain event, as the port's event thread posts one: a queued call of
    // a functor would share Qt's reference-counted slot object between the
    // threads, whose counting ThreadSanitizer cannot see inside Qt.
    Receiver receiver;
    std::thread poster([&receiver] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        QCoreApplication::postEvent(&receiver, new QEvent(QEvent::User));
    });
    pump.processOrWait();
    poster.join();
    EXPECT_EQ(receiver.delivered, 1);
}

}  // namespace

#include "core/platform/EventPump.h"

#include <QCoreApplication>
#include <QThread>

void QtEventPump::processPending()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtEventPump::processOrWait()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    // Qt's plain Unix event dispatcher (QT_NO_GLIB=1) returns from its wait
    // without delivering the events posted meanwhile, and delivers them only
    // at the start of its next call, which then waits again: a receive event
    // would then be handled only at the next tick of a timer. They are
    // delivered here instead; with nothing posted this costs no system call.
    QCoreApplication::sendPostedEvents();
}

void QtEventPump::sleep(int milliseconds)
{
    QThread::msleep(static_cast<unsigned long>(milliseconds));
}

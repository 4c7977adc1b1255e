#include "core/serial/ComThread.h"

#include <QCoreApplication>
#include <QEvent>

#include <array>
#include <chrono>
#include <thread>
#include <utility>

namespace {

// How long the loop waits before it asks again after a failed event wait.
constexpr std::chrono::milliseconds kRetryPause{100};

// The event posted to the notify window for each device event.
constexpr QEvent::Type WM_PORT_EVENT = static_cast<QEvent::Type>(1025);

struct EventCode {
    TComEvent event;
    uint32_t code;
};

// Device event codes in the fixed order of delivery within one wait.
constexpr std::array<EventCode, 10> kDeliveryOrder = {{
    {evError, CommEvent::Err},
    {evRxChar, CommEvent::RxChar},
    {evTxEmpty, CommEvent::TxEmpty},
    {evBreak, CommEvent::Break},
    {evRing, CommEvent::Ring},
    {evCTS, CommEvent::Cts},
    {evDSR, CommEvent::Dsr},
    {evRxFlag, CommEvent::RxFlag},
    {evRLSD, CommEvent::Rlsd},
    {evRx80Full, CommEvent::Rx80Full},
}};

TComEvents comEvents(uint32_t deviceEvents)
{
    TComEvents events = 0;
    for (const EventCode& entry : kDeliveryOrder) {
        if (deviceEvents & entry.code)
            events = static_cast<TComEvents>(events | ComEventBit(entry.event));
    }
    return events;
}

// Receives WM_PORT_EVENT on the user-interface thread and lets the thread
// that posted it hand its event over.
class NotifyWindow final : public QObject {
public:
    void setThread(TComThread* thread) { thread_ = thread; }

    bool event(QEvent* event) override
    {
        if (event->type() != WM_PORT_EVENT)
            return QObject::event(event);
        if (thread_)
            thread_->AcceptPending();
        return true;
    }

private:
    TComThread* thread_ = nullptr;
};

}  // namespace

std::unique_ptr<QObject> TComThread::CreateNotifyWindow()
{
    return std::make_unique<NotifyWindow>();
}

TComThread::TComThread(CommDevice& device, ComEventTarget& port, TSyncMethod syncMethod, QObject* notifyWindow)
    : device_(device), port_(port), syncMethod_(syncMethod), notifyWindow_(notifyWindow)
{
    if (auto* window = dynamic_cast<NotifyWindow*>(notifyWindow_))
        window->setThread(this);
}

TComThread::~TComThread()
{
    if (auto* window = dynamic_cast<NotifyWindow*>(notifyWindow_))
        window->setThread(nullptr);
    if (thread_.joinable())
        Stop();
}

void TComThread::Start(TComEvents events)
{
    watched_ = 0;
    for (const EventCode& entry : kDeliveryOrder) {
        if (events & ComEventBit(entry.event))
            watched_ |= entry.code;
    }
    device_.setEventMask(watched_);
    thread_ = std::thread([this] { Execute(); });
}

void TComThread::Execute()
{
    for (;;) {
        uint32_t word = 0;
        const int error = device_.waitEvents(word);
        if (error == 0 && word == 0)
            break;  // stopped
        if (error == 0) {
            occurredEvents_ = comEvents(word);
            DeliverEvents();
            continue;
        }
        // A wait that failed delivers nothing. A device that has gone (an
        // adapter pulled out) fails every wait at once, so the next one
        // begins only after a pause, which Stop() cuts short.
        std::unique_lock lock(mutex_);
        if (changed_.wait_for(lock, kRetryPause, [this] { return stopping_; }))
            break;
    }
    {
        // Stop() delivers what is still pending; its actions may read the
        // device's queues, which are emptied only afterwards.
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return pending_ == 0 && !actionRunning_; });
    }
    device_.setEventMask(0);
    device_.purge(CommPurge::TxClear | CommPurge::RxClear);
    {
        const std::lock_guard lock(mutex_);
        ended_ = true;
    }
    changed_.notify_all();
}

void TComThread::DeliverEvents()
{
    uint32_t codes = 0;
    for (const EventCode& entry : kDeliveryOrder) {
        if (occurredEvents_ & ComEventBit(entry.event))
            codes |= entry.code;
    }
    codes &= watched_;
    if (codes == 0)
        return;
    if (syncMethod_ == smNone)
        RunActions(codes, false);
    else
        HandOver(codes);
}

void TComThread::RunActions(uint32_t codes, bool whileOpen)
{
    for (const EventCode& entry : kDeliveryOrder) {
        if (!(codes & entry.code))
            continue;
        // An action may close the port; the later ones then find it closed.
        if (whileOpen && !port_.isOpen())
            return;
        port_.eventArrived(entry.event);
    }
}

void TComThread::HandOver(uint32_t codes)
{
    std::unique_lock lock(mutex_);
    const bool post = pending_ == 0;
    pending_ |= codes;
    // Posted under the lock the user-interface thread takes to accept it,
    // which orders the event's making before its delivery for the race
    // checker, which cannot see inside Qt's queue.
    if (post)
        QCoreApplication::postEvent(notifyWindow_, new QEvent(WM_PORT_EVENT));
    // Stop() may be waiting for exactly this.
    changed_.notify_all();
    if (syncMethod_ == smThreadSync)
        changed_.wait(lock, [&] { return pending_ == 0 && !actionRunning_; });
}

void TComThread::AcceptPending()
{
    // The event thread waits for the actions when the sync method says so,
    // and while stopping: it then purges the device's queues, which must
    // not happen under an action still reading them.
    bool waitForAction = false;
    uint32_t codes = 0;
    {
        const std::lock_guard lock(mutex_);
        waitForAction = syncMethod_ == smThreadSync || stopping_;
        codes = std::exchange(pending_, 0u);
        actionRunning_ = codes != 0 && waitForAction;
    }
    if (codes == 0)
        return;
    RunActions(codes, true);
    if (waitForAction) {
        {
            const std::lock_guard lock(mutex_);
            actionRunning_ = false;
        }
        changed_.notify_all();
    }
}

void TComThread::Stop()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    device_.stopWaiting();
    std::this_thread::yield();
    for (;;) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return pending_ != 0 || ended_; });
        if (pending_ == 0)
            break;
        lock.unlock();
        AcceptPending();
    }
    thread_.join();
}

#include "core/WorkerThread.h"

#include "core/ThreadHandOver.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <memory>
#include <utility>

namespace zev {

namespace {

QEvent::Type wakeUpEvent() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

} // namespace

WorkerThread::WorkerThread(QObject* parent)
    : QObject(parent) {}

WorkerThread::~WorkerThread() {
    join();
}

void WorkerThread::start(std::function<void()> work, std::function<void()> finished) {
    thread_ = std::thread([this, work = std::move(work), finished = std::move(finished)]() {
        work();
        if (finished)
            post(finished);
    });
}

void WorkerThread::post(std::function<void()> call) {
    bool wake = false;
    {
        const std::lock_guard lock(mutex_);
        // A non-empty list has its wake-up on the way already.
        wake = posted_.isEmpty();
        posted_.append(std::move(call));
    }
    if (!wake)
        return;
    // Posted to this object: dropped, not delivered, once it is destroyed.
    auto knock = std::make_unique<QEvent>(wakeUpEvent());
    ThreadHandOver::sending(knock.get());
    QCoreApplication::postEvent(this, knock.release());
}

void WorkerThread::join() {
    if (thread_.joinable())
        thread_.join();
}

bool WorkerThread::event(QEvent* event) {
    // Taken before the type is read; for any other event it orders nothing.
    ThreadHandOver::received(event);
    if (event->type() != wakeUpEvent())
        return QObject::event(event);
    runPosted();
    return true;
}

void WorkerThread::runPosted() {
    QList<std::function<void()>> calls;
    {
        const std::lock_guard lock(mutex_);
        calls = std::exchange(posted_, {});
    }
    // A call may destroy this object (its owner going away); the calls after
    // it are dropped then, as a destroyed object's calls always are.
    const QPointer<WorkerThread> alive(this);
    for (const std::function<void()>& call : std::as_const(calls)) {
        if (!alive)
            return;
        call();
    }
}

} // namespace zev

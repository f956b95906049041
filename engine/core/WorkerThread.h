#pragma once

#include <QList>
#include <QObject>
#include <functional>
#include <mutex>
#include <thread>

namespace zev {

// A thread of its own for work that must not hold up the thread that starts
// it (the window's, or zev-cli's event loop), and the one way back from it.
//
// The work reports through post(): each call is left in a list under a
// standard mutex and the owner's thread is woken by an event that
// ThreadHandOver announces, so whatever a call carries (a reason, a result)
// reaches the owner's thread in a way ThreadSanitizer can follow; a queued
// call through Qt would not be. The thread is a std::thread and is joined,
// so everything the work did is ordered before what follows join().
//
// Destroying it waits for the work, so the owner asks the work to stop
// first (a Cancellation, a stop flag). Calls still waiting then are dropped,
// never run: a call may use its owner without checking that it still exists.
class WorkerThread : public QObject {
public:
    explicit WorkerThread(QObject* parent = nullptr);
    ~WorkerThread() override;
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    // Runs work on the thread; then, if given, finished on the owner's
    // thread, after every call the work posted. Once per object.
    void start(std::function<void()> work, std::function<void()> finished = {});
    // From any thread: call runs later on the thread this object lives on,
    // after the calls posted before it, unless this object is gone by then.
    void post(std::function<void()> call);
    // Waits until the work has returned; calls it posted are not run here.
    void join();

protected:
    bool event(QEvent* event) override;

private:
    void runPosted();

    std::mutex mutex_;
    QList<std::function<void()>> posted_;
    std::thread thread_;
};

} // namespace zev

#include "core/WorkerThread.h"

#include "ParamName.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QString>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>
#include <memory>
#include <thread>
#include <vector>

using namespace zev;

namespace {

// Runs the main thread's events until done() or a generous limit.
template <typename Done> bool processEventsUntil(Done done) {
    const QDeadlineTimer limit(10000);
    while (!done() && !limit.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

struct Arrival {
    QString text;
    bool onOwnersThread = false;
};

struct Reports {
    const char* title;
    int senders;
    int callsEach;
};

class WorkerThreadReports : public testing::TestWithParam<Reports> {};

// Texts made on other threads and read on the main one: the checker's build
// reports any of them that is not handed over in order.
TEST_P(WorkerThreadReports, ArriveOnTheOwnersThreadInOrderAndFinishedLast) {
    const Reports reports = GetParam();
    QThread* owner = QThread::currentThread();
    std::vector<Arrival> arrived;
    bool finished = false;
    WorkerThread worker;
    const auto report = [&](int sender, int call) {
        worker.post([&, text = QStringLiteral("%1:%2").arg(sender).arg(call)]() {
            arrived.push_back({text, QThread::currentThread() == owner});
        });
    };
    worker.start(
        [&]() {
            // Besides the work itself, threads of its own post at once.
            std::vector<std::thread> others;
            for (int sender = 1; sender < reports.senders; ++sender)
                others.emplace_back([&, sender]() {
                    for (int call = 0; call < reports.callsEach; ++call)
                        report(sender, call);
                });
            for (int call = 0; call < reports.callsEach; ++call)
                report(0, call);
            for (std::thread& other : others)
                other.join();
        },
        [&]() { finished = true; });

    ASSERT_TRUE(processEventsUntil([&]() { return finished; }));
    worker.join();
    ASSERT_EQ(arrived.size(), std::size_t(reports.senders * reports.callsEach));
    // Each sender's calls in the order it posted them, all on this thread.
    std::vector<int> next(std::size_t(reports.senders), 0);
    for (const Arrival& arrival : arrived) {
        EXPECT_TRUE(arrival.onOwnersThread);
        const QStringList parts = arrival.text.split(u':');
        const int sender = parts.at(0).toInt();
        EXPECT_EQ(parts.at(1).toInt(), next[std::size_t(sender)]++) << arrival.text.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(WorkerThreadTest, WorkerThreadReports,
                         testing::Values(Reports{"none", 1, 0}, Reports{"many from four threads", 4, 2000}),
                         ParamName());

TEST(WorkerThreadTest, CallsStillWaitingGoWithTheWorkerUnrun) {
    auto carried = std::make_shared<int>(7);
    bool ran = false;
    {
        WorkerThread worker;
        worker.start([&worker, &ran, carried]() { worker.post([&ran, carried]() { ran = true; }); });
        worker.join();
    }
    QCoreApplication::processEvents();
    EXPECT_FALSE(ran);
    // Dropped, not kept: nothing holds what the call carried.
    EXPECT_EQ(carried.use_count(), 1);
}

TEST(WorkerThreadTest, ACallThatDestroysTheWorkerDropsTheCallsAfterIt) {
    auto worker = std::make_unique<WorkerThread>();
    std::atomic<bool> posted = false;
    bool first = false;
    bool second = false;
    WorkerThread* raw = worker.get();
    raw->start([&]() {
        raw->post([&]() {
            first = true;
            worker.reset();
        });
        raw->post([&]() { second = true; });
        posted = true;
    });
    while (!posted)
        std::this_thread::yield();

    ASSERT_TRUE(processEventsUntil([&]() { return first; }));
    QCoreApplication::processEvents();
    EXPECT_FALSE(second);
}

} // namespace

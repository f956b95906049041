#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

namespace zev {

// Turns SIGINT, SIGTERM and SIGHUP into a signal on the main thread, so the command
// line can stop its conversion in order instead of dying with its tools
// half-way. The handler only writes the signal's number to a pipe (all a
// signal handler may safely do); the event loop reads it.
//
// After the first stop signal the default actions come back: a second Ctrl-C
// ends the program at once, and its tools are killed as their parent dies.
class StopSignalWatcher : public QObject {
    Q_OBJECT

public:
    explicit StopSignalWatcher(QObject* parent = nullptr);
    ~StopSignalWatcher() override;

Q_SIGNALS:
    void stopRequested(int signalNumber);

private:
    void readSignal();

    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace zev

#include "StopSignalWatcher.h"

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace zev {

namespace {

int pipeEnds[2] = {-1, -1};

// A closed terminal sends SIGHUP; left at its default it would end the
// program as abruptly as SIGKILL.
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

void restoreDefaults() {
    for (const int stop : kStopSignals)
        std::signal(stop, SIG_DFL);
}

void onStopSignal(int signalNumber) {
    restoreDefaults();
    const unsigned char number = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = write(pipeEnds[1], &number, 1);
}

} // namespace

StopSignalWatcher::StopSignalWatcher(QObject* parent)
    : QObject(parent) {
    if (pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    notifier_ = std::make_unique<QSocketNotifier>(pipeEnds[0], QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &StopSignalWatcher::readSignal);
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int stop : kStopSignals)
        sigaction(stop, &action, nullptr);
}

StopSignalWatcher::~StopSignalWatcher() {
    restoreDefaults();
    notifier_.reset();
    for (int& end : pipeEnds) {
        if (end >= 0)
            close(end);
        end = -1;
    }
}

void StopSignalWatcher::readSignal() {
    unsigned char number = 0;
    while (read(pipeEnds[0], &number, 1) == 1)
        Q_EMIT stopRequested(number);
}

} // namespace zev

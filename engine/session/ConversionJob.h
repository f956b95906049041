#pragma once

#include "core/Cancellation.h"
#include "pipeline/ConversionObserver.h"
#include "pipeline/ConversionOutcome.h"
#include "pipeline/ConversionProgress.h"
#include "pipeline/ConversionSettings.h"
#include "storage/RunFolder.h"

#include <QList>
#include <QObject>
#include <QTimer>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

class QThreadPool;

namespace zev {

// One conversion as a front end sees it: started, watched and, if need be,
// stopped from the main thread. The driver runs on a thread of the job's own;
// every signal is emitted on the thread the job lives on (the main thread),
// in this order: any number of progressChanged, then outcomeReady once, then
// finished once, at least kBusyEndDelayMs after the driver returned.
//
// Destroying a job that still runs stops it and waits for its thread (at most
// about a second, see Cancellation), and nothing it would have reported is
// delivered: a front end may go away at any moment.
class ConversionJob : public QObject {
    Q_OBJECT

public:
    static constexpr int kBusyEndDelayMs = 100;
    // Progress is passed on at most this often, but the start and end of
    // every stage always.
    static constexpr int kProgressIntervalMs = 100;

    ConversionJob(ConversionSettings settings, QThreadPool& queue, QObject* parent = nullptr);
    ~ConversionJob() override;

    const ConversionSettings& settings() const { return settings_; }

    // The scratch folder the run is to work in, made ahead; before start().
    // A cache run needs none and removes it with itself.
    void useRunFolder(std::unique_ptr<RunFolder> folder);
    // That folder's path, empty without one.
    QString runFolderPath() const { return runFolderPath_; }

    void start();
    // Asks the run to stop: no new batch starts and running tools are ended.
    // It then ends with a cancelled outcome, unless it had already finished.
    void cancel();

Q_SIGNALS:
    void progressChanged(const ConversionProgress& progress);
    void outcomeReady(const ConversionOutcome& outcome);
    void finished();

protected:
    bool event(QEvent* event) override;

private:
    class ProgressRelay;

    // What the worker threads hand to the main thread: left under a standard
    // mutex, which ThreadSanitizer sees, and the main thread is woken to
    // collect it (see ThreadHandOver for why not inside queued calls).
    struct Mailbox {
        QList<ConversionProgress> progress;
        std::optional<ConversionOutcome> outcome;
    };

    // On the job's thread.
    ConversionOutcome runDriver();
    void deliver(const ConversionOutcome& outcome);
    void postProgress(const ConversionProgress& progress);
    void postOutcome(const ConversionOutcome& outcome);
    void wakeMainThread();
    void openMailbox();
    void passOnLatestProgress();

    const ConversionSettings settings_;
    QThreadPool& queue_;
    Cancellation cancellation_;
    std::unique_ptr<ProgressRelay> relay_;
    // Handed to the driver on the job's thread; the path stays for the
    // main thread.
    std::unique_ptr<RunFolder> runFolder_;
    QString runFolderPath_;
    QTimer progressTimer_;
    std::mutex mailboxMutex_;
    Mailbox mailbox_;
    // Joined, not waited for through Qt: the join orders everything the
    // worker did before whatever the destructor frees.
    std::thread thread_;
    bool running_ = false;
};

} // namespace zev

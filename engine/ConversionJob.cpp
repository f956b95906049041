#include "ConversionJob.h"

#include "ConversionDriver.h"
#include "ExpressDriver.h"
#include "ProgressEstimator.h"

#include <QThread>
#include <QTimer>

// Receives the driver's reports on the worker threads, turns them into
// progress and posts it to the job, no more often than the job can use.
class ConversionJob::ProgressRelay : public ConversionObserver {
public:
    ProgressRelay(ConversionJob& job, bool encodingOnly)
        : job_(job)
        , estimator_(encodingOnly ? ProgressEstimator::encodingOnlyStages()
                                  : ProgressEstimator::fullRunStages()) {
        clock_.start();
    }

    void stageStarted(Stage stage, qint64 totalFrames) override { report(stage, 0, totalFrames, true); }
    void framesDone(Stage stage, qint64 done, qint64 total) override {
        report(stage, done, total, done >= total);
    }

private:
    void report(Stage stage, qint64 done, qint64 total, bool always) {
        QMutexLocker lock(&mutex_);
        const ConversionProgress progress = estimator_.update(stage, done, total, clock_.elapsed() / 1000.0);
        if (!always && lastPosted_.isValid() && !lastPosted_.hasExpired(kProgressIntervalMs))
            return;
        lastPosted_.start();
        job_.postProgress(progress);
    }

    ConversionJob& job_;
    QMutex mutex_;
    ProgressEstimator estimator_;
    QElapsedTimer clock_;
    QElapsedTimer lastPosted_;
};

ConversionJob::ConversionJob(ConversionSettings settings, QThreadPool& queue, QObject* parent)
    : QObject(parent)
    , settings_(std::move(settings))
    , queue_(queue) {}

ConversionJob::~ConversionJob() {
    if (!thread_)
        return;
    cancellation_.request();
    thread_->wait();
}

void ConversionJob::start() {
    if (thread_)
        return;
    running_ = true;
    relay_ = std::make_unique<ProgressRelay>(*this, settings_.useCache || settings_.express);
    thread_.reset(QThread::create([this]() {
        const ConversionOutcome outcome =
            settings_.express ? ExpressDriver(settings_, cancellation_, relay_.get()).run()
                              : ConversionDriver(settings_, queue_, cancellation_, relay_.get()).run();
        // Queued to this object: dropped, not delivered, when the job is
        // destroyed first.
        QMetaObject::invokeMethod(
            this, [this, outcome]() { deliver(outcome); }, Qt::QueuedConnection);
    }));
    thread_->start();
}

void ConversionJob::cancel() {
    if (running_)
        cancellation_.request();
}

void ConversionJob::postProgress(const ConversionProgress& progress) {
    QMetaObject::invokeMethod(
        this, [this, progress]() { Q_EMIT progressChanged(progress); }, Qt::QueuedConnection);
}

void ConversionJob::deliver(const ConversionOutcome& outcome) {
    Q_EMIT outcomeReady(outcome);
    // Counted from the moment the driver's report arrived, so the outcome
    // has always been shown before the busy state ends.
    QTimer::singleShot(kBusyEndDelayMs, this, [this, outcome]() {
        running_ = false;
        Q_EMIT finished(outcome);
    });
}

#include "session/ConversionJob.h"

#include "core/ThreadHandOver.h"
#include "pipeline/ConversionDriver.h"
#include "pipeline/ExpressDriver.h"
#include "pipeline/ProgressEstimator.h"
#include "preview/SourceComparison.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <utility>

namespace zev {

// Receives the driver's reports on the worker threads and turns them into
// progress. The start and end of a stage are posted to the job at once; the
// counts in between are only kept, and the job's timer picks up the latest,
// so a busy stage costs one report per interval however fast it counts.
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
    void trialStarted(int trial) override {
        const std::lock_guard lock(mutex_);
        estimator_.setTrial(trial);
    }

    // The latest progress not yet passed on, if any.
    std::optional<ConversionProgress> takeLatest() {
        const std::lock_guard lock(mutex_);
        return std::exchange(latest_, std::nullopt);
    }

private:
    void report(Stage stage, qint64 done, qint64 total, bool now) {
        const std::lock_guard lock(mutex_);
        const ConversionProgress progress =
            estimator_.update(stage, done, total, static_cast<double>(clock_.elapsed()) / 1000.0);
        if (now) {
            latest_.reset();
            job_.postProgress(progress);
        } else {
            latest_ = progress;
        }
    }

    ConversionJob& job_;
    std::mutex mutex_;
    ProgressEstimator estimator_;
    QElapsedTimer clock_;
    std::optional<ConversionProgress> latest_;
};

ConversionJob::ConversionJob(ConversionSettings settings, QThreadPool& queue, QObject* parent)
    : QObject(parent)
    , settings_(std::move(settings))
    , queue_(queue) {}

ConversionJob::~ConversionJob() {
    if (!thread_.joinable())
        return;
    cancellation_.request();
    thread_.join();
}

void ConversionJob::start() {
    if (thread_.joinable())
        return;
    running_ = true;
    relay_ = std::make_unique<ProgressRelay>(*this, settings_.useCache || settings_.express);
    progressTimer_.callOnTimeout(this, &ConversionJob::passOnLatestProgress);
    progressTimer_.start(kProgressIntervalMs);
    thread_ = std::thread([this]() { postOutcome(runDriver()); });
}

ConversionOutcome ConversionJob::runDriver() {
    if (settings_.express) {
        ExpressDriver driver(settings_, cancellation_, relay_.get());
        driver.useRunFolder(std::move(runFolder_));
        driver.measureTrialsWith(SourceComparison::trialMeasure(settings_.ffmpegPath, &cancellation_));
        return driver.run();
    }
    ConversionDriver driver(settings_, queue_, cancellation_, relay_.get());
    driver.useRunFolder(std::move(runFolder_));
    return driver.run();
}

void ConversionJob::useRunFolder(std::unique_ptr<RunFolder> folder) {
    if (thread_.joinable())
        return;
    runFolderPath_ = folder ? folder->path() : QString();
    runFolder_ = std::move(folder);
}

void ConversionJob::cancel() {
    if (running_)
        cancellation_.request();
}

void ConversionJob::postProgress(const ConversionProgress& progress) {
    {
        const std::lock_guard lock(mailboxMutex_);
        mailbox_.progress.append(progress);
    }
    wakeMainThread();
}

void ConversionJob::postOutcome(const ConversionOutcome& outcome) {
    {
        const std::lock_guard lock(mailboxMutex_);
        mailbox_.outcome = outcome;
    }
    wakeMainThread();
}

namespace {

QEvent::Type mailboxEvent() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

} // namespace

void ConversionJob::wakeMainThread() {
    // An event of the job's own rather than a queued call, which Qt would
    // build here and free on the main thread unannounced. Posted to this
    // object: dropped, not delivered, when the job is destroyed first.
    auto knock = std::make_unique<QEvent>(mailboxEvent());
    ThreadHandOver::sending(knock.get());
    QCoreApplication::postEvent(this, knock.release());
}

bool ConversionJob::event(QEvent* event) {
    // Taken before the type is read; for any other event it orders nothing.
    ThreadHandOver::received(event);
    if (event->type() != mailboxEvent())
        return QObject::event(event);
    openMailbox();
    return true;
}

void ConversionJob::openMailbox() {
    Mailbox mail;
    {
        const std::lock_guard lock(mailboxMutex_);
        mail = std::exchange(mailbox_, Mailbox());
    }
    for (const ConversionProgress& progress : std::as_const(mail.progress))
        Q_EMIT progressChanged(progress);
    if (mail.outcome)
        deliver(*mail.outcome);
}

void ConversionJob::passOnLatestProgress() {
    if (const std::optional<ConversionProgress> latest = relay_->takeLatest())
        Q_EMIT progressChanged(*latest);
}

void ConversionJob::deliver(const ConversionOutcome& outcome) {
    progressTimer_.stop();
    passOnLatestProgress();
    Q_EMIT outcomeReady(outcome);
    // Counted from the moment the driver's report arrived, so the outcome
    // has always been shown before the busy state ends.
    QTimer::singleShot(kBusyEndDelayMs, this, [this]() {
        running_ = false;
        Q_EMIT finished();
    });
}

} // namespace zev

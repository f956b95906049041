#include "session/ConversionSession.h"

#include "session/ConversionJob.h"

namespace zev {

ConversionSession::ConversionSession(QObject* parent)
    : QObject(parent) {}

// The job's batches run on queue_, and a member goes before the children:
// the job is stopped and waited for first.
ConversionSession::~ConversionSession() {
    delete job_;
}

bool ConversionSession::start(const ConversionSettings& settings) {
    if (job_)
        return false;
    job_ = new ConversionJob(settings, queue_, this);
    if (!settings.useCache)
        job_->useRunFolder(std::move(nextRunFolder_));
    connect(job_, &ConversionJob::progressChanged, this, &ConversionSession::progressChanged);
    // An express run leaves no packed frames for a cache run to reuse.
    const bool leavesCache = !settings.express;
    connect(job_, &ConversionJob::outcomeReady, this, [this, leavesCache](const ConversionOutcome& outcome) {
        Q_EMIT outcomeReady(outcome);
        if (outcome.succeeded() && leavesCache)
            Q_EMIT cacheAvailable();
    });
    connect(job_, &ConversionJob::finished, this, &ConversionSession::jobFinished);
    Q_EMIT busyChanged(true);
    job_->start();
    return true;
}

QString ConversionSession::runFolderPath() {
    if (job_)
        return job_->runFolderPath();
    if (!nextRunFolder_) {
        auto folder = std::make_unique<RunFolder>();
        if (Result<> made = folder->create(); !made)
            return {};
        nextRunFolder_ = std::move(folder);
    }
    return nextRunFolder_->path();
}

void ConversionSession::cancel() {
    if (job_)
        job_->cancel();
}

void ConversionSession::jobFinished() {
    // The job is the sender: it goes once control is back in the event
    // loop, and a front end may start the next run from the signal below.
    job_->deleteLater();
    job_ = nullptr;
    Q_EMIT busyChanged(false);
}

} // namespace zev

#pragma once

#include "pipeline/ConversionOutcome.h"
#include "pipeline/ConversionProgress.h"
#include "pipeline/ConversionSettings.h"
#include "storage/RunFolder.h"

#include <QObject>
#include <QThreadPool>
#include <memory>

namespace zev {

class ConversionJob;

// Runs a front end's conversions, one at a time, and tells it what happens.
// A front end holds one (beside a SettingsValidator), connects to its
// signals and calls start() with validated settings.
//
// Every signal comes on the thread the session lives on (the main thread),
// and each run sends them in this order:
//   busyChanged(true)            from inside start()
//   progressChanged …            any number
//   outcomeReady(outcome)        once: the alert, the line on standard output
//   cacheAvailable()             after a full run that wrote its video
//   busyChanged(false)           at least 100 ms after the driver returned
//                                (ConversionJob::kBusyEndDelayMs);
//                                inConverting() is false by then
// A cancelled run sends its cancelled outcome like any other.
//
// Destroying the session stops a running conversion and waits for it (about
// a second at most) and sends nothing more, so a front end may go at any
// moment and needs no care in its destructor.
class ConversionSession : public QObject {
    Q_OBJECT

public:
    explicit ConversionSession(QObject* parent = nullptr);
    ~ConversionSession() override;

    // From start() until just before busyChanged(false).
    bool inConverting() const { return job_ != nullptr; }
    // The work queue the image batches run on; one for every run.
    QThreadPool& queue() { return queue_; }
    // The scratch folder of the run in progress, or the one the next run
    // will work in: made on the first call while idle, and held (locked)
    // until a run takes it. Empty while a cache run, which needs none, is
    // in progress, or when no scratch folder can be made.
    QString runFolderPath();

    // Starts a conversion with these settings. While one runs, a start is
    // ignored without a word (no signal) and answers false.
    bool start(const ConversionSettings& settings);
    // Stops the running conversion, if any: no new batch starts, running
    // tools are ended, and it ends with a cancelled outcome.
    void cancel();

Q_SIGNALS:
    void busyChanged(bool inConverting);
    void progressChanged(const ConversionProgress& progress);
    void outcomeReady(const ConversionOutcome& outcome);
    void cacheAvailable();

private:
    void jobFinished();

    QThreadPool queue_;
    ConversionJob* job_ = nullptr;
    std::unique_ptr<RunFolder> nextRunFolder_;
};

} // namespace zev

#pragma once

#include "pipeline/ConversionProgress.h"

namespace zev {

// What the driver reports while it runs. Calls arrive on the driver's thread
// and on the work queue's threads, so an observer must be thread-safe and
// quick; the conversion job is the observer that turns them into progress
// on the main thread.
class ConversionObserver {
public:
    using Stage = ConversionProgress::Stage;

    virtual ~ConversionObserver() = default;

    // A stage begins; totalFrames is what it will count up to (0 for
    // scanning, which counts nothing).
    virtual void stageStarted(Stage stage, qint64 totalFrames) = 0;
    // The stage has now finished done of total frames.
    virtual void framesDone(Stage stage, qint64 done, qint64 total) = 0;
    // A size budget's or a quality target's trial encode begins, counting
    // from 1; 0 once the search is over. The encoding counts that follow
    // are that trial's.
    virtual void trialStarted([[maybe_unused]] int trial) {}
};

} // namespace zev

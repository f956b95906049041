#include "pipeline/ProgressEstimator.h"

#include <algorithm>
#include <cmath>

namespace zev {

ProgressEstimator::ProgressEstimator(QList<StageWeight> stages)
    : stages_(std::move(stages)) {
    for (const StageWeight& stage : stages_)
        totalWeight_ += stage.weight;
}

// Seconds per frame at 640×360 on two cores: extraction 0.10 (both layers),
// packing 0.17, encoding 0.02 per output frame (bench/bench.sh split by stage).
QList<ProgressEstimator::StageWeight> ProgressEstimator::fullRunStages() {
    return {{Stage::Extracting, 0.35}, {Stage::Packing, 0.57}, {Stage::Encoding, 0.08}};
}

QList<ProgressEstimator::StageWeight> ProgressEstimator::encodingOnlyStages() {
    return {{Stage::Encoding, 1.0}};
}

void ProgressEstimator::setTrial(int trial) {
    trial_ = trial;
}

double ProgressEstimator::fractionOf(Stage stage, qint64 done, qint64 total) const {
    if (totalWeight_ <= 0.0)
        return 0.0;
    double before = 0.0;
    for (const StageWeight& entry : stages_) {
        if (entry.stage == stage) {
            double part = total > 0 ? std::clamp(double(done) / double(total), 0.0, 1.0) : 0.0;
            if (stage == Stage::Encoding && trial_ > 0)
                part = 1.0 - std::pow(0.5, double(trial_ - 1) + part);
            return (before + entry.weight * part) / totalWeight_;
        }
        before += entry.weight;
    }
    // Scanning and any stage not weighed count as the start.
    return 0.0;
}

ConversionProgress ProgressEstimator::update(Stage stage, qint64 done, qint64 total, double elapsedSeconds) {
    // Reports from parallel batches may arrive out of order; the bar never
    // moves back.
    lastFraction_ = std::max(lastFraction_, fractionOf(stage, done, total));
    ConversionProgress progress;
    progress.stage = stage;
    progress.done = done;
    progress.total = total;
    progress.fraction = lastFraction_;
    progress.secondsLeft = timeLeft(lastFraction_, elapsedSeconds);
    progress.trial = stage == Stage::Encoding ? trial_ : 0;
    return progress;
}

qint64 ProgressEstimator::timeLeft(double fraction, double elapsedSeconds) {
    if (fraction >= 1.0)
        return 0;
    if (elapsedSeconds < kSettlingSeconds || fraction < kSettlingFraction)
        return -1;
    const double raw = elapsedSeconds * (1.0 - fraction) / fraction;
    if (shownSeconds_ < 0.0) {
        shownSeconds_ = raw;
    } else {
        const double countdown = std::max(0.0, shownSeconds_ - (elapsedSeconds - shownAt_));
        const double slack = 0.2 * raw + 3.0;
        shownSeconds_ = std::clamp(countdown, std::max(0.0, raw - slack), raw + slack);
    }
    shownAt_ = elapsedSeconds;
    return std::llround(shownSeconds_);
}

} // namespace zev

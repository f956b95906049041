#pragma once

#include "pipeline/ConversionProgress.h"

#include <QList>

namespace zev {

// Turns the driver's frame counts into one fraction for the whole run and a
// time left. The stages are weighed by what they cost (measured on the
// 2-core machine: extracting the layers and packing them run one convert
// process per batch and per frame, encoding is cheap beside them), so the bar
// moves at an even pace across stages.
//
// The time left follows elapsed × (1 − f) / f, but is shown as a countdown
// that only moves to that raw estimate's band when the raw estimate leaves
// it, and then only as far as the band's edge: the figure neither jitters
// nor jumps up by more than the new evidence demands. No figure is given in
// the first seconds, while the estimate would be a guess.
class ProgressEstimator {
public:
    using Stage = ConversionProgress::Stage;
    struct StageWeight {
        Stage stage;
        double weight;
    };

    static constexpr double kSettlingSeconds = 2.0;
    static constexpr double kSettlingFraction = 0.01;

    explicit ProgressEstimator(QList<StageWeight> stages);

    // The stages of a full run and of a run that only encodes.
    static QList<StageWeight> fullRunStages();
    static QList<StageWeight> encodingOnlyStages();

    // From now on the encoding counts are those of trial (from 1) of a size
    // budget's or a quality target's search, or of the video's own encoding
    // (0). The trials share the encoding stage, as their number is not known
    // ahead: the first takes it halfway, each next one half of what is left
    // (few searches need more than three or four), and the end of the search
    // finishes it.
    void setTrial(int trial);

    // done of total frames of stage are finished, elapsedSeconds after the
    // run began. Calls come in time order.
    ConversionProgress update(Stage stage, qint64 done, qint64 total, double elapsedSeconds);

    double fractionOf(Stage stage, qint64 done, qint64 total) const;

private:
    qint64 timeLeft(double fraction, double elapsedSeconds);

    QList<StageWeight> stages_;
    double totalWeight_ = 0.0;
    double lastFraction_ = 0.0;
    double shownSeconds_ = -1.0;
    double shownAt_ = 0.0;
    int trial_ = 0;
};

} // namespace zev

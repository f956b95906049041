#pragma once

#include "core/Result.h"
#include "output/VideoDescription.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QString>
#include <functional>

namespace zev {

// What a size budget's or a quality target's trial encodes chose, for the
// success text and --json.
struct RateChoice {
    Q_DECLARE_TR_FUNCTIONS(RateChoice)

public:
    enum class Goal { Budget, Quality };

    Goal goal = Goal::Budget;
    // The budget in bytes, or the target in dB.
    qint64 budget = 0;
    double target = 0;
    // The encoder's setting kept (x264's CRF), the file's bytes, and for a
    // target the figures it reached.
    double setting = 0;
    qint64 bytes = 0;
    double maskPsnr = 0;
    double colourPsnr = 0;
    int trials = 0;

    // "size budget 512,000 bytes: 498,761 bytes (2.6 % under) at CRF 27.3,
    // after 3 trial encodes", or "quality target 40.0 dB: mask 46.21 dB,
    // colour 40.30 dB at CRF 28.0, 1,234,567 bytes, after 5 trial encodes".
    QString text() const;
    // {"goal": "budget" or "quality", "budget" or "target", "setting",
    //  "bytes", "mask" and "colour" (for a target), "trials"}
    QJsonObject toJson() const;
};

// The figures of a trial video against its frames, as --check measures them.
struct TrialQuality {
    double maskPsnr = 0;
    double colourPsnr = 0;
};

// Measures a trial video whose regions the description gives, made from the
// frames behind ffmpeg's pattern: the express run's way to a quality
// target, given to it by its job, which can reach the preview's classes.
using TrialMeasure =
    std::function<Result<TrialQuality>(const QString& video, const VideoDescription& description,
                                       const QString& framePattern, qint64 sourceFrames)>;

} // namespace zev

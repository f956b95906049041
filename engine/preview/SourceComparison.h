#pragma once

#include "core/Result.h"
#include "output/VideoDescription.h"
#include "pipeline/RateChoice.h"
#include "preview/QualityReport.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

namespace zev {

class Cancellation;

// Measures a freshly encoded video against the frames it was made from the
// way zev-cli --check does: the video decoded and put back together as a
// player does, each video frame against the source frame it shows. The
// engine reads no PNG itself, so a second ffmpeg reads the frames (through
// the same pattern the encoder read) and hands each over as its straight
// colour beside its alpha; 8-bit frames come out exactly as --check reads
// them. Frames the layout scales down are compared with the frames scaled
// the way the encoder scales them (area averages of colour × alpha).
class SourceComparison {
    Q_DECLARE_TR_FUNCTIONS(SourceComparison)

public:
    struct Request {
        QString ffmpegPath;
        QString videoPath;
        // The regions, the sizes, the colour mode and both frame rates.
        VideoDescription description;
        // ffmpeg's numbered pattern of the frames, as the encoder read them.
        QString framePattern;
        qint64 sourceFrames = 0;
        const Cancellation* cancellation = nullptr;
    };

    static Result<QualityReport> measure(const Request& request);
    // measure() as the express run's trials of a quality target take it:
    // the averages of the mask and the colour.
    static TrialMeasure trialMeasure(const QString& ffmpegPath, const Cancellation* cancellation);

    // ffmpeg's arguments that write the frames as rgb24, colour left and
    // alpha right, at the description's frame size.
    static QStringList sourceArguments(const Request& request);
};

} // namespace zev

#pragma once

#include "VideoUnpacker.h"
#include "core/Result.h"
#include "preview/QualityReport.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QString>
#include <functional>

namespace zev {

class Cancellation;

// Compares a frame folder's video (OutputFolder::videoOfFrameFolder:
// output/zev.mp4 or zev.webm) with the folder's own
// frames: every video frame recombined against the source frame it shows.
class QualityCheck {
    Q_DECLARE_TR_FUNCTIONS(QualityCheck)

public:
    struct Outcome {
        QString video;
        qint64 videoFrames = 0;
        qint64 sourceFrames = 0;
        // The animation's rate used to match video frames to source frames
        // (SourceFrameTiming::inputRate): zev.json's inputFps, the rate the
        // video records, the one rate the two counts fit, or an assumed one.
        double inputFps = 0;
        // Where it came from ("description", "video", "frameCounts",
        // "assumed"), and for an assumed rate why.
        QString inputFpsFrom;
        QString inputFpsAssumption;
        QualityReport report;

        QString toText() const;
        QJsonObject toJson() const;
    };

    using Progress = VideoUnpacker::Progress;

    static QString videoPathIn(const QString& folder);

    static Result<Outcome> check(const VideoUnpacker::Tools& tools, const QString& folder,
                                 const Progress& progress = {}, const Cancellation* cancellation = nullptr);

    // The folder's frames in frame order, each named by its number from 0
    // on without a gap.
    static Result<QStringList> sourceFrames(const QString& folder);

private:
    static QString scanReason(const QString& folder, const QString& message);
};

} // namespace zev

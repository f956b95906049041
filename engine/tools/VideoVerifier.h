#pragma once

#include "core/Result.h"
#include "tools/ColourDescription.h"
#include "tools/ToolRunner.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

namespace zev {

// What the written video must hold.
struct ExpectedVideo {
    int width;  // twice the frames' width: the mask beside the colour
    int height; // the frames' height
    qint64 frames;
    ColourDescription colour = ColourDescription::ofConversion();
};

// Reads a written video back before it is announced: ffmpeg can exit with
// status 0 and still leave a video that is not the one asked for (stopped
// early, a stream too many, another pixel format), and only reading the file
// tells.
class VideoVerifier {
    Q_DECLARE_TR_FUNCTIONS(VideoVerifier)

public:
    static constexpr qint64 kFrameTolerance = 1;

    // Runs ffprobe on the video: it must hold exactly one stream, an H.264
    // video stream of the expected size in yuv420p, with a frame count within
    // kFrameTolerance of the expected one and the expected colour
    // description. The frames are counted from the container's packets,
    // without decoding. Then the file's index must come before its frames.
    // options may stop the run and log it; their standard output setting is
    // overridden.
    static Result<> verify(const QString& ffprobePath, const QString& videoPath,
                           const ExpectedVideo& expected, const ToolRunOptions& options = {});

    // Judges ffprobe's output for probeArguments() alone; the output goes
    // into the details of a failure.
    static Result<> check(const QByteArray& ffprobeOutput, const ExpectedVideo& expected);

    // The ffprobe arguments that read videoPath, named as one argument.
    static QStringList probeArguments(const QString& videoPath);

    // Whether the MP4 file's index ("moov") comes before its frames
    // ("mdat"), read from the top-level box headers.
    static bool indexLeads(const QString& videoPath);
};

} // namespace zev

#pragma once

#include "core/Result.h"
#include "output/VideoDescription.h"
#include "tools/ToolRunner.h"

#include <QByteArray>
#include <QString>

namespace zev {

// What a decoder needs to know about a written video, as ffprobe reads it:
// the H.264 profile and level, the colour description it carries, and the
// bitrate it came out at (which a quality target leaves open until then).
struct VideoFacts {
    QString profile;
    QString level; // "4.1"
    VideoDescription::Colour colour;
    qint64 bitrateKbits = 0;

    static Result<VideoFacts> read(const QString& ffprobePath, const QString& videoPath,
                                   const ToolRunOptions& options = {});
    // Judges ffprobe's output for the arguments read() gives it.
    static VideoFacts parse(const QByteArray& ffprobeOutput);
};

} // namespace zev

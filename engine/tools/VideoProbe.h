#pragma once

#include "core/Result.h"
#include "tools/ToolRunner.h"
#include "tools/VideoFacts.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

namespace zev {

// The one reader of ffprobe: every stream of a media file with its packets
// counted (one per video frame, read from the container without decoding),
// the container's name, duration and tags. A file ffprobe cannot read gives
// a reason naming the file and what ffprobe said.
class VideoProbe {
    Q_DECLARE_TR_FUNCTIONS(VideoProbe)

public:
    // How long ffprobe may take unless the caller's options say otherwise.
    static constexpr int kTimeoutMs = 30000;

    // options may stop the run and log it; their standard output setting is
    // overridden.
    static Result<VideoFacts> probe(const QString& ffprobePath, const QString& videoPath,
                                    const ToolRunOptions& options = {});

    // Judges ffprobe's JSON output for probeArguments(). A file without any
    // stream is a failure; one without a video stream is not (the callers
    // say what they need).
    static Result<VideoFacts> parse(const QByteArray& json, const QString& videoPath);
    static QStringList probeArguments(const QString& videoPath);
    // The level as people write it, from ffprobe's number for the codec:
    // H.264's level_idc ("4.1" for 41), H.265's (30 × the level), AV1's
    // seq_level_idx (8 is 4.0); empty where the codec or stream names none.
    static QString levelName(const QString& codec, int level);
};

} // namespace zev

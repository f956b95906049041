#pragma once

#include "output/OutputOptions.h"
#include "output/PackedLayout.h"
#include "output/PlayerDescriptions.h"

#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

namespace zev {

// What decides whether a player plays a video: its container and codec,
// its coded size, where the colour and the mask lie, the colour mode and
// the descriptions it carries. Made from the options of a run before it
// writes anything, or from a video found on disk.
struct VideoTraits {
    // ffprobe's names: "h264", "hevc", "av1", "vp9", "vp8".
    QString codec;
    // The MP4 sample entry ("avc1", "hvc1", "hev1"); empty in WebM.
    QString codecTag;
    // "mp4", "webm", or what else the file is.
    QString container;
    QSize packed;
    QRect colourRect;
    QRect maskRect;
    // Nothing where the colour mode is neither written nor told by the
    // pixels.
    std::optional<bool> premultiplied = true;
    // False where the alpha is only ever fully opaque or fully clear: there
    // both colour modes give the same picture.
    bool colourModeShows = true;
    // The descriptions found in and beside the video, each read and agreeing
    // with its frame.
    PlayerDescriptions descriptions;

    // The video a run with these options writes: the codec's sample entry
    // the encoder gives it (hvc1 for H.265 in MP4).
    static VideoTraits planned(const PackedLayout& layout, const OutputOptions& options);
};

} // namespace zev

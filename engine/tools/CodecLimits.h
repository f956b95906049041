#pragma once

#include "output/VideoFormat.h"

#include <QCoreApplication>
#include <QSize>
#include <QString>
#include <optional>

namespace zev {

// What each codec's encoder and decoders take: the sizes an encoder
// refuses, the level a video needs (H.264 through H264Level; H.265, AV1
// and VP9 from their own tables), whether phones are likely to decode it,
// and where a codec plays poorly at all.
class CodecLimits {
    Q_DECLARE_TR_FUNCTIONS(CodecLimits)

public:
    using Codec = VideoFormat::Codec;

    static constexpr int kPhoneLargestSide = 1920;
    // x265 refuses pictures under 16 pixels on a side.
    static constexpr int kH265SmallestSide = 16;

    // Why the codec's encoder cannot take a packed frame of this size
    // (x264 and x265 in yuv420p take even sides only, x265 no side under
    // 16 pixels; libaom and libvpx take any), or nothing.
    static std::optional<QString> sizeRefusal(Codec codec, QSize packed, QSize frame);

    // The lowest level ("4.1") that takes frames of size at fps frames a
    // second and bitrateKbits (0 when unknown); nothing when even the
    // highest cannot. Each codec's table: H.264's Table A-1, H.265's
    // Tables A.8 and A.9 (Main tier), AV1's Annex A, VP9's published levels.
    static std::optional<QString> level(Codec codec, QSize size, double fps, qint64 bitrateKbits = 0);

    // Whether phones' decoders are likely to take the video: within the
    // codec's level 4.1 (about 1920×1080 at 60 frames a second in each
    // codec) and 1920 pixels on a side.
    static bool fitsPhones(Codec codec, QSize size, double fps, qint64 bitrateKbits = 0);

    // The warning for a video that does not fit phones, with what would:
    // the half-size mask and a largest size, or the largest frame of the
    // same shape that fits. video is the coded size, frame the animation's
    // size inside it.
    static std::optional<QString> phoneWarning(Codec codec, QSize video, QSize frame, double fps,
                                               qint64 bitrateKbits = 0);
    // The largest frame (even sizes, frame's shape) whose video, scaled
    // with it, fits phones; invalid when none does.
    static QSize largestFittingFrame(Codec codec, QSize video, QSize frame, double fps,
                                     qint64 bitrateKbits = 0);

    // Where the codec plays poorly, as a warning: H.265 plays in Safari and
    // on Apple's devices, in few other browsers and not on older Android.
    static std::optional<QString> playbackWarning(const VideoFormat& format);

private:
    static QSize videoFor(QSize video, QSize frame, int frameWidth);
};

} // namespace zev

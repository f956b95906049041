#pragma once

#include "output/PlayerDescriptions.h"
#include "output/VideoDescription.h"
#include "output/VideoFormat.h"

#include <optional>

namespace zev {

// How the express conversion lays out and encodes its video. The default
// value makes the very video the default pipeline makes: mask left, colour
// laid onto black right, both at full size, at the chosen bitrate.
struct OutputOptions {
    using Layout = VideoDescription::Layout;
    using MaskSize = VideoDescription::MaskSize;

    // x264's quality scale: 0 is lossless, 51 the coarsest (the other
    // codecs' scales: VideoFormat::maxCrf).
    static constexpr int kMaxCrf = 51;
    static constexpr int kMaxGap = 256;
    static constexpr int kMaxBorder = 64;
    // Between the colour and a half-size mask when no gap is asked for: one
    // macroblock. Round trips of half-size masks measured no loss from it
    // and a small gain next to the seam at starved bitrates, and it keeps a
    // player's bilinear sampling of one region clear of the other.
    static constexpr int kHalfMaskGap = 16;

    Layout layout = Layout::MaskLeft;
    MaskSize maskSize = MaskSize::Full;
    // Straight colour: the frame's own colour where alpha is above zero,
    // and that colour carried smoothly over the fully transparent area
    // (ColourBleed), for players that multiply by the mask themselves.
    bool premultiplied = true;
    // The packed video's largest side, and its area at most that of a
    // fit × fit·9/16 frame; 0 keeps the frames' size.
    int fit = 0;
    // A quality target instead of the bitrate, on the codec's own scale.
    std::optional<int> crf;
    // Pixels between the two regions; unset: none for the full-size
    // layouts (exact halves), kHalfMaskGap for the half-size mask.
    std::optional<int> gap;
    // Pixels of black round the regions, which then start on 16-pixel
    // boundaries: some players' bilinear sampling reaches past a region's
    // edge into the frame's.
    int border = 0;
    // The regions on 16-pixel boundaries and the packed size whole
    // macroblocks even for the full-size layouts: the exact halves become
    // halves of whole blocks with the frame at the top left of each, for
    // players that pad other sizes and shift the sampling.
    bool wholeBlocks = false;
    // Write zev.json even for the default layout.
    bool describe = false;
    // The descriptions other players read, written into the video and
    // beside it; none by default.
    PlayerDescriptions players;
    // The target these options were chosen for (PlayerTargets); empty: none
    // was named. A run checks its video against it and warns where it no
    // longer fits.
    QString target;
    // The codec and container; anything but H.264 in MP4 for express only.
    VideoFormat format;
    // A sound file muxed as the video's one sound track; empty: none.
    QString audioFile;
    // A budget for the video file, in bytes: the finest quality whose file
    // is at most the budget (and within 5 % under it), found by trial
    // encodes; 0: none.
    qint64 maxBytes = 0;
    // A quality target in dB: the smallest file whose mask PSNR and colour
    // PSNR, as zev-cli --check measures them, both reach it.
    std::optional<double> qualityTarget;
    static constexpr double kLowestQualityTarget = 20;
    static constexpr double kHighestQualityTarget = 60;

    // Whether the encoder's quality setting is searched by trial encodes.
    bool searchesRate() const { return maxBytes > 0 || qualityTarget.has_value(); }
    // A CRF, a budget or a target: the encoder, not the rate, sets the bitrate.
    bool leavesRateOpen() const { return crf.has_value() || searchesRate(); }

    // Whether a player needs zev.json to find its way in the video.
    bool needsDescription() const {
        return layout != Layout::MaskLeft || maskSize != MaskSize::Full || !premultiplied ||
               gap.value_or(0) > 0 || border > 0 || wholeBlocks;
    }
    // Whether zev.json is written beside the video: when a player needs it,
    // when it was asked for, and whenever the video is not the default
    // H.264 zev.mp4 or carries sound, so the description names the video
    // and says what it holds.
    bool writesDescription() const {
        return needsDescription() || describe || format != VideoFormat() || !audioFile.isEmpty();
    }
    // Whether the default pipeline, which knows only the default layout,
    // bitrate and size, can honour these options.
    bool defaultPipelineCan() const {
        return !needsDescription() && fit == 0 && !crf && format == VideoFormat() && audioFile.isEmpty() &&
               !searchesRate();
    }

    bool operator==(const OutputOptions&) const = default;
};

} // namespace zev

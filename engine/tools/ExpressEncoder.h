#pragma once

#include "output/OutputOptions.h"
#include "output/PackedLayout.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace zev {

// The express conversion's single ffmpeg run: it reads the frames through a
// folder of links named 0.png … n-1.png, lays the grey alpha mask (left)
// beside the colour on black (right) in one filter graph and encodes the
// result as VideoEncoder does (libx264, 25 frames per second out, the chosen
// bitrate, yuv420p, the frames read at the chosen frame rate), with the
// colour description and the leading index VideoRewriter gives the default
// pipeline's video.
class ExpressEncoder {
public:
    // Works on 8-bit RGBA, which every PNG kind (grey, palette, 16-bit,
    // opaque) is brought to; an opaque frame gets a white mask. The mask is
    // the alpha plane taken as it is; the colour is multiplied by it with
    // the same truncation ImageMagick's "-alpha remove" onto black applies,
    // so 8-bit frames give the very pixels the default pipeline packs.
    static inline const QString kFilterGraph =
        QStringLiteral("format=rgba,split[m][c];"
                       "[m]alphaextract,format=gbrp,split[mask][alpha];"
                       "[c]format=gbrp[rgb];"
                       "[rgb][alpha]blend=all_mode=multiply[colour];"
                       "[mask][colour]hstack=inputs=2");

    // The graph for a layout and colour mode: kFilterGraph itself for the
    // default ones. Colour and mask are made at the frames' size and only
    // then scaled (area averaging), so the colour of transparent pixels
    // never bleeds into the edges; straight colour after scaling is the
    // scaled colour × alpha divided by the scaled alpha. Straight colour
    // then gets ColourBleed's edge treatment: the visible colour carried
    // into the fully transparent pixels around it.
    static QString filterGraph(const PackedLayout& layout, bool premultiplied);

    // With a filter graph, ffmpeg gives the last image one output frame
    // instead of its whole duration (1 / fps), so at up to 25 fps the video
    // came out one frame short of the default pipeline's, which uses no
    // filter. Holding the last image one image longer and cutting the video
    // at the frame count the default pipeline reaches
    // (VideoEncoder::outputFrameCount) makes the two agree.
    static inline const QString kHoldLastImage = QStringLiteral(",tpad=stop_mode=clone:stop=1");

    // rate is in kbit/s. Both paths are made absolute and given as "file:"
    // URLs, so no part of them is read as a protocol; the link folder's
    // "%" are escaped, so ffmpeg's pattern only ever numbers the links.
    // With a CRF, x264 aims at that quality instead of the rate. With
    // outputFrames, the video is held and cut to that many frames.
    static QStringList arguments(const QString& linkFolder, const QString& videoFile, qint64 fps, qint64 rate,
                                 const QString& filterGraph = kFilterGraph,
                                 std::optional<int> crf = std::nullopt, qint64 outputFrames = 0);

    // "file:<absolute link folder, each % doubled>/%d.png"
    static QString framePattern(const QString& linkFolder);
    // "file:<absolute path>"
    static QString outputUrl(const QString& videoFile);
};

} // namespace zev

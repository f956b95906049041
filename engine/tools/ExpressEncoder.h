#pragma once

#include "output/OutputOptions.h"
#include "output/PackedLayout.h"
#include "output/VideoFormat.h"
#include "tools/MediaSource.h"

#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>

namespace zev {

// The express conversion's ffmpeg run: it reads the frames through a
// folder of links named 0.png … n-1.png, lays the grey alpha mask (left)
// beside the colour on black (right) in one filter graph and encodes the
// result at 25 frames per second out, the frames read at the chosen frame
// rate, in yuv420p, with the colour description and the index first. For
// H.264 that is VideoEncoder's encoding (libx264 at the chosen bitrate)
// with what VideoRewriter gives the default pipeline's video.
//
// The command is built from parts that can be changed one at a time: the
// input, the filter graph, the video encoder's options (one function per
// codec), and the container. A sound track is muxed by a second, short run
// (soundArguments) that copies the encoded video.
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

    // What one express encoding makes.
    struct Encoding {
        // What the run reads: the links to a folder's frames, shown at fps,
        // or a video or animated image with the decoder that keeps its alpha
        // (and fps, when above 0, in place of its own timing).
        QString linkFolder;
        std::optional<MediaSource> media;
        QString videoFile;
        qint64 fps = 25;
        // kbit/s, the average each encoder aims at when there is no CRF.
        qint64 rate = 0;
        QString filterGraph = kFilterGraph;
        // The encoder's own quality scale (VideoFormat::maxCrf), in steps
        // of crfStep: a size budget's or a quality target's search tries
        // the settings between whole ones where the encoder takes them.
        std::optional<double> crf;
        // With outputFrames, the video is held and cut to that many frames.
        qint64 outputFrames = 0;
        VideoFormat format;

        // The rate the animation's images are shown at.
        double sourceFps() const;
        // The packed frame's size, which bounds x264's reference frames;
        // unknown (invalid): the preset's.
        QSize packed;
        // Whether the colour is laid onto black; straight colour's filled
        // transparent area changes how x264 should spend its bits.
        bool premultiplied = true;
    };

    // The encoding run. Both paths are made absolute and given as "file:"
    // URLs, so no part of them is read as a protocol; the link folder's "%"
    // are escaped, so ffmpeg's pattern only ever numbers the links.
    static QStringList arguments(const Encoding& encoding);
    // The H.264 encoding at a bitrate or a CRF, as the tests and tools use it.
    static QStringList arguments(const QString& linkFolder, const QString& videoFile, qint64 fps, qint64 rate,
                                 const QString& filterGraph = kFilterGraph,
                                 std::optional<int> crf = std::nullopt, qint64 outputFrames = 0);

    // The parts of the encoding run, in the order they are given.
    static QStringList inputArguments(const Encoding& encoding);
    static QStringList graphArguments(const Encoding& encoding);
    static QStringList videoEncoderArguments(const Encoding& encoding);
    static QStringList containerArguments(const VideoFormat& format, const QString& videoFile);

    // Each codec's encoder and its settings, after the options every codec
    // shares (rate, quality, pixel format, frame count, colour).
    static QStringList h264Options(const Encoding& encoding);
    // The most reference frames a level 4.1 decoder (the phones') holds for
    // a picture of this size, and no more than x264 uses: 1 to 16.
    static int h264ReferenceFrames(QSize packed);
    static QStringList h265Options(const Encoding& encoding);
    static QStringList av1Options(const Encoding& encoding);
    static QStringList vp9Options(const Encoding& encoding);

    // The run that muxes one sound track with the encoded video: the video
    // copied as it is, the first sound stream of soundFile encoded as AAC
    // (MP4) or Opus (WebM), cut or padded with silence to seconds, and no
    // other stream (no chapters, timecode or data).
    static QStringList soundArguments(const QString& encodedFile, const QString& soundFile, double seconds,
                                      const VideoFormat& format, const QString& videoFile);
    // The sound codec a container gets, as ffprobe names it: "aac", "opus".
    static QString soundCodec(VideoFormat::Container container);

    // The smallest step of a codec's CRF the encoder tells apart: x264 and
    // x265 take fractions, libaom and libvpx whole numbers.
    static double crfStep(VideoFormat::Codec codec);
    // A codec's CRF that gives about the colour of x264's 23.
    static int usualCrf(VideoFormat::Codec codec);

    // The encoder ffmpeg runs for a codec: "libx264", "libx265",
    // "libaom-av1", "libvpx-vp9".
    static QString encoderName(VideoFormat::Codec codec);

    // "file:<absolute link folder, each % doubled>/%d.png"
    static QString framePattern(const QString& linkFolder);
    // "file:<absolute path>"
    static QString outputUrl(const QString& videoFile);
};

} // namespace zev

#pragma once

#include "core/Result.h"
#include "tools/ToolRunner.h"
#include "tools/VideoFacts.h"

#include <QCoreApplication>
#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>

namespace zev {

// A video or animated image with transparency, converted as it is by the
// express conversion: what ffprobe says of its first video stream, judged
// before anything is encoded, and how ffmpeg must read it so that the alpha
// survives decoding.
struct MediaSource {
    Q_DECLARE_TR_FUNCTIONS(MediaSource)

public:
    enum class Alpha { Straight, Premultiplied };

    QString path;
    QString codec;
    // The pixel format as decoded: VP8 and VP9 with alpha come out of the
    // libvpx decoders as yuva420p, though ffprobe names the colour planes'
    // format only.
    QString pixelFormat;
    QSize size;
    qint64 frames = 0;
    int rateNumerator = 0;
    int rateDenominator = 1;
    // FFmpeg's own VP8 and VP9 decoders drop the alpha of a WebM file; the
    // libvpx ones keep it. Empty: ffmpeg's choice.
    QString decoder;
    // Straight unless the format says otherwise: PNG, GIF, WebP and WebM
    // alpha are straight by their definition, and QuickTime files say
    // nothing, so their alpha is taken as straight too.
    Alpha alpha = Alpha::Straight;

    // Whether a file is to be read as such a source rather than refused as
    // "not a folder": a video or animated image by its extension, or a PNG
    // file holding an animation (an APNG); a still PNG stays refused.
    static bool isCandidate(const QString& path);
    // Whether a PNG file is animated: an acTL chunk before its image data.
    static bool isAnimatedPng(const QString& path);

    // Probes the file and judges what ffprobe found.
    static Result<MediaSource> probe(const QString& ffprobePath, const QString& path,
                                     const ToolRunOptions& options = {});
    // A video stream with a size, a frame rate, frames, and a pixel format
    // that carries alpha, or why not ("the video has no transparency:
    // yuv420p").
    static Result<MediaSource> judge(const VideoFacts& facts);
    static bool pixelFormatHasAlpha(const QString& pixelFormat);

    double framesPerSecond() const {
        return rateDenominator > 0 ? double(rateNumerator) / rateDenominator : 0;
    }
    // The rate its frames are shown at: the typed one, or its own.
    double effectiveFps(std::optional<qint64> typedFps) const {
        return typedFps ? double(*typedFps) : framesPerSecond();
    }
    // How many frames the video of it has at outputFps: its duration in
    // them, exact halves rounded down (ffmpeg gives the last frame no more).
    qint64 outputFrames(std::optional<qint64> typedFps, qint64 outputFps) const;

    // What goes before the ffmpeg output options: the decoder that keeps
    // the alpha, the typed rate in place of the file's own timing, the file
    // as a "file:" URL, and only its video (a sound or subtitle stream of
    // it would make a video the verifier does not expect).
    QStringList inputArguments(std::optional<qint64> typedFps) const;
    // The filter that turns its colour straight ("unpremultiply=…,"), or
    // nothing when it is straight already.
    QString straighteningFilter() const;
};

} // namespace zev

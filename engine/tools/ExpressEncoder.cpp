#include "tools/ExpressEncoder.h"

#include "tools/ChromaSubsampling.h"
#include "tools/ColourBleed.h"
#include "tools/ColourDescription.h"
#include "tools/VideoEncoder.h"
#include "tools/VideoRewriter.h"

#include <QFileInfo>
#include <algorithm>

namespace zev {

namespace {

QString scaleTo(QSize size) {
    return QStringLiteral("scale=%1:%2:flags=area").arg(size.width()).arg(size.height());
}

// The region nearer the top left first, the other where the layout puts it.
QString stacked(const PackedLayout& layout) {
    const QPoint maskAt = layout.maskRect.topLeft();
    const QPoint colourAt = layout.colourRect.topLeft();
    const bool maskFirst = maskAt.x() + maskAt.y() < colourAt.x() + colourAt.y();
    const QString inputs = maskFirst ? QStringLiteral("[mask][colour]") : QStringLiteral("[colour][mask]");
    const QPoint first = maskFirst ? maskAt : colourAt;
    const QPoint second = maskFirst ? colourAt : maskAt;
    if (layout.exactHalves())
        return inputs +
               (second.y() == 0 ? QStringLiteral("hstack=inputs=2") : QStringLiteral("vstack=inputs=2"));
    QString graph = inputs + QStringLiteral("xstack=inputs=2:layout=%1_%2|%3_%4:fill=black")
                                 .arg(first.x())
                                 .arg(first.y())
                                 .arg(second.x())
                                 .arg(second.y());
    // xstack ends at the regions' far edges; the border and whole blocks
    // beyond them are padding.
    const QPoint farCorner = layout.maskRect.united(layout.colourRect).bottomRight() + QPoint(1, 1);
    if (QSize(farCorner.x(), farCorner.y()) != layout.packed)
        graph +=
            QStringLiteral(",pad=%1:%2:0:0:black").arg(layout.packed.width()).arg(layout.packed.height());
    return graph;
}

// The sides of the colour region that face the mask.
Qt::Edges seams(const PackedLayout& layout) {
    const QRect& colour = layout.colourRect;
    const QRect& mask = layout.maskRect;
    Qt::Edges sides;
    sides.setFlag(Qt::LeftEdge, mask.right() < colour.left());
    sides.setFlag(Qt::RightEdge, mask.left() > colour.right());
    sides.setFlag(Qt::TopEdge, mask.bottom() < colour.top());
    sides.setFlag(Qt::BottomEdge, mask.top() > colour.bottom());
    return sides;
}

QStringList bled(const QString& colourIn, const QString& alphaIn, const PackedLayout& layout) {
    return ColourBleed::steps(colourIn, alphaIn, QStringLiteral("colour"), layout.frame, seams(layout));
}

// The colour × alpha at the frames' size, then scaled; straight colour
// divided by the scaled alpha again and given the edge treatment there.
QStringList scaledColour(const PackedLayout& layout, bool premultiplied) {
    const QString scale = scaleTo(layout.frame);
    if (premultiplied)
        return {QStringLiteral("[rgb][alpha]blend=all_mode=multiply,%1[colour]").arg(scale)};
    QStringList steps{
        QStringLiteral("[rgb][alpha]blend=all_mode=multiply,%1[scaledColour]").arg(scale),
        QStringLiteral("[alphaToScale]%1,split[divisor][keep]").arg(scale),
        QStringLiteral("[scaledColour][divisor]unpremultiply=inplace=0[straight]"),
    };
    return steps + bled(QStringLiteral("straight"), QStringLiteral("keep"), layout);
}

} // namespace

QString ExpressEncoder::filterGraph(const PackedLayout& layout, bool premultiplied) {
    const QString chroma = ChromaSubsampling::steps(layout.packed);
    if (premultiplied && layout == PackedLayout::place(layout.source, OutputOptions()))
        return kFilterGraph + chroma;
    const bool scaled = layout.frame != layout.source;
    const bool straightScaled = !premultiplied && scaled;
    const QString maskScale =
        layout.maskRect.size() == layout.source ? QString() : u',' + scaleTo(layout.maskRect.size());
    QStringList steps{
        QStringLiteral("format=rgba,split[m][c]"),
        QStringLiteral("[m]alphaextract,format=gbrp,split=%1[maskAtSource][alpha]%2")
            .arg(straightScaled ? 3 : 2)
            .arg(straightScaled ? QStringLiteral("[alphaToScale]") : QString()),
        QStringLiteral("[maskAtSource]null%1[mask]").arg(maskScale),
        QStringLiteral("[c]format=gbrp[rgb]"),
    };
    if (scaled)
        steps.append(scaledColour(layout, premultiplied));
    else if (premultiplied)
        steps.append(QStringLiteral("[rgb][alpha]blend=all_mode=multiply[colour]"));
    else
        steps.append(bled(QStringLiteral("rgb"), QStringLiteral("alpha"), layout));
    steps.append(stacked(layout));
    return steps.join(u';') + chroma;
}

QStringList ExpressEncoder::arguments(const Encoding& encoding) {
    return inputArguments(encoding) + graphArguments(encoding) + videoEncoderArguments(encoding) +
           containerArguments(encoding.format, encoding.videoFile);
}

QStringList ExpressEncoder::arguments(const QString& linkFolder, const QString& videoFile, qint64 fps,
                                      qint64 rate, const QString& filterGraph, std::optional<int> crf,
                                      qint64 outputFrames) {
    Encoding encoding;
    encoding.linkFolder = linkFolder;
    encoding.videoFile = videoFile;
    encoding.fps = fps;
    encoding.rate = rate;
    encoding.filterGraph = filterGraph;
    encoding.crf = crf;
    encoding.outputFrames = outputFrames;
    return arguments(encoding);
}

double ExpressEncoder::Encoding::sourceFps() const {
    if (media)
        return media->effectiveFps(fps > 0 ? std::optional<qint64>(fps) : std::nullopt);
    return double(fps);
}

QStringList ExpressEncoder::inputArguments(const Encoding& encoding) {
    // A frame that cannot be decoded ends the run with an error instead of
    // being left out of a video announced as finished.
    const QStringList arguments{QStringLiteral("-xerror")};
    if (encoding.media)
        return arguments + encoding.media->inputArguments(
                               encoding.fps > 0 ? std::optional<qint64>(encoding.fps) : std::nullopt);
    return arguments +
           QStringList{
               QStringLiteral("-f"),          QStringLiteral("image2"),          QStringLiteral("-framerate"),
               QString::number(encoding.fps), QStringLiteral("-start_number"),   QStringLiteral("0"),
               QStringLiteral("-i"),          framePattern(encoding.linkFolder),
           };
}

QStringList ExpressEncoder::graphArguments(const Encoding& encoding) {
    return {QStringLiteral("-vf"),
            encoding.outputFrames > 0 ? encoding.filterGraph + kHoldLastImage : encoding.filterGraph};
}

QStringList ExpressEncoder::videoEncoderArguments(const Encoding& encoding) {
    QStringList arguments{
        QStringLiteral("-vcodec"),
        encoderName(encoding.format.codec),
        QStringLiteral("-r"),
        QString::number(VideoEncoder::kVideoRate),
    };
    // A CRF is the encoder's own quality scale; a bitrate is the average
    // every encoder aims at.
    if (encoding.crf)
        arguments << QStringLiteral("-crf") << QString::number(*encoding.crf);
    else
        arguments << QStringLiteral("-b") << QString::number(encoding.rate) + u'k';
    arguments << QStringLiteral("-y") << QStringLiteral("-pix_fmt") << QStringLiteral("yuv420p");
    if (encoding.outputFrames > 0)
        arguments << QStringLiteral("-frames:v") << QString::number(encoding.outputFrames);
    // ffmpeg keeps the images' own timing in a WebM file (a container of
    // variable frame rates), so 20 images a second stayed 20 frames; MP4
    // gets the constant 25 frames a second by default.
    if (encoding.format.container == VideoFormat::Container::Webm)
        arguments << QStringLiteral("-fps_mode") << QStringLiteral("cfr");
    // Every encoder writes the colour description into its stream (VP9's
    // carries the range and matrix only; WebM carries all four), and the
    // container part puts it in MP4's colr box.
    arguments += ColourDescription::encoderOptions();
    // The animation's own rate, which the video's 25 frames a second hide.
    arguments += VideoRewriter::inputFpsMetadata(qRound64(encoding.sourceFps()));
    switch (encoding.format.codec) {
    case VideoFormat::Codec::H264:
        return arguments + h264Options(encoding);
    case VideoFormat::Codec::H265:
        return arguments + h265Options(encoding);
    case VideoFormat::Codec::Av1:
        return arguments + av1Options(encoding);
    case VideoFormat::Codec::Vp9:
        return arguments + vp9Options(encoding);
    }
    return arguments;
}

// x264's veryslow preset tuned for animation (High profile, as the default
// pipeline's), without psychovisual optimisation, which spends bits on
// texture the eye may like but the picture does not hold, and with motion
// searched 32 pixels out instead of 24 (animations move fast). On the
// bench's four contents (bench/quality.sh, 30 frames of 320×180 and of
// 640×360) those two made files 2 to 17 % smaller at the same mask PSNR
// and up to 6 % at the same edge PSNR, the colour within 2 %; without the
// tune's adaptive quantisation too, the mask of a 640×360 gift lost 6
// points. Straight colour goes without it: it spends bits on the flat,
// unseen fill of the transparent area (with it, files were up to 15 %
// larger at the same colour PSNR, up to 32 % at the same mask PSNR).
// The preset's 16 reference frames (and the tune's doubling) are cut to
// what a level 4.1 decoder holds for the picture, so phones that take the
// size take the stream: 4 at 1920×1080, 16 for a 640×360 animation packed
// side by side. x264's settings text (an SEI message of 675 bytes, which no
// decoder reads) is left out: 9 % of a small UI animation's file.
QStringList ExpressEncoder::h264Options(const Encoding& encoding) {
    QStringList options{QStringLiteral("-preset"), QStringLiteral("veryslow"), QStringLiteral("-tune"),
                        QStringLiteral("animation")};
    if (encoding.packed.isValid())
        options << QStringLiteral("-refs") << QString::number(h264ReferenceFrames(encoding.packed));
    return options << QStringLiteral("-x264-params")
                   << (encoding.premultiplied ? QStringLiteral("psy=0:merange=32")
                                              : QStringLiteral("psy=0:merange=32:aq-mode=0"))
                   << QStringLiteral("-bsf:v") << QStringLiteral("filter_units=remove_types=6");
}

int ExpressEncoder::h264ReferenceFrames(QSize packed) {
    // Level 4.1's decoded picture buffer, in macroblocks.
    constexpr qint64 kLevel41BufferMacroblocks = 32768;
    constexpr qint64 kMostReferences = 16;
    const qint64 macroblocks = qint64((packed.width() + 15) / 16) * qint64((packed.height() + 15) / 16);
    return int(
        std::clamp<qint64>(kLevel41BufferMacroblocks / std::max<qint64>(macroblocks, 1), 1, kMostReferences));
}

// x265's slow preset without psychovisual optimisation or adaptive
// quantisation, and without the settings text x265 writes into the stream
// (an SEI message of 2,298 bytes, a quarter of a small UI animation's file).
// On 30 frames of 640×360 of the bench's four contents (bench/quality.sh)
// that made files 14 to 40 % smaller than x265's defaults at medium at the
// same mask, colour and edge PSNR, for 1.4 to 1.8 times their CPU time (2.5
// to 3.5 times x264's defaults); at medium they were 2 to 9 points larger.
// Safari and Apple's players take H.265 in MP4 only with the hvc1 sample
// entry (ffmpeg writes hev1 otherwise). Its banner and statistics would
// fill the run's log.
QStringList ExpressEncoder::h265Options(const Encoding&) {
    return {QStringLiteral("-preset"),
            QStringLiteral("slow"),
            QStringLiteral("-tag:v"),
            QStringLiteral("hvc1"),
            QStringLiteral("-x265-params"),
            QStringLiteral("log-level=error:aq-mode=0:psy-rd=0:psy-rdoq=0:info=0")};
}

// libaom at cpu-used 6 (its fastest "good" setting), rows in parallel. On
// 24 frames of 960×540 (bench/encoders.sh) it made files 70 % smaller than
// x264 at the same colour PSNR, and a third smaller than SVT-AV1 at preset
// 6 (0.4 dB less colour) for 30 % more CPU time; cpu-used 5 took 1.8 times
// as long for larger files. It takes frames of any size, where SVT-AV1
// refuses sides under 64 pixels. With a CRF the bitrate is left open
// (constant quality), not capped.
QStringList ExpressEncoder::av1Options(const Encoding& encoding) {
    QStringList options{QStringLiteral("-cpu-used"), QStringLiteral("6"), QStringLiteral("-row-mt"),
                        QStringLiteral("1")};
    if (encoding.crf)
        options << QStringLiteral("-b:v") << QStringLiteral("0");
    return options;
}

// libvpx's "good" deadline at cpu-used 1, rows in parallel. On 30 frames of
// 320×180 of four made contents (bench/quality.sh, one run) cpu-used 1 made
// files 3 to 8 % smaller than cpu-used 2 at the same mask, colour and edge
// PSNR for 20 to 30 % more CPU time, 2.5 to 3.7 times x264's defaults;
// cpu-used 3 was 2 to 5 % larger than 2. With a CRF the bitrate is left
// open (constant quality), not capped.
QStringList ExpressEncoder::vp9Options(const Encoding& encoding) {
    QStringList options{QStringLiteral("-deadline"), QStringLiteral("good"),    QStringLiteral("-cpu-used"),
                        QStringLiteral("1"),         QStringLiteral("-row-mt"), QStringLiteral("1")};
    if (encoding.crf)
        options << QStringLiteral("-b:v") << QStringLiteral("0");
    return options;
}

QStringList ExpressEncoder::containerArguments(const VideoFormat& format, const QString& videoFile) {
    QStringList arguments;
    // The index in front of the frames, so a web player can start before
    // the whole file has arrived: MP4's moov box, WebM's cues.
    if (format.container == VideoFormat::Container::Webm)
        arguments << QStringLiteral("-cues_to_front") << QStringLiteral("1");
    else
        arguments << QStringLiteral("-movflags") << VideoRewriter::kMovFlags;
    // The temporary name's extension is ours, but the container should not
    // depend on it.
    arguments << QStringLiteral("-f") << format.extension() << outputUrl(videoFile);
    return arguments;
}

QStringList ExpressEncoder::soundArguments(const QString& encodedFile, const QString& soundFile,
                                           double seconds, const VideoFormat& format,
                                           const QString& videoFile) {
    const QString length = QString::number(seconds, 'f', 6);
    const bool webm = format.container == VideoFormat::Container::Webm;
    QStringList arguments{
        QStringLiteral("-xerror"),
        QStringLiteral("-i"),
        outputUrl(encodedFile),
        QStringLiteral("-i"),
        outputUrl(soundFile),
        // The video and the first sound stream only: a sound file's
        // chapters would become a text track in MP4, its timecode a track
        // of its own.
        QStringLiteral("-map"),
        QStringLiteral("0:v:0"),
        QStringLiteral("-map"),
        QStringLiteral("1:a:0"),
        QStringLiteral("-map_chapters"),
        QStringLiteral("-1"),
        QStringLiteral("-c:v"),
        QStringLiteral("copy"),
        // Silence after a short sound, a long one cut: the animation sets
        // the length, never the sound.
        QStringLiteral("-af"),
        QStringLiteral("apad=whole_dur=%1,atrim=end=%1").arg(length),
        QStringLiteral("-c:a"),
        webm ? QStringLiteral("libopus") : QStringLiteral("aac"),
        QStringLiteral("-b:a"),
        webm ? QStringLiteral("96k") : QStringLiteral("128k"),
        QStringLiteral("-y"),
    };
    if (format.codec == VideoFormat::Codec::H265)
        arguments << QStringLiteral("-tag:v") << QStringLiteral("hvc1");
    return arguments + containerArguments(format, videoFile);
}

QString ExpressEncoder::soundCodec(VideoFormat::Container container) {
    return container == VideoFormat::Container::Webm ? QStringLiteral("opus") : QStringLiteral("aac");
}

double ExpressEncoder::crfStep(VideoFormat::Codec codec) {
    return codec == VideoFormat::Codec::H264 || codec == VideoFormat::Codec::H265 ? 0.1 : 1.0;
}

// On the sample animation (bench/codecs.sh, see --crf's help), the colour
// of x264's 23 came at x265's 25, libaom's 41 and libvpx's 38.
int ExpressEncoder::usualCrf(VideoFormat::Codec codec) {
    switch (codec) {
    case VideoFormat::Codec::H264:
        break;
    case VideoFormat::Codec::H265:
        return 25;
    case VideoFormat::Codec::Av1:
        return 41;
    case VideoFormat::Codec::Vp9:
        return 38;
    }
    return 23;
}

QString ExpressEncoder::encoderName(VideoFormat::Codec codec) {
    switch (codec) {
    case VideoFormat::Codec::H264:
        break;
    case VideoFormat::Codec::H265:
        return QStringLiteral("libx265");
    case VideoFormat::Codec::Av1:
        return QStringLiteral("libaom-av1");
    case VideoFormat::Codec::Vp9:
        return QStringLiteral("libvpx-vp9");
    }
    return QStringLiteral("libx264");
}

QString ExpressEncoder::framePattern(const QString& linkFolder) {
    QString folder = QFileInfo(linkFolder).absoluteFilePath();
    folder.replace(u'%', QStringLiteral("%%"));
    return QStringLiteral("file:") + folder + QStringLiteral("/%d.png");
}

QString ExpressEncoder::outputUrl(const QString& videoFile) {
    return QStringLiteral("file:") + QFileInfo(videoFile).absoluteFilePath();
}

} // namespace zev

#include "OutputArguments.h"

#include "output/PlayerTargets.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QRegularExpression>
#include <cmath>

namespace zev {

namespace {

// A whole number from low to high, or nothing.
std::optional<int> wholeNumber(const QString& text, int low, int high) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

} // namespace

OutputArguments::OutputArguments()
    : layout_(QStringLiteral("layout"), QString(), QStringLiteral("LAYOUT"))
    , maskSize_(QStringLiteral("mask-size"), QString(), QStringLiteral("SIZE"))
    , colour_(QStringLiteral("colour"), QString(), QStringLiteral("MODE"))
    , fit_(QStringLiteral("fit"), QString(), QStringLiteral("N"))
    , crf_(QStringLiteral("crf"), QString(), QStringLiteral("N"))
    , gap_(QStringLiteral("gap"), QString(), QStringLiteral("N"))
    , describe_(QStringLiteral("describe"), QString())
    , codec_(QStringLiteral("codec"), QString(), QStringLiteral("CODEC"))
    , container_(QStringLiteral("container"), QString(), QStringLiteral("CONTAINER"))
    , audio_(QStringLiteral("audio"), QString(), QStringLiteral("FILE"))
    , target_(QStringLiteral("target"), QString(), QStringLiteral("NAME"))
    , maxSize_(QStringLiteral("max-size"), QString(), QStringLiteral("BYTES"))
    , quality_(QStringLiteral("quality"), QString(), QStringLiteral("DB")) {}

QList<QCommandLineOption> OutputArguments::options() const {
    return {layout_, maskSize_,  colour_, fit_,    crf_,     gap_,    describe_,
            codec_,  container_, audio_,  target_, maxSize_, quality_};
}

bool OutputArguments::anyExpressOnly(const QCommandLineParser& parser) const {
    for (const QCommandLineOption& option :
         {layout_, maskSize_, colour_, fit_, crf_, gap_, codec_, container_, audio_, maxSize_, quality_})
        if (parser.isSet(option))
            return true;
    return false;
}

Result<OutputOptions> OutputArguments::read(const QCommandLineParser& parser, bool express,
                                            bool rateChosen) const {
    using Failed = Result<OutputOptions>;
    if (!express && anyExpressOnly(parser))
        return Failed::failure(tr("--layout, --mask-size, --colour, --fit, --crf, --gap, --codec, "
                                  "--container, --audio, --max-size and --quality need --express: the "
                                  "default conversion makes the default layout in H.264"));
    OutputOptions options;
    if (parser.isSet(target_)) {
        const PlayerTarget* target = PlayerTargets::find(parser.value(target_));
        if (!target)
            return Failed::failure(
                tr("unknown target '%1' (zev-cli --targets lists them: %2)")
                    .arg(parser.value(target_), PlayerTargets::names().join(QStringLiteral(", "))));
        if (!express && !target->options.defaultPipelineCan())
            return Failed::failure(
                tr("the target %1 needs --express: the default conversion makes the default "
                   "layout in H.264 only")
                    .arg(target->name));
        options = target->options;
    }
    options.describe = parser.isSet(describe_);
    const Result<VideoFormat> format = readFormat(parser, options.format);
    if (!format)
        return format.failure();
    options.format = *format;
    if (parser.isSet(audio_)) {
        if (parser.value(audio_).isEmpty())
            return Failed::failure(tr("--audio takes a sound file"));
        // Relative to where zev-cli runs, as the folders are.
        options.audioFile = QFileInfo(parser.value(audio_)).absoluteFilePath();
    }
    if (parser.isSet(layout_)) {
        const auto layout = VideoDescription::layoutFromName(parser.value(layout_));
        if (!layout)
            return Failed::failure(
                tr("unknown layout '%1' (use mask-left, mask-right, mask-top or mask-bottom)")
                    .arg(parser.value(layout_)));
        options.layout = *layout;
    }
    if (parser.isSet(maskSize_)) {
        const auto size = VideoDescription::maskSizeFromName(parser.value(maskSize_));
        if (!size)
            return Failed::failure(
                tr("unknown mask size '%1' (use full or half)").arg(parser.value(maskSize_)));
        options.maskSize = *size;
    }
    if (parser.isSet(colour_)) {
        const QString mode = parser.value(colour_);
        if (mode != QLatin1String("premultiplied") && mode != QLatin1String("straight"))
            return Failed::failure(tr("unknown colour mode '%1' (use premultiplied or straight)").arg(mode));
        options.premultiplied = mode == QLatin1String("premultiplied");
    }
    if (parser.isSet(fit_)) {
        const std::optional<int> fit = wholeNumber(parser.value(fit_), 64, 16384);
        if (!fit)
            return Failed::failure(
                tr("--fit takes a size from 64 to 16384 pixels, not '%1'").arg(parser.value(fit_)));
        options.fit = *fit;
    }
    if (parser.isSet(crf_)) {
        if (rateChosen)
            return Failed::failure(tr("choose either a bitrate (--preset, --slider) or --crf, not both"));
        const int maxCrf = VideoFormat::maxCrf(options.format.codec);
        options.crf = wholeNumber(parser.value(crf_), 0, maxCrf);
        if (!options.crf)
            return Failed::failure(
                tr("--crf takes a whole number from 0 to %1 for %2, not '%3'")
                    .arg(maxCrf)
                    .arg(VideoFormat::codecName(options.format.codec), parser.value(crf_)));
    }
    if (parser.isSet(gap_)) {
        options.gap = wholeNumber(parser.value(gap_), 0, OutputOptions::kMaxGap);
        // An odd gap would leave the packed frame an odd size.
        if (!options.gap || *options.gap % 2 != 0)
            return Failed::failure(
                tr("--gap takes an even number of pixels from 0 to 256, not '%1'").arg(parser.value(gap_)));
    }
    if (Result<> searched = readRateSearch(parser, rateChosen, options); !searched)
        return searched.failure();
    return options;
}

Result<VideoFormat> OutputArguments::readFormat(const QCommandLineParser& parser, VideoFormat format) const {
    using Failed = Result<VideoFormat>;
    if (parser.isSet(codec_)) {
        const auto codec = VideoFormat::codecFromName(parser.value(codec_));
        if (!codec)
            return Failed::failure(
                tr("unknown codec '%1' (use h264, h265, av1 or vp9)").arg(parser.value(codec_)));
        format = VideoFormat::forCodec(*codec);
    }
    if (parser.isSet(container_)) {
        const auto container = VideoFormat::containerFromName(parser.value(container_));
        if (!container)
            return Failed::failure(
                tr("unknown container '%1' (use mp4 or webm)").arg(parser.value(container_)));
        format.container = *container;
    }
    if (!format.isValid())
        return Failed::failure(tr("%1 does not go in %2: H.264 and H.265 go in mp4, VP9 in webm, AV1 in "
                                  "either")
                                   .arg(VideoFormat::codecName(format.codec), format.extension()));
    return format;
}

Result<> OutputArguments::readRateSearch(const QCommandLineParser& parser, bool rateChosen,
                                         OutputOptions& options) const {
    const bool budget = parser.isSet(maxSize_);
    const bool target = parser.isSet(quality_);
    if (!budget && !target)
        return Result<>::success();
    if (budget && target)
        return Result<>::failure(tr("choose either --max-size or --quality, not both"));
    if (rateChosen || options.crf)
        return Result<>::failure(tr("--max-size and --quality choose the quality themselves: leave out "
                                    "--preset, --slider and --crf"));
    if (budget) {
        const std::optional<qint64> bytes = byteCount(parser.value(maxSize_));
        if (!bytes || *bytes <= 0)
            return Result<>::failure(
                tr("--max-size takes a size in bytes such as 250000, 500k or 1.5M, not '%1'")
                    .arg(parser.value(maxSize_)));
        options.maxBytes = *bytes;
        return Result<>::success();
    }
    bool ok = false;
    const double decibels = parser.value(quality_).trimmed().toDouble(&ok);
    if (!ok || decibels < OutputOptions::kLowestQualityTarget ||
        decibels > OutputOptions::kHighestQualityTarget)
        return Result<>::failure(tr("--quality takes a PSNR from %1 to %2 dB, such as 40, not '%3'")
                                     .arg(OutputOptions::kLowestQualityTarget)
                                     .arg(OutputOptions::kHighestQualityTarget)
                                     .arg(parser.value(quality_)));
    options.qualityTarget = decibels;
    return Result<>::success();
}

std::optional<qint64> OutputArguments::byteCount(const QString& text) {
    static const QRegularExpression size(QStringLiteral("^([0-9]{1,12})(\\.[0-9]{1,6})?\\s*([kKmM]?)$"));
    const QRegularExpressionMatch match = size.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const QString unit = match.captured(3).toLower();
    const double scale = unit.isEmpty() ? 1.0 : unit == QLatin1String("k") ? 1024.0 : 1024.0 * 1024.0;
    const double value = (match.captured(1) + match.captured(2)).toDouble() * scale;
    if (value > 1e15)
        return std::nullopt;
    return qint64(std::llround(value));
}

QString OutputArguments::helpText() {
    return tr("Layout, size, quality, codec and sound (all but --describe and --target need\n"
              "--express):\n"
              "      --layout LAYOUT  where the mask lies against the colour: mask-left (the\n"
              "                       default), mask-right, mask-top or mask-bottom; the two\n"
              "                       are exact halves of the video\n"
              "      --mask-size SIZE full (default) or half: the mask at half the width and\n"
              "                       height, each region on 16-pixel boundaries, 16 pixels\n"
              "                       apart; players find the regions in zev.json\n"
              "      --colour MODE    premultiplied (default: the colour laid onto black) or\n"
              "                       straight (the frame's own colour, carried smoothly\n"
              "                       over the fully transparent area around it, so that\n"
              "                       neither the codec nor a player pulls black into edges)\n"
              "      --fit N          scale the frames down, keeping their shape, until the\n"
              "                       packed video is at most N pixels on a side and no larger\n"
              "                       than an N x N*9/16 frame (--fit 1920: H.264 level 4.1,\n"
              "                       which phones decode)\n"
              "      --crf N          aim at the encoder's quality N instead of a bitrate, on\n"
              "                       its own scale: 0 (best) to 51 for h264 and h265, to 63\n"
              "                       for av1 and vp9; the bitrate reached is reported. The\n"
              "                       colour of x264's 18, 23 and 28 came, on the sample\n"
              "                       animation, at h265 20, 25, 30 (half the bytes), av1 31,\n"
              "                       41, 51 and vp9 28, 38, 47 (two fifths). A bitrate\n"
              "                       (--preset, --slider) is the average every codec aims at,\n"
              "                       so the newer codecs give a better picture at that rate\n"
              "      --gap N          N pixels (even, 0 to 256) of black between the two regions,\n"
              "                       which then start on 16-pixel boundaries\n"
              "      --codec CODEC    h264 (the default), h265 (MP4 tagged hvc1, for Safari;\n"
              "                       most other browsers and older Android play none), av1\n"
              "                       (MP4, or WebM with --container webm) or vp9 (WebM)\n"
              "      --container C    mp4 or webm, where the codec allows both (av1); the\n"
              "                       video is FOLDER/output/zev.mp4 or zev.webm, and the\n"
              "                       other one an earlier run left is removed\n"
              "      --audio FILE     mux the first sound stream of FILE as the video's one\n"
              "                       sound track (AAC in MP4, Opus in WebM), cut or padded\n"
              "                       with silence to the animation's length\n"
              "      --describe       write FOLDER/output/zev.json, the description of the\n"
              "                       regions, even for the default layout (any conversion);\n"
              "                       it is written whenever the layout, mask size, colour,\n"
              "                       gap, codec or sound is not the default, and removed\n"
              "                       otherwise\n"
              "      --max-size BYTES the finest quality whose video file is at most BYTES\n"
              "                       (250000, 500k or 1.5M; k is 1024 bytes, M 1024 k) and\n"
              "                       no more than 5 % under, found by a few trial encodes;\n"
              "                       refused, naming the smallest size possible, when even\n"
              "                       the coarsest quality does not fit\n"
              "      --quality DB     the smallest video whose mask PSNR and colour PSNR, as\n"
              "                       --check measures them, both reach DB (20 to 60; 40 is\n"
              "                       good, 45 very good), found by a few trial encodes\n"
              "      --target NAME    start from the choices of a target player (zev-cli\n"
              "                       --targets lists them): layout, mask size, alignment,\n"
              "                       colour, codec and the descriptions its players read;\n"
              "                       the options above still change them, and the run warns\n"
              "                       where the video then no longer fits the target\n");
}

} // namespace zev

#include "OutputArguments.h"

#include "output/PlayerTargets.h"

#include <QCommandLineParser>

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
    , target_(QStringLiteral("target"), QString(), QStringLiteral("NAME")) {}

QList<QCommandLineOption> OutputArguments::options() const {
    return {layout_, maskSize_, colour_, fit_, crf_, gap_, describe_, target_};
}

bool OutputArguments::anyExpressOnly(const QCommandLineParser& parser) const {
    for (const QCommandLineOption& option : {layout_, maskSize_, colour_, fit_, crf_, gap_})
        if (parser.isSet(option))
            return true;
    return false;
}

Result<OutputOptions> OutputArguments::read(const QCommandLineParser& parser, bool express,
                                            bool rateChosen) const {
    using Failed = Result<OutputOptions>;
    if (!express && anyExpressOnly(parser))
        return Failed::failure(tr("--layout, --mask-size, --colour, --fit, --crf and --gap need "
                                  "--express: the default conversion makes the default layout"));
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
        options.crf = wholeNumber(parser.value(crf_), 0, OutputOptions::kMaxCrf);
        if (!options.crf)
            return Failed::failure(
                tr("--crf takes a whole number from 0 to 51, not '%1'").arg(parser.value(crf_)));
    }
    if (parser.isSet(gap_)) {
        options.gap = wholeNumber(parser.value(gap_), 0, OutputOptions::kMaxGap);
        // An odd gap would leave the packed frame an odd size.
        if (!options.gap || *options.gap % 2 != 0)
            return Failed::failure(
                tr("--gap takes an even number of pixels from 0 to 256, not '%1'").arg(parser.value(gap_)));
    }
    return options;
}

QString OutputArguments::helpText() {
    return tr("Layout, size and quality (all but --describe and --target need --express):\n"
              "      --layout LAYOUT  where the mask lies against the colour: mask-left (the\n"
              "                       default), mask-right, mask-top or mask-bottom; the two\n"
              "                       are exact halves of the video\n"
              "      --mask-size SIZE full (default) or half: the mask at half the width and\n"
              "                       height, each region on 16-pixel boundaries, 16 pixels\n"
              "                       apart; players find the regions in zev.json\n"
              "      --colour MODE    premultiplied (default: the colour laid onto black) or\n"
              "                       straight (the frame's colour where it is not fully\n"
              "                       transparent, black where it is)\n"
              "      --fit N          scale the frames down, keeping their shape, until the\n"
              "                       packed video is at most N pixels on a side and no larger\n"
              "                       than an N x N*9/16 frame (--fit 1920: H.264 level 4.1,\n"
              "                       which phones decode)\n"
              "      --crf N          aim at x264's quality N (0 lossless to 51; 18, 23 and 28\n"
              "                       are common) instead of a bitrate; the bitrate reached is\n"
              "                       reported\n"
              "      --gap N          N pixels (even, 0 to 256) of black between the two regions,\n"
              "                       which then start on 16-pixel boundaries\n"
              "      --describe       write FOLDER/output/zev.json, the description of the\n"
              "                       regions, even for the default layout (any conversion);\n"
              "                       it is written whenever the layout, mask size, colour or\n"
              "                       gap is not the default, and removed otherwise\n"
              "      --target NAME    start from the choices of a target player (zev-cli\n"
              "                       --targets lists them): layout, mask size, alignment,\n"
              "                       colour, codec and the descriptions its players read;\n"
              "                       the options above still change them, and the run warns\n"
              "                       where the video then no longer fits the target\n");
}

} // namespace zev

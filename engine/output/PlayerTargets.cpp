#include "output/PlayerTargets.h"

namespace zev {

namespace {

using Layout = OutputOptions::Layout;
using MaskSize = OutputOptions::MaskSize;
using Codec = VideoFormat::Codec;
using Regions = PlayerTarget::Regions;
using ColourNeed = PlayerTarget::ColourNeed;

const QString kH264 = QStringLiteral("h264");
const QString kH265 = QStringLiteral("hevc");
const QString kAv1 = QStringLiteral("av1");
const QString kVp9 = QStringLiteral("vp9");
const QString kVp8 = QStringLiteral("vp8");
const QString kMp4 = QStringLiteral("mp4");
const QString kWebm = QStringLiteral("webm");

OutputOptions optionsFor(const QString& name, Layout layout, bool premultiplied, Codec codec) {
    OutputOptions options;
    options.layout = layout;
    options.premultiplied = premultiplied;
    options.format = VideoFormat::forCodec(codec);
    options.target = name;
    return options;
}

PlayerTarget defaultOutput() {
    PlayerTarget target;
    target.name = QStringLiteral("default");
    target.englishTitle =
        QT_TRANSLATE_NOOP("PlayerTarget", "Mask left, colour right: the default, for mobile players");
    target.options.target = target.name;
    target.codecs = {kH264, kH265};
    target.containers = {kMp4};
    target.regions = Regions::Halves;
    target.colour = ColourNeed::Premultiplied;
    target.largestSide = 1920;
    return target;
}

// Web components drawing with WebGL: colour exactly the top half, alpha
// exactly the bottom half; AV1 first, H.265 for Safari.
PlayerTarget stackedWeb(const QString& name, const char* title, Codec codec) {
    PlayerTarget target;
    target.name = name;
    target.englishTitle = title;
    target.options = optionsFor(name, Layout::MaskBottom, true, codec);
    target.codecs = {kAv1, kH265, kH264, kVp9};
    target.containers = {kMp4, kWebm};
    target.regions = Regions::Halves;
    target.colour = ColourNeed::Either;
    return target;
}

PlayerTarget stackedCanvas() {
    PlayerTarget target =
        stackedWeb(QStringLiteral("stacked-canvas"),
                   QT_TRANSLATE_NOOP("PlayerTarget", "Colour above, alpha below, straight: canvas players"),
                   Codec::H264);
    target.options.premultiplied = false;
    return target;
}

// Gift players reading the vapc box: colour at the top left, the alpha at
// half size to its right, each region on whole blocks with a border round
// them and a gap between.
PlayerTarget giftBox() {
    PlayerTarget target;
    target.name = QStringLiteral("gift-box");
    target.englishTitle =
        QT_TRANSLATE_NOOP("PlayerTarget", "Colour top left, half-size alpha right, vapc box: gift players");
    target.options = optionsFor(target.name, Layout::MaskRight, true, Codec::H264);
    target.options.maskSize = MaskSize::Half;
    target.options.border = PackedLayout::kBlock;
    target.options.players.vapcBox = true;
    target.options.players.vapcFile = true;
    target.codecs = {kH264, kH265};
    target.containers = {kMp4};
    target.regions = Regions::Described;
    target.colour = ColourNeed::Premultiplied;
    target.wholeBlocks = true;
    target.largestSide = 1504;
    return target;
}

// Gift players reading the marked metadata, which also take exact halves
// with the alpha on one side when told so: the default layout plays either way.
PlayerTarget giftMarked() {
    PlayerTarget target;
    target.name = QStringLiteral("gift-marked");
    target.englishTitle =
        QT_TRANSLATE_NOOP("PlayerTarget", "Mask left, colour right, marked metadata: gift players");
    target.options.target = target.name;
    target.options.players.markers = true;
    target.codecs = {kH264, kH265};
    target.containers = {kMp4};
    target.regions = Regions::DescribedOrHalves;
    target.colour = ColourNeed::Premultiplied;
    target.largestSide = 1504;
    return target;
}

// Visual-novel engines: the shader multiplies the colour by the mask, and
// they play no H.264.
PlayerTarget sideMask() {
    PlayerTarget target;
    target.name = QStringLiteral("side-mask");
    target.englishTitle = QT_TRANSLATE_NOOP(
        "PlayerTarget", "Colour left, mask right, straight, VP9 WebM: visual-novel engines");
    target.options = optionsFor(target.name, Layout::MaskRight, false, Codec::Vp9);
    target.codecs = {kVp9, kAv1, kVp8};
    target.containers = {kWebm};
    target.regions = Regions::Halves;
    target.colour = ColourNeed::Straight;
    return target;
}

// Game-engine video plugins (and AR toolkits): halves of whole blocks, each
// frame at the top left of its half, straight colour.
PlayerTarget gameEngine(const QString& name, const char* title, Layout layout) {
    PlayerTarget target;
    target.name = name;
    target.englishTitle = title;
    target.options = optionsFor(name, layout, false, Codec::H264);
    target.options.wholeBlocks = true;
    target.codecs = {kH264, kH265, kVp8, kVp9};
    target.containers = {kMp4, kWebm};
    target.regions = Regions::PaddedHalves;
    target.colour = ColourNeed::Straight;
    target.wholeBlocks = true;
    return target;
}

QList<PlayerTarget> makeTargets() {
    return {
        defaultOutput(),
        stackedWeb(QStringLiteral("stacked-web"),
                   QT_TRANSLATE_NOOP("PlayerTarget", "Colour above, alpha below, AV1: web components"),
                   Codec::Av1),
        stackedWeb(QStringLiteral("stacked-safari"),
                   QT_TRANSLATE_NOOP("PlayerTarget",
                                     "Colour above, alpha below, H.265 (hvc1): web components in Safari"),
                   Codec::H265),
        stackedCanvas(),
        giftBox(),
        giftMarked(),
        sideMask(),
        gameEngine(
            QStringLiteral("engine-side"),
            QT_TRANSLATE_NOOP("PlayerTarget",
                              "Colour left, mask right, straight, whole 16-pixel blocks: game engines, AR"),
            Layout::MaskRight),
        gameEngine(
            QStringLiteral("engine-stacked"),
            QT_TRANSLATE_NOOP("PlayerTarget",
                              "Colour above, mask below, straight, whole 16-pixel blocks: game engines, AR"),
            Layout::MaskBottom),
    };
}

} // namespace

const QList<PlayerTarget>& PlayerTargets::all() {
    static const QList<PlayerTarget> targets = makeTargets();
    return targets;
}

const PlayerTarget* PlayerTargets::find(const QString& name) {
    for (const PlayerTarget& target : all())
        if (target.name == name)
            return &target;
    return nullptr;
}

QStringList PlayerTargets::names() {
    QStringList names;
    for (const PlayerTarget& target : all())
        names.append(target.name);
    return names;
}

} // namespace zev

#include "tools/CodecLimits.h"

#include "tools/H264Level.h"

#include <QStringList>
#include <algorithm>
#include <cmath>
#include <span>

namespace zev {

namespace {

// One level of H.265, AV1 or VP9: the luma samples of a picture and of a
// second, each side's limit, and the bitrate.
struct Limits {
    const char* name;
    qint64 pictureSamples;
    qint64 samplesPerSecond;
    int maxWidth;
    int maxHeight;
    qint64 bitrateKbits;
};

// H.265 Main tier, Tables A.8 and A.9: MaxLumaPs, MaxLumaSr, MaxBR; each
// side at most sqrt(8 × MaxLumaPs). x265 chose these very levels for every
// size measured (128×48 to 7680×2160 at 25 frames a second).
// clang-format off
constexpr Limits kH265[] = {
    {"1.0", 36864, 552960, 543, 543, 128},
    {"2.0", 122880, 3686400, 991, 991, 1500},
    {"2.1", 245760, 7372800, 1402, 1402, 3000},
    {"3.0", 552960, 16588800, 2103, 2103, 6000},
    {"3.1", 983040, 33177600, 2804, 2804, 10000},
    {"4.0", 2228224, 66846720, 4222, 4222, 12000},
    {"4.1", 2228224, 133693440, 4222, 4222, 20000},
    {"5.0", 8912896, 267386880, 8444, 8444, 25000},
    {"5.1", 8912896, 534773760, 8444, 8444, 40000},
    {"5.2", 8912896, 1069547520, 8444, 8444, 60000},
    {"6.0", 35651584, 1069547520, 16888, 16888, 60000},
    {"6.1", 35651584, 2139095040, 16888, 16888, 120000},
    {"6.2", 35651584, 4278190080, 16888, 16888, 240000},
};
// clang-format on

// AV1 Annex A: MaxPicSize, MaxDisplayRate, MaxHSize, MaxVSize, the Main
// tier's bitrate. libaom chose these very levels for the same sizes.
// clang-format off
constexpr Limits kAv1[] = {
    {"2.0", 147456, 4423680, 2048, 1152, 1500},
    {"2.1", 278784, 8363520, 2816, 1584, 3000},
    {"3.0", 665856, 19975680, 4352, 2448, 6000},
    {"3.1", 1065024, 31950720, 5504, 3096, 10000},
    {"4.0", 2359296, 70778880, 6144, 3456, 12000},
    {"4.1", 2359296, 141557760, 6144, 3456, 20000},
    {"5.0", 8912896, 267386880, 8192, 4352, 30000},
    {"5.1", 8912896, 534773760, 8192, 4352, 40000},
    {"5.2", 8912896, 1069547520, 8192, 4352, 60000},
    {"6.0", 35651584, 1069547520, 16384, 8704, 60000},
    {"6.1", 35651584, 2139095040, 16384, 8704, 100000},
    {"6.2", 35651584, 4278190080, 16384, 8704, 160000},
};
// clang-format on

// VP9's levels (webmproject.org): max luma picture size, sample rate, width
// and height, bitrate. A VP9 stream names no level; decoders go by these.
// clang-format off
constexpr Limits kVp9[] = {
    {"1.0", 36864, 829440, 512, 512, 200},
    {"1.1", 73728, 2764800, 768, 768, 800},
    {"2.0", 122880, 4608000, 960, 960, 1800},
    {"2.1", 245760, 9216000, 1344, 1344, 3600},
    {"3.0", 552960, 20736000, 2048, 2048, 7200},
    {"3.1", 983040, 36864000, 2752, 2752, 12000},
    {"4.0", 2228224, 83558400, 4160, 4160, 18000},
    {"4.1", 2228224, 160432128, 4160, 4160, 30000},
    {"5.0", 8912896, 311951360, 8384, 8384, 60000},
    {"5.1", 8912896, 588251136, 8384, 8384, 120000},
    {"5.2", 8912896, 1176502272, 8384, 8384, 180000},
    {"6.0", 35651584, 1176502272, 16832, 16832, 180000},
    {"6.1", 35651584, 2353004544, 16832, 16832, 240000},
    {"6.2", 35651584, 4706009088, 16832, 16832, 480000},
};
// clang-format on

std::span<const Limits> tableOf(VideoFormat::Codec codec) {
    switch (codec) {
    case VideoFormat::Codec::H265:
        return kH265;
    case VideoFormat::Codec::Av1:
        return kAv1;
    case VideoFormat::Codec::Vp9:
        return kVp9;
    case VideoFormat::Codec::H264:
        break;
    }
    return {};
}

bool takes(const Limits& level, QSize size, double fps, qint64 bitrateKbits) {
    const qint64 samples = qint64(size.width()) * size.height();
    return samples <= level.pictureSamples && size.width() <= level.maxWidth &&
           size.height() <= level.maxHeight && double(samples) * fps <= double(level.samplesPerSecond) &&
           bitrateKbits <= level.bitrateKbits;
}

// The place of a level in its codec's table; -1 when none takes the size.
int levelIndex(VideoFormat::Codec codec, QSize size, double fps, qint64 bitrateKbits) {
    const std::span<const Limits> table = tableOf(codec);
    for (size_t i = 0; i < table.size(); ++i)
        if (takes(table[i], size, fps, bitrateKbits))
            return int(i);
    return -1;
}

int phoneLevelIndex(VideoFormat::Codec codec) {
    const std::span<const Limits> table = tableOf(codec);
    const auto found = std::find_if(table.begin(), table.end(), [](const Limits& level) {
        return QLatin1String(level.name) == QLatin1String("4.1");
    });
    return int(found - table.begin());
}

QString sizeText(QSize size) {
    return QStringLiteral("%1×%2").arg(size.width()).arg(size.height());
}

int evenAtLeastTwo(double value) {
    const int even = int(std::ceil(value / 2.0)) * 2;
    return even < 2 ? 2 : even;
}

QString codecTitle(VideoFormat::Codec codec) {
    switch (codec) {
    case VideoFormat::Codec::H265:
        return QStringLiteral("H.265");
    case VideoFormat::Codec::Av1:
        return QStringLiteral("AV1");
    case VideoFormat::Codec::Vp9:
        return QStringLiteral("VP9");
    case VideoFormat::Codec::H264:
        break;
    }
    return QStringLiteral("H.264");
}

} // namespace

std::optional<QString> CodecLimits::sizeRefusal(Codec codec, QSize packed, QSize frame) {
    const QString packs =
        tr("the frames are %1, which packs to %2 in this layout").arg(sizeText(frame), sizeText(packed));
    const bool evenOnly = codec == Codec::H264 || codec == Codec::H265;
    if (evenOnly && (packed.width() % 2 != 0 || packed.height() % 2 != 0))
        return tr("%1; %2 in yuv420p needs an even width and height (use frames of an even size, or --fit)")
            .arg(packs, codecTitle(codec));
    if (codec == Codec::H265 && (packed.width() < kH265SmallestSide || packed.height() < kH265SmallestSide))
        return tr("%1; the H.265 encoder (x265) takes no side under %2 pixels (use larger frames, or "
                  "another codec)")
            .arg(packs)
            .arg(kH265SmallestSide);
    return std::nullopt;
}

std::optional<QString> CodecLimits::level(Codec codec, QSize size, double fps, qint64 bitrateKbits) {
    if (codec == Codec::H264) {
        const std::optional<H264Level::Level> h264 = H264Level::needed(size, fps, bitrateKbits);
        return h264 ? std::optional<QString>(h264->name) : std::nullopt;
    }
    const int index = levelIndex(codec, size, fps, bitrateKbits);
    if (index < 0)
        return std::nullopt;
    return QString::fromLatin1(tableOf(codec)[size_t(index)].name);
}

bool CodecLimits::fitsPhones(Codec codec, QSize size, double fps, qint64 bitrateKbits) {
    if (codec == Codec::H264)
        return H264Level::fitsPhones(size, fps, bitrateKbits);
    if (size.width() > kPhoneLargestSide || size.height() > kPhoneLargestSide)
        return false;
    const int index = levelIndex(codec, size, fps, bitrateKbits);
    return index >= 0 && index <= phoneLevelIndex(codec);
}

std::optional<QString> CodecLimits::phoneWarning(Codec codec, QSize video, QSize frame, double fps,
                                                 qint64 bitrateKbits) {
    if (codec == Codec::H264)
        return H264Level::phoneWarning(video, frame, fps, bitrateKbits);
    if (fitsPhones(codec, video, fps, bitrateKbits))
        return std::nullopt;
    const std::optional<QString> needed = level(codec, video, fps, bitrateKbits);
    const QString warning =
        tr("The video is %1 pixels and needs %2 level %3: many phones' decoders refuse it (they stop at "
           "level 4.1, about 1920×1080, or at %4 pixels on a side).")
            .arg(sizeText(video), codecTitle(codec), needed.value_or(tr("beyond the highest")))
            .arg(kPhoneLargestSide);
    QStringList fits{
        tr("the half-size mask with a largest size (--mask-size half --fit %1)").arg(kPhoneLargestSide)};
    if (const QSize smaller = largestFittingFrame(codec, video, frame, fps, bitrateKbits);
        smaller.isValid()) {
        const QSize smallerVideo = videoFor(video, frame, smaller.width());
        fits.append(tr("frames of at most %1 (a %2 video, level %3)")
                        .arg(sizeText(smaller), sizeText(smallerVideo),
                             level(codec, smallerVideo, fps, bitrateKbits).value_or(QString())));
    }
    return tr("%1 What would fit: %2.").arg(warning, fits.join(tr(", or ")));
}

QSize CodecLimits::largestFittingFrame(Codec codec, QSize video, QSize frame, double fps,
                                       qint64 bitrateKbits) {
    if (codec == Codec::H264)
        return H264Level::largestFittingFrame(video, frame, fps, bitrateKbits);
    if (frame.isEmpty() || video.isEmpty())
        return QSize();
    for (int width = frame.width() - frame.width() % 2; width >= 2; width -= 2) {
        if (fitsPhones(codec, videoFor(video, frame, width), fps, bitrateKbits))
            return {width, evenAtLeastTwo(double(width) * frame.height() / frame.width())};
    }
    return QSize();
}

std::optional<QString> CodecLimits::playbackWarning(const VideoFormat& format) {
    if (format.codec != Codec::H265)
        return std::nullopt;
    return tr("H.265 plays in Safari and on Apple's devices, but not in most other browsers nor on older "
              "Android phones; for the web, add an AV1 or VP9 video, or use H.264.");
}

// The video a frame of frameWidth (and its shape's height) would make,
// scaled as video is from frame, rounded up to even sizes.
QSize CodecLimits::videoFor(QSize video, QSize frame, int frameWidth) {
    const double scale = double(frameWidth) / frame.width();
    const int height = evenAtLeastTwo(double(frameWidth) * frame.height() / frame.width());
    return {evenAtLeastTwo(video.width() * scale),
            evenAtLeastTwo(double(video.height()) * height / frame.height())};
}

} // namespace zev

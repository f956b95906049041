#include "tools/H264Level.h"

#include <QLocale>
#include <QStringList>
#include <cmath>

namespace zev {

namespace {

struct Limits {
    int idc;
    const char* name;
    qint64 macroblocksPerSecond;
    qint64 macroblocksPerFrame;
    qint64 bitrateKbits; // Baseline and Main; High allows 1.25 times as much
};

// Table A-1 of the H.264 standard: MaxMBPS, MaxFS and MaxBR of each level, in
// order.
constexpr Limits kLevels[] = {
    {10, "1.0", 1485, 99, 64},
    {9, "1b", 1485, 99, 128},
    {11, "1.1", 3000, 396, 192},
    {12, "1.2", 6000, 396, 384},
    {13, "1.3", 11880, 396, 768},
    {20, "2.0", 11880, 396, 2000},
    {21, "2.1", 19800, 792, 4000},
    {22, "2.2", 20250, 1620, 4000},
    {30, "3.0", 40500, 1620, 10000},
    {31, "3.1", 108000, 3600, 14000},
    {32, "3.2", 216000, 5120, 20000},
    {40, "4.0", 245760, 8192, 20000},
    {41, "4.1", 245760, 8192, 50000},
    {42, "4.2", 522240, 8704, 50000},
    {50, "5.0", 589824, 22080, 135000},
    {51, "5.1", 983040, 36864, 240000},
    {52, "5.2", 2073600, 36864, 240000},
    {60, "6.0", 4177920, 139264, 240000},
    {61, "6.1", 8355840, 139264, 480000},
    {62, "6.2", 16711680, 139264, 800000},
};

qint64 macroblocks(int pixels) {
    return (qint64(pixels) + 15) / 16;
}

bool takes(const Limits& level, QSize size, double fps, qint64 bitrateKbits) {
    const qint64 wide = macroblocks(size.width());
    const qint64 high = macroblocks(size.height());
    const qint64 perFrame = wide * high;
    // Neither side may exceed sqrt(8 × MaxFS) macroblocks.
    const qint64 sideSquared = 8 * level.macroblocksPerFrame;
    return perFrame <= level.macroblocksPerFrame && wide * wide <= sideSquared &&
           high * high <= sideSquared && double(perFrame) * fps <= double(level.macroblocksPerSecond) &&
           4 * bitrateKbits <= 5 * level.bitrateKbits;
}

QString sizeText(QSize size) {
    return QStringLiteral("%1×%2").arg(size.width()).arg(size.height());
}

int evenAtLeastTwo(double value) {
    const int even = int(std::ceil(value / 2.0)) * 2;
    return even < 2 ? 2 : even;
}

} // namespace

std::optional<H264Level::Level> H264Level::needed(QSize size, double fps, qint64 bitrateKbits) {
    for (const Limits& level : kLevels) {
        if (takes(level, size, fps, bitrateKbits))
            return Level{level.idc, QString::fromLatin1(level.name)};
    }
    return std::nullopt;
}

bool H264Level::fitsPhones(QSize size, double fps, qint64 bitrateKbits) {
    if (size.width() > kPhoneLargestSide || size.height() > kPhoneLargestSide)
        return false;
    const std::optional<Level> level = needed(size, fps, bitrateKbits);
    // 1b's idc (9) sorts below 1.0's; every other idc grows with the level.
    return level && level->idc <= kPhoneLevel;
}

std::optional<QString> H264Level::phoneWarning(QSize video, QSize frame, double fps, qint64 bitrateKbits) {
    if (fitsPhones(video, fps, bitrateKbits))
        return std::nullopt;
    const std::optional<Level> level = needed(video, fps, bitrateKbits);
    QString warning = tr("The video is %1 pixels and needs H.264 level %2: many phones' decoders refuse "
                         "it (they stop at level 4.1, %3 macroblocks a frame, about 1920×1080, or at %4 "
                         "pixels on a side).")
                          .arg(sizeText(video), level ? level->name : tr("beyond 6.2"),
                               QLocale(QLocale::English).toString(8192), QString::number(kPhoneLargestSide));
    QStringList fits{
        tr("the half-size mask with a largest size (--mask-size half --fit %1)").arg(kPhoneLargestSide)};
    if (const QSize smaller = largestFittingFrame(video, frame, fps, bitrateKbits); smaller.isValid()) {
        const QSize smallerVideo = videoFor(video, frame, smaller.width());
        fits.append(tr("frames of at most %1 (a %2 video, level %3)")
                        .arg(sizeText(smaller), sizeText(smallerVideo),
                             needed(smallerVideo, fps, bitrateKbits)->name));
    }
    return tr("%1 What would fit: %2.").arg(warning, fits.join(tr(", or ")));
}

QSize H264Level::largestFittingFrame(QSize video, QSize frame, double fps, qint64 bitrateKbits) {
    if (frame.isEmpty() || video.isEmpty())
        return QSize();
    for (int width = frame.width() - frame.width() % 2; width >= 2; width -= 2) {
        if (fitsPhones(videoFor(video, frame, width), fps, bitrateKbits))
            return {width, evenAtLeastTwo(double(width) * frame.height() / frame.width())};
    }
    return QSize();
}

// The video a frame of frameWidth (and its aspect's height) would make,
// scaled as video is from frame, rounded up to even sizes.
QSize H264Level::videoFor(QSize video, QSize frame, int frameWidth) {
    const double scale = double(frameWidth) / frame.width();
    const int height = evenAtLeastTwo(double(frameWidth) * frame.height() / frame.width());
    return {evenAtLeastTwo(video.width() * scale),
            evenAtLeastTwo(double(video.height()) * height / frame.height())};
}

} // namespace zev

#include "preview/FrameComparison.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace zev {

namespace {

inline int premultiplied(int channel, int alpha) {
    return (channel * alpha + 127) / 255;
}

// The largest difference of a pixel over alpha and premultiplied colour.
int largestDifference(const uchar* a, const uchar* b) {
    int largest = std::abs(int(a[3]) - int(b[3]));
    for (int channel = 0; channel < 3; ++channel)
        largest =
            std::max(largest, std::abs(premultiplied(a[channel], a[3]) - premultiplied(b[channel], b[3])));
    return largest;
}

bool sameSize(const RgbaFrame& a, const RgbaFrame& b) {
    return !a.isNull() && a.size() == b.size() && a.rgba.size() == b.rgba.size();
}

} // namespace

double FrameComparison::psnr(double meanSquaredError) {
    if (meanSquaredError <= 0)
        return std::numeric_limits<double>::infinity();
    return 10.0 * std::log10(255.0 * 255.0 / meanSquaredError);
}

namespace {

// Sums of the differences laid over a backdrop, each in 1/255 of a level
// so that they stay whole numbers.
struct CompositeSums {
    qint64 samples = 0;
    qint64 sum = 0;
    quint64 squares = 0;

    void add(qint64 difference) {
        ++samples;
        sum += difference;
        squares += quint64(difference * difference);
    }
    FrameComparison::Composite composite() const {
        if (samples == 0)
            return {};
        return {double(squares) / (255.0 * 255.0 * double(samples)), double(sum) / (255.0 * double(samples))};
    }
};

} // namespace

std::optional<FrameComparison> FrameComparison::compare(const RgbaFrame& decoded, const RgbaFrame& source) {
    if (!sameSize(decoded, source))
        return std::nullopt;
    quint64 maskSum = 0;
    quint64 colourSum = 0;
    CompositeSums overWhite;
    CompositeSums edgeOverWhite;
    CompositeSums edgeOverBlack;
    const qsizetype pixels = qsizetype(decoded.width) * decoded.height;
    const auto* a = reinterpret_cast<const uchar*>(decoded.rgba.constData());
    const auto* b = reinterpret_cast<const uchar*>(source.rgba.constData());
    for (qsizetype i = 0; i < pixels; ++i, a += 4, b += 4) {
        const int maskDelta = int(a[3]) - int(b[3]);
        maskSum += quint64(maskDelta * maskDelta);
        const bool edge = b[3] > 0 && b[3] < 255;
        for (int channel = 0; channel < 3; ++channel) {
            const int delta = premultiplied(a[channel], a[3]) - premultiplied(b[channel], b[3]);
            colourSum += quint64(delta * delta);
            // Over black a pixel shows colour × alpha; over white that plus
            // white × (1 − alpha).
            const qint64 overBlack = qint64(a[channel]) * a[3] - qint64(b[channel]) * b[3];
            const qint64 onWhite = overBlack - 255 * qint64(maskDelta);
            overWhite.add(onWhite);
            if (edge) {
                edgeOverWhite.add(onWhite);
                edgeOverBlack.add(overBlack);
            }
        }
    }
    FrameComparison comparison;
    comparison.maskMse = double(maskSum) / double(pixels);
    comparison.colourMse = double(colourSum) / double(pixels * 3);
    comparison.overWhiteMse = overWhite.composite().mse;
    comparison.pixels = pixels;
    comparison.edgePixels = edgeOverWhite.samples / 3;
    comparison.edgeOverWhite = edgeOverWhite.composite();
    comparison.edgeOverBlack = edgeOverBlack.composite();
    return comparison;
}

double FrameComparison::edgePsnr(const Composite& composite) const {
    if (edgePixels == 0)
        return std::numeric_limits<double>::quiet_NaN();
    return psnr(composite.mse);
}

RgbaFrame FrameComparison::differenceMap(const RgbaFrame& decoded, const RgbaFrame& source) {
    if (!sameSize(decoded, source))
        return {};
    RgbaFrame map = RgbaFrame::blank(decoded.width, decoded.height);
    for (int y = 0; y < map.height; ++y) {
        for (int x = 0; x < map.width; ++x) {
            // Each level of difference is twelve steps of heat, so the
            // codec's few levels show; 64 levels and more are white.
            const int heat = std::min(767, largestDifference(decoded.pixel(x, y), source.pixel(x, y)) * 12);
            uchar* out = map.pixel(x, y);
            out[0] = uchar(std::min(heat, 255));
            out[1] = uchar(std::clamp(heat - 256, 0, 255));
            out[2] = uchar(std::clamp(heat - 512, 0, 255));
            out[3] = 255;
        }
    }
    return map;
}

RgbaFrame FrameComparison::edgeMap(const RgbaFrame& decoded, const RgbaFrame& source) {
    if (!sameSize(decoded, source))
        return {};
    RgbaFrame map = RgbaFrame::blank(decoded.width, decoded.height);
    for (int y = 0; y < map.height; ++y) {
        for (int x = 0; x < map.width; ++x) {
            const uchar* a = decoded.pixel(x, y);
            const uchar* b = source.pixel(x, y);
            uchar* out = map.pixel(x, y);
            out[3] = 255;
            int error = 0;
            for (int channel = 0; channel < 3; ++channel) {
                const int onWhite = premultiplied(b[channel], b[3]) + 255 - b[3];
                // Faded to a quarter of its contrast: context, not content.
                out[channel] = uchar(192 + onWhite / 4);
                error +=
                    premultiplied(a[channel], a[3]) - int(a[3]) - premultiplied(b[channel], b[3]) + int(b[3]);
            }
            if (b[3] == 0 || b[3] == 255 || error == 0)
                continue;
            // The mean over the channels, 16 levels to full strength.
            const int strength = std::min(255, std::abs(error) * 255 / (3 * 16));
            const bool darker = error < 0;
            out[0] = uchar(darker ? 255 - strength : 255);
            out[1] = uchar(255 - strength);
            out[2] = uchar(darker ? 255 : 255 - strength);
        }
    }
    return map;
}

} // namespace zev

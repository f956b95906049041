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

std::optional<FrameComparison> FrameComparison::compare(const RgbaFrame& decoded, const RgbaFrame& source) {
    if (!sameSize(decoded, source))
        return std::nullopt;
    quint64 maskSum = 0;
    quint64 colourSum = 0;
    const qsizetype pixels = qsizetype(decoded.width) * decoded.height;
    const auto* a = reinterpret_cast<const uchar*>(decoded.rgba.constData());
    const auto* b = reinterpret_cast<const uchar*>(source.rgba.constData());
    for (qsizetype i = 0; i < pixels; ++i, a += 4, b += 4) {
        const int maskDelta = int(a[3]) - int(b[3]);
        maskSum += quint64(maskDelta * maskDelta);
        for (int channel = 0; channel < 3; ++channel) {
            const int delta = premultiplied(a[channel], a[3]) - premultiplied(b[channel], b[3]);
            colourSum += quint64(delta * delta);
        }
    }
    return FrameComparison{double(maskSum) / double(pixels), double(colourSum) / double(pixels * 3)};
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

} // namespace zev

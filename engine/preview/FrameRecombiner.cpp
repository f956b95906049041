#include "preview/FrameRecombiner.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace zev {

namespace {

// The mask is grey, so R, G and B carry the same value; weighing them like
// luma averages away the little colour noise the codec adds.
inline int maskValue(const uchar* pixel) {
    return (pixel[0] + 2 * pixel[1] + pixel[2] + 2) >> 2;
}

inline int blend(int first, int second, int weight) {
    return (first * (256 - weight) + second * weight + 128) >> 8;
}

} // namespace

FrameRecombiner::FrameRecombiner(VideoDescription description, Output output)
    : description_(std::move(description))
    , output_(output) {
    const QSize frame = description_.frameSize;
    maskX_ = axisFor(description_.maskRect.x(), description_.maskRect.width(), frame.width());
    maskY_ = axisFor(description_.maskRect.y(), description_.maskRect.height(), frame.height());
    colourX_ = axisFor(description_.colourRect.x(), description_.colourRect.width(), frame.width());
    colourY_ = axisFor(description_.colourRect.y(), description_.colourRect.height(), frame.height());
    unpremultiply_[0] = 0;
    for (quint32 alpha = 1; alpha < 256; ++alpha)
        unpremultiply_[alpha] = (255u * 65536u + alpha / 2) / alpha;
}

FrameRecombiner::Axis FrameRecombiner::axisFor(int regionStart, int regionLength, int frameLength) {
    Axis axis;
    axis.identity = regionLength == frameLength;
    axis.first.resize(std::max(frameLength, 0));
    axis.second.resize(axis.first.size());
    axis.weight.resize(axis.first.size());
    for (int i = 0; i < frameLength; ++i) {
        // The centre of output pixel i, in the region's pixels; clamped to
        // the centres of the region's first and last pixels.
        const double centre = (i + 0.5) * regionLength / frameLength - 0.5;
        const double clamped = std::clamp(centre, 0.0, double(regionLength - 1));
        const int lower = int(std::floor(clamped));
        axis.first[i] = regionStart + lower;
        axis.second[i] = regionStart + std::min(lower + 1, regionLength - 1);
        axis.weight[i] = int(std::lround((clamped - lower) * 256));
    }
    return axis;
}

RgbaFrame FrameRecombiner::recombine(const PackedFrame& packed) {
    const QRect bounds(0, 0, packed.width, packed.height);
    if (!bounds.contains(description_.maskRect) || !bounds.contains(description_.colourRect) ||
        packed.rgb.size() < PackedFrame::byteCount(packed.width, packed.height))
        return {};
    RgbaFrame frame = RgbaFrame::blank(description_.frameSize.width(), description_.frameSize.height());
    for (int y = 0; y < frame.height; ++y)
        recombineRow(packed, y, frame.pixel(0, y));
    return frame;
}

void FrameRecombiner::recombineRow(const PackedFrame& packed, int y, uchar* out) const {
    const int width = description_.frameSize.width();
    const bool straightSource = !description_.premultiplied;
    const bool wantStraight = output_ == Output::Straight;
    const bool argbWords = output_ == Output::PremultipliedArgb32;
    const bool direct = maskX_.identity && maskY_.identity && colourX_.identity && colourY_.identity;
    const uchar* maskRow = packed.pixel(description_.maskRect.x(), maskY_.first[y]);
    const uchar* colourRow = packed.pixel(description_.colourRect.x(), colourY_.first[y]);
    for (int x = 0; x < width; ++x, out += RgbaFrame::kBytesPerPixel) {
        int alpha;
        int rgb[3];
        if (direct) {
            alpha = maskValue(maskRow + std::ptrdiff_t{x} * PackedFrame::kBytesPerPixel);
            const uchar* colour = colourRow + std::ptrdiff_t{x} * PackedFrame::kBytesPerPixel;
            rgb[0] = colour[0];
            rgb[1] = colour[1];
            rgb[2] = colour[2];
        } else {
            alpha = maskAt(packed, x, y);
            colourAt(packed, x, y, rgb);
        }
        for (int& channel : rgb) {
            if (straightSource == wantStraight)
                // Premultiplied colour never exceeds its alpha; codec noise
                // can push it over, which a premultiplied blend would show
                // as a bright fringe.
                channel = wantStraight ? channel : std::min(channel, alpha);
            else if (wantStraight)
                channel = int(std::min<quint32>(255u, (channel * unpremultiply_[alpha] + 32768u) >> 16));
            else
                channel = (channel * alpha + 127) / 255;
        }
        if (wantStraight && alpha == 0)
            rgb[0] = rgb[1] = rgb[2] = 0;
        if (argbWords) {
            const quint32 word =
                quint32(alpha) << 24 | quint32(rgb[0]) << 16 | quint32(rgb[1]) << 8 | quint32(rgb[2]);
            std::memcpy(out, &word, sizeof word);
            continue;
        }
        out[0] = uchar(rgb[0]);
        out[1] = uchar(rgb[1]);
        out[2] = uchar(rgb[2]);
        out[3] = uchar(alpha);
    }
}

int FrameRecombiner::maskAt(const PackedFrame& packed, int x, int y) const {
    const int top = blend(maskValue(packed.pixel(maskX_.first[x], maskY_.first[y])),
                          maskValue(packed.pixel(maskX_.second[x], maskY_.first[y])), maskX_.weight[x]);
    const int bottom = blend(maskValue(packed.pixel(maskX_.first[x], maskY_.second[y])),
                             maskValue(packed.pixel(maskX_.second[x], maskY_.second[y])), maskX_.weight[x]);
    return blend(top, bottom, maskY_.weight[y]);
}

void FrameRecombiner::colourAt(const PackedFrame& packed, int x, int y, int rgb[3]) const {
    const uchar* topLeft = packed.pixel(colourX_.first[x], colourY_.first[y]);
    const uchar* topRight = packed.pixel(colourX_.second[x], colourY_.first[y]);
    const uchar* bottomLeft = packed.pixel(colourX_.first[x], colourY_.second[y]);
    const uchar* bottomRight = packed.pixel(colourX_.second[x], colourY_.second[y]);
    for (int channel = 0; channel < 3; ++channel) {
        const int top = blend(topLeft[channel], topRight[channel], colourX_.weight[x]);
        const int bottom = blend(bottomLeft[channel], bottomRight[channel], colourX_.weight[x]);
        rgb[channel] = blend(top, bottom, colourY_.weight[y]);
    }
}

} // namespace zev

#include "output/PackedLayout.h"

#include <algorithm>
#include <cmath>

namespace zev {

namespace {

int roundUp(int value, int step) {
    return (value + step - 1) / step * step;
}

QSize halfOf(QSize frame) {
    return {roundUp((frame.width() + 1) / 2, 2), roundUp((frame.height() + 1) / 2, 2)};
}

bool isSideBySide(OutputOptions::Layout layout) {
    return layout == OutputOptions::Layout::MaskLeft || layout == OutputOptions::Layout::MaskRight;
}

bool maskComesFirst(OutputOptions::Layout layout) {
    return layout == OutputOptions::Layout::MaskLeft || layout == OutputOptions::Layout::MaskTop;
}

// The frame size at a given height, keeping the source's aspect, both sides even.
QSize scaledToHeight(QSize source, int height) {
    const int width =
        std::max(2, 2 * int(std::lround(double(source.width()) * height / source.height() / 2.0)));
    return {width, height};
}

} // namespace

PackedLayout PackedLayout::plan(QSize source, const OutputOptions& options) {
    PackedLayout layout = place(source, options);
    if (options.fit <= 0 || fits(layout.packed, options.fit))
        return layout;
    for (int height = (source.height() - 1) / 2 * 2; height >= 2; height -= 2) {
        layout = place(scaledToHeight(source, height), options);
        if (fits(layout.packed, options.fit))
            break;
    }
    layout.source = source;
    return layout;
}

PackedLayout PackedLayout::place(QSize frame, const OutputOptions& options) {
    PackedLayout layout;
    layout.source = frame;
    layout.frame = frame;
    const bool half = options.maskSize == OutputOptions::MaskSize::Half;
    const QSize mask = half ? halfOf(frame) : frame;
    layout.gap = options.gap.value_or(half ? OutputOptions::kHalfMaskGap : 0);
    const bool aligned = half || layout.gap > 0 || options.border > 0 || options.wholeBlocks;
    const int border = aligned ? roundUp(options.border, kBlock) : 0;

    const bool sideBySide = isSideBySide(options.layout);
    const QSize first = maskComesFirst(options.layout) ? mask : frame;
    const QSize second = maskComesFirst(options.layout) ? frame : mask;
    const int firstLength = sideBySide ? first.width() : first.height();
    int offset = border + firstLength + layout.gap;
    if (aligned)
        offset = roundUp(offset, kBlock);
    layout.gap = offset - border - firstLength;
    const QPoint firstAt(border, border);
    const QPoint secondAt = sideBySide ? QPoint(offset, border) : QPoint(border, offset);

    layout.packed =
        sideBySide
            ? QSize(offset + second.width() + border, 2 * border + std::max(first.height(), second.height()))
            : QSize(2 * border + std::max(first.width(), second.width()), offset + second.height() + border);
    if (aligned)
        layout.packed =
            QSize(roundUp(layout.packed.width(), kBlock), roundUp(layout.packed.height(), kBlock));
    layout.maskRect = maskComesFirst(options.layout) ? QRect(firstAt, mask) : QRect(secondAt, mask);
    layout.colourRect = maskComesFirst(options.layout) ? QRect(secondAt, frame) : QRect(firstAt, frame);
    return layout;
}

bool PackedLayout::fits(QSize packed, int fit) {
    const int budget = macroblocks(QSize(fit, roundUp(fit * 9, kBlock) / kBlock));
    return packed.width() <= fit && packed.height() <= fit && macroblocks(packed) <= budget;
}

int PackedLayout::macroblocks(QSize size) {
    return roundUp(size.width(), kBlock) / kBlock * (roundUp(size.height(), kBlock) / kBlock);
}

bool PackedLayout::exactHalves() const {
    return gap == 0 && maskRect.size() == colourRect.size() && !maskRect.intersects(colourRect) &&
           packed == maskRect.united(colourRect).size();
}

VideoDescription PackedLayout::describe(const OutputOptions& options) const {
    VideoDescription description;
    description.packedSize = packed;
    description.sourceSize = source;
    description.frameSize = frame;
    description.layout = options.layout;
    description.maskSize = options.maskSize;
    description.gap = gap;
    description.colourRect = colourRect;
    description.maskRect = maskRect;
    description.premultiplied = options.premultiplied;
    return description;
}

} // namespace zev

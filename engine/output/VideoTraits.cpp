#include "output/VideoTraits.h"

namespace zev {

namespace {

QString sampleEntry(VideoFormat::Codec codec) {
    switch (codec) {
    case VideoFormat::Codec::H264:
        return QStringLiteral("avc1");
    case VideoFormat::Codec::H265:
        return QStringLiteral("hvc1");
    case VideoFormat::Codec::Av1:
        return QStringLiteral("av01");
    case VideoFormat::Codec::Vp9:
        return QStringLiteral("vp09");
    }
    return {};
}

} // namespace

VideoTraits VideoTraits::planned(const PackedLayout& layout, const OutputOptions& options) {
    VideoTraits traits;
    traits.codec = options.format.probedCodecName();
    const bool mp4 = options.format.container == VideoFormat::Container::Mp4;
    if (mp4)
        traits.codecTag = sampleEntry(options.format.codec);
    traits.container = options.format.extension();
    traits.packed = layout.packed;
    traits.colourRect = layout.colourRect;
    traits.maskRect = layout.maskRect;
    traits.premultiplied = options.premultiplied;
    traits.descriptions = options.players;
    // Nothing but an MP4 file holds the boxes and the metadata.
    traits.descriptions.vapcBox = options.players.vapcBox && mp4;
    traits.descriptions.markers = options.players.markers && mp4;
    return traits;
}

} // namespace zev

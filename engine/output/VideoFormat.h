#pragma once

#include <QString>
#include <optional>

namespace zev {

// The codec and the container of the written video. The default is the
// specified video: H.264 in an MP4 file named zev.mp4.
struct VideoFormat {
    enum class Codec { H264, H265, Av1, Vp9 };
    enum class Container { Mp4, Webm };

    Codec codec = Codec::H264;
    Container container = Container::Mp4;

    // "h264", "h265", "av1", "vp9", as the command line names them.
    static QString codecName(Codec codec);
    static std::optional<Codec> codecFromName(const QString& name);
    // "mp4", "webm".
    static QString containerName(Container container);
    static std::optional<Container> containerFromName(const QString& name);
    // The container a codec goes in unless one is asked for: WebM for VP9,
    // MP4 for the others.
    static Container defaultContainer(Codec codec);
    static VideoFormat forCodec(Codec codec) { return {codec, defaultContainer(codec)}; }

    // The top of a codec's CRF scale, its encoder's own: 0 is the best
    // quality, 51 the coarsest for x264 and x265, 63 for libaom and libvpx.
    static int maxCrf(Codec codec);

    // Whether the container can hold the codec: H.264 and H.265 in MP4 only,
    // VP9 in WebM only, AV1 in either.
    bool isValid() const;
    // The codec as ffprobe names it ("hevc" for H.265).
    QString probedCodecName() const;
    // The MP4 sample entry players look for: "avc1", "hvc1" (Safari plays
    // no H.265 tagged "hev1"), "av01"; "vp09" for VP9, which ZEV keeps in WebM.
    QString sampleEntry() const;
    // "mp4" or "webm".
    QString extension() const { return containerName(container); }

    bool operator==(const VideoFormat&) const = default;
};

} // namespace zev

#include "output/VideoFormat.h"

#include <array>
#include <utility>

namespace zev {

namespace {

const std::array<std::pair<VideoFormat::Codec, const char*>, 4> kCodecNames{{
    {VideoFormat::Codec::H264, "h264"},
    {VideoFormat::Codec::H265, "h265"},
    {VideoFormat::Codec::Av1, "av1"},
    {VideoFormat::Codec::Vp9, "vp9"},
}};

} // namespace

QString VideoFormat::codecName(Codec codec) {
    for (const auto& [value, name] : kCodecNames)
        if (value == codec)
            return QString::fromLatin1(name);
    return {};
}

std::optional<VideoFormat::Codec> VideoFormat::codecFromName(const QString& name) {
    for (const auto& [value, text] : kCodecNames)
        if (name == QLatin1String(text))
            return value;
    return std::nullopt;
}

QString VideoFormat::containerName(Container container) {
    return container == Container::Webm ? QStringLiteral("webm") : QStringLiteral("mp4");
}

std::optional<VideoFormat::Container> VideoFormat::containerFromName(const QString& name) {
    if (name == QLatin1String("mp4"))
        return Container::Mp4;
    if (name == QLatin1String("webm"))
        return Container::Webm;
    return std::nullopt;
}

VideoFormat::Container VideoFormat::defaultContainer(Codec codec) {
    return codec == Codec::Vp9 ? Container::Webm : Container::Mp4;
}

int VideoFormat::maxCrf(Codec codec) {
    return codec == Codec::Av1 || codec == Codec::Vp9 ? 63 : 51;
}

bool VideoFormat::isValid() const {
    switch (codec) {
    case Codec::H264:
    case Codec::H265:
        return container == Container::Mp4;
    case Codec::Vp9:
        return container == Container::Webm;
    case Codec::Av1:
        return true;
    }
    return false;
}

QString VideoFormat::probedCodecName() const {
    return codec == Codec::H265 ? QStringLiteral("hevc") : codecName(codec);
}

QString VideoFormat::sampleEntry() const {
    switch (codec) {
    case Codec::H264:
        break;
    case Codec::H265:
        return QStringLiteral("hvc1");
    case Codec::Av1:
        return QStringLiteral("av01");
    case Codec::Vp9:
        return QStringLiteral("vp09");
    }
    return QStringLiteral("avc1");
}

} // namespace zev

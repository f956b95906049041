#include "tools/VideoVerifier.h"

#include "tools/Mp4Boxes.h"
#include "tools/VideoProbe.h"
#include "tools/WebmElements.h"

#include <QStringList>
#include <cmath>
#include <cstdlib>

namespace zev {

namespace {

QString frames(qint64 count) {
    return count == 1 ? VideoVerifier::tr("1 frame") : VideoVerifier::tr("%1 frames").arg(count);
}

QString orUnknown(const QString& text) {
    return text.isEmpty() ? QStringLiteral("unknown") : text;
}

QString expectedStreams(const ExpectedVideo& expected) {
    return expected.audioStreams > 0 ? VideoVerifier::tr("expected one video stream and one sound stream")
                                     : VideoVerifier::tr("expected one video stream");
}

QString reasonAgainstStreams(const VideoFacts& facts, const ExpectedVideo& expected) {
    if (facts.streams.isEmpty())
        return VideoVerifier::tr("the video has no streams, %1").arg(expectedStreams(expected));
    const int wanted = 1 + expected.audioStreams;
    const bool rightKinds = facts.count(QStringLiteral("video")) == 1 &&
                            facts.count(QStringLiteral("audio")) == expected.audioStreams;
    if (facts.streams.size() == wanted && rightKinds)
        return QString();
    if (facts.streams.size() == 1)
        return VideoVerifier::tr("the video's only stream is %1, %2")
            .arg(orUnknown(facts.streams.first().type), expectedStreams(expected));
    QStringList types;
    for (const VideoFacts::Stream& stream : facts.streams)
        types.append(orUnknown(stream.type));
    return VideoVerifier::tr("the video has %1 streams (%2), %3")
        .arg(facts.streams.size())
        .arg(types.join(QStringLiteral(", ")), expectedStreams(expected));
}

QString reasonAgainstContainer(const VideoFacts& facts, const ExpectedVideo& expected) {
    const bool webm = expected.container == VideoFormat::Container::Webm;
    if (webm ? facts.isWebm() : facts.isMp4())
        return QString();
    return VideoVerifier::tr("the video's container is %1, expected %2")
        .arg(orUnknown(facts.formatName), VideoFormat::containerName(expected.container));
}

QString reasonAgainstSound(const VideoFacts& facts, const ExpectedVideo& expected) {
    if (expected.audioStreams == 0 || expected.audioCodec.isEmpty())
        return QString();
    for (const VideoFacts::Stream& stream : facts.streams) {
        if (!stream.isAudio())
            continue;
        if (stream.codec != expected.audioCodec)
            return VideoVerifier::tr("the sound's codec is %1, expected %2")
                .arg(orUnknown(stream.codec), expected.audioCodec);
        if (std::abs(stream.durationSeconds - expected.soundSeconds) > VideoVerifier::kSoundTolerance)
            return VideoVerifier::tr("the sound lasts %1 s, expected %2 s, the animation's length")
                .arg(stream.durationSeconds, 0, 'f', 3)
                .arg(expected.soundSeconds, 0, 'f', 3);
    }
    return QString();
}

QString reasonAgainst(const VideoFacts& facts, const ExpectedVideo& expected) {
    if (const QString streams = reasonAgainstStreams(facts, expected); !streams.isEmpty())
        return streams;
    if (const QString container = reasonAgainstContainer(facts, expected); !container.isEmpty())
        return container;
    const VideoFacts::Stream& video = facts.video();
    if (video.codec != expected.codec)
        return VideoVerifier::tr("the video's codec is %1, expected %2")
            .arg(orUnknown(video.codec), expected.codec);
    if (!expected.codecTag.isEmpty() && video.codecTag != expected.codecTag)
        return VideoVerifier::tr("the video's sample entry is %1, expected %2")
            .arg(orUnknown(video.codecTag), expected.codecTag);
    const QString expectedSize = QStringLiteral("%1×%2").arg(expected.width).arg(expected.height);
    if (video.size.isEmpty())
        return VideoVerifier::tr("the video's size is unknown, expected %1").arg(expectedSize);
    if (video.size != QSize(expected.width, expected.height))
        return VideoVerifier::tr("the video is %1×%2, expected %3")
            .arg(video.size.width())
            .arg(video.size.height())
            .arg(expectedSize);
    if (video.pixelFormat != expected.pixelFormat)
        return VideoVerifier::tr("the video's pixel format is %1, expected %2")
            .arg(orUnknown(video.pixelFormat), expected.pixelFormat);
    if (video.packets <= 0)
        return VideoVerifier::tr("the video's frame count is unknown, expected %1").arg(expected.frames);
    if (std::llabs(video.packets - expected.frames) > VideoVerifier::kFrameTolerance)
        return VideoVerifier::tr("the video has %1, expected %2")
            .arg(frames(video.packets))
            .arg(expected.frames);
    if (video.colour != expected.colour)
        return VideoVerifier::tr("the video's colour description (range/matrix/primaries/transfer) is %1, "
                                 "expected %2")
            .arg(video.colour.text(), expected.colour.text());
    return reasonAgainstSound(facts, expected);
}

} // namespace

ExpectedVideo ExpectedVideo::of(const VideoFormat& format, int width, int height, qint64 frames) {
    ExpectedVideo expected{width, height, frames};
    expected.codec = format.probedCodecName();
    expected.container = format.container;
    if (format.container == VideoFormat::Container::Mp4)
        expected.codecTag = format.sampleEntry();
    return expected;
}

ExpectedVideo ExpectedVideo::withSound(const QString& soundCodec, double seconds) const {
    ExpectedVideo expected = *this;
    expected.audioStreams = 1;
    expected.audioCodec = soundCodec;
    expected.soundSeconds = seconds;
    return expected;
}

Result<VideoFacts> VideoVerifier::verify(const QString& ffprobePath, const QString& videoPath,
                                         const ExpectedVideo& expected, const ToolRunOptions& options) {
    Result<VideoFacts> facts = VideoProbe::probe(ffprobePath, videoPath, options);
    if (!facts)
        return facts;
    if (Result<> checked = check(*facts, expected); !checked)
        return checked.failure();
    const bool indexLeads = facts->isWebm() ? WebmElements::cuesLead(videoPath)
                                            : !facts->isMp4() || Mp4Boxes::indexLeads(videoPath);
    if (!indexLeads)
        return Result<VideoFacts>::failure(tr("the index of %1 comes after its frames").arg(videoPath));
    return facts;
}

Result<> VideoVerifier::check(const VideoFacts& facts, const ExpectedVideo& expected) {
    const QString reason = reasonAgainst(facts, expected);
    if (reason.isEmpty())
        return Result<>::success();
    return Result<>::failure(reason, describeStreams(facts));
}

QString VideoVerifier::describeStreams(const VideoFacts& facts) {
    QStringList lines;
    for (const VideoFacts::Stream& stream : facts.streams) {
        QString line = QStringLiteral("stream %1: %2 %3")
                           .arg(stream.index)
                           .arg(orUnknown(stream.type), orUnknown(stream.codec));
        if (stream.isVideo())
            line += QStringLiteral(" %1×%2 %3, %4 frames, %5")
                        .arg(stream.size.width())
                        .arg(stream.size.height())
                        .arg(orUnknown(stream.pixelFormat))
                        .arg(stream.packets)
                        .arg(stream.colour.text());
        lines.append(line);
    }
    return lines.join(u'\n');
}

} // namespace zev

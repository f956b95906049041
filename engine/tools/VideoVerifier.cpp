#include "tools/VideoVerifier.h"

#include "tools/Mp4Boxes.h"
#include "tools/VideoProbe.h"

#include <QStringList>
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

QString reasonAgainst(const VideoFacts& facts, const ExpectedVideo& expected) {
    if (const QString streams = reasonAgainstStreams(facts, expected); !streams.isEmpty())
        return streams;
    const VideoFacts::Stream& video = facts.video();
    if (video.codec != expected.codec)
        return VideoVerifier::tr("the video's codec is %1, expected %2")
            .arg(orUnknown(video.codec), expected.codec);
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
    return QString();
}

} // namespace

Result<VideoFacts> VideoVerifier::verify(const QString& ffprobePath, const QString& videoPath,
                                         const ExpectedVideo& expected, const ToolRunOptions& options) {
    Result<VideoFacts> facts = VideoProbe::probe(ffprobePath, videoPath, options);
    if (!facts)
        return facts;
    if (Result<> checked = check(*facts, expected); !checked)
        return checked.failure();
    if (facts->isMp4() && !Mp4Boxes::indexLeads(videoPath))
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

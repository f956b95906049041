#include "preview/VideoExaminer.h"

#include "output/PlayerTargets.h"
#include "output/VideoDescription.h"
#include "preview/ColourModeGuess.h"
#include "preview/PackedVideo.h"
#include "preview/PackedVideoDecoder.h"
#include "tools/EmbeddedDescriptions.h"
#include "tools/Mp4Boxes.h"
#include "tools/VideoProbe.h"

#include <QFile>
#include <QFileInfo>

namespace zev {

namespace {

using Described = VideoExamination::Described;

const QString kZevJson = QStringLiteral("zev.json");
const QString kVapcBox = QStringLiteral("vapc box");
const QString kMarked = QStringLiteral("marked metadata");
const QString kVapcFile = QStringLiteral("vapc.json");

constexpr qint64 kMaxBesideBytes = 1 << 20;

Described unreadable(const QString& source, const QString& problem) {
    Described described;
    described.source = source;
    described.problem = problem;
    return described;
}

Described fromVapc(const QString& source, const Result<VapcDescription>& read) {
    if (!read)
        return unreadable(source, read.reason());
    Described described{source,          true,         {},        read->videoSize, read->colourRect,
                        read->alphaRect, read->frames, read->fps, std::nullopt};
    return described;
}

std::optional<QByteArray> besideBytes(const QString& path) {
    QFile file(path);
    if (!file.exists() || file.size() > kMaxBesideBytes || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

// zev.json beside the video, when it describes this video.
std::optional<Described> zevJson(const QString& videoPath) {
    const std::optional<QByteArray> bytes = besideBytes(VideoDescription::pathBeside(videoPath));
    if (!bytes)
        return std::nullopt;
    const Result<VideoDescription> read = VideoDescription::fromJson(*bytes);
    if (!read)
        return unreadable(kZevJson, read.reason());
    if (read->video != QFileInfo(videoPath).fileName())
        return std::nullopt;
    return Described{kZevJson,           true,           {},           read->packedSize,
                     read->colourRect,   read->maskRect, read->frames, int(read->outputFps),
                     read->premultiplied};
}

QList<Described> findDescriptions(const QString& videoPath, const VideoFacts& facts) {
    QList<Described> found;
    if (std::optional<Described> own = zevJson(videoPath))
        found.append(*own);
    if (facts.isMp4()) {
        const EmbeddedDescriptions::Found embedded = EmbeddedDescriptions::read(videoPath);
        if (embedded.vapc)
            found.append(fromVapc(kVapcBox, *embedded.vapc));
        else if (embedded.vapcMisplaced)
            found.append(unreadable(kVapcBox, VideoExaminer::tr("a vapc box, but not right after ftyp")));
        if (embedded.marked) {
            const Result<MarkedDescription>& marked = *embedded.marked;
            found.append(marked ? Described{kMarked,
                                            true,
                                            {},
                                            marked->videoSize,
                                            marked->colourRect,
                                            marked->alphaRect,
                                            0,
                                            marked->fps,
                                            std::nullopt}
                                : unreadable(kMarked, marked.reason()));
        }
    }
    if (const std::optional<QByteArray> bytes = besideBytes(VapcDescription::pathBeside(videoPath)))
        found.append(fromVapc(kVapcFile, VapcDescription::fromJson(*bytes)));
    return found;
}

// A description that does not fit the video misleads its players.
void checkAgreement(VideoExamination& inspection) {
    const VideoFacts& facts = inspection.facts;
    for (Described& described : inspection.descriptions) {
        if (!described.ok)
            continue;
        if (described.packed != facts.size()) {
            described.ok = false;
            described.problem = VideoExaminer::tr("it describes a %1×%2 video; the video is %3×%4")
                                    .arg(described.packed.width())
                                    .arg(described.packed.height())
                                    .arg(facts.size().width())
                                    .arg(facts.size().height());
            inspection.disagreements.append(described.source + QStringLiteral(": ") + described.problem);
        } else if (described.frames > 0 && std::abs(described.frames - facts.frames()) > 1) {
            inspection.disagreements.append(VideoExaminer::tr("%1 counts %2 frames; the video has %3")
                                                .arg(described.source)
                                                .arg(described.frames)
                                                .arg(facts.frames()));
        }
    }
    const Described* first = nullptr;
    for (const Described& described : inspection.descriptions) {
        if (!described.ok)
            continue;
        if (!first)
            first = &described;
        else if (described.colourRect != first->colourRect || described.maskRect != first->maskRect)
            inspection.disagreements.append(VideoExaminer::tr("%1 and %2 place the regions differently")
                                                .arg(first->source, described.source));
    }
    if (first) {
        inspection.regionsFrom = first->source;
        inspection.colourRect = first->colourRect;
        inspection.maskRect = first->maskRect;
    } else {
        const VideoDescription halves =
            VideoDescription::defaultFor(QSize(facts.size().width() / 2, facts.size().height()));
        inspection.colourRect = halves.colourRect;
        inspection.maskRect = halves.maskRect;
    }
}

void guessColourMode(VideoExamination& inspection, const QString& ffmpegPath,
                     const Cancellation* cancellation) {
    for (const Described& described : std::as_const(inspection.descriptions)) {
        if (described.ok && described.premultiplied) {
            inspection.premultiplied = described.premultiplied;
            inspection.colourModeFrom = described.source;
            return;
        }
    }
    PackedVideoDecoder::Request request;
    request.ffmpegPath = ffmpegPath;
    request.videoPath = inspection.path;
    request.packedSize = inspection.facts.size();
    request.framesPerSecond = inspection.facts.framesPerSecond();
    request.cancellation = cancellation;
    PackedVideoDecoder decoder(request);
    if (!decoder.start())
        return;
    ColourModeGuess guess;
    for (int i = 0; i < VideoExaminer::kFramesForColourMode; ++i) {
        const Result<std::optional<PackedFrame>> frame = decoder.next();
        if (!frame || !frame->has_value())
            break;
        guess.add(**frame, inspection.colourRect, inspection.maskRect);
    }
    decoder.stop();
    switch (guess.mode()) {
    case ColourModeGuess::Mode::Premultiplied:
    case ColourModeGuess::Mode::Straight:
        inspection.premultiplied = guess.mode() == ColourModeGuess::Mode::Premultiplied;
        inspection.colourModeFrom = QStringLiteral("pixels");
        return;
    case ColourModeGuess::Mode::NotShown:
        inspection.colourModeShows = false;
        inspection.colourModeFrom = QStringLiteral("pixels");
        return;
    case ColourModeGuess::Mode::Unknown:
        return;
    }
}

bool found(const VideoExamination& inspection, const QString& source) {
    for (const Described& described : inspection.descriptions)
        if (described.source == source && described.ok)
            return true;
    return false;
}

} // namespace

Result<VideoExamination> VideoExaminer::inspect(const QString& ffprobePath, const QString& ffmpegPath,
                                                const QString& videoPath, const Cancellation* cancellation) {
    ToolRunOptions options;
    options.cancellation = cancellation;
    Result<VideoFacts> facts = VideoProbe::probe(ffprobePath, videoPath, options);
    if (!facts)
        return facts.failure();
    if (Result<> playable = PackedVideo::playableVideo(*facts); !playable)
        return playable.failure();
    VideoExamination inspection;
    inspection.path = videoPath;
    inspection.facts = *facts;
    inspection.indexFirst = facts->isMp4() && Mp4Boxes::indexLeads(videoPath);
    inspection.descriptions = findDescriptions(videoPath, *facts);
    checkAgreement(inspection);
    guessColourMode(inspection, ffmpegPath, cancellation);
    const VideoTraits traits = traitsOf(inspection);
    for (const PlayerTarget& target : PlayerTargets::all())
        inspection.targets.append({target.name, target.title(), target.check(traits)});
    return inspection;
}

VideoTraits VideoExaminer::traitsOf(const VideoExamination& inspection) {
    const VideoFacts& facts = inspection.facts;
    VideoTraits traits;
    traits.codec = facts.video().codec;
    traits.codecTag = facts.video().codecTag;
    traits.container = facts.isMp4()    ? QStringLiteral("mp4")
                       : facts.isWebm() ? QStringLiteral("webm")
                                        : facts.formatName;
    traits.packed = facts.size();
    traits.colourRect = inspection.colourRect;
    traits.maskRect = inspection.maskRect;
    traits.premultiplied = inspection.premultiplied;
    traits.colourModeShows = inspection.colourModeShows;
    traits.descriptions.vapcBox = found(inspection, kVapcBox);
    traits.descriptions.markers = found(inspection, kMarked);
    traits.descriptions.vapcFile = found(inspection, kVapcFile);
    return traits;
}

} // namespace zev

#include "VideoRetargeter.h"

#include "PngFrameFile.h"
#include "core/Cancellation.h"
#include "core/SystemError.h"
#include "output/OutputFolder.h"
#include "pipeline/ExpressDriver.h"
#include "preview/PackedVideo.h"
#include "preview/VideoExaminer.h"
#include "tools/EmbeddedDescriptions.h"
#include "tools/ToolRunner.h"
#include "tools/VideoEncoder.h"
#include "tools/VideoProbe.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdio>

namespace zev {

namespace {

QString fileUrl(const QString& path) {
    return QStringLiteral("file:") + QFileInfo(path).absoluteFilePath();
}

Result<> writeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return Result<>::failure(VideoRetargeter::tr("cannot write %1: %2").arg(path, file.errorString()));
    file.write(bytes);
    if (!file.commit())
        return Result<>::failure(VideoRetargeter::tr("cannot write %1: %2").arg(path, file.errorString()));
    return Result<>::success();
}

// The descriptions beside a copied video, as a conversion for the target
// writes them.
Result<> describeBeside(const QString& video, const PackedLayout& layout, const PlayerTarget& target,
                        const VideoFacts& facts) {
    const OutputOptions& options = target.options;
    if (options.needsDescription()) {
        VideoDescription description = layout.describe(options);
        description.video = QFileInfo(video).fileName();
        description.frames = facts.frames();
        description.inputFps = qRound(facts.framesPerSecond());
        description.outputFps = qRound(facts.framesPerSecond());
        description.codec = facts.video().codec;
        description.profile = facts.video().profile;
        description.level = facts.video().level;
        const ColourDescription& colour = facts.video().colour;
        description.colour = {colour.matrix, colour.range, colour.primaries, colour.transfer};
        if (Result<> written = description.writeBeside(video); !written)
            return written;
    }
    if (options.players.vapcFile)
        return writeFile(
            VapcDescription::pathBeside(video),
            VapcDescription::of(layout, facts.frames(), qRound(facts.framesPerSecond())).toJson());
    return Result<>::success();
}

Result<QString> copyForTarget(const VideoUnpacker::Tools& tools, const VideoExamination& inspection,
                              const PackedLayout& layout, const PlayerTarget& target, const QString& work,
                              const Cancellation* cancellation) {
    const QString copied = QDir(work).filePath(QStringLiteral("copied.") + target.options.format.extension());
    const QString video = OutputFolder::videoPath(work, target.options.format);
    ToolRunOptions options;
    options.cancellation = cancellation;
    const ToolRunResult run =
        ToolRunner::run(VideoRetargeter::copyArguments(inspection.path, copied, target.options.format,
                                                       inspection.facts.video().codec),
                        tools.ffmpeg, options);
    if (Result<> outcome = run.outcome(QStringLiteral("ffmpeg")); !outcome)
        return outcome.failure();
    const int fps = qRound(inspection.facts.framesPerSecond());
    EmbeddedDescriptions::Written written;
    if (target.options.players.vapcBox)
        written.vapc = VapcDescription::of(layout, inspection.facts.frames(), fps);
    if (target.options.players.markers)
        written.marked =
            MarkedDescription::of(layout, fps, inspection.facts.count(QStringLiteral("audio")) > 0);
    if (target.options.format.container == VideoFormat::Container::Mp4) {
        if (Result<> made = EmbeddedDescriptions::write(copied, video, written, cancellation); !made)
            return made.failure();
        if (Result<> readBack = EmbeddedDescriptions::check(video, written); !readBack)
            return readBack.failure();
    } else if (!QFile::rename(copied, video)) {
        return Result<QString>::failure(VideoRetargeter::tr("cannot rename %1 to %2").arg(copied, video));
    }
    QFile::remove(copied);
    const Result<VideoFacts> facts = VideoProbe::probe(tools.ffprobe, video, options);
    if (!facts)
        return facts.failure();
    if (facts->size() != inspection.facts.size() || facts->frames() != inspection.facts.frames())
        return Result<QString>::failure(
            VideoRetargeter::tr("the copy of %1 is not the same video").arg(inspection.path));
    if (Result<> described = describeBeside(video, layout, target, *facts); !described)
        return described.failure();
    return work;
}

Result<QString> reencodeForTarget(const VideoUnpacker::Tools& tools, const VideoExamination& inspection,
                                  const PlayerTarget& target, const QString& work,
                                  const Cancellation* cancellation) {
    const QString frames = QDir(work).filePath(QStringLiteral("frames"));
    if (!QDir().mkpath(frames))
        return Result<QString>::failure(VideoRetargeter::tr("cannot create the folder %1").arg(frames));
    PackedVideo video{inspection.path, inspection.facts, {}};
    video.description.packedSize = inspection.facts.size();
    video.description.frameSize = inspection.colourRect.size();
    video.description.sourceSize = inspection.colourRect.size();
    video.description.colourRect = inspection.colourRect;
    video.description.maskRect = inspection.maskRect;
    video.description.premultiplied = inspection.premultiplied.value_or(true);
    const QDir out(frames);
    const Result<qint64> decoded =
        video.forEachFrame(tools.ffmpeg, cancellation, [&out](qint64 index, const RgbaFrame& frame) {
            return PngFrameFile::write(frame, out.filePath(QStringLiteral("%1.png").arg(index)));
        });
    if (!decoded)
        return decoded.failure();

    ConversionSettings settings;
    settings.sourceImageFolder = frames;
    settings.fps = VideoEncoder::kVideoRate;
    settings.express = true;
    settings.output = target.options;
    settings.output.crf = VideoRetargeter::kCrf;
    settings.ffmpegPath = tools.ffmpeg;
    settings.ffprobePath = tools.ffprobe;
    Cancellation never;
    const ConversionOutcome outcome = ExpressDriver(settings, cancellation ? *cancellation : never).run();
    if (!outcome.succeeded())
        return Result<QString>::failure(outcome.reason.isEmpty() ? outcome.message : outcome.reason);
    return settings.outputFolder();
}

// Moves what was made into the output folder, the video last; a description
// the new video does not have is taken away first, as it would lie about it.
Result<QString> moveInto(const QString& made, const QString& outFolder) {
    const QDir from(made);
    const QDir to(outFolder);
    QStringList names;
    for (const QString& description : {VideoDescription::kFileName, VapcDescription::kFileName}) {
        if (QFileInfo::exists(from.filePath(description)))
            names.append(description);
        else if (QFileInfo::exists(to.filePath(description)) && !QFile::remove(to.filePath(description)))
            return Result<QString>::failure(
                VideoRetargeter::tr("cannot remove %1").arg(to.filePath(description)));
    }
    const QStringList videos =
        from.entryList({QStringLiteral("zev.mp4"), QStringLiteral("zev.webm")}, QDir::Files);
    if (videos.size() != 1)
        return Result<QString>::failure(VideoRetargeter::tr("no video was made in %1").arg(made));
    names.append(videos.first());
    for (const QString& name : std::as_const(names)) {
        const QByteArray source = QFile::encodeName(from.filePath(name));
        const QByteArray target = QFile::encodeName(to.filePath(name));
        if (std::rename(source.constData(), target.constData()) != 0)
            return Result<QString>::failure(
                VideoRetargeter::tr("cannot rename %1 to %2: %3")
                    .arg(from.filePath(name), to.filePath(name), SystemError::text(errno)));
    }
    return to.filePath(videos.first());
}

} // namespace

std::optional<PackedLayout> VideoRetargeter::sameVideo(const VideoExamination& inspection,
                                                       const PlayerTarget& target) {
    const OutputOptions& options = target.options;
    const PackedLayout layout = PackedLayout::place(inspection.colourRect.size(), options);
    const VideoFacts& facts = inspection.facts;
    const bool sameRegions = layout.packed == facts.size() && layout.colourRect == inspection.colourRect &&
                             layout.maskRect == inspection.maskRect;
    const bool sameColour = !inspection.colourModeShows || !inspection.premultiplied ||
                            *inspection.premultiplied == options.premultiplied;
    const bool sameFormat =
        facts.video().codec == options.format.probedCodecName() &&
        (options.format.container == VideoFormat::Container::Mp4 ? facts.isMp4() : facts.isWebm());
    if (sameRegions && sameColour && sameFormat)
        return layout;
    return std::nullopt;
}

QStringList VideoRetargeter::copyArguments(const QString& from, const QString& to, const VideoFormat& format,
                                           const QString& probedCodec) {
    const bool mp4 = format.container == VideoFormat::Container::Mp4;
    QStringList arguments{QStringLiteral("-i"),    fileUrl(from),          QStringLiteral("-map"),
                          QStringLiteral("0:v:0"), QStringLiteral("-map"), QStringLiteral("0:a?"),
                          QStringLiteral("-c"),    QStringLiteral("copy")};
    if (mp4 && probedCodec == QLatin1String("hevc"))
        arguments += {QStringLiteral("-tag:v"), QStringLiteral("hvc1")};
    if (mp4)
        arguments += {QStringLiteral("-movflags"), QStringLiteral("+faststart+write_colr")};
    arguments += {QStringLiteral("-y"), QStringLiteral("-f"), format.extension(), fileUrl(to)};
    return arguments;
}

Result<VideoRetargeter::Outcome> VideoRetargeter::retarget(const VideoUnpacker::Tools& tools,
                                                           const QString& videoPath,
                                                           const PlayerTarget& target,
                                                           const QString& outFolder,
                                                           const Cancellation* cancellation) {
    using Failed = Result<Outcome>;
    const QString replaced = OutputFolder::videoPath(outFolder, target.options.format);
    if (QFileInfo(replaced).canonicalFilePath() == QFileInfo(videoPath).canonicalFilePath() &&
        QFileInfo::exists(videoPath))
        return Failed::failure(
            tr("%1 would replace %2 itself: choose another output folder").arg(outFolder, videoPath));
    Result<VideoExamination> inspection =
        VideoExaminer::inspect(tools.ffprobe, tools.ffmpeg, videoPath, cancellation);
    if (!inspection)
        return inspection.failure();
    if (!QDir().mkpath(outFolder))
        return Failed::failure(tr("cannot create the folder %1").arg(outFolder));
    QTemporaryDir work(QDir(outFolder).filePath(QStringLiteral(".zev-retarget-XXXXXX")));
    if (!work.isValid())
        return Failed::failure(
            tr("cannot make a working folder in %1: %2").arg(outFolder, work.errorString()));
    Outcome outcome;
    const std::optional<PackedLayout> same = sameVideo(*inspection, target);
    outcome.reencoded = !same;
    const Result<QString> made =
        same ? copyForTarget(tools, *inspection, *same, target, work.path(), cancellation)
             : reencodeForTarget(tools, *inspection, target, work.path(), cancellation);
    if (!made)
        return made.failure();
    const Result<QString> moved = moveInto(*made, outFolder);
    if (!moved)
        return moved.failure();
    outcome.video = *moved;
    Result<VideoExamination> result =
        VideoExaminer::inspect(tools.ffprobe, tools.ffmpeg, outcome.video, cancellation);
    if (!result)
        return result.failure();
    outcome.inspection = *result;
    return outcome;
}

} // namespace zev

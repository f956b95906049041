#include "pipeline/ExpressDriver.h"

#include "core/Cancellation.h"
#include "frames/FrameFolderScanner.h"
#include "frames/FrameLinkFolder.h"
#include "pipeline/PendingVideo.h"
#include "storage/RunFolder.h"
#include "storage/RunLog.h"
#include "storage/SourceFolderLock.h"
#include "tools/CodecLimits.h"
#include "tools/ExpressEncoder.h"
#include "tools/FfmpegProgressReader.h"
#include "tools/ToolRunner.h"
#include "tools/VideoEncoder.h"
#include "tools/VideoProbe.h"
#include "tools/VideoVerifier.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <optional>

namespace zev {

namespace {

qint64 frameCount(const QString& folder) {
    return FrameFolderScanner::allImagesFullPathFrom(folder, nullptr).value_or(QStringList()).size();
}

ExpectedVideo packedVideo(const VideoFormat& format, const PackedLayout& layout, qint64 outputFrames) {
    return ExpectedVideo::of(format, layout.packed.width(), layout.packed.height(), outputFrames);
}

} // namespace

ExpressDriver::ExpressDriver(ConversionSettings settings, const Cancellation& cancellation,
                             ConversionObserver* observer)
    : PipelineRun(std::move(settings), cancellation, observer) {}

ConversionOutcome ExpressDriver::convert() {
    reportStage(Stage::Scanning, 0);
    const Result<QStringList, ConversionOutcome> checked = checkFrames(PreflightInput::Run::Express);
    if (!checked)
        return checked.failure();
    const QStringList& frames = *checked;

    const Result<PackedLayout> layout = planLayout();
    if (!layout)
        return failed(Result<>(layout.failure()));
    if (Result<> sound = checkSound(); !sound)
        return failed(sound);

    SourceFolderLock lock;
    if (std::optional<ConversionOutcome> refused = claimFolder(lock))
        return *refused;
    // Declared before the links, so they go first.
    Result<std::unique_ptr<RunFolder>> run = takeRunFolder();
    if (!run)
        return failed(Result<>(run.failure()));

    FrameLinkFolder links;
    if (Result<> linked = links.create((*run)->path(), frames); !linked)
        return failed(linked);
    if (cancelled())
        return ConversionOutcome::cancelled();
    return encode(frames, links.path(), *layout);
}

Result<PackedLayout> ExpressDriver::planLayout() {
    const OutputOptions& options = settings_.output;
    const PackedLayout layout = PackedLayout::plan(frameSize(), options);
    // x264 and x265 in yuv420p refuse odd sides (the exact halves of
    // odd-sized frames stacked the other way have one), x265 small ones.
    if (const std::optional<QString> refused =
            CodecLimits::sizeRefusal(options.format.codec, layout.packed, frameSize()))
        return Result<PackedLayout>::failure(*refused);
    if (log_)
        log_->note(QStringLiteral("packed %1×%2: frames at %3×%4, colour at %5,%6, mask %7×%8 at %9,%10")
                       .arg(layout.packed.width())
                       .arg(layout.packed.height())
                       .arg(layout.frame.width())
                       .arg(layout.frame.height())
                       .arg(layout.colourRect.x())
                       .arg(layout.colourRect.y())
                       .arg(layout.maskRect.width())
                       .arg(layout.maskRect.height())
                       .arg(layout.maskRect.x())
                       .arg(layout.maskRect.y()));
    if (options.fit > 0 && !PackedLayout::fits(layout.packed, options.fit))
        addWarning(
            tr("the packed video is %1×%2 even with the frames at %3×%4: more than a fit of %5 allows.")
                .arg(layout.packed.width())
                .arg(layout.packed.height())
                .arg(layout.frame.width())
                .arg(layout.frame.height())
                .arg(options.fit));
    return layout;
}

ConversionOutcome ExpressDriver::encode(const QStringList& frames, const QString& linkFolder,
                                        const PackedLayout& layout) {
    const QString& sourceFolder = settings_.sourceImageFolder;
    const QString outputFolder = settings_.outputFolder();
    // As for the default encoder: a plain file standing there is left alone,
    // and the run then fails to write.
    if (!QFileInfo::exists(outputFolder))
        QDir().mkpath(outputFolder);

    const VideoFormat& format = settings_.output.format;
    PendingVideo encodedVideo(outputFolder, QStringLiteral("express"), format);
    const qint64 outputFrames = VideoEncoder::outputFrameCount(frames.size(), settings_.fps);
    const Result<> encoded = runFfmpeg(linkFolder, encodedVideo.path(), layout, outputFrames);
    if (cancelled() && !encoded)
        return ConversionOutcome::cancelled();
    if (!encoded)
        return failed(encoded);
    // A frame taken away during the run would have ended ffmpeg's sequence
    // early without an error.
    if (const qint64 framesNow = frameCount(sourceFolder); framesNow != frames.size())
        return failed(Result<>::failure(tr("the frame folder changed during the run: it held %1 frames, "
                                           "now %2")
                                            .arg(frames.size())
                                            .arg(framesNow)));
    ExpectedVideo expected = packedVideo(format, layout, outputFrames);
    // The sound goes in by a second run that copies the video: with the
    // frame count that cuts the video, ffmpeg 5.1 ends every stream of the
    // file at once, while the sound is still as far behind as the video
    // encoder's lookahead (a second of VP9's).
    std::optional<PendingVideo> withSound;
    if (!settings_.output.audioFile.isEmpty()) {
        const double seconds = double(outputFrames) / double(VideoEncoder::kVideoRate);
        withSound.emplace(outputFolder, QStringLiteral("sound"), format);
        if (Result<> muxed = muxSound(encodedVideo.path(), seconds, withSound->path()); !muxed)
            return cancelled() ? ConversionOutcome::cancelled() : failed(muxed);
        expected = expected.withSound(ExpressEncoder::soundCodec(format.container), seconds);
    }
    PendingVideo described(outputFolder, QStringLiteral("describing"), format);
    const Result<PendingVideo*> last =
        describeForPlayers(withSound ? *withSound : encodedVideo, described, layout, outputFrames);
    if (!last)
        return cancelled() ? ConversionOutcome::cancelled() : failed(Result<>(last.failure()));
    const Result<VideoFacts> committed = verifyAndCommit(**last, expected, layout, outputFrames);
    if (!committed)
        return cancelled() ? ConversionOutcome::cancelled() : failed(Result<>(committed.failure()));
    reportFrames(Stage::Encoding, outputFrames, outputFrames);
    return finished(outputFolder, layout, *committed);
}

Result<> ExpressDriver::muxSound(const QString& encodedFile, double seconds, const QString& videoFile) {
    const QStringList arguments = ExpressEncoder::soundArguments(encodedFile, settings_.output.audioFile,
                                                                 seconds, settings_.output.format, videoFile);
    return ToolRunner::run(arguments, settings_.ffmpegPath, toolOptions()).outcome(QStringLiteral("ffmpeg"));
}

Result<> ExpressDriver::checkSound() const {
    const QString& sound = settings_.output.audioFile;
    if (sound.isEmpty())
        return Result<>::success();
    const Result<VideoFacts> facts = VideoProbe::probe(settings_.ffprobePath, sound, toolOptions());
    if (!facts)
        return Result<>::failure(tr("the sound file cannot be read: %1").arg(facts.reason()),
                                 facts.details());
    if (facts->count(QStringLiteral("audio")) == 0)
        return Result<>::failure(tr("the sound file %1 holds no sound stream").arg(sound),
                                 VideoVerifier::describeStreams(*facts));
    return Result<>::success();
}

Result<> ExpressDriver::runFfmpeg(const QString& linkFolder, const QString& videoFile,
                                  const PackedLayout& layout, qint64 outputFrames) {
    reportStage(Stage::Encoding, outputFrames);
    FfmpegProgressReader reader;
    ExpressEncoder::Encoding encoding;
    encoding.linkFolder = linkFolder;
    encoding.videoFile = videoFile;
    encoding.fps = settings_.fps;
    encoding.rate = settings_.rate;
    encoding.filterGraph = ExpressEncoder::filterGraph(layout, settings_.output.premultiplied);
    encoding.crf = settings_.output.crf;
    encoding.outputFrames = outputFrames;
    encoding.format = settings_.output.format;
    return ToolRunner::run(ExpressEncoder::arguments(encoding), settings_.ffmpegPath,
                           encodingOptions(reader, outputFrames))
        .outcome(QStringLiteral("ffmpeg"));
}

} // namespace zev

#include "pipeline/ExpressDriver.h"

#include "core/Cancellation.h"
#include "core/UserTexts.h"
#include "frames/FrameFolderScanner.h"
#include "frames/FrameLinkFolder.h"
#include "frames/FramePreflight.h"
#include "pipeline/PendingVideo.h"
#include "storage/RunFolder.h"
#include "storage/RunLog.h"
#include "storage/SourceFolderLock.h"
#include "tools/ExpressEncoder.h"
#include "tools/FfmpegProgressReader.h"
#include "tools/MediaSource.h"
#include "tools/ToolRunner.h"
#include "tools/VideoEncoder.h"
#include "tools/VideoVerifier.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace zev {

namespace {

ExpectedVideo packedVideo(const PackedLayout& layout, qint64 outputFrames) {
    return {layout.packed.width(), layout.packed.height(), outputFrames};
}

} // namespace

ExpressDriver::ExpressDriver(ConversionSettings settings, const Cancellation& cancellation,
                             ConversionObserver* observer)
    : PipelineRun(std::move(settings), cancellation, observer) {}

ConversionOutcome ExpressDriver::convert() {
    if (settings_.mediaSource)
        return convertMedia();
    reportStage(Stage::Scanning, 0);
    const Result<QStringList, ConversionOutcome> checked = checkFrames(PreflightInput::Run::Express);
    if (!checked)
        return checked.failure();
    const QStringList& frames = *checked;

    const Result<PackedLayout> layout = planLayout();
    if (!layout)
        return failed(Result<>(layout.failure()));

    SourceFolderLock lock;
    if (std::optional<ConversionOutcome> refused = claimFolder(lock))
        return *refused;
    // Declared before the links, so they go first.
    RunFolder run;
    if (Result<> made = run.create(); !made)
        return failed(made);

    FrameLinkFolder links;
    if (Result<> linked = links.create(run.path(), frames); !linked)
        return failed(linked);
    if (cancelled())
        return ConversionOutcome::cancelled();
    const qint64 outputFrames = VideoEncoder::outputFrameCount(frames.size(), settings_.fps);
    return encode(ExpressEncoder::Input{links.path(), settings_.fps, std::nullopt}, QString(), outputFrames,
                  *layout, frames.size());
}

// A file that cannot be converted gets the message a file always got here,
// with the reason beside it.
ConversionOutcome ExpressDriver::convertMedia() {
    reportStage(Stage::Scanning, 0);
    const QString& file = settings_.sourceImageFolder;
    if (QDir::isRelativePath(file))
        return failed(Result<>::failure(tr("the source %1 is not an absolute path").arg(file)));
    Result<MediaSource> source = MediaSource::probe(settings_.ffprobePath, file, toolOptions());
    if (cancelled())
        return ConversionOutcome::cancelled();
    if (!source)
        return ConversionOutcome::failure(UserTexts::kNotAFolder, Result<>(source.failure()));
    if (settings_.sourcePremultiplied)
        source->alpha =
            *settings_.sourcePremultiplied ? MediaSource::Alpha::Premultiplied : MediaSource::Alpha::Straight;
    takeSourceFrames(source->size, source->frames);
    const std::optional<qint64> typedFps =
        settings_.fpsTyped ? std::optional<qint64>(settings_.fps) : std::nullopt;
    describedInputFps_ = qRound64(source->effectiveFps(typedFps));
    note(QStringLiteral("source: %1 %2, %3×%4, %5 frames at %6/%7 fps%8, %9 alpha")
             .arg(source->codec, source->pixelFormat)
             .arg(source->size.width())
             .arg(source->size.height())
             .arg(source->frames)
             .arg(source->rateNumerator)
             .arg(source->rateDenominator)
             .arg(typedFps ? QStringLiteral(" shown at %1 fps").arg(*typedFps) : QString())
             .arg(source->alpha == MediaSource::Alpha::Premultiplied ? QStringLiteral("premultiplied")
                                                                     : QStringLiteral("straight")));
    if (Result<> output = FramePreflight::checkOutputFolder(settings_.outputFolder()); !output)
        return failed(output);
    const Result<PackedLayout> layout = planLayout();
    if (!layout)
        return failed(Result<>(layout.failure()));

    SourceFolderLock lock;
    if (std::optional<ConversionOutcome> refused = claimFolder(lock))
        return *refused;
    if (cancelled())
        return ConversionOutcome::cancelled();
    const qint64 outputFrames = source->outputFrames(typedFps, VideoEncoder::kVideoRate);
    return encode(ExpressEncoder::Input{QString(), typedFps.value_or(0), *source},
                  source->straighteningFilter(), outputFrames, *layout, 0);
}

Result<PackedLayout> ExpressDriver::planLayout() {
    const OutputOptions& options = settings_.output;
    const PackedLayout layout = PackedLayout::plan(frameSize(), options);
    // libx264 in yuv420p: the exact halves of odd-sized frames stacked
    // the other way have an odd side.
    if (layout.packed.width() % 2 != 0 || layout.packed.height() % 2 != 0)
        return Result<PackedLayout>::failure(
            tr("the frames are %1×%2, which packs to %3×%4 in this layout; H.264 in yuv420p needs an "
               "even width and height (use frames of an even size, or --fit)")
                .arg(frameSize().width())
                .arg(frameSize().height())
                .arg(layout.packed.width())
                .arg(layout.packed.height()));
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

ConversionOutcome ExpressDriver::encode(const ExpressEncoder::Input& input, const QString& straightening,
                                        qint64 outputFrames, const PackedLayout& layout, qint64 frameCount) {
    const QString outputFolder = settings_.outputFolder();
    // As for the default encoder: a plain file standing there is left alone,
    // and the run then fails to write.
    if (!QFileInfo::exists(outputFolder))
        QDir().mkpath(outputFolder);

    PendingVideo video(outputFolder, QStringLiteral("express"), settings_.videoPath());
    const Result<> encoded = runFfmpeg(input, straightening, video.path(), layout, outputFrames);
    if (cancelled() && !encoded)
        return ConversionOutcome::cancelled();
    if (!encoded)
        return failed(encoded);
    // A frame taken away during the run would have ended ffmpeg's sequence
    // early without an error.
    if (frameCount > 0) {
        if (const qint64 framesNow = countFramesAgain(); framesNow != frameCount)
            return failed(Result<>::failure(tr("the frame folder changed during the run: it held %1 frames, "
                                               "now %2")
                                                .arg(frameCount)
                                                .arg(framesNow)));
    }
    const Result<VideoFacts> committed = verifyAndCommit(video, packedVideo(layout, outputFrames));
    if (!committed)
        return cancelled() ? ConversionOutcome::cancelled() : failed(Result<>(committed.failure()));
    reportFrames(Stage::Encoding, outputFrames, outputFrames);
    return finished(outputFolder, layout, outputFrames, *committed);
}

Result<> ExpressDriver::runFfmpeg(const ExpressEncoder::Input& input, const QString& straightening,
                                  const QString& videoFile, const PackedLayout& layout, qint64 outputFrames) {
    reportStage(Stage::Encoding, outputFrames);
    FfmpegProgressReader reader;
    const QStringList arguments = ExpressEncoder::arguments(
        input, videoFile, settings_.rate,
        straightening + ExpressEncoder::filterGraph(layout, settings_.output.premultiplied),
        settings_.output.crf, outputFrames);
    return ToolRunner::run(arguments, settings_.ffmpegPath, encodingOptions(reader, outputFrames))
        .outcome(QStringLiteral("ffmpeg"));
}

} // namespace zev

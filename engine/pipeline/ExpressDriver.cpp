#include "pipeline/ExpressDriver.h"

#include "core/Cancellation.h"
#include "frames/FrameFolderScanner.h"
#include "frames/FrameLinkFolder.h"
#include "pipeline/PendingVideo.h"
#include "storage/RunFolder.h"
#include "storage/RunLog.h"
#include "storage/SourceFolderLock.h"
#include "tools/ExpressEncoder.h"
#include "tools/FfmpegProgressReader.h"
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
    return encode(frames, links.path(), *layout);
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

ConversionOutcome ExpressDriver::encode(const QStringList& frames, const QString& linkFolder,
                                        const PackedLayout& layout) {
    const QString outputFolder = settings_.outputFolder();
    // As for the default encoder: a plain file standing there is left alone,
    // and the run then fails to write.
    if (!QFileInfo::exists(outputFolder))
        QDir().mkpath(outputFolder);

    PendingVideo video(outputFolder, QStringLiteral("express"));
    const qint64 outputFrames = VideoEncoder::outputFrameCount(frames.size(), settings_.fps);
    const Result<> encoded = runFfmpeg(linkFolder, video.path(), layout, outputFrames);
    if (cancelled() && !encoded)
        return ConversionOutcome::cancelled();
    if (!encoded)
        return failed(encoded);
    // A frame taken away during the run would have ended ffmpeg's sequence
    // early without an error.
    if (const qint64 framesNow = countFramesAgain(); framesNow != frames.size())
        return failed(Result<>::failure(tr("the frame folder changed during the run: it held %1 frames, "
                                           "now %2")
                                            .arg(frames.size())
                                            .arg(framesNow)));
    const Result<VideoFacts> committed = verifyAndCommit(video, packedVideo(layout, outputFrames));
    if (!committed)
        return cancelled() ? ConversionOutcome::cancelled() : failed(Result<>(committed.failure()));
    reportFrames(Stage::Encoding, outputFrames, outputFrames);
    return finished(outputFolder, layout, outputFrames, *committed);
}

Result<> ExpressDriver::runFfmpeg(const QString& linkFolder, const QString& videoFile,
                                  const PackedLayout& layout, qint64 outputFrames) {
    reportStage(Stage::Encoding, outputFrames);
    FfmpegProgressReader reader;
    const QStringList arguments =
        ExpressEncoder::arguments(linkFolder, videoFile, settings_.fps, settings_.rate,
                                  ExpressEncoder::filterGraph(layout, settings_.output.premultiplied),
                                  settings_.output.crf, outputFrames);
    return ToolRunner::run(arguments, settings_.ffmpegPath, encodingOptions(reader, outputFrames))
        .outcome(QStringLiteral("ffmpeg"));
}

} // namespace zev

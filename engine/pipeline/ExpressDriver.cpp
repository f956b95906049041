#include "pipeline/ExpressDriver.h"

#include "core/Cancellation.h"
#include "frames/FrameFolderScanner.h"
#include "frames/FrameLinkFolder.h"
#include "pipeline/PendingVideo.h"
#include "storage/ScratchFolders.h"
#include "tools/ExpressEncoder.h"
#include "tools/FfmpegProgressReader.h"
#include "tools/ToolRunner.h"
#include "tools/VideoEncoder.h"
#include "tools/VideoVerifier.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace {

qint64 frameCount(const QString& folder) {
    return FrameFolderScanner::allImagesFullPathFrom(folder, nullptr).value_or(QStringList()).size();
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

    FrameLinkFolder links;
    if (Result<> ready = ScratchFolders::prepareUserFolder(); !ready)
        return failed(ready);
    if (Result<> linked = links.create(ScratchFolders::userFolder(), frames); !linked)
        return failed(linked);
    if (cancelled())
        return ConversionOutcome::cancelled();
    return encode(frames, links.path());
}

ConversionOutcome ExpressDriver::encode(const QStringList& frames, const QString& linkFolder) {
    const QString& sourceFolder = settings_.sourceImageFolder;
    const QString outputFolder = settings_.outputFolder();
    // As for the default encoder: a plain file standing there is left alone,
    // and the run then fails to write.
    if (!QFileInfo::exists(outputFolder))
        QDir().mkpath(outputFolder);

    PendingVideo video(outputFolder, QStringLiteral("express"));
    const qint64 outputFrames = VideoEncoder::outputFrameCount(frames.size(), settings_.fps);
    const Result<> encoded = runFfmpeg(linkFolder, video.path(), outputFrames);
    if (cancelled() && !encoded)
        return ConversionOutcome::cancelled();
    if (!encoded)
        return failed(encoded);
    // A frame taken away during the run would have ended ffmpeg's sequence
    // early without an error.
    if (const qint64 framesNow = frameCount(sourceFolder); framesNow != frames.size())
        return failed(
            Result<>::failure(QStringLiteral("the frame folder changed during the run: it held %1 frames, "
                                             "now %2")
                                  .arg(frames.size())
                                  .arg(framesNow)));
    if (Result<> finished = verifyAndCommit(video, outputFrames); !finished)
        return cancelled() ? ConversionOutcome::cancelled() : failed(finished);
    reportFrames(Stage::Encoding, outputFrames, outputFrames);
    return succeeded(outputFolder);
}

Result<> ExpressDriver::runFfmpeg(const QString& linkFolder, const QString& videoFile, qint64 outputFrames) {
    reportStage(Stage::Encoding, outputFrames);
    FfmpegProgressReader reader;
    const QStringList arguments =
        ExpressEncoder::arguments(linkFolder, videoFile, settings_.fps, settings_.rate);
    return ToolRunner::run(arguments, settings_.ffmpegPath, encodingOptions(reader, outputFrames))
        .outcome(QStringLiteral("ffmpeg"));
}

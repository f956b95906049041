#include "ExpressDriver.h"

#include "Cancellation.h"
#include "ConversionController.h"
#include "ConversionDriver.h"
#include "ExpressEncoder.h"
#include "FfmpegProgressReader.h"
#include "FrameFolderScanner.h"
#include "FrameLinkFolder.h"
#include "PendingVideo.h"
#include "PreflightReport.h"
#include "RunLog.h"
#include "ScratchFolders.h"
#include "ToolRunner.h"
#include "VideoEncoder.h"
#include "VideoVerifier.h"

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

ConversionOutcome ExpressDriver::run() {
    RunLog log(QStringLiteral("converting %1 (%2 fps, %3 kbit/s, express)")
                   .arg(settings_.sourceImageFolder)
                   .arg(settings_.fps)
                   .arg(settings_.rate));
    log_ = &log;
    ConversionOutcome outcome = convert();
    log_ = nullptr;
    outcome.frames = frameCount_;
    return ConversionDriver::withLog(std::move(outcome), log);
}

ConversionOutcome ExpressDriver::convert() {
    reportStage(Stage::Scanning, 0);
    QStringList frames;
    PreflightReport preflight;
    if (std::optional<ConversionOutcome> refused =
            ConversionDriver::checkFrames(settings_, PreflightInput::Run::Express, &frames, &preflight)) {
        frameCount_ = refused->frames;
        return *refused;
    }
    frameCount_ = frames.size();
    frameSize_ = preflight.frameSize;
    warning_ = preflight.warning.value_or(QString());

    FrameLinkFolder links;
    if (Result ready = ScratchFolders::prepareUserFolder(); !ready)
        return failed(ready);
    if (!links.create(ScratchFolders::userFolder(), frames))
        return failed(
            Result::failure(QStringLiteral("cannot link the frames into a folder of their own in %1")
                                .arg(ScratchFolders::userFolder())));
    if (cancelled())
        return ConversionOutcome::cancelled();
    return encode(frames, links.path());
}

ConversionOutcome ExpressDriver::encode(const QStringList& frames, const QString& linkFolder) {
    const QString& sourceFolder = settings_.sourceImageFolder;
    const QString outputFolder = FrameFolderScanner::joinPath(sourceFolder, QStringLiteral("output"));
    // As for the default encoder: a plain file standing there is left alone,
    // and the run then fails to write.
    if (!QFileInfo::exists(outputFolder))
        QDir().mkpath(outputFolder);

    PendingVideo video(outputFolder);
    const qint64 outputFrames = VideoEncoder::outputFrameCount(frames.size(), settings_.fps);
    const Result encoded = runFfmpeg(linkFolder, video.path(), outputFrames);
    if (cancelled() && !encoded)
        return ConversionOutcome::cancelled();
    if (!encoded)
        return failed(encoded);
    // A frame taken away during the run would have ended ffmpeg's sequence
    // early without an error.
    if (const qint64 framesNow = frameCount(sourceFolder); framesNow != frames.size())
        return failed(
            Result::failure(QStringLiteral("the frame folder changed during the run: it held %1 frames, "
                                           "now %2")
                                .arg(frames.size())
                                .arg(framesNow)));
    const ExpectedVideo expected{2 * frameSize_.width(), frameSize_.height(), outputFrames};
    if (Result verified = VideoVerifier::verify(settings_.ffprobePath, video.path(), expected, toolOptions());
        !verified)
        return cancelled() ? ConversionOutcome::cancelled() : failed(verified);
    if (Result committed = video.commit(); !committed)
        return failed(committed);
    reportFrames(Stage::Encoding, outputFrames, outputFrames);
    return ConversionOutcome::success(outputFolder, warning_);
}

Result ExpressDriver::runFfmpeg(const QString& linkFolder, const QString& videoFile, qint64 outputFrames) {
    reportStage(Stage::Encoding, outputFrames);
    FfmpegProgressReader reader;
    const QStringList arguments =
        ExpressEncoder::arguments(linkFolder, videoFile, settings_.fps, settings_.rate);
    return ToolRunner::run(arguments, settings_.ffmpegPath, encodingOptions(reader, outputFrames))
        .outcome(QStringLiteral("ffmpeg"));
}

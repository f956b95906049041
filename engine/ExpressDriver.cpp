#include "ExpressDriver.h"

#include "Cancellation.h"
#include "ConversionController.h"
#include "ConversionDriver.h"
#include "ExpressEncoder.h"
#include "FfmpegProgressReader.h"
#include "FrameFolderScanner.h"
#include "FrameLinkFolder.h"
#include "PendingVideo.h"
#include "ScratchFolders.h"
#include "ToolRunner.h"
#include "VideoEncoder.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace {

ConversionOutcome failed() {
    return ConversionOutcome::failure(ConversionController::kConversionFailed);
}

qint64 frameCount(const QString& folder) {
    return FrameFolderScanner::allImagesFullPathFrom(folder, nullptr).value_or(QStringList()).size();
}

} // namespace

ExpressDriver::ExpressDriver(ConversionSettings settings, const Cancellation& cancellation,
                             ConversionObserver* observer)
    : settings_(std::move(settings))
    , cancellation_(cancellation)
    , observer_(observer) {}

ConversionOutcome ExpressDriver::run() {
    reportStage(Stage::Scanning, 0);
    ConversionOutcome failure;
    const std::optional<QStringList> frames =
        ConversionDriver::consecutiveFrames(settings_.sourceImageFolder, &failure);
    if (!frames)
        return failure;

    FrameLinkFolder links;
    if (!ScratchFolders::prepareUserFolder() || !links.create(ScratchFolders::userFolder(), *frames))
        return failed();
    if (cancelled())
        return ConversionOutcome::cancelled();
    return encode(*frames, links.path());
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
    const bool encoded = runFfmpeg(linkFolder, video.path(), outputFrames);
    if (cancelled() && !encoded)
        return ConversionOutcome::cancelled();
    // A frame taken away during the run would have ended ffmpeg's sequence
    // early without an error.
    if (!encoded || frameCount(sourceFolder) != frames.size() || !video.commit())
        return failed();
    reportFrames(Stage::Encoding, outputFrames, outputFrames);
    return ConversionOutcome::success(outputFolder);
}

bool ExpressDriver::runFfmpeg(const QString& linkFolder, const QString& videoFile, qint64 outputFrames) {
    reportStage(Stage::Encoding, outputFrames);
    FfmpegProgressReader reader;
    ToolRunOptions options;
    options.cancellation = &cancellation_;
    options.standardErrorReceived = [this, &reader, outputFrames](const QByteArray& piece) {
        const qint64 before = reader.frames();
        const qint64 now = reader.feed(piece);
        if (now != before)
            reportFrames(Stage::Encoding, std::min(now, outputFrames), outputFrames);
    };
    const QStringList arguments =
        ExpressEncoder::arguments(linkFolder, videoFile, settings_.fps, settings_.rate);
    return ToolRunner::run(arguments, settings_.ffmpegPath, options).succeeded();
}

void ExpressDriver::reportStage(Stage stage, qint64 total) const {
    if (observer_)
        observer_->stageStarted(stage, total);
}

void ExpressDriver::reportFrames(Stage stage, qint64 done, qint64 total) const {
    if (observer_)
        observer_->framesDone(stage, done, total);
}

bool ExpressDriver::cancelled() const {
    return cancellation_.isRequested();
}

#include "ConversionDriver.h"

#include "CacheRecord.h"
#include "Cancellation.h"
#include "ConversionController.h"
#include "FfmpegProgressReader.h"
#include "FrameFolderScanner.h"
#include "ImageStages.h"
#include "IntegerText.h"
#include "ScratchFolders.h"
#include "ScratchLock.h"
#include "ToolRunner.h"
#include "VideoEncoder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QThreadPool>
#include <atomic>
#include <cmath>
#include <memory>

namespace {

qint64 sizeOrZero(const std::optional<QStringList>& list) {
    return list ? list->size() : 0;
}

QString packedFrameName(qint64 frameNumber) {
    return QStringLiteral("%1.png").arg(frameNumber, 5, 10, QLatin1Char('0'));
}

QStringList pngNames(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.png")}, QDir::Files | QDir::Hidden | QDir::System);
}

} // namespace

ConversionDriver::ConversionDriver(ConversionSettings settings, QThreadPool& queue,
                                   const Cancellation& cancellation, ConversionObserver* observer)
    : settings_(std::move(settings))
    , queue_(queue)
    , cancellation_(cancellation)
    , observer_(observer) {}

QList<ConversionDriver::Batch> ConversionDriver::planBatches(qint64 frameCount) {
    const auto count =
        static_cast<qint64>(std::ceil(static_cast<double>(frameCount) / static_cast<double>(kBatchSize)));
    QList<Batch> batches;
    for (qint64 k = 0; k < count; ++k) {
        const qint64 start = kBatchSize * k;
        batches.append({start, k == count - 1 ? frameCount - start : kBatchSize});
    }
    return batches;
}

bool ConversionDriver::packedFramesComplete(const QString& folder, qint64 frameCount) {
    const QDir dir(folder);
    if (pngNames(folder).size() != frameCount)
        return false;
    for (qint64 i = 0; i < frameCount; ++i) {
        const QFileInfo frame(dir.filePath(packedFrameName(i)));
        if (!frame.isFile() || frame.size() == 0)
            return false;
    }
    return true;
}

qint64 ConversionDriver::framesWithBothLayers(const QString& alphaFolder, const QString& rgbFolder) {
    const QStringList masks = pngNames(alphaFolder);
    const QSet<QString> maskSet(masks.cbegin(), masks.cend());
    qint64 count = 0;
    for (const QString& colour : pngNames(rgbFolder))
        count += maskSet.contains(colour) ? 1 : 0;
    return count;
}

ConversionOutcome ConversionDriver::run() {
    reportStage(Stage::Scanning, 0);
    ConversionOutcome failure;
    const std::optional<QStringList> frames = consecutiveFrames(settings_.sourceImageFolder, &failure);
    if (!frames)
        return failure;
    batches_ = planBatches(frames->size());
    alphaFolder_ = ScratchFolders::alphaImagesDirectoryPath();
    rgbFolder_ = ScratchFolders::rgbImagesDirectoryPath();
    appendFolder_ = ScratchFolders::appendImagesDirectoryPath();

    // Nothing below may touch a scratch folder without holding the lock.
    const QString userFolder = ScratchFolders::userFolder();
    QString reason;
    ScratchLock lock;
    if (!ScratchFolders::prepareUserFolder(&reason) || !lock.tryLock(userFolder, &reason)) {
        qWarning("zev: scratch folder %s unavailable: %s", qUtf8Printable(userFolder),
                 qUtf8Printable(reason));
        return ConversionOutcome::failure(ConversionController::kConversionFailed);
    }
    return convertLocked(*frames, userFolder);
}

ConversionOutcome ConversionDriver::convertLocked(const QStringList& frames, const QString& userFolder) {
    const qint64 frameCount = frames.size();
    const QString& sourceFolder = settings_.sourceImageFolder;
    if (settings_.useCache) {
        if (!CacheRecord::matches(userFolder, sourceFolder, frameCount)) {
            qWarning("zev: the packed frames in %s do not come from %s", qUtf8Printable(appendFolder_),
                     qUtf8Printable(sourceFolder));
            return ConversionOutcome::failure(ConversionController::kConversionFailed);
        }
    } else {
        CacheRecord::clear(userFolder);
        QStringList masks;
        QStringList colours;
        const bool extracted = extractLayers(frames, &masks, &colours);
        if (cancelled())
            return stopped(userFolder);
        if (!extracted)
            return ConversionOutcome::failure(ConversionController::kConversionFailed);
        ScratchFolders::rebuild(appendFolder_);
        const bool packed = packFrames(masks, colours);
        if (cancelled())
            return stopped(userFolder);
        if (!packed)
            return ConversionOutcome::failure(ConversionController::kConversionFailed);
    }
    // A failed packing run leaves a gap at which the encoder would stop.
    if (!packedFramesComplete(appendFolder_, frameCount))
        return ConversionOutcome::failure(ConversionController::kConversionFailed);
    if (!settings_.useCache)
        CacheRecord::write(userFolder, sourceFolder, frameCount);
    return encode(frameCount, userFolder);
}

ConversionOutcome ConversionDriver::encode(qint64 frameCount, const QString& userFolder) {
    const QString& sourceFolder = settings_.sourceImageFolder;
    const QString outputFolder = FrameFolderScanner::joinPath(sourceFolder, QStringLiteral("output"));
    if (sizeOrZero(FrameFolderScanner::allImagesFullPathFrom(sourceFolder, nullptr)) != frameCount)
        return ConversionOutcome::failure(ConversionController::kConversionFailed);
    if (cancelled())
        return stopped(userFolder);

    const qint64 outputFrames = VideoEncoder::outputFrameCount(frameCount, settings_.fps);
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
    const bool encoded = VideoEncoder::convertImagesToMp4FromFolder(
        settings_.ffmpegPath, appendFolder_, outputFolder, settings_.fps, settings_.rate, options);
    if (cancelled() && !encoded) {
        // ffmpeg had begun to overwrite the video: what is left is this
        // run's, and cut short.
        QFile::remove(VideoEncoder::videoPath(outputFolder));
        return stopped(userFolder);
    }
    if (!encoded)
        return ConversionOutcome::failure(ConversionController::kConversionFailed);
    reportFrames(Stage::Encoding, outputFrames, outputFrames);
    return ConversionOutcome::success(outputFolder);
}

// A stopped full run leaves packed frames that may be incomplete: without
// the record a later cache run refuses them.
ConversionOutcome ConversionDriver::stopped(const QString& userFolder) const {
    if (!settings_.useCache)
        CacheRecord::clear(userFolder);
    return ConversionOutcome::cancelled();
}

std::optional<QStringList> ConversionDriver::consecutiveFrames(const QString& folder,
                                                               ConversionOutcome* failure) {
    ConvertError error;
    std::optional<QStringList> frames = FrameFolderScanner::allImagesFullPathFrom(folder, &error);
    if (!frames) {
        *failure = ConversionOutcome::failure(error.message());
        return std::nullopt;
    }
    if (!framesAreConsecutive(*frames)) {
        *failure = ConversionOutcome::failure(ConversionController::kFramesNotConsecutive);
        return std::nullopt;
    }
    return frames;
}

bool ConversionDriver::framesAreConsecutive(const QStringList& frames) {
    for (qint64 i = 0; i < frames.size(); ++i) {
        const QString baseName =
            FrameFolderScanner::deletingPathExtension(QFileInfo(frames.at(i)).fileName());
        if (IntegerText::integerValue(baseName) != i)
            return false;
    }
    return true;
}

bool ConversionDriver::extractLayers(const QStringList& frames, QStringList* masks, QStringList* colours) {
    ScratchFolders::rebuild(alphaFolder_);
    ScratchFolders::rebuild(rgbFolder_);

    QList<std::function<bool()>> operations;
    const QString convert = settings_.convertPath;
    const Cancellation* cancellation = &cancellation_;
    for (const Batch& batch : batches_) {
        const QStringList slice = frames.mid(batch.start, batch.length);
        operations.append([convert, slice, folder = alphaFolder_, cancellation]() {
            return ImageStages::extractImageAlpha(convert, slice, folder, cancellation);
        });
        operations.append([convert, slice, folder = rgbFolder_, cancellation]() {
            return ImageStages::extractImageRGB(convert, slice, folder, cancellation);
        });
    }
    const qint64 frameCount = frames.size();
    const bool extracted = runOnQueue(Stage::Extracting, frameCount, operations,
                                      [this]() { return framesWithBothLayers(alphaFolder_, rgbFolder_); });

    *masks = FrameFolderScanner::allImagesFullPathFrom(alphaFolder_, nullptr).value_or(QStringList());
    *colours = FrameFolderScanner::allImagesFullPathFrom(rgbFolder_, nullptr).value_or(QStringList());
    return extracted && masks->size() == frameCount && colours->size() == frameCount;
}

bool ConversionDriver::packFrames(const QStringList& masks, const QStringList& colours) {
    QList<std::function<bool()>> operations;
    const QString convert = settings_.convertPath;
    const Cancellation* cancellation = &cancellation_;
    for (const Batch& batch : batches_) {
        operations.append([convert, masks = masks.mid(batch.start, batch.length),
                           colours = colours.mid(batch.start, batch.length), folder = appendFolder_,
                           cancellation]() {
            return ImageStages::appendImages(convert, masks, colours, folder, cancellation);
        });
    }
    return runOnQueue(Stage::Packing, masks.size(), operations,
                      [this]() { return qint64(pngNames(appendFolder_).size()); });
}

bool ConversionDriver::runOnQueue(Stage stage, qint64 total, const QList<std::function<bool()>>& operations,
                                  const std::function<qint64()>& countDone) {
    reportStage(stage, total);
    auto allSucceeded = std::make_shared<std::atomic<bool>>(true);
    const Cancellation* cancellation = &cancellation_;
    for (const auto& operation : operations) {
        queue_.start([operation, allSucceeded, cancellation]() {
            // Once stopped, the batches still waiting start nothing.
            if (cancellation->isRequested() || !operation())
                *allSucceeded = false;
        });
    }
    qint64 shown = -1;
    const auto reportCount = [&]() {
        const qint64 done = std::min(countDone(), total);
        if (done != shown)
            reportFrames(stage, done, total);
        shown = done;
    };
    while (!queue_.waitForDone(kProgressPollMs))
        reportCount();
    reportCount();
    return *allSucceeded;
}

void ConversionDriver::reportStage(Stage stage, qint64 total) const {
    if (observer_)
        observer_->stageStarted(stage, total);
}

void ConversionDriver::reportFrames(Stage stage, qint64 done, qint64 total) const {
    if (observer_)
        observer_->framesDone(stage, done, total);
}

bool ConversionDriver::cancelled() const {
    return cancellation_.isRequested();
}

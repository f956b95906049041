#include "ConversionDriver.h"

#include "CacheRecord.h"
#include "ConversionController.h"
#include "FrameFolderScanner.h"
#include "IntegerText.h"
#include "ScratchFolders.h"
#include "ScratchLock.h"

#include <QDir>
#include <QFileInfo>
#include <cmath>

using Stage = ConversionObserver::Stage;

namespace {

qint64 sizeOrZero(const std::optional<QStringList>& list) {
    return list ? list->size() : 0;
}

QString packedFrameName(qint64 frameNumber) {
    return QStringLiteral("%1.png").arg(frameNumber, 5, 10, QLatin1Char('0'));
}

} // namespace

ConversionDriver::ConversionDriver(ConversionController& controller)
    : controller_(controller) {}

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
    if (dir.entryList({QStringLiteral("*.png")}, QDir::Files | QDir::Hidden | QDir::System).size() !=
        frameCount)
        return false;
    for (qint64 i = 0; i < frameCount; ++i) {
        const QFileInfo frame(dir.filePath(packedFrameName(i)));
        if (!frame.isFile() || frame.size() == 0)
            return false;
    }
    return true;
}

bool ConversionDriver::run() {
    reportStage(Stage::Scanning, 0);
    const QString sourceFolder = controller_.sourceImageFolder();
    ConvertError error;
    const std::optional<QStringList> frames = FrameFolderScanner::allImagesFullPathFrom(sourceFolder, &error);
    if (!frames)
        return fail(error.message());
    if (!framesAreConsecutive(*frames))
        return fail(ConversionController::kFramesNotConsecutive);
    const qint64 frameCount = frames->size();
    batches_ = planBatches(frameCount);

    const QString alphaFolder = ScratchFolders::alphaImagesDirectoryPath();
    const QString rgbFolder = ScratchFolders::rgbImagesDirectoryPath();
    const QString appendFolder = ScratchFolders::appendImagesDirectoryPath();
    const QString userFolder = ScratchFolders::userFolder();

    // Nothing below may touch a scratch folder without holding the lock.
    QString reason;
    ScratchLock lock;
    if (!ScratchFolders::prepareUserFolder(&reason) || !lock.tryLock(userFolder, &reason)) {
        qWarning("zev: scratch folder %s unavailable: %s", qUtf8Printable(userFolder),
                 qUtf8Printable(reason));
        return fail(ConversionController::kConversionFailed);
    }

    if (controller_.cacheUseSelected()) {
        if (!CacheRecord::matches(userFolder, sourceFolder, frameCount)) {
            qWarning("zev: the packed frames in %s do not come from %s", qUtf8Printable(appendFolder),
                     qUtf8Printable(sourceFolder));
            return fail(ConversionController::kConversionFailed);
        }
    } else {
        CacheRecord::clear(userFolder);
        QStringList masks;
        QStringList colours;
        if (!extractLayers(*frames, alphaFolder, rgbFolder, &masks, &colours))
            return fail(ConversionController::kConversionFailed);
        ScratchFolders::rebuild(appendFolder);
        if (!packFrames(masks, colours, appendFolder))
            return fail(ConversionController::kConversionFailed);
    }
    // A failed packing run leaves a gap at which the encoder would stop.
    if (!packedFramesComplete(appendFolder, frameCount))
        return fail(ConversionController::kConversionFailed);
    if (!controller_.cacheUseSelected())
        CacheRecord::write(userFolder, sourceFolder, frameCount);

    const QString outputFolder = FrameFolderScanner::joinPath(sourceFolder, QStringLiteral("output"));
    if (sizeOrZero(FrameFolderScanner::allImagesFullPathFrom(sourceFolder, nullptr)) != frameCount)
        return fail(ConversionController::kConversionFailed);

    reportStage(Stage::Encoding, 0);
    if (!controller_.convertImagesToMp4FromFolder(appendFolder, outputFolder))
        return fail(ConversionController::kConversionFailed);

    controller_.showConvertSuccessAlertWithPath(outputFolder);
    ConversionController* controller = &controller_;
    controller_.postToMainThread([controller]() { controller->enableCacheCheckbox(); });
    return true;
}

bool ConversionDriver::fail(const QString& message) {
    controller_.showAlertWithErrorMessage(message);
    return false;
}

bool ConversionDriver::framesAreConsecutive(const QStringList& frames) const {
    for (qint64 i = 0; i < frames.size(); ++i) {
        const QString baseName =
            FrameFolderScanner::deletingPathExtension(QFileInfo(frames.at(i)).fileName());
        if (IntegerText::integerValue(baseName) != i)
            return false;
    }
    return true;
}

bool ConversionDriver::extractLayers(const QStringList& frames, const QString& alphaFolder,
                                     const QString& rgbFolder, QStringList* masks, QStringList* colours) {
    ScratchFolders::rebuild(alphaFolder);
    ScratchFolders::rebuild(rgbFolder);

    QList<std::function<bool()>> operations;
    const ConversionController* controller = &controller_;
    for (const Batch& batch : batches_) {
        operations.append([controller, frames, alphaFolder, batch]() {
            return controller->extractImageAlphaFromImagesArray(frames.mid(batch.start, batch.length),
                                                                alphaFolder);
        });
        operations.append([controller, frames, rgbFolder, batch]() {
            return controller->extractImageRGBFromImagesArray(frames.mid(batch.start, batch.length),
                                                              rgbFolder);
        });
    }
    const bool extracted = runOnQueue(Stage::Extracting, operations);

    const qint64 frameCount = frames.size();
    *masks = FrameFolderScanner::allImagesFullPathFrom(alphaFolder, nullptr).value_or(QStringList());
    *colours = FrameFolderScanner::allImagesFullPathFrom(rgbFolder, nullptr).value_or(QStringList());
    return extracted && masks->size() == frameCount && colours->size() == frameCount;
}

bool ConversionDriver::packFrames(const QStringList& masks, const QStringList& colours,
                                  const QString& appendFolder) {
    QList<std::function<bool()>> operations;
    const ConversionController* controller = &controller_;
    for (const Batch& batch : batches_) {
        operations.append([controller, masks, colours, appendFolder, batch]() {
            return controller->appendImageWithAlphaImagesArray(
                masks.mid(batch.start, batch.length), colours.mid(batch.start, batch.length), appendFolder);
        });
    }
    return runOnQueue(Stage::Packing, operations);
}

bool ConversionDriver::runOnQueue(Stage stage, const QList<std::function<bool()>>& operations) {
    const int total = static_cast<int>(operations.size());
    reportStage(stage, total);
    auto finished = std::make_shared<std::atomic<int>>(0);
    auto allSucceeded = std::make_shared<std::atomic<bool>>(true);
    ConversionObserver* observer = controller_.conversionObserver();
    for (const auto& operation : operations) {
        controller_.queue().start([operation, observer, finished, allSucceeded, stage, total]() {
            if (!operation())
                *allSucceeded = false;
            const int done = ++*finished;
            if (observer)
                observer->stepFinished(stage, done, total);
        });
    }
    controller_.queue().waitForDone();
    return *allSucceeded;
}

void ConversionDriver::reportStage(Stage stage, int totalSteps) const {
    if (ConversionObserver* observer = controller_.conversionObserver())
        observer->stageStarted(stage, totalSteps);
}

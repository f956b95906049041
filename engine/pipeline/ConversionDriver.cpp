#include "pipeline/ConversionDriver.h"

#include "core/Cancellation.h"
#include "core/ThreadHandOver.h"
#include "frames/FrameFolderScanner.h"
#include "pipeline/PendingVideo.h"
#include "storage/FrameCache.h"
#include "storage/RunFolder.h"
#include "storage/ScratchFolders.h"
#include "storage/SourceFolderLock.h"
#include "tools/FfmpegProgressReader.h"
#include "tools/ImageStages.h"
#include "tools/ToolRunner.h"
#include "tools/VideoEncoder.h"
#include "tools/VideoRewriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QThreadPool>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace zev {

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

// What the batch operations of one stage share with the driver that waits
// for them. The driver counts the operations home itself, under a standard
// mutex, instead of relying on QThreadPool::waitForDone() alone: the pool
// hands over under Qt's futex locks, which ThreadSanitizer cannot see, and
// then every file name an operation wrote would look unordered to it.
class StageTally {
public:
    explicit StageTally(qsizetype operations)
        : remaining_(operations)
        , failures_(operations) {}

    void finish(qsizetype index, Result<> result) {
        const std::lock_guard lock(mutex_);
        if (!result)
            failures_[index] = std::move(result);
        if (--remaining_ == 0)
            allDone_.notify_all();
    }

    bool waitForAll(int milliseconds) {
        std::unique_lock lock(mutex_);
        return allDone_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                 [this]() { return remaining_ == 0; });
    }

    // The first failure in queue order is the one reported.
    Result<> firstFailure() {
        const std::lock_guard lock(mutex_);
        for (const std::optional<Result<>>& failure : std::as_const(failures_)) {
            if (failure)
                return *failure;
        }
        return Result<>::success();
    }

private:
    std::mutex mutex_;
    std::condition_variable allDone_;
    qsizetype remaining_;
    QList<std::optional<Result<>>> failures_;
};

} // namespace

ConversionDriver::ConversionDriver(ConversionSettings settings, QThreadPool& queue,
                                   const Cancellation& cancellation, ConversionObserver* observer)
    : PipelineRun(std::move(settings), cancellation, observer)
    , queue_(queue) {}

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

Result<> ConversionDriver::packedFramesComplete(const QString& folder, qint64 frameCount) {
    const QDir dir(folder);
    for (qint64 i = 0; i < frameCount; ++i) {
        const QFileInfo frame(dir.filePath(packedFrameName(i)));
        if (!frame.isFile() || frame.size() == 0)
            return Result<>::failure(
                tr("the packed frame %1 is missing or empty").arg(frame.absoluteFilePath()));
    }
    if (const qsizetype found = pngNames(folder).size(); found != frameCount)
        return Result<>::failure(tr("%1 holds %2 PNG files besides the packed frames 00000.png … %3")
                                     .arg(folder)
                                     .arg(found - frameCount)
                                     .arg(packedFrameName(frameCount - 1)));
    return Result<>::success();
}

qint64 ConversionDriver::framesWithBothLayers(const QString& alphaFolder, const QString& rgbFolder) {
    const QStringList masks = pngNames(alphaFolder);
    const QSet<QString> maskSet(masks.cbegin(), masks.cend());
    qint64 count = 0;
    for (const QString& colour : pngNames(rgbFolder))
        count += maskSet.contains(colour) ? 1 : 0;
    return count;
}

ConversionOutcome ConversionDriver::convert() {
    // The front ends offer the other layouts, sizes and quality targets
    // with express only; this pipeline's commands are fixed.
    if (!settings_.output.defaultPipelineCan())
        return failed(Result<>::failure(tr(
            "this conversion makes the default layout at the frames' size and a bitrate, in H.264 without "
            "sound, only; the chosen layout, mask size, colour, largest size, gap, quality target, codec or "
            "sound needs the express conversion")));
    reportStage(Stage::Scanning, 0);
    const Result<QStringList, ConversionOutcome> checked =
        checkFrames(settings_.useCache ? PreflightInput::Run::Cache : PreflightInput::Run::Full);
    if (!checked)
        return checked.failure();
    const QStringList& frames = *checked;
    batches_ = planBatches(frames.size());

    // Nothing below may touch the folder's cache or video without its lock.
    SourceFolderLock lock;
    if (std::optional<ConversionOutcome> refused = claimFolder(lock))
        return *refused;
    if (settings_.useCache)
        return encodeCached(frames.size());
    Result<std::unique_ptr<RunFolder>> run = takeRunFolder();
    if (!run)
        return failed(Result<>(run.failure()));
    alphaFolder_ = ScratchFolders::alphaImagesDirectoryPath((*run)->path());
    rgbFolder_ = ScratchFolders::rgbImagesDirectoryPath((*run)->path());
    appendFolder_ = ScratchFolders::appendImagesDirectoryPath((*run)->path());
    return convertInRunFolder(frames);
}

ConversionOutcome ConversionDriver::encodeCached(qint64 frameCount) {
    const QString& sourceFolder = settings_.sourceImageFolder;
    appendFolder_ = FrameCache::packedFramesFolder(sourceFolder);
    // Packed frames that are not ZEV's own, or lead out of the cache, are
    // not encoded.
    const Result<QString> checked = FrameCache::checkEntry(sourceFolder);
    if (!checked || !checked->isEmpty()) {
        const QString why = checked ? *checked : checked.reason();
        note(why);
        return failed(Result<>::failure(tr("the cache %1 cannot be used: %2; convert without the cache first")
                                            .arg(FrameCache::entryFolder(sourceFolder), why)));
    }
    if (Result<> cached = FrameCache::matches(sourceFolder, frameCount); !cached)
        return failed(Result<>::failure(
            tr("the cache %1 holds no packed frames of a finished full run of %2 with %3 frames: "
               "%4; convert without the cache first")
                .arg(FrameCache::entryFolder(sourceFolder), sourceFolder)
                .arg(frameCount)
                .arg(cached.reason())));
    if (Result<> complete = packedFramesComplete(appendFolder_, frameCount); !complete)
        return failed(complete);
    FrameCache::markUsed(sourceFolder);
    return encode(frameCount);
}

ConversionOutcome ConversionDriver::convertInRunFolder(const QStringList& frames) {
    const qint64 frameCount = frames.size();
    if (Result<> made = makePackedFrames(frames); !made)
        return cancelled() ? ConversionOutcome::cancelled() : failed(made);
    // A failed packing run leaves a gap at which the encoder would stop.
    if (Result<> complete = packedFramesComplete(appendFolder_, frameCount); !complete)
        return failed(complete);
    ConversionOutcome outcome = encode(frameCount);
    if (outcome.kind == ConversionOutcome::Kind::Succeeded)
        keepForCacheRuns(frameCount);
    return outcome;
}

// The video is written either way: a cache that cannot be kept only means
// the next cache run is refused with the reason.
void ConversionDriver::keepForCacheRuns(qint64 frameCount) {
    const QString& sourceFolder = settings_.sourceImageFolder;
    const Result<QString> stored = FrameCache::store(sourceFolder, appendFolder_, frameCount);
    if (!stored) {
        note(QStringLiteral("the packed frames are not kept for a cache run: %1").arg(stored.reason()));
        return;
    }
    if (!stored->isEmpty())
        note(*stored);
    note(
        QStringLiteral("packed frames kept for cache runs in %1").arg(FrameCache::entryFolder(sourceFolder)));
    for (const QString& removed : FrameCache::prune(settings_.cacheCapBytes))
        note(QStringLiteral("removed the least recently used cache %1 (the caches may take %2 MiB)")
                 .arg(removed)
                 .arg(settings_.cacheCapBytes >> 20));
}

// Made in the run's own folder: the folder's cache (the packed frames of
// its last good run, with their record) is only replaced once this run has
// written its video, so a run that fails or is stopped leaves it as it was.
Result<> ConversionDriver::makePackedFrames(const QStringList& frames) {
    QStringList masks;
    QStringList colours;
    if (Result<> extracted = extractLayers(frames, &masks, &colours); !extracted)
        return extracted;
    if (Result<> rebuilt = ScratchFolders::rebuild(appendFolder_); !rebuilt)
        return rebuilt;
    if (Result<> packed = packFrames(masks, colours); !packed)
        return packed;
    // Only the packed frames serve a later cache run; with the scratch
    // folder on tmpfs the copies would hold memory for good.
    (void)ScratchFolders::rebuild(alphaFolder_);
    (void)ScratchFolders::rebuild(rgbFolder_);
    return Result<>::success();
}

ConversionOutcome ConversionDriver::encode(qint64 frameCount) {
    const QString& sourceFolder = settings_.sourceImageFolder;
    const QString outputFolder = settings_.outputFolder();
    const qint64 framesNow = sizeOrZero(FrameFolderScanner::allImagesFullPathFrom(sourceFolder, nullptr));
    if (framesNow != frameCount)
        return failed(Result<>::failure(tr("the frame folder changed during the run: it held %1 frames, "
                                           "now %2")
                                            .arg(frameCount)
                                            .arg(framesNow)));
    if (cancelled())
        return ConversionOutcome::cancelled();

    const qint64 outputFrames = VideoEncoder::outputFrameCount(frameCount, settings_.fps);
    reportStage(Stage::Encoding, outputFrames);
    // The encoder writes a private name in the output folder, never the
    // video's own: a link standing there is not written through, and a
    // stopped or failed run leaves the previous video as it was.
    PendingVideo encoded(outputFolder, QStringLiteral("encoding"));
    FfmpegProgressReader reader;
    const Result<> made = VideoEncoder::convertImagesToMp4FromFolder(
        settings_.ffmpegPath, appendFolder_, encoded.path(), settings_.fps, settings_.rate,
        encodingOptions(reader, outputFrames));
    if (!made)
        return cancelled() ? ConversionOutcome::cancelled() : failed(made);
    PendingVideo rewritten(outputFolder, QStringLiteral("rewrite"));
    if (Result<> described = VideoRewriter::rewrite(settings_.ffmpegPath, encoded.path(), rewritten.path(),
                                                    settings_.fps, toolOptions());
        !described)
        return cancelled() ? ConversionOutcome::cancelled() : failed(described);
    // ffmpeg can exit with status 0 and still leave a video that is not the
    // one asked for; only reading it back tells.
    const PackedLayout layout = PackedLayout::place(frameSize(), OutputOptions());
    PendingVideo described(outputFolder, QStringLiteral("describing"));
    const Result<PendingVideo*> last = describeForPlayers(rewritten, described, layout, outputFrames);
    if (!last)
        return cancelled() ? ConversionOutcome::cancelled() : failed(Result<>(last.failure()));
    const Result<VideoFacts> committed =
        verifyAndCommit(**last, expectedVideo(outputFrames), layout, outputFrames);
    if (!committed)
        return cancelled() ? ConversionOutcome::cancelled() : failed(Result<>(committed.failure()));
    reportFrames(Stage::Encoding, outputFrames, outputFrames);
    return finished(outputFolder, layout, *committed);
}

Result<> ConversionDriver::extractLayers(const QStringList& frames, QStringList* masks,
                                         QStringList* colours) {
    for (const QString& folder : {alphaFolder_, rgbFolder_}) {
        if (Result<> rebuilt = ScratchFolders::rebuild(folder); !rebuilt)
            return rebuilt;
    }
    QList<std::function<Result<>()>> operations;
    const QString convert = settings_.convertPath;
    const ToolRunOptions options = toolOptions();
    for (const Batch& batch : batches_) {
        const QStringList slice = frames.mid(batch.start, batch.length);
        operations.append([convert, slice, folder = alphaFolder_, options]() {
            return ImageStages::extractImageAlpha(convert, slice, folder, options);
        });
        operations.append([convert, slice, folder = rgbFolder_, options]() {
            return ImageStages::extractImageRGB(convert, slice, folder, options);
        });
    }
    const qint64 frameCount = frames.size();
    if (Result<> extracted = runOnQueue(Stage::Extracting, frameCount, operations,
                                        [this]() { return framesWithBothLayers(alphaFolder_, rgbFolder_); });
        !extracted)
        return extracted;

    *masks = FrameFolderScanner::allImagesFullPathFrom(alphaFolder_, nullptr).value_or(QStringList());
    *colours = FrameFolderScanner::allImagesFullPathFrom(rgbFolder_, nullptr).value_or(QStringList());
    if (masks->size() != frameCount || colours->size() != frameCount)
        return Result<>::failure(tr("convert left %1 masks and %2 colour images for %3 frames")
                                     .arg(masks->size())
                                     .arg(colours->size())
                                     .arg(frameCount));
    return Result<>::success();
}

Result<> ConversionDriver::packFrames(const QStringList& masks, const QStringList& colours) {
    QList<std::function<Result<>()>> operations;
    const QString convert = settings_.convertPath;
    const ToolRunOptions options = toolOptions();
    for (const Batch& batch : batches_) {
        operations.append(
            [convert, masks = masks.mid(batch.start, batch.length),
             colours = colours.mid(batch.start, batch.length), folder = appendFolder_,
             options]() { return ImageStages::appendImages(convert, masks, colours, folder, options); });
    }
    return runOnQueue(Stage::Packing, masks.size(), operations,
                      [this]() { return qint64(pngNames(appendFolder_).size()); });
}

Result<> ConversionDriver::runOnQueue(Stage stage, qint64 total,
                                      const QList<std::function<Result<>()>>& operations,
                                      const std::function<qint64()>& countDone) {
    reportStage(stage, total);
    auto tally = std::make_shared<StageTally>(operations.size());
    const Cancellation* cancellation = &cancellation_;
    for (qsizetype index = 0; index < operations.size(); ++index) {
        ThreadHandOver::start(queue_, [operation = operations.at(index), index, tally, cancellation]() {
            // Once stopped, the batches still waiting start nothing.
            tally->finish(index, cancellation->isRequested()
                                     ? Result<>::failure(ConversionDriver::tr("stopped"))
                                     : operation());
        });
    }
    qint64 shown = -1;
    const auto reportCount = [&]() {
        const qint64 done = std::min(countDone(), total);
        if (done != shown)
            reportFrames(stage, done, total);
        shown = done;
    };
    while (!tally->waitForAll(kProgressPollMs))
        reportCount();
    queue_.waitForDone();
    reportCount();
    return tally->firstFailure();
}

} // namespace zev

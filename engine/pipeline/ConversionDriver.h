#pragma once

#include "core/Result.h"
#include "frames/PreflightInput.h"
#include "pipeline/ConversionObserver.h"
#include "pipeline/ConversionOutcome.h"
#include "pipeline/ConversionSettings.h"
#include "pipeline/PipelineRun.h"
#include "tools/ToolRunner.h"

#include <QCoreApplication>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QThreadPool;

namespace zev {

class Cancellation;
class RunLog;

// One conversion, from the frame folder to the video or to one error
// message, run on a background thread: the scan and numbering check, the
// frame folder's lock, the two layer stages and the packing stage on the
// work queue in a scratch folder of the run's own (or the folder's cached
// packed frames), the encoder, and the packed frames moved into the
// folder's cache. It never talks to a front
// end: it reports progress to its observer and answers with the outcome.
class ConversionDriver : public PipelineRun {
    Q_DECLARE_TR_FUNCTIONS(ConversionDriver)

public:
    static constexpr qint64 kBatchSize = 20;
    // How often frame counts are taken while a stage's batches run.
    static constexpr int kProgressPollMs = 200;

    struct Batch {
        qint64 start = 0;
        qint64 length = 0;
        bool operator==(const Batch&) const = default;
    };

    ConversionDriver(ConversionSettings settings, QThreadPool& queue, const Cancellation& cancellation,
                     ConversionObserver* observer = nullptr);

    // Batches of 20 frames; the last one takes the rest.
    static QList<Batch> planBatches(qint64 frameCount);

    // Succeeds when folder holds exactly the packed frames 00000.png … for
    // frames 0 to frameCount - 1 and no other PNG file, which is what the
    // encoder's file pattern will read; else names the first missing one.
    static Result<> packedFramesComplete(const QString& folder, qint64 frameCount);

    // Frames whose mask and colour copy both exist.
    static qint64 framesWithBothLayers(const QString& alphaFolder, const QString& rgbFolder);

private:
    ConversionOutcome convert() override;
    ConversionOutcome encodeCached(qint64 frameCount);
    ConversionOutcome convertInRunFolder(const QStringList& frames);
    Result<> makePackedFrames(const QStringList& frames);
    ConversionOutcome encode(qint64 frameCount);
    void keepForCacheRuns(qint64 frameCount);
    Result<> extractLayers(const QStringList& frames, QStringList* masks, QStringList* colours);
    Result<> packFrames(const QStringList& masks, const QStringList& colours);
    // Runs the operations on the work queue and waits for all of them,
    // reporting countDone() of total frames as they go; fails with the first
    // failure in queue order.
    Result<> runOnQueue(Stage stage, qint64 total, const QList<std::function<Result<>()>>& operations,
                        const std::function<qint64()>& countDone);

    QThreadPool& queue_;
    QList<Batch> batches_;
    QString alphaFolder_;
    QString rgbFolder_;
    QString appendFolder_;
};

} // namespace zev

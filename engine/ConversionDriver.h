#pragma once

#include "ConversionObserver.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>
#include <optional>

class ConversionController;

// One conversion, from the frame folder to the video or to one error
// message, run on a background thread. The controller's beginConverting()
// is this class's run().
class ConversionDriver {
public:
    static constexpr qint64 kBatchSize = 20;

    struct Batch {
        qint64 start = 0;
        qint64 length = 0;
        bool operator==(const Batch&) const = default;
    };

    explicit ConversionDriver(ConversionController& controller);

    // True when the video was written and the success alert requested;
    // false when exactly one error alert was requested.
    bool run();

    // Batches of 20 frames; the last one takes the rest.
    static QList<Batch> planBatches(qint64 frameCount);

    // True when folder holds exactly the packed frames 00000.png … for
    // frames 0 to frameCount - 1 and no other PNG file, which is what the
    // encoder's file pattern will read.
    static bool packedFramesComplete(const QString& folder, qint64 frameCount);

private:
    bool fail(const QString& message);
    bool framesAreConsecutive(const QStringList& frames) const;
    bool extractLayers(const QStringList& frames, const QString& alphaFolder, const QString& rgbFolder,
                       QStringList* masks, QStringList* colours);
    bool packFrames(const QStringList& masks, const QStringList& colours, const QString& appendFolder);
    // Runs the operations on the work queue and waits for all of them;
    // true when every one answered true.
    bool runOnQueue(ConversionObserver::Stage stage, const QList<std::function<bool()>>& operations);
    void reportStage(ConversionObserver::Stage stage, int totalSteps) const;

    ConversionController& controller_;
    QList<Batch> batches_;
};

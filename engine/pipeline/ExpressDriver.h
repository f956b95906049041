#pragma once

#include "core/Result.h"
#include "output/PackedLayout.h"
#include "pipeline/ConversionObserver.h"
#include "pipeline/ConversionOutcome.h"
#include "pipeline/ConversionSettings.h"
#include "pipeline/PipelineRun.h"
#include "tools/ExpressEncoder.h"
#include "tools/ToolRunner.h"

#include <QCoreApplication>
#include <QSize>
#include <QString>
#include <QStringList>

namespace zev {

class Cancellation;
class RunLog;

// The express conversion: the same checks and messages as ConversionDriver,
// then one ffmpeg run (ExpressEncoder) straight from the frames to the
// video, without ImageMagick or copies of the frames, and the same reading
// back of the video before it is announced. It reports one stage, encoding,
// counted in output frames.
//
// A media source (a video or animated image with transparency) is probed
// first and refused before anything is encoded when it has no alpha; ffmpeg
// then reads it directly, with the decoder that keeps its alpha, and its
// video is named after it.
//
// Like every run it holds the source's lock; its links
// (FrameLinkFolder) live in a scratch folder of the run's own. The video is written under a temporary name
// and only replaces the previous one once complete and verified (PendingVideo).
class ExpressDriver : public PipelineRun {
    Q_DECLARE_TR_FUNCTIONS(ExpressDriver)

public:
    ExpressDriver(ConversionSettings settings, const Cancellation& cancellation,
                  ConversionObserver* observer = nullptr);

private:
    ConversionOutcome convert() override;
    ConversionOutcome convertMedia();
    // frameCount: the frames of a folder, counted again after the run.
    ConversionOutcome encode(const ExpressEncoder::Input& input, const QString& straightening,
                             qint64 outputFrames, const PackedLayout& layout, qint64 frameCount);
    Result<> runFfmpeg(const ExpressEncoder::Input& input, const QString& straightening,
                       const QString& videoFile, const PackedLayout& layout, qint64 outputFrames);
    // The layout for the frames and the options, or why it cannot be encoded.
    Result<PackedLayout> planLayout();
};

} // namespace zev

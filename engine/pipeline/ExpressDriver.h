#pragma once

#include "core/Result.h"
#include "output/PackedLayout.h"
#include "pipeline/ConversionObserver.h"
#include "pipeline/ConversionOutcome.h"
#include "pipeline/ConversionSettings.h"
#include "pipeline/PipelineRun.h"
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
// video in the chosen codec and container, without ImageMagick or copies of
// the frames (and, with a sound file, a second short run that muxes it), and
// the same reading back of the video before it is announced. It reports one
// stage, encoding, counted in output frames.
//
// Like every run it holds the frame folder's lock; its links
// (FrameLinkFolder) live in a scratch folder of the run's own. The video is
// written under a temporary name and only replaces zev.mp4 or zev.webm once
// complete and verified (PendingVideo).
class ExpressDriver : public PipelineRun {
    Q_DECLARE_TR_FUNCTIONS(ExpressDriver)

public:
    ExpressDriver(ConversionSettings settings, const Cancellation& cancellation,
                  ConversionObserver* observer = nullptr);

private:
    ConversionOutcome convert() override;
    ConversionOutcome encode(const QStringList& frames, const QString& linkFolder,
                             const PackedLayout& layout);
    Result<> runFfmpeg(const QString& linkFolder, const QString& videoFile, const PackedLayout& layout,
                       qint64 outputFrames);
    // Muxes the sound file with the encoded video as the video's one sound
    // track of seconds.
    Result<> muxSound(const QString& encodedFile, double seconds, const QString& videoFile);
    // A sound file that cannot be read, or holds no sound, is refused
    // before anything is encoded.
    Result<> checkSound() const;
    // The layout for the frames and the options, or why it cannot be encoded.
    Result<PackedLayout> planLayout();
};

} // namespace zev

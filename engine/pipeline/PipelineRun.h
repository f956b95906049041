#pragma once

#include "core/Result.h"
#include "frames/PreflightFindings.h"
#include "frames/PreflightInput.h"
#include "output/PackedLayout.h"
#include "pipeline/ConversionObserver.h"
#include "pipeline/ConversionOutcome.h"
#include "pipeline/ConversionSettings.h"
#include "storage/RunFolder.h"
#include "tools/ToolRunner.h"
#include "tools/VideoVerifier.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <memory>

namespace zev {

class Cancellation;
class FfmpegProgressReader;
class PendingFiles;
class PendingVideo;
class RunLog;
class SourceFolderLock;

// What every pipeline's driver has while it runs: its settings, the request
// to stop, where its progress goes and the log of its run, and what every
// pipeline does alike: the log around the run, and the checks of the frame
// folder before any tool runs. A driver derives from it and supplies
// convert().
class PipelineRun {
    Q_DECLARE_TR_FUNCTIONS(PipelineRun)

public:
    virtual ~PipelineRun() = default;

    // Runs convert() with a fresh RunLog, and notes the outcome in it.
    ConversionOutcome run();

    // Why a folder the scanner found no frames in cannot even be listed.
    static Result<> unreadableFolderReason(const QString& folder);

    // The scratch folder this run is to work in, made before it started
    // (a front end asked where the next run works). Without one, or when it
    // no longer stands, the run makes its own.
    void useRunFolder(std::unique_ptr<RunFolder> folder) { preparedRunFolder_ = std::move(folder); }
    // Before a new video replaces the previous one, the previous one's
    // description goes: it would lie about the new one.
    static Result<> removeDescription(const QString& outputFolder);

protected:
    using Stage = ConversionObserver::Stage;

    PipelineRun(ConversionSettings settings, const Cancellation& cancellation, ConversionObserver* observer);

    virtual ConversionOutcome convert() = 0;

    // The checks every pipeline makes before any tool runs: an absolute
    // frame folder, its frames (listFrames()), and the
    // pre-flight of their headers, the free space and the output folder.
    // Answers the frames in frame order, or the refusal; the frame size and
    // any warning are kept.
    Result<QStringList, ConversionOutcome> checkFrames(PreflightInput::Run run);
    // The frames in frame order: numbered 0, 1, 2 … without a gap, or, for
    // the express conversion, any sequence FrameSequence accepts. A
    // refusal of the default pipeline says when the express conversion
    // would take the frames.
    Result<QStringList, ConversionOutcome> listFrames(bool express);
    // The frames found in the folder now, listed as listFrames() listed them.
    qint64 countFramesAgain() const;
    // Takes the frame folder's lock for the rest of the run, and removes
    // the temporary videos that killed runs of the folder left behind.
    // Returns the refusal when another run of the folder holds the lock.
    std::optional<ConversionOutcome> claimFolder(SourceFolderLock& lock);
    // What the written video must be, and the success that announces it,
    // with its size, its level and a warning when phones may refuse it.
    ExpectedVideo expectedVideo(qint64 outputFrames) const;
    ConversionOutcome succeeded(const QString& outputFolder, QSize packedSize) const;
    // The success once the video and the files beside it stand in the
    // output folder, with the bitrate read back when a quality target left
    // it open.
    ConversionOutcome finished(const QString& outputFolder, const PackedLayout& layout,
                               const VideoFacts& facts);
    // The descriptions the chosen players read inside the video, written into
    // a copy of it (described) as the last step, after the encoder's index
    // and any rewrite, and read back. Answers the video to check and commit:
    // described, or video itself when nothing goes into it.
    Result<PendingVideo*> describeForPlayers(PendingVideo& video, PendingVideo& described,
                                             const PackedLayout& layout, qint64 outputFrames) const;
    // The run's scratch folder: the one made for it, or a new one.
    Result<std::unique_ptr<RunFolder>> takeRunFolder();
    // What the run writes beside its video: zev.json when its layout needs
    // one, it was asked for, or the video is not the default H.264 zev.mp4
    // (OutputOptions::writesDescription). A run that needs none removes one
    // an earlier run left, which would now lie about the video.
    Result<> writeBesideFiles(PendingFiles& beside, const PackedLayout& layout, qint64 outputFrames,
                              const VideoFacts& facts) const;
    // After a video was written under one name, the video an earlier run
    // wrote under the other (zev.mp4 beside a new zev.webm): the folder
    // holds one video. Answers a warning for each that stays.
    static QString removeOtherVideos(const QString& video);
    // The description's name beside the video ("zev.json", "walk.json"),
    // and the file the players' web builds fetch ("vapc.json",
    // "walk.vapc.json").
    QString descriptionName() const;
    QString playerFileName() const;
    QSize frameSize() const { return findings_.frameSize; }
    // A media source's frames, which no frame check counted.
    void takeSourceFrames(QSize size, qint64 frames) {
        findings_.frameSize = size;
        frameCount_ = frames;
    }
    void addWarning(const QString& warning);
    // Reads the finished video back, writes the files beside it
    // (writeBesideFiles) under temporary names, and only then gives the
    // video and them their names; until then the previous video and the
    // files beside it stay as they were. Answers what the check read of it.
    Result<VideoFacts> verifyAndCommit(PendingVideo& video, const ExpectedVideo& expected,
                                       const PackedLayout& layout, qint64 outputFrames) const;
    // The conversion failed after its folder passed the checks.
    static ConversionOutcome failed(const Result<>& why);

    bool cancelled() const;
    // A line in the run's log.
    void note(const QString& line) const;
    void reportStage(Stage stage, qint64 total) const;
    void reportFrames(Stage stage, qint64 done, qint64 total) const;
    void reportTrial(int trial) const;
    // Every tool run can be stopped and is logged.
    ToolRunOptions toolOptions() const;
    // The same, and ffmpeg's frame reports (read into reader) become the
    // encoding stage's progress.
    ToolRunOptions encodingOptions(FfmpegProgressReader& reader, qint64 outputFrames) const;

    const ConversionSettings settings_;
    const Cancellation& cancellation_;
    ConversionObserver* observer_;
    RunLog* log_ = nullptr;

private:
    // Which number is missing or doubled when the frames are not numbered
    // 0, 1, 2 … without a gap.
    static Result<> numberingProblem(const QStringList& frames);
    static QString numberingReason(qint64 expected, qint64 number, const QString& name,
                                   const QString& previousName);
    // vapc.json beside the video when its players' web build needs it; one
    // an earlier run left is removed otherwise.
    Result<> writePlayerFiles(PendingFiles& beside, const PackedLayout& layout, qint64 outputFrames) const;
    // Where the written video no longer fits the target its options were
    // chosen for; empty when it fits or none was named.
    QString targetWarning(const PackedLayout& layout, const VideoFacts& facts) const;
    // Points a failure's reason at the log, and notes the outcome in it.
    static ConversionOutcome withLog(ConversionOutcome outcome, RunLog& log);

    std::unique_ptr<RunFolder> preparedRunFolder_;
    qint64 frameCount_ = 0;
    PreflightFindings findings_;

protected:
    // The rate zev.json names as the animation's, when it is not the
    // settings' (a media source shown at its own rate).
    qint64 describedInputFps_ = 0;

private:
    // What the layout adds to the findings' warning.
    QString layoutWarning_;
};

} // namespace zev

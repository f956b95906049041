#include "pipeline/PipelineRun.h"

#include "core/Cancellation.h"
#include "core/IntegerText.h"
#include "core/SystemError.h"
#include "core/UserTexts.h"
#include "frames/FrameFolderScanner.h"
#include "frames/FramePreflight.h"
#include "storage/RunLog.h"
#include "storage/ScratchFolders.h"
#include "tools/FfmpegProgressReader.h"
#include "tools/VideoEncoder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <dirent.h>

PipelineRun::PipelineRun(ConversionSettings settings, const Cancellation& cancellation,
                         ConversionObserver* observer)
    : settings_(std::move(settings))
    , cancellation_(cancellation)
    , observer_(observer) {}

ConversionOutcome PipelineRun::run() {
    RunLog log(QStringLiteral("converting %1 (%2 fps, %3 kbit/s%4)")
                   .arg(settings_.sourceImageFolder)
                   .arg(settings_.fps)
                   .arg(settings_.rate)
                   .arg(settings_.express    ? QStringLiteral(", express")
                        : settings_.useCache ? QStringLiteral(", from the cache")
                                             : QString()));
    log_ = &log;
    ConversionOutcome outcome = convert();
    log_ = nullptr;
    outcome.frames = frameCount_;
    return withLog(std::move(outcome), log);
}

ConversionOutcome PipelineRun::withLog(ConversionOutcome outcome, RunLog& log) {
    if (!log.isOpen())
        return outcome;
    outcome.logPath = log.path();
    switch (outcome.kind) {
    case ConversionOutcome::Kind::Succeeded:
        log.note(QStringLiteral("\nwritten: %1").arg(VideoEncoder::videoPath(outcome.outputFolder)));
        break;
    case ConversionOutcome::Kind::Cancelled:
        log.note(QStringLiteral("\nstopped on request"));
        break;
    case ConversionOutcome::Kind::Failed:
        log.note(QStringLiteral("\nfailed: %1%2")
                     .arg(outcome.message, outcome.reason.isEmpty()
                                               ? QString()
                                               : QStringLiteral(" (") + outcome.reason + u')'));
        if (!outcome.reason.isEmpty()) {
            if (!outcome.reason.endsWith(u'.'))
                outcome.reason += u'.';
            outcome.reason += QStringLiteral(" The run's log is %1.").arg(log.path());
        }
        break;
    }
    return outcome;
}

std::optional<ConversionOutcome> PipelineRun::checkFrames(PreflightInput::Run run, QStringList* frames) {
    const QString& folder = settings_.sourceImageFolder;
    // Tools read a relative path in ways of their own ("-x/0.png" as an
    // option, "x:y/…" as a protocol); every front end gives absolute ones.
    if (QDir::isRelativePath(folder))
        return failed(Result<>::failure(tr("the frame folder %1 is not an absolute path").arg(folder)));
    ConvertError error;
    const std::optional<QStringList> found = FrameFolderScanner::allImagesFullPathFrom(folder, &error);
    if (!found)
        return ConversionOutcome::failure(error.message(), unreadableFolderReason(folder));
    frameCount_ = found->size();
    if (!framesAreConsecutive(*found))
        return ConversionOutcome::failure(UserTexts::kFramesNotConsecutive);
    PreflightInput input;
    input.frames = *found;
    input.scratchFolder = ScratchFolders::userFolder();
    input.outputFolder = settings_.outputFolder();
    input.run = run;
    input.fps = settings_.fps;
    input.rateKbits = settings_.rate;
    const PreflightReport preflight = FramePreflight::check(input);
    if (!preflight.ok)
        return failed(Result<>::failure(preflight.reason));
    frameSize_ = preflight.frameSize;
    warning_ = preflight.warning.value_or(QString());
    *frames = *found;
    return std::nullopt;
}

// The scanner answers an unreadable folder as one without frames; the
// message stays, and the reason tells the truth.
Result<> PipelineRun::unreadableFolderReason(const QString& folder) {
    DIR* listing = ::opendir(QFile::encodeName(folder).constData());
    if (listing) {
        ::closedir(listing);
        return Result<>::success();
    }
    return Result<>::failure(
        QStringLiteral("cannot read the folder %1: %2").arg(folder, SystemError::text(errno)));
}

bool PipelineRun::framesAreConsecutive(const QStringList& frames) {
    for (qint64 i = 0; i < frames.size(); ++i) {
        const QString baseName =
            FrameFolderScanner::deletingPathExtension(QFileInfo(frames.at(i)).fileName());
        if (IntegerText::integerValue(baseName) != i)
            return false;
    }
    return true;
}

ConversionOutcome PipelineRun::succeeded(const QString& outputFolder) const {
    return ConversionOutcome::success(outputFolder, warning_);
}

ExpectedVideo PipelineRun::expectedVideo(qint64 outputFrames) const {
    return {2 * frameSize_.width(), frameSize_.height(), outputFrames};
}

ConversionOutcome PipelineRun::failed(const Result<>& why) {
    return ConversionOutcome::failure(UserTexts::kConversionFailed, why);
}

bool PipelineRun::cancelled() const {
    return cancellation_.isRequested();
}

void PipelineRun::reportStage(Stage stage, qint64 total) const {
    if (observer_)
        observer_->stageStarted(stage, total);
}

void PipelineRun::reportFrames(Stage stage, qint64 done, qint64 total) const {
    if (observer_)
        observer_->framesDone(stage, done, total);
}

ToolRunOptions PipelineRun::toolOptions() const {
    ToolRunOptions options;
    options.cancellation = &cancellation_;
    options.log = log_;
    return options;
}

ToolRunOptions PipelineRun::encodingOptions(FfmpegProgressReader& reader, qint64 outputFrames) const {
    ToolRunOptions options = toolOptions();
    options.standardErrorReceived = [this, &reader, outputFrames](const QByteArray& piece) {
        const qint64 before = reader.frames();
        const qint64 now = reader.feed(piece);
        if (now != before)
            reportFrames(Stage::Encoding, std::min(now, outputFrames), outputFrames);
    };
    return options;
}

#include "pipeline/PipelineRun.h"

#include "core/Cancellation.h"
#include "core/IntegerText.h"
#include "core/SystemError.h"
#include "core/UserTexts.h"
#include "frames/FrameFolderScanner.h"
#include "frames/FramePreflight.h"
#include "frames/FrameSequence.h"
#include "output/OutputFolder.h"
#include "output/PlayerTargets.h"
#include "pipeline/PendingFiles.h"
#include "pipeline/PendingVideo.h"
#include "storage/RunLog.h"
#include "storage/ScratchFolders.h"
#include "storage/SourceFolderLock.h"
#include "tools/CodecLimits.h"
#include "tools/EmbeddedDescriptions.h"
#include "tools/FfmpegProgressReader.h"
#include "tools/VideoEncoder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <dirent.h>

namespace zev {

namespace {

// The reason with a full stop of its language, so the log's path can follow.
QString asSentence(const QString& reason) {
    static const QString stops = QStringLiteral(".!?。！？");
    if (!reason.isEmpty() && stops.contains(reason.back()))
        return reason;
    return reason + PipelineRun::tr(".", "ends a reason before the log's path");
}

} // namespace

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
                                             : QString()),
               settings_.sourceImageFolder);
    log_ = &log;
    ConversionOutcome outcome = convert();
    log_ = nullptr;
    outcome.frames = frameCount_;
    // Space found short of the worst case before the run may be why it
    // failed.
    if (outcome.kind == ConversionOutcome::Kind::Failed && !findings_.spaceWarning.isEmpty()) {
        if (!outcome.reason.isEmpty())
            outcome.reason += outcome.reason.endsWith(u'.') ? QStringLiteral(" ") : QStringLiteral(". ");
        outcome.reason += findings_.spaceWarning;
    }
    return withLog(std::move(outcome), log);
}

ConversionOutcome PipelineRun::withLog(ConversionOutcome outcome, RunLog& log) {
    if (!log.isOpen())
        return outcome;
    outcome.logPath = log.path();
    switch (outcome.kind) {
    case ConversionOutcome::Kind::Succeeded:
        log.note(QStringLiteral("\nwritten: %1").arg(outcome.video));
        break;
    case ConversionOutcome::Kind::Cancelled:
        log.note(QStringLiteral("\nstopped on request"));
        break;
    case ConversionOutcome::Kind::Failed:
        log.note(QStringLiteral("\nfailed: %1%2")
                     .arg(outcome.message, outcome.reason.isEmpty()
                                               ? QString()
                                               : QStringLiteral(" (") + outcome.reason + u')'));
        if (!outcome.reason.isEmpty())
            outcome.reason = tr("%1 The run's log is %2.").arg(asSentence(outcome.reason), log.path());
        break;
    }
    return outcome;
}

Result<QStringList, ConversionOutcome> PipelineRun::checkFrames(PreflightInput::Run run) {
    const QString& folder = settings_.sourceImageFolder;
    // Tools read a relative path in ways of their own ("-x/0.png" as an
    // option, "x:y/…" as a protocol); every front end gives absolute ones.
    if (QDir::isRelativePath(folder))
        return failed(Result<>::failure(tr("the frame folder %1 is not an absolute path").arg(folder)));
    Result<QStringList, ConversionOutcome> listed = listFrames(run == PreflightInput::Run::Express);
    if (!listed)
        return listed;
    const QStringList& found = *listed;
    PreflightInput input;
    input.frames = found;
    input.scratchFolder = ScratchFolders::userFolder();
    input.outputFolder = settings_.outputFolder();
    input.run = run;
    input.fps = settings_.fps;
    input.rateKbits = settings_.rate;
    Result<PreflightFindings> preflight = FramePreflight::check(input);
    if (!preflight)
        return failed(preflight.failure());
    findings_ = std::move(preflight).value();
    if (!findings_.spaceWarning.isEmpty())
        log_->note(findings_.spaceWarning);
    return found;
}

Result<QStringList, ConversionOutcome> PipelineRun::listFrames(bool express) {
    const QString& folder = settings_.sourceImageFolder;
    ConvertError error;
    const std::optional<QStringList> found = FrameFolderScanner::allImagesFullPathFrom(folder, &error);
    const Result<> numbered = found ? numberingProblem(*found) : Result<>::success();
    frameCount_ = found ? found->size() : 0;
    if (found && numbered)
        return *found;
    const bool misnamed = !found && error.message() == FrameFolderScanner::kNotNumbered;
    if (!found && !misnamed)
        return ConversionOutcome::failure(error.message(), unreadableFolderReason(folder));

    // Names such as comp_00000.png, or numbers that start above 0.
    const Result<QStringList, FrameSequence::Refusal> sequence = FrameSequence::scan(folder);
    if (express) {
        if (!sequence)
            return ConversionOutcome::failure(sequence.failure().message,
                                              Result<>::failure(sequence.failure().reason));
        frameCount_ = sequence->size();
        return *sequence;
    }
    const QString hint = sequence ? tr("The express conversion takes these frames (%1) in number order.")
                                        .arg(FrameSequence::span(*sequence))
                                  : QString();
    if (misnamed)
        return ConversionOutcome::failure(FrameFolderScanner::kNotNumbered, Result<>::failure(hint));
    const QString reason = hint.isEmpty() ? numbered.reason() : asSentence(numbered.reason()) + u' ' + hint;
    return ConversionOutcome::failure(UserTexts::kFramesNotConsecutive, Result<>::failure(reason));
}

qint64 PipelineRun::countFramesAgain() const {
    const QString& folder = settings_.sourceImageFolder;
    if (settings_.express) {
        if (const Result<QStringList, FrameSequence::Refusal> sequence = FrameSequence::scan(folder);
            sequence)
            return sequence->size();
    }
    return FrameFolderScanner::allImagesFullPathFrom(folder, nullptr).value_or(QStringList()).size();
}

std::optional<ConversionOutcome> PipelineRun::claimFolder(SourceFolderLock& lock) {
    if (Result<> ready = ScratchFolders::prepareUserFolder(); !ready)
        return failed(ready);
    if (Result<> locked = lock.tryLock(settings_.sourceImageFolder); !locked)
        return failed(locked);
    PendingVideo::removeAbandoned(settings_.outputFolder());
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
    return Result<>::failure(tr("cannot read the folder %1: %2").arg(folder, SystemError::text(errno)));
}

Result<> PipelineRun::numberingProblem(const QStringList& frames) {
    QString previousName;
    for (qint64 i = 0; i < frames.size(); ++i) {
        const QString name = QFileInfo(frames.at(i)).fileName();
        const qint64 number = IntegerText::integerValue(FrameFolderScanner::deletingPathExtension(name));
        if (number != i)
            return Result<>::failure(numberingReason(i, number, name, previousName));
        previousName = name;
    }
    return Result<>::success();
}

// The frames come in numeric order, so the first number out of step is a
// repeat of the one before, or the end of a gap.
QString PipelineRun::numberingReason(qint64 expected, qint64 number, const QString& name,
                                     const QString& previousName) {
    if (expected > 0 && number == expected - 1)
        return tr("%1 and %2 are both frame %3").arg(previousName, name).arg(number);
    if (number > expected && expected == 0)
        return tr("frame 0 is missing: the first frame is %1").arg(name);
    if (number > expected)
        return tr("frame %1 is missing: %2 follows %3").arg(expected).arg(name, previousName);
    return tr("%1 stands where frame %2 should be").arg(name).arg(expected);
}

ConversionOutcome PipelineRun::succeeded(const QString& outputFolder, QSize size) const {
    const double fps = double(VideoEncoder::kVideoRate);
    // A quality target leaves the bitrate to the encoder: only the size counts.
    const qint64 rate = settings_.output.leavesRateOpen() ? 0 : settings_.rate;
    QStringList warnings;
    if (const QString found = findings_.warning(); !found.isEmpty())
        warnings.append(found);
    if (!layoutWarning_.isEmpty())
        warnings.append(layoutWarning_);
    const VideoFormat& format = settings_.output.format;
    if (const std::optional<QString> phones =
            CodecLimits::phoneWarning(format.codec, size, findings_.frameSize, fps, rate))
        warnings.append(*phones);
    if (const std::optional<QString> playback = CodecLimits::playbackWarning(format))
        warnings.append(*playback);
    ConversionOutcome outcome = ConversionOutcome::success(outputFolder, warnings.join(u'\n'));
    outcome.video = settings_.videoPath();
    outcome.videoSize = size;
    outcome.level = CodecLimits::level(format.codec, size, fps, rate).value_or(QString());
    return outcome;
}

ConversionOutcome PipelineRun::finished(const QString& outputFolder, const PackedLayout& layout,
                                        const VideoFacts& facts) {
    ConversionOutcome outcome = succeeded(outputFolder, layout.packed);
    if (settings_.output.leavesRateOpen())
        outcome.bitrateKbits = facts.bitrateKbits();
    for (const QString& warning : {targetWarning(layout, facts), removeOtherVideos(outcome.video)})
        if (!warning.isEmpty())
            outcome.warning = outcome.warning.isEmpty() ? warning : outcome.warning + u'\n' + warning;
    return outcome;
}

Result<> PipelineRun::writeBesideFiles(PendingFiles& beside, const PackedLayout& layout, qint64 outputFrames,
                                       const VideoFacts& facts) const {
    if (Result<> players = writePlayerFiles(beside, layout, outputFrames); !players)
        return players;
    const OutputOptions& options = settings_.output;
    if (!options.writesDescription()) {
        beside.remove(descriptionName());
        return Result<>::success();
    }
    VideoDescription description = layout.describe(options);
    description.video = QFileInfo(settings_.videoPath()).fileName();
    description.frames = outputFrames;
    description.inputFps = describedInputFps_ > 0 ? describedInputFps_ : settings_.fps;
    description.outputFps = VideoEncoder::kVideoRate;
    description.codec = facts.video().codec;
    description.profile = facts.video().profile;
    description.level = facts.video().level;
    description.pixelFormat = facts.video().pixelFormat;
    const ColourDescription& colour = facts.video().colour;
    description.colour = {colour.matrix, colour.range, colour.primaries, colour.transfer};
    for (const VideoFacts::Stream& stream : facts.streams)
        if (stream.isAudio())
            description.audio = stream.codec;
    return beside.write(descriptionName(), description.toFileBytes());
}

Result<std::unique_ptr<RunFolder>> PipelineRun::takeRunFolder() {
    std::unique_ptr<RunFolder> folder = std::move(preparedRunFolder_);
    const QFileInfo made(folder ? folder->path() : QString());
    if (folder && made.isDir() && !made.isSymLink())
        return folder;
    folder = std::make_unique<RunFolder>();
    if (Result<> created = folder->create(); !created)
        return created.failure();
    return folder;
}

QString PipelineRun::descriptionName() const {
    return QFileInfo(VideoDescription::pathBeside(settings_.videoPath())).fileName();
}

QString PipelineRun::playerFileName() const {
    if (!settings_.mediaSource)
        return VapcDescription::kFileName;
    // Two movies of one folder must not share the file their players fetch.
    return QFileInfo(settings_.videoPath()).completeBaseName() + u'.' + VapcDescription::kFileName;
}

QString PipelineRun::removeOtherVideos(const QString& video) {
    const QFileInfo written(video);
    QStringList left;
    for (const QString& name : OutputFolder::videoNames(written.completeBaseName())) {
        if (name == written.fileName())
            continue;
        QFile other(written.dir().filePath(name));
        const QFileInfo there(other.fileName());
        if ((there.exists() || there.isSymLink()) && !other.remove())
            left.append(tr("The previous video %1 could not be removed (%2); the folder's video is now %3.")
                            .arg(other.fileName(), other.errorString(), written.fileName()));
    }
    return left.join(u'\n');
}

Result<> PipelineRun::removeDescription(const QString& outputFolder) {
    for (const QString& name : {VideoDescription::kFileName, VapcDescription::kFileName}) {
        const QString path = FrameFolderScanner::joinPath(outputFolder, name);
        QFile description(path);
        const QFileInfo there(path);
        if ((there.exists() || there.isSymLink()) && !description.remove())
            return Result<>::failure(tr("cannot remove %1, which describes the previous video: %2")
                                         .arg(path, description.errorString()));
    }
    return Result<>::success();
}

Result<PendingVideo*> PipelineRun::describeForPlayers(PendingVideo& video, PendingVideo& described,
                                                      const PackedLayout& layout, qint64 outputFrames) const {
    const OutputOptions& options = settings_.output;
    if (!options.players.inVideo() || options.format.container != VideoFormat::Container::Mp4)
        return &video;
    const int fps = int(VideoEncoder::kVideoRate);
    EmbeddedDescriptions::Written written;
    if (options.players.vapcBox)
        written.vapc = VapcDescription::of(layout, outputFrames, fps);
    if (options.players.markers)
        written.marked = MarkedDescription::of(layout, fps, !options.audioFile.isEmpty());
    if (Result<> made = EmbeddedDescriptions::write(video.path(), described.path(), written, &cancellation_);
        !made)
        return made.failure();
    if (Result<> readBack = EmbeddedDescriptions::check(described.path(), written); !readBack)
        return readBack.failure();
    note(QStringLiteral("players' descriptions written:%1%2")
             .arg(written.vapc ? QStringLiteral(" vapc box") : QString(),
                  written.marked ? QStringLiteral(" marked metadata") : QString()));
    return &described;
}

Result<> PipelineRun::writePlayerFiles(PendingFiles& beside, const PackedLayout& layout,
                                       qint64 outputFrames) const {
    if (!settings_.output.players.vapcFile) {
        beside.remove(playerFileName());
        return Result<>::success();
    }
    return beside.write(playerFileName(),
                        VapcDescription::of(layout, outputFrames, int(VideoEncoder::kVideoRate)).toJson());
}

QString PipelineRun::targetWarning(const PackedLayout& layout, const VideoFacts& facts) const {
    const PlayerTarget* target = PlayerTargets::find(settings_.output.target);
    if (!target)
        return {};
    VideoTraits traits = VideoTraits::planned(layout, settings_.output);
    traits.codec = facts.video().codec;
    traits.codecTag = facts.video().codecTag;
    const QStringList reasons = target->check(traits).reasons;
    if (reasons.isEmpty())
        return {};
    return tr("The video no longer fits the target %1 (%2): %3.")
        .arg(target->name, target->title(), reasons.join(QStringLiteral("; ")));
}

void PipelineRun::addWarning(const QString& warning) {
    layoutWarning_ = layoutWarning_.isEmpty() ? warning : layoutWarning_ + u' ' + warning;
}

Result<VideoFacts> PipelineRun::verifyAndCommit(PendingVideo& video, const ExpectedVideo& expected,
                                                const PackedLayout& layout, qint64 outputFrames) const {
    Result<VideoFacts> verified =
        VideoVerifier::verify(settings_.ffprobePath, video.path(), expected, toolOptions());
    if (!verified)
        return verified;
    PendingFiles beside(QFileInfo(video.path()).path());
    if (Result<> written = writeBesideFiles(beside, layout, outputFrames, *verified); !written)
        return written.failure();
    if (Result<> committed = beside.commit(video); !committed)
        return committed.failure();
    return verified;
}

ExpectedVideo PipelineRun::expectedVideo(qint64 outputFrames) const {
    return ExpectedVideo::of(VideoFormat(), 2 * findings_.frameSize.width(), findings_.frameSize.height(),
                             outputFrames);
}

ConversionOutcome PipelineRun::failed(const Result<>& why) {
    return ConversionOutcome::failure(UserTexts::kConversionFailed, why);
}

bool PipelineRun::cancelled() const {
    return cancellation_.isRequested();
}

void PipelineRun::note(const QString& line) const {
    if (log_)
        log_->note(line);
}

void PipelineRun::reportStage(Stage stage, qint64 total) const {
    if (observer_)
        observer_->stageStarted(stage, total);
}

void PipelineRun::reportFrames(Stage stage, qint64 done, qint64 total) const {
    if (observer_)
        observer_->framesDone(stage, done, total);
}

void PipelineRun::reportTrial(int trial) const {
    if (observer_)
        observer_->trialStarted(trial);
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

} // namespace zev

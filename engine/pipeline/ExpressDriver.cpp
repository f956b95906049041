#include "pipeline/ExpressDriver.h"

#include "core/Cancellation.h"
#include "core/UserTexts.h"
#include "frames/FrameFolderScanner.h"
#include "frames/FrameLinkFolder.h"
#include "frames/FramePreflight.h"
#include "pipeline/PendingVideo.h"
#include "storage/RunFolder.h"
#include "storage/RunLog.h"
#include "storage/SourceFolderLock.h"
#include "tools/CodecLimits.h"
#include "tools/ExpressEncoder.h"
#include "tools/FfmpegProgressReader.h"
#include "tools/MediaSource.h"
#include "tools/ToolRunner.h"
#include "tools/VideoEncoder.h"
#include "tools/VideoProbe.h"
#include "tools/VideoVerifier.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <algorithm>
#include <cmath>
#include <optional>

namespace zev {

namespace {

ExpectedVideo packedVideo(const VideoFormat& format, const PackedLayout& layout, qint64 outputFrames) {
    return ExpectedVideo::of(format, layout.packed.width(), layout.packed.height(), outputFrames);
}

} // namespace

ExpressDriver::ExpressDriver(ConversionSettings settings, const Cancellation& cancellation,
                             ConversionObserver* observer)
    : PipelineRun(std::move(settings), cancellation, observer) {}

ConversionOutcome ExpressDriver::convert() {
    if (settings_.mediaSource)
        return convertMedia();
    reportStage(Stage::Scanning, 0);
    const Result<QStringList, ConversionOutcome> checked = checkFrames(PreflightInput::Run::Express);
    if (!checked)
        return checked.failure();
    const QStringList& frames = *checked;

    const Result<PackedLayout> layout = planLayout();
    if (!layout)
        return failed(Result<>(layout.failure()));
    if (Result<> sound = checkSound(); !sound)
        return failed(sound);

    SourceFolderLock lock;
    if (std::optional<ConversionOutcome> refused = claimFolder(lock))
        return *refused;
    // Declared before the links, so they go first.
    Result<std::unique_ptr<RunFolder>> run = takeRunFolder();
    if (!run)
        return failed(Result<>(run.failure()));

    FrameLinkFolder links;
    if (Result<> linked = links.create((*run)->path(), frames); !linked)
        return failed(linked);
    if (cancelled())
        return ConversionOutcome::cancelled();
    ExpressEncoder::Encoding input;
    input.linkFolder = links.path();
    input.fps = settings_.fps;
    input.outputFrames = VideoEncoder::outputFrameCount(frames.size(), settings_.fps);
    return encode(input, QString(), *layout, frames.size());
}

// A file that cannot be converted gets the message a file always got here,
// with the reason beside it.
ConversionOutcome ExpressDriver::convertMedia() {
    reportStage(Stage::Scanning, 0);
    const QString& file = settings_.sourceImageFolder;
    if (QDir::isRelativePath(file))
        return failed(Result<>::failure(tr("the source %1 is not an absolute path").arg(file)));
    Result<MediaSource> source = MediaSource::probe(settings_.ffprobePath, file, toolOptions());
    if (cancelled())
        return ConversionOutcome::cancelled();
    if (!source)
        return ConversionOutcome::failure(UserTexts::kNotAFolder, Result<>(source.failure()));
    if (settings_.sourcePremultiplied)
        source->alpha =
            *settings_.sourcePremultiplied ? MediaSource::Alpha::Premultiplied : MediaSource::Alpha::Straight;
    takeSourceFrames(source->size, source->frames);
    const std::optional<qint64> typedFps =
        settings_.fpsTyped ? std::optional<qint64>(settings_.fps) : std::nullopt;
    describedInputFps_ = qRound64(source->effectiveFps(typedFps));
    note(QStringLiteral("source: %1 %2, %3×%4, %5 frames at %6/%7 fps%8, %9 alpha")
             .arg(source->codec, source->pixelFormat)
             .arg(source->size.width())
             .arg(source->size.height())
             .arg(source->frames)
             .arg(source->rateNumerator)
             .arg(source->rateDenominator)
             .arg(typedFps ? QStringLiteral(" shown at %1 fps").arg(*typedFps) : QString())
             .arg(source->alpha == MediaSource::Alpha::Premultiplied ? QStringLiteral("premultiplied")
                                                                     : QStringLiteral("straight")));
    if (Result<> output = FramePreflight::checkOutputFolder(settings_.outputFolder()); !output)
        return failed(output);
    const Result<PackedLayout> layout = planLayout();
    if (!layout)
        return failed(Result<>(layout.failure()));
    if (Result<> sound = checkSound(); !sound)
        return failed(sound);

    SourceFolderLock lock;
    if (std::optional<ConversionOutcome> refused = claimFolder(lock))
        return *refused;
    if (cancelled())
        return ConversionOutcome::cancelled();
    ExpressEncoder::Encoding input;
    input.media = *source;
    input.fps = typedFps.value_or(0);
    input.outputFrames = source->outputFrames(typedFps, VideoEncoder::kVideoRate);
    return encode(input, source->straighteningFilter(), *layout, 0);
}

Result<PackedLayout> ExpressDriver::planLayout() {
    const OutputOptions& options = settings_.output;
    const PackedLayout layout = PackedLayout::plan(frameSize(), options);
    // x264 and x265 in yuv420p refuse odd sides (the exact halves of
    // odd-sized frames stacked the other way have one), x265 small ones.
    if (const std::optional<QString> refused =
            CodecLimits::sizeRefusal(options.format.codec, layout.packed, frameSize()))
        return Result<PackedLayout>::failure(*refused);
    if (log_)
        log_->note(QStringLiteral("packed %1×%2: frames at %3×%4, colour at %5,%6, mask %7×%8 at %9,%10")
                       .arg(layout.packed.width())
                       .arg(layout.packed.height())
                       .arg(layout.frame.width())
                       .arg(layout.frame.height())
                       .arg(layout.colourRect.x())
                       .arg(layout.colourRect.y())
                       .arg(layout.maskRect.width())
                       .arg(layout.maskRect.height())
                       .arg(layout.maskRect.x())
                       .arg(layout.maskRect.y()));
    if (options.fit > 0 && !PackedLayout::fits(layout.packed, options.fit))
        addWarning(
            tr("the packed video is %1×%2 even with the frames at %3×%4: more than a fit of %5 allows.")
                .arg(layout.packed.width())
                .arg(layout.packed.height())
                .arg(layout.frame.width())
                .arg(layout.frame.height())
                .arg(options.fit));
    return layout;
}

ConversionOutcome ExpressDriver::encode(const ExpressEncoder::Encoding& input, const QString& straightening,
                                        const PackedLayout& layout, qint64 frameCount) {
    source_ = input;
    straightening_ = straightening;
    sourceFrames_ = frameCount;
    const QString outputFolder = settings_.outputFolder();
    // As for the default encoder: a plain file standing there is left alone,
    // and the run then fails to write.
    if (!QFileInfo::exists(outputFolder))
        QDir().mkpath(outputFolder);

    std::optional<RateChoice> choice;
    const Made made = settings_.output.searchesRate()
                          ? search(layout, choice)
                          : make(layout, settings_.output.crf, QStringLiteral("express"));
    if (!made)
        return cancelled() ? ConversionOutcome::cancelled() : failed(Result<>(made.failure()));
    const Product& product = **made;
    const qint64 outputFrames = source_.outputFrames;
    const Result<VideoFacts> committed =
        verifyAndCommit(*product.last, product.expected, layout, outputFrames);
    if (!committed)
        return cancelled() ? ConversionOutcome::cancelled() : failed(Result<>(committed.failure()));
    reportFrames(Stage::Encoding, outputFrames, outputFrames);
    ConversionOutcome outcome = finished(outputFolder, layout, *committed);
    outcome.rateChoice = choice;
    return outcome;
}

ExpressDriver::Made ExpressDriver::make(const PackedLayout& layout, std::optional<double> crf,
                                        const QString& trial) {
    const QString outputFolder = settings_.outputFolder();
    // Stage names hold no '-': the pid follows the first one
    // (PendingVideo::removeAbandoned).
    const QString stage = trial.isEmpty() ? QStringLiteral("express") : trial;
    const VideoFormat& format = settings_.output.format;
    const QString videoPath = settings_.videoPath();
    auto product = std::make_unique<Product>();
    product->encoded = std::make_unique<PendingVideo>(outputFolder, stage, videoPath);
    const qint64 outputFrames = source_.outputFrames;
    if (Result<> encoded = runFfmpeg(product->encoded->path(), layout, crf); !encoded)
        return encoded.failure();
    // A frame taken away during the run would have ended ffmpeg's sequence
    // early without an error.
    if (sourceFrames_ > 0) {
        if (const qint64 framesNow = countFramesAgain(); framesNow != sourceFrames_)
            return Made::failure(tr("the frame folder changed during the run: it held %1 frames, now %2")
                                     .arg(sourceFrames_)
                                     .arg(framesNow));
    }
    product->expected = packedVideo(format, layout, outputFrames);
    product->last = product->encoded.get();
    // The sound goes in by a second run that copies the video: with the
    // frame count that cuts the video, ffmpeg 5.1 ends every stream of the
    // file at once, while the sound is still as far behind as the video
    // encoder's lookahead (a second of VP9's).
    if (!settings_.output.audioFile.isEmpty()) {
        const double seconds = double(outputFrames) / double(VideoEncoder::kVideoRate);
        product->withSound =
            std::make_unique<PendingVideo>(outputFolder, trial + QStringLiteral("sound"), videoPath);
        if (Result<> muxed = muxSound(product->encoded->path(), seconds, product->withSound->path()); !muxed)
            return muxed.failure();
        product->expected =
            product->expected.withSound(ExpressEncoder::soundCodec(format.container), seconds);
        product->last = product->withSound.get();
    }
    product->described =
        std::make_unique<PendingVideo>(outputFolder, trial + QStringLiteral("describing"), videoPath);
    const Result<PendingVideo*> last =
        describeForPlayers(*product->last, *product->described, layout, outputFrames);
    if (!last)
        return last.failure();
    product->last = *last;
    return product;
}

RateSearch::Scale ExpressDriver::crfScale(VideoFormat::Codec codec) {
    RateSearch::Scale scale;
    scale.finest = 0;
    scale.coarsest = VideoFormat::maxCrf(codec);
    scale.step = ExpressEncoder::crfStep(codec);
    scale.start = ExpressEncoder::usualCrf(codec);
    return scale;
}

ExpressDriver::Made ExpressDriver::search(const PackedLayout& layout, std::optional<RateChoice>& choice) {
    const OutputOptions& options = settings_.output;
    // The trials are measured against numbered frames, which a video or
    // animated image does not have.
    if (!options.maxBytes && source_.media)
        return Made::failure(tr("a quality target needs frames to measure the trial videos against: for a "
                                "video or animated image, give a size budget (--max-size) instead"));
    if (!options.maxBytes && !measure_)
        return Made::failure(
            tr("a quality target needs its trial videos measured, which this run cannot do"));
    const RateSearch::Scale scale = crfScale(options.format.codec);
    RateSearch search = options.maxBytes > 0 ? RateSearch::forBudget(options.maxBytes, scale)
                                             : RateSearch::forQuality(*options.qualityTarget, scale);
    // Only the trial the search would keep is kept, beside the one being
    // made: a later trial either replaces it or leaves it chosen.
    std::unique_ptr<Product> kept;
    std::optional<double> keptSetting;
    const auto tryOne = [&](double setting) -> Result<> {
        if (cancelled())
            return Result<>::failure(tr("stopped"));
        const int number = int(search.trials().size()) + 1;
        reportTrial(number);
        Made trial = make(layout, setting, QStringLiteral("trial%1").arg(number));
        if (!trial)
            return trial.failure();
        const Result<RateSearch::Trial> result = tryOut(search, **trial, setting, layout);
        if (!result)
            return result.failure();
        search.record(*result);
        const std::optional<RateSearch::Trial> chosen = search.chosen();
        if (chosen && std::abs(chosen->setting - setting) < scale.step / 2) {
            kept = std::move(*trial);
            keptSetting = setting;
        }
        return Result<>::success();
    };
    while (const std::optional<double> setting = search.next())
        if (Result<> tried = tryOne(*setting); !tried)
            return tried.failure();
    // A goal nothing met is refused naming what the encoder's far end makes
    // (the smallest file, the best figure), which only a trial there tells.
    const double farEnd = search.goal() == RateSearch::Goal::Budget ? scale.coarsest : scale.finest;
    const bool farEndTried =
        std::any_of(search.trials().begin(), search.trials().end(), [&](const RateSearch::Trial& trial) {
            return std::abs(trial.setting - farEnd) < scale.step / 2;
        });
    if (!search.chosen() && !farEndTried)
        if (Result<> tried = tryOne(farEnd); !tried)
            return tried.failure();
    const std::optional<RateSearch::Trial> chosen = search.chosen();
    if (!chosen)
        return Made::failure(refusal(search, *search.closest()));
    if (!kept || std::abs(*keptSetting - chosen->setting) >= scale.step / 2) {
        // Not expected (the kept trial is always the chosen one), but the
        // video committed must be the one chosen.
        reportTrial(int(search.trials().size()) + 1);
        Made again = make(layout, chosen->setting, QStringLiteral("chosen"));
        if (!again)
            return again.failure();
        kept = std::move(*again);
    }
    RateChoice made;
    made.goal =
        search.goal() == RateSearch::Goal::Budget ? RateChoice::Goal::Budget : RateChoice::Goal::Quality;
    made.budget = options.maxBytes;
    made.target = options.qualityTarget.value_or(0);
    made.setting = chosen->setting;
    made.bytes = QFileInfo(kept->last->path()).size();
    made.trials = int(search.trials().size());
    for (const auto& [setting, figures] : measured_)
        if (std::abs(setting - chosen->setting) < scale.step / 2) {
            made.maskPsnr = figures.maskPsnr;
            made.colourPsnr = figures.colourPsnr;
        }
    note(QStringLiteral("rate search: ") + made.text());
    reportTrial(0);
    choice = made;
    return kept;
}

Result<RateSearch::Trial> ExpressDriver::tryOut(RateSearch& search, const Product& trial, double setting,
                                                const PackedLayout& layout) {
    RateSearch::Trial result;
    result.setting = setting;
    result.bytes = QFileInfo(trial.last->path()).size();
    if (search.goal() == RateSearch::Goal::Quality) {
        VideoDescription description = layout.describe(settings_.output);
        description.frames = source_.outputFrames;
        description.inputFps = settings_.fps;
        description.outputFps = VideoEncoder::kVideoRate;
        const Result<TrialQuality> figures = measure_(
            trial.last->path(), description, ExpressEncoder::framePattern(source_.linkFolder), sourceFrames_);
        if (!figures)
            return figures.failure();
        // Identical pictures measure infinite: far enough above any target.
        constexpr double kAboveAnyTarget = 99;
        result.quality = std::min({figures->maskPsnr, figures->colourPsnr, kAboveAnyTarget});
        measured_.emplace_back(setting, *figures);
        note(QStringLiteral("trial at CRF %1: %2 bytes, mask %3 dB, colour %4 dB")
                 .arg(setting)
                 .arg(result.bytes)
                 .arg(figures->maskPsnr, 0, 'f', 2)
                 .arg(figures->colourPsnr, 0, 'f', 2));
    } else {
        note(QStringLiteral("trial at CRF %1: %2 bytes").arg(setting).arg(result.bytes));
    }
    return result;
}

QString ExpressDriver::refusal(const RateSearch& search, const RateSearch::Trial& closest) {
    const QLocale english(QLocale::English);
    if (search.goal() == RateSearch::Goal::Budget)
        return tr("no video fits in %1 bytes: the smallest the encoder makes of these frames, at its "
                  "coarsest setting (CRF %2), is %3 bytes")
            .arg(english.toString(search.budget()), QString::number(closest.setting),
                 english.toString(closest.bytes));
    return tr("the quality target of %1 dB is out of reach: the best trial (CRF %2) reached %3 dB in the "
              "lower of its mask and colour PSNR")
        .arg(QString::number(search.target(), 'f', 1), QString::number(closest.setting),
             QString::number(closest.quality, 'f', 2));
}

Result<> ExpressDriver::muxSound(const QString& encodedFile, double seconds, const QString& videoFile) {
    const QStringList arguments = ExpressEncoder::soundArguments(encodedFile, settings_.output.audioFile,
                                                                 seconds, settings_.output.format, videoFile);
    return ToolRunner::run(arguments, settings_.ffmpegPath, toolOptions()).outcome(QStringLiteral("ffmpeg"));
}

Result<> ExpressDriver::checkSound() const {
    const QString& sound = settings_.output.audioFile;
    if (sound.isEmpty())
        return Result<>::success();
    const Result<VideoFacts> facts = VideoProbe::probe(settings_.ffprobePath, sound, toolOptions());
    if (!facts)
        return Result<>::failure(tr("the sound file cannot be read: %1").arg(facts.reason()),
                                 facts.details());
    if (facts->count(QStringLiteral("audio")) == 0)
        return Result<>::failure(tr("the sound file %1 holds no sound stream").arg(sound),
                                 VideoVerifier::describeStreams(*facts));
    return Result<>::success();
}

Result<> ExpressDriver::runFfmpeg(const QString& videoFile, const PackedLayout& layout,
                                  std::optional<double> crf) {
    reportStage(Stage::Encoding, source_.outputFrames);
    FfmpegProgressReader reader;
    ExpressEncoder::Encoding encoding = source_;
    encoding.videoFile = videoFile;
    encoding.rate = settings_.rate;
    encoding.filterGraph =
        straightening_ + ExpressEncoder::filterGraph(layout, settings_.output.premultiplied);
    encoding.crf = crf;
    encoding.format = settings_.output.format;
    encoding.packed = layout.packed;
    encoding.premultiplied = settings_.output.premultiplied;
    return ToolRunner::run(ExpressEncoder::arguments(encoding), settings_.ffmpegPath,
                           encodingOptions(reader, source_.outputFrames))
        .outcome(QStringLiteral("ffmpeg"));
}

} // namespace zev

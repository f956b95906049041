#include "QualityCheck.h"

#include "PngFrameFile.h"
#include "core/IntegerText.h"
#include "frames/FrameFolderScanner.h"
#include "output/OutputFolder.h"
#include "preview/PackedVideo.h"
#include "preview/SourceFrameTiming.h"

#include <QFileInfo>

namespace zev {

QString QualityCheck::videoPathIn(const QString& folder) {
    return OutputFolder::videoOfFrameFolder(folder);
}

// The scanner's sentences are the conversion's fixed Chinese messages; a
// reason of --check is worded in the locale's language like the others.
QString QualityCheck::scanReason(const QString& folder, const QString& message) {
    if (folder.isEmpty())
        return tr("no frame folder was given");
    if (message == FrameFolderScanner::kNotAFolder)
        return tr("%1 is not a folder").arg(folder);
    if (message == FrameFolderScanner::kNoFrames)
        return tr("%1 holds no PNG frames").arg(folder);
    if (message == FrameFolderScanner::kNotNumbered)
        return tr("%1 holds PNG files that are not named by a number").arg(folder);
    return QStringLiteral("%1: %2").arg(folder, message);
}

Result<QStringList> QualityCheck::sourceFrames(const QString& folder) {
    ConvertError error;
    const std::optional<QStringList> frames = FrameFolderScanner::allImagesFullPathFrom(folder, &error);
    if (!frames)
        return Result<QStringList>::failure(scanReason(folder, error.message()));
    for (qsizetype i = 0; i < frames->size(); ++i) {
        const QString name = FrameFolderScanner::deletingPathExtension(QFileInfo(frames->at(i)).fileName());
        if (IntegerText::integerValue(name) != i)
            return Result<QStringList>::failure(
                tr("%1: the frames are not numbered 0, 1, 2 … without a gap (frame %2 is %3)")
                    .arg(folder)
                    .arg(i)
                    .arg(QFileInfo(frames->at(i)).fileName()));
    }
    return *frames;
}

Result<QualityCheck::Outcome> QualityCheck::check(const VideoUnpacker::Tools& tools, const QString& folder,
                                                  const Progress& progress,
                                                  const Cancellation* cancellation) {
    Result<QStringList> sources = sourceFrames(folder);
    if (!sources)
        return sources.failure();
    Outcome outcome;
    outcome.video = videoPathIn(folder);
    Result<PackedVideo> video = PackedVideo::open(tools.ffprobe, outcome.video, cancellation);
    if (!video)
        return video.failure();
    outcome.sourceFrames = sources->size();
    outcome.videoFrames = video->facts.frames();
    const double outputFps = video->facts.framesPerSecond();
    const SourceFrameTiming::InputRate rate =
        SourceFrameTiming::inputRate(video->description.inputFps, video->facts.recordedInputFps(),
                                     outcome.sourceFrames, outcome.videoFrames, outputFps);
    outcome.inputFps = rate.fps;
    outcome.inputFpsFrom = rate.fromName();
    outcome.inputFpsAssumption = rate.assumption;
    const SourceFrameTiming timing(outcome.inputFps, outputFps);

    Result<qint64> decoded = video->forEachFrame(
        tools.ffmpeg, cancellation, [&](qint64 index, const RgbaFrame& frame) -> Result<> {
            const qint64 sourceIndex = std::min<qint64>(timing.sourceFrameFor(index), sources->size() - 1);
            Result<RgbaFrame> source = PngFrameFile::read(sources->at(sourceIndex));
            if (!source)
                return source.failure();
            const std::optional<FrameComparison> comparison = FrameComparison::compare(frame, *source);
            if (!comparison)
                return Result<>::failure(tr("frame %1 is %2×%3, but the video's frames are %4×%5")
                                             .arg(sources->at(sourceIndex))
                                             .arg(source->width)
                                             .arg(source->height)
                                             .arg(video->description.frameSize.width())
                                             .arg(video->description.frameSize.height()));
            outcome.report.add(sourceIndex, *comparison);
            if (progress)
                progress(index + 1, outcome.videoFrames);
            return Result<>::success();
        });
    if (!decoded)
        return decoded.failure();
    outcome.videoFrames = *decoded;
    return outcome;
}

QString QualityCheck::Outcome::toText() const {
    return QualityCheck::tr("%1: %2 video frames against %3 source frames at %4 fps\n")
               .arg(video)
               .arg(videoFrames)
               .arg(sourceFrames)
               .arg(inputFps) +
           (inputFpsAssumption.isEmpty() ? QString() : inputFpsAssumption + u'\n') + report.toText();
}

QJsonObject QualityCheck::Outcome::toJson() const {
    QJsonObject json = report.toJson();
    json.insert(QStringLiteral("video"), video);
    json.insert(QStringLiteral("videoFrames"), videoFrames);
    json.insert(QStringLiteral("sourceFrames"), sourceFrames);
    json.insert(QStringLiteral("inputFps"), inputFps);
    json.insert(QStringLiteral("inputFpsFrom"), inputFpsFrom);
    if (!inputFpsAssumption.isEmpty())
        json.insert(QStringLiteral("inputFpsAssumption"), inputFpsAssumption);
    return json;
}

} // namespace zev

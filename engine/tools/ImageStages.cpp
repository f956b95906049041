#include "tools/ImageStages.h"

#include "core/Cancellation.h"
#include "core/IntegerText.h"
#include "frames/FrameFolderScanner.h"
#include "tools/ToolRunner.h"

namespace zev {

Result<> ImageStages::extractImageAlpha(const QString& convertPath, const QStringList& images,
                                        const QString& folder, const ToolRunOptions& options) {
    if (!hasWork(images, folder))
        return Result<>::success();
    return runConvert(
        convertPath, alphaArguments(images, folder),
        tr("extracting the masks of %1 … %2").arg(fileName(images.first()), fileName(images.last())),
        options);
}

Result<> ImageStages::extractImageRGB(const QString& convertPath, const QStringList& images,
                                      const QString& folder, const ToolRunOptions& options) {
    if (!hasWork(images, folder))
        return Result<>::success();
    return runConvert(convertPath, colourArguments(images, folder),
                      tr("laying %1 … %2 onto black").arg(fileName(images.first()), fileName(images.last())),
                      options);
}

Result<> ImageStages::runConvert(const QString& convertPath, const QStringList& arguments,
                                 const QString& what, const ToolRunOptions& options) {
    Result<> outcome = ToolRunner::run(arguments, convertPath, options).outcome(QStringLiteral("convert"));
    if (outcome)
        return outcome;
    return Result<>::failure(QStringLiteral("%1 (%2)").arg(outcome.reason(), what), outcome.details());
}

Result<> ImageStages::appendImages(const QString& convertPath, const QStringList& alphaImages,
                                   const QStringList& sourceImages, const QString& folder,
                                   const ToolRunOptions& options) {
    if (alphaImages.isEmpty() || alphaImages.size() != sourceImages.size())
        return Result<>::success();
    Result<> firstFailure = Result<>::success();
    for (qsizetype i = 0; i < alphaImages.size(); ++i) {
        const QString& alphaImage = alphaImages.at(i);
        const QString& sourceImage = sourceImages.at(i);
        // A mask beside another frame's colour would make a wrong video
        // frame; stop rather than write it.
        if (fileName(sourceImage) != fileName(alphaImage))
            break;
        if (options.cancellation && options.cancellation->isRequested())
            return Result<>::failure(tr("stopped"));
        const QString output = FrameFolderScanner::joinPath(folder, packedFrameName(sourceImage));
        const Result<> packed = runConvert(convertPath, packingArguments(alphaImage, sourceImage, output),
                                           tr("packing %1").arg(fileName(sourceImage)), options);
        if (!packed && firstFailure)
            firstFailure = packed;
    }
    return firstFailure;
}

QStringList ImageStages::alphaArguments(const QStringList& images, const QString& folder) {
    return QStringList{QStringLiteral("-alpha"), QStringLiteral("extract")} + images + perImageOutput(folder);
}

QStringList ImageStages::colourArguments(const QStringList& images, const QString& folder) {
    return QStringList{QStringLiteral("-background"), QStringLiteral("black"), QStringLiteral("-alpha"),
                       QStringLiteral("remove")} +
           images + perImageOutput(folder);
}

QStringList ImageStages::packingArguments(const QString& alphaImage, const QString& sourceImage,
                                          const QString& outputImage) {
    return {QStringLiteral("+append"), alphaImage, sourceImage, outputImage};
}

QString ImageStages::packedFrameName(const QString& sourceImage) {
    const qint64 frame =
        IntegerText::integerValue(FrameFolderScanner::deletingPathExtension(fileName(sourceImage)));
    return QString::asprintf("%05lld.png", static_cast<long long>(frame));
}

bool ImageStages::hasWork(const QStringList& images, const QString& folder) {
    return !images.isEmpty() && !folder.isEmpty();
}

// ImageMagick expands these escapes image by image, so one run writes one
// output per input, named after the input.
QStringList ImageStages::perImageOutput(const QString& folder) {
    return {QStringLiteral("-set"), QStringLiteral("filename:basename"), QStringLiteral("%[basename]"),
            FrameFolderScanner::joinPath(folder, QStringLiteral("%[filename:basename].png"))};
}

QString ImageStages::fileName(const QString& path) {
    return path.section(u'/', -1, -1, QString::SectionSkipEmpty);
}

} // namespace zev

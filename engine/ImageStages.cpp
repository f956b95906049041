#include "ImageStages.h"

#include "Cancellation.h"
#include "FrameFolderScanner.h"
#include "IntegerText.h"
#include "ToolRunner.h"

bool ImageStages::extractImageAlpha(const QString& convertPath, const QStringList& images,
                                    const QString& folder, const Cancellation* cancellation) {
    return !hasWork(images, folder) ||
           ToolRunner::run(alphaArguments(images, folder), convertPath, {cancellation, {}}).succeeded();
}

bool ImageStages::extractImageRGB(const QString& convertPath, const QStringList& images,
                                  const QString& folder, const Cancellation* cancellation) {
    return !hasWork(images, folder) ||
           ToolRunner::run(colourArguments(images, folder), convertPath, {cancellation, {}}).succeeded();
}

bool ImageStages::appendImages(const QString& convertPath, const QStringList& alphaImages,
                               const QStringList& sourceImages, const QString& folder,
                               const Cancellation* cancellation) {
    if (alphaImages.isEmpty() || alphaImages.size() != sourceImages.size())
        return true;
    bool allSucceeded = true;
    for (qsizetype i = 0; i < alphaImages.size(); ++i) {
        const QString& alphaImage = alphaImages.at(i);
        const QString& sourceImage = sourceImages.at(i);
        // A mask beside another frame's colour would make a wrong video
        // frame; stop rather than write it.
        if (fileName(sourceImage) != fileName(alphaImage))
            break;
        if (cancellation && cancellation->isRequested())
            return false;
        const QString output = FrameFolderScanner::joinPath(folder, packedFrameName(sourceImage));
        allSucceeded = ToolRunner::run(packingArguments(alphaImage, sourceImage, output), convertPath,
                                       {cancellation, {}})
                           .succeeded() &&
                       allSucceeded;
    }
    return allSucceeded;
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

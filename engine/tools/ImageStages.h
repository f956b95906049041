#pragma once

#include "core/Result.h"
#include "tools/ToolRunner.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

namespace zev {

// The three ImageMagick steps that turn transparent frames into packed video
// frames: a grey mask per frame (alpha stage), the colour laid onto black per
// frame (colour stage), and mask and colour side by side (packing stage).
// The stages write into folders that must already exist and keep no state.
// Each answers whether every convert run it started succeeded, and if not,
// which run failed and how: a failed run can leave files behind that look
// like images but are cut short (seen when ImageMagick runs out of its cache
// resources), so counting files alone cannot tell. Concurrent calls are safe as long as they handle different
// frames, because every output name follows from its input name.
class ImageStages {
    Q_DECLARE_TR_FUNCTIONS(ImageStages)

public:
    // One convert run for the whole list; nothing runs for an empty list or
    // an empty folder text. Each mask is named like its frame.
    // options may stop the run (it then fails) and log it.
    static Result<> extractImageAlpha(const QString& convertPath, const QStringList& images,
                                      const QString& folder,
                                      const ToolRunOptions& options = ToolRunOptions());
    // The same for colour images.
    static Result<> extractImageRGB(const QString& convertPath, const QStringList& images,
                                    const QString& folder, const ToolRunOptions& options = ToolRunOptions());
    // One convert run per pair, in order, writing "<folder>/%05ld.png" named
    // by the frame number. Nothing runs for an empty mask list or lists of
    // different lengths; the first pair whose file names differ ends the call,
    // and so does a cancellation (failing).
    static Result<> appendImages(const QString& convertPath, const QStringList& alphaImages,
                                 const QStringList& sourceImages, const QString& folder,
                                 const ToolRunOptions& options = ToolRunOptions());

    // n + 6 arguments for n frames.
    static QStringList alphaArguments(const QStringList& images, const QString& folder);
    // n + 8 arguments for n frames.
    static QStringList colourArguments(const QStringList& images, const QString& folder);
    // "+append", mask, colour, output.
    static QStringList packingArguments(const QString& alphaImage, const QString& sourceImage,
                                        const QString& outputImage);
    // The packed frame's name for a colour image: its base name read as an
    // integer, at least five digits ("007.png" gives "00007.png").
    static QString packedFrameName(const QString& sourceImage);

private:
    static bool hasWork(const QStringList& images, const QString& folder);
    static Result<> runConvert(const QString& convertPath, const QStringList& arguments, const QString& what,
                               const ToolRunOptions& options);
    static QStringList perImageOutput(const QString& folder);
    static QString fileName(const QString& path);
};

} // namespace zev

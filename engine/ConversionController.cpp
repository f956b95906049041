#include "ConversionController.h"

#include "ConversionDriver.h"
#include "FrameFolderScanner.h"
#include "ImageStages.h"
#include "IntegerText.h"
#include "ScratchFolders.h"
#include "ToolRunner.h"
#include "VideoEncoder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMetaObject>
#include <QTimer>
#include <cmath>

ConversionController::ConversionController()
    : mainThreadContext_(std::make_unique<QObject>()) {
    driverThread_.setMaxThreadCount(1);
    loadDefaultSettings();
}

ConversionController::~ConversionController() {
    // Batch operations and the driver hold a pointer to this controller.
    driverThread_.waitForDone();
    queue_.waitForDone();
}

void ConversionController::loadDefaultSettings() {
    FPS_ = 20;
    rate_ = 1000;
    convertPath_ = FrameFolderScanner::joinPath(resourcePath(), QStringLiteral("imageMagick/bin/convert"));
    ffmpegPath_ = FrameFolderScanner::joinPath(resourcePath(), QStringLiteral("ffmpeg/ffmpeg"));
}

QString ConversionController::resourcePath() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/zev"));
}

bool ConversionController::isInteger(const QString& text) {
    return IntegerText::isInteger(text);
}

bool ConversionController::getTextFieldContent() {
    const QString fps = fpsText();
    if (!IntegerText::isInteger(fps)) {
        showAlertWithErrorMessage(kBadFpsText);
        return false;
    }
    const qint64 frameRate = IntegerText::integerValue(fps);
    if (frameRate < 1 || frameRate > 59) {
        showAlertWithErrorMessage(kFpsOutOfRange);
        return false;
    }
    const double slider = sliderValue();
    const QString path = pathText();
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        showAlertWithErrorMessage(kFolderMissing);
        return false;
    }
    if (!info.isDir()) {
        showAlertWithErrorMessage(kNotAFolder);
        return false;
    }
    FPS_ = frameRate;
    // Span first, then the floor of 100, then truncation toward zero.
    rate_ = static_cast<qint64>(std::trunc(4000.0 * slider + 100.0));
    sourceImageFolder_ = path;
    return true;
}

void ConversionController::lowBtnClicked() {
    setSliderValue(kLowPreset);
}
void ConversionController::highBtnClicked() {
    setSliderValue(kHighPreset);
}
void ConversionController::veryHighBtnClicked() {
    setSliderValue(kVeryHighPreset);
}

std::optional<QStringList> ConversionController::allImagesFromFolder(const QString& folder,
                                                                     ConvertError* error) {
    return FrameFolderScanner::allImagesFromFolder(folder, error);
}

std::optional<QStringList> ConversionController::allImagesFullPathFrom(const QString& folder,
                                                                       ConvertError* error) {
    return FrameFolderScanner::allImagesFullPathFrom(folder, error);
}

std::optional<ConvertError> ConversionController::errorWithMsg(const QString& message) {
    return FrameFolderScanner::errorWithMsg(message);
}

ToolRunResult ConversionController::launchConvertTaskWithArguments(const QStringList& arguments,
                                                                   const QString& launchPath) {
    return ToolRunner::run(arguments, launchPath);
}

bool ConversionController::extractImageAlphaFromImagesArray(const QStringList& images,
                                                            const QString& newImageFolder) const {
    return ImageStages::extractImageAlpha(convertPath_, images, newImageFolder);
}

bool ConversionController::extractImageRGBFromImagesArray(const QStringList& images,
                                                          const QString& newImageFolder) const {
    return ImageStages::extractImageRGB(convertPath_, images, newImageFolder);
}

bool ConversionController::appendImageWithAlphaImagesArray(const QStringList& alphaImages,
                                                           const QStringList& sourceImages,
                                                           const QString& newImageFolder) const {
    return ImageStages::appendImages(convertPath_, alphaImages, sourceImages, newImageFolder);
}

QString ConversionController::alphaImagesDirectoryPath() {
    return ScratchFolders::alphaImagesDirectoryPath();
}
QString ConversionController::rgbImagesDirectoryPath() {
    return ScratchFolders::rgbImagesDirectoryPath();
}
QString ConversionController::appendImagesDirectoryPath() {
    return ScratchFolders::appendImagesDirectoryPath();
}

bool ConversionController::convertImagesToMp4FromFolder(const QString& imagesFolder,
                                                        const QString& outputFolder) const {
    return VideoEncoder::convertImagesToMp4FromFolder(ffmpegPath_, imagesFolder, outputFolder, FPS_, rate_);
}

void ConversionController::setInConverting(bool inConverting) {
    inConverting_ = inConverting;
    presentBusyState(inConverting);
}

void ConversionController::postToMainThread(std::function<void()> task, int delayMs) {
    QObject* context = mainThreadContext_.get();
    QMetaObject::invokeMethod(
        context,
        [context, task = std::move(task), delayMs]() {
            if (delayMs <= 0)
                task();
            else
                QTimer::singleShot(delayMs, context, task);
        },
        Qt::QueuedConnection);
}

void ConversionController::convertBtnClicked() {
    if (inConverting_)
        return;
    if (!getTextFieldContent())
        return;
    cacheUseSelected_ = cacheCheckboxTicked();
    setInConverting(true);
    driverThread_.start([this]() {
        beginConverting();
        // Counted from the moment the driver returned, so the outcome alert
        // has always been requested before the busy state ends.
        postToMainThread([this]() { setInConverting(false); }, 100);
    });
}

bool ConversionController::beginConverting() {
    return ConversionDriver(*this).run();
}

void ConversionController::waitForConversionToEnd() {
    driverThread_.waitForDone();
}

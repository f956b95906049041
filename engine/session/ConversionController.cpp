#include "session/ConversionController.h"

#include "core/IntegerText.h"
#include "frames/FrameFolderScanner.h"
#include "session/ConversionJob.h"
#include "storage/ScratchFolders.h"
#include "tools/ImageStages.h"
#include "tools/ToolRunner.h"
#include "tools/VideoEncoder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cmath>

ConversionController::ConversionController()
    : mainThreadContext_(std::make_unique<QObject>()) {
    loadDefaultSettings();
}

ConversionController::~ConversionController() = default;

void ConversionController::loadDefaultSettings() {
    const ConversionSettings defaults = ConversionSettings::defaults();
    FPS_ = defaults.fps;
    rate_ = defaults.rate;
    convertPath_ = defaults.convertPath;
    ffmpegPath_ = defaults.ffmpegPath;
    ffprobePath_ = defaults.ffprobePath;
}

QString ConversionController::resourcePath() {
    return ConversionSettings::resourcePath();
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

Result<> ConversionController::extractImageAlphaFromImagesArray(const QStringList& images,
                                                                const QString& newImageFolder) const {
    return ImageStages::extractImageAlpha(convertPath_, images, newImageFolder);
}

Result<> ConversionController::extractImageRGBFromImagesArray(const QStringList& images,
                                                              const QString& newImageFolder) const {
    return ImageStages::extractImageRGB(convertPath_, images, newImageFolder);
}

Result<> ConversionController::appendImageWithAlphaImagesArray(const QStringList& alphaImages,
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

Result<> ConversionController::convertImagesToMp4FromFolder(const QString& imagesFolder,
                                                            const QString& outputFolder) const {
    return VideoEncoder::convertImagesToMp4FromFolder(ffmpegPath_, imagesFolder, outputFolder, FPS_, rate_);
}

void ConversionController::setInConverting(bool inConverting) {
    inConverting_ = inConverting;
    presentBusyState(inConverting);
}

void ConversionController::convertBtnClicked() {
    if (inConverting_)
        return;
    if (!getTextFieldContent())
        return;
    cacheUseSelected_ = cacheCheckboxTicked();
    expressSelected_ = expressCheckboxTicked();
    setInConverting(true);
    beginConverting();
}

ConversionSettings ConversionController::conversionSettings() const {
    ConversionSettings settings;
    settings.sourceImageFolder = sourceImageFolder_;
    settings.fps = FPS_;
    settings.rate = rate_;
    settings.useCache = cacheUseSelected_;
    settings.express = expressSelected_;
    settings.convertPath = convertPath_;
    settings.ffmpegPath = ffmpegPath_;
    settings.ffprobePath = ffprobePath_;
    return settings;
}

bool ConversionController::beginConverting() {
    if (job_)
        return false;
    // A child of the context: a controller going away mid-run stops it.
    job_ = new ConversionJob(conversionSettings(), queue_, mainThreadContext_.get());
    QObject::connect(job_, &ConversionJob::progressChanged, mainThreadContext_.get(),
                     [this](const ConversionProgress& progress) { presentProgress(progress); });
    // An express run leaves no packed frames for a cache run to reuse.
    const bool leavesCache = !job_->settings().express;
    QObject::connect(job_, &ConversionJob::outcomeReady, mainThreadContext_.get(),
                     [this, leavesCache](const ConversionOutcome& outcome) {
                         presentOutcome(outcome);
                         if (outcome.succeeded() && leavesCache)
                             enableCacheCheckbox();
                     });
    QObject::connect(job_, &ConversionJob::finished, mainThreadContext_.get(),
                     [this]() { conversionFinished(); });
    job_->start();
    return true;
}

void ConversionController::conversionFinished() {
    // The job is the sender of this call: it goes once control is back in
    // the event loop, and a front end may start the next one right here.
    job_->deleteLater();
    job_ = nullptr;
    setInConverting(false);
}

void ConversionController::cancelConversion() {
    if (job_)
        job_->cancel();
}

void ConversionController::presentProgress(const ConversionProgress&) {}

void ConversionController::presentOutcome(const ConversionOutcome& outcome) {
    switch (outcome.kind) {
    case ConversionOutcome::Kind::Succeeded:
        showConvertSuccessAlertWithPath(outcome.outputFolder);
        break;
    case ConversionOutcome::Kind::Failed:
        showAlertWithErrorMessage(outcome.message);
        break;
    case ConversionOutcome::Kind::Cancelled:
        break;
    }
}

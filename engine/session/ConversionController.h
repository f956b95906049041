#pragma once

#include "core/ConvertError.h"
#include "pipeline/ConversionOutcome.h"
#include "pipeline/ConversionProgress.h"
#include "pipeline/ConversionSettings.h"
#include "tools/ToolRunResult.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <memory>
#include <optional>

class ConversionJob;

// The conversion engine as the front ends see it: the settings, their
// validation, the frame scanner, the image and video stages, and the
// conversion jobs it starts. The window's controller and the command-line
// front end both derive from it and supply the few things the engine asks of
// a front end (the protected virtual functions below).
//
// Every call the engine makes to a front end happens on the main thread: a
// running conversion is a ConversionJob, whose reports this base turns into
// those calls. The job belongs to the controller and is stopped and waited
// for when the controller goes, so a front end needs no care in its
// destructor.
//
// This class is deliberately not a QObject: the window's controller already
// has QWidget as its QObject base. The jobs hang off a small context object
// living on the thread that created the controller (the main thread).
class ConversionController {
public:
    static inline const QString kBadFpsText = QStringLiteral("输入不是数字，请输入正确的帧率(0<FPS<60).");
    static inline const QString kFpsOutOfRange = QStringLiteral("请输入正确的帧率(0<FPS<60).");
    static inline const QString kFolderMissing = QStringLiteral("输入的文件夹路径不存在，请重新输入.");
    static inline const QString kNotAFolder = QStringLiteral("输入的不是文件夹，是一个文件，请重新输入.");
    static inline const QString kFramesNotConsecutive = QStringLiteral("文件夹下存在不连续图片.");
    static inline const QString kConversionFailed = QStringLiteral("合成视频过程出错，请重试.");
    // The success message, with the output folder in place of %1.
    static inline const QString kSuccessFormat = QStringLiteral("视频已经生成, 视频路径：%1");

    static constexpr double kLowPreset = 0.25;
    static constexpr double kHighPreset = 0.5;
    static constexpr double kVeryHighPreset = 0.75;

    ConversionController();
    virtual ~ConversionController();
    ConversionController(const ConversionController&) = delete;
    ConversionController& operator=(const ConversionController&) = delete;

    // Settings, written only by a successful getTextFieldContent().
    qint64 FPS() const { return FPS_; }
    qint64 rate() const { return rate_; }
    QString sourceImageFolder() const { return sourceImageFolder_; }
    bool cacheUseSelected() const { return cacheUseSelected_; }
    bool expressSelected() const { return expressSelected_; }
    bool inConverting() const { return inConverting_; }
    QString convertPath() const { return convertPath_; }
    QString ffmpegPath() const { return ffmpegPath_; }
    QString ffprobePath() const { return ffprobePath_; }
    void setConvertPath(const QString& path) { convertPath_ = path; }
    void setFfmpegPath(const QString& path) { ffmpegPath_ = path; }
    void setFfprobePath(const QString& path) { ffprobePath_ = path; }
    QThreadPool& queue() { return queue_; }

    // The start-up values: frame rate 20, rate 1000 and the staged tools.
    void loadDefaultSettings();
    // <folder of the executable>/../share/zev
    static QString resourcePath();

    // Settings validation and the quality presets.
    static bool isInteger(const QString& text);
    bool getTextFieldContent();
    void lowBtnClicked();
    void highBtnClicked();
    void veryHighBtnClicked();

    // Frame folder scanner.
    static std::optional<QStringList> allImagesFromFolder(const QString& folder, ConvertError* error);
    static std::optional<QStringList> allImagesFullPathFrom(const QString& folder, ConvertError* error);
    static std::optional<ConvertError> errorWithMsg(const QString& message);

    // Tool runner: runs one program to its end, no shell in between.
    static ToolRunResult launchConvertTaskWithArguments(const QStringList& arguments,
                                                        const QString& launchPath);

    // Image stages and the scratch folders they write into. Each answers
    // whether every convert run it started succeeded, and if not, why.
    Result<> extractImageAlphaFromImagesArray(const QStringList& images, const QString& newImageFolder) const;
    Result<> extractImageRGBFromImagesArray(const QStringList& images, const QString& newImageFolder) const;
    Result<> appendImageWithAlphaImagesArray(const QStringList& alphaImages, const QStringList& sourceImages,
                                             const QString& newImageFolder) const;
    static QString alphaImagesDirectoryPath();
    static QString rgbImagesDirectoryPath();
    static QString appendImagesDirectoryPath();

    // Video encoding stage.
    Result<> convertImagesToMp4FromFolder(const QString& imagesFolder, const QString& outputFolder) const;

    // Conversion driver: the start button, then the job for the validated
    // settings. beginConverting() answers whether a job started.
    void convertBtnClicked();
    bool beginConverting();
    // The settings a conversion started now would run with.
    ConversionSettings conversionSettings() const;
    // Stops the running conversion, if any; it ends with a cancelled outcome
    // (no alert) and the usual end of the busy state.
    void cancelConversion();

    // Stores the busy flag on every call, then shows the busy look.
    void setInConverting(bool inConverting);

protected:
    // What the engine asks of a front end.
    virtual QString fpsText() const = 0;
    virtual double sliderValue() const = 0;
    virtual void setSliderValue(double value) = 0;
    virtual QString pathText() const = 0;
    virtual bool cacheCheckboxTicked() const = 0;
    virtual void enableCacheCheckbox() = 0;
    // Whether the express conversion is chosen; a front end without the
    // choice always runs the default pipeline.
    virtual bool expressCheckboxTicked() const { return false; }
    virtual void presentBusyState(bool inConverting) = 0;
    // Both alerts may be called from any thread and must return at once.
    virtual void showAlertWithErrorMessage(const QString& message) = 0;
    virtual void showConvertSuccessAlertWithPath(const QString& path) = 0;
    // How far the running conversion has come; ignored by default.
    virtual void presentProgress(const ConversionProgress& progress);
    // The end of a conversion, before the busy state ends: by default the
    // error or success alert, and nothing for a cancelled run.
    virtual void presentOutcome(const ConversionOutcome& outcome);

private:
    void conversionFinished();

    qint64 FPS_ = 20;
    qint64 rate_ = 1000;
    QString sourceImageFolder_;
    bool cacheUseSelected_ = false;
    bool expressSelected_ = false;
    bool inConverting_ = false;
    QString convertPath_;
    QString ffmpegPath_;
    QString ffprobePath_;
    QThreadPool queue_;
    // Declared after queue_: the jobs it owns run on the queue, so they are
    // stopped and waited for before the queue goes.
    std::unique_ptr<QObject> mainThreadContext_;
    ConversionJob* job_ = nullptr;
};

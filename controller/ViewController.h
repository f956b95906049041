#pragma once

#include "ConversionQueue.h"
#include "ZEVDragViewDelegate.h"
#include "ZEVProgressView.h"
#include "core/ConvertError.h"
#include "core/Result.h"
#include "session/ConversionSession.h"
#include "session/SettingsValidator.h"
#include "tools/ToolRunResult.h"

#include <QColor>
#include <QPointer>
#include <QStringList>
#include <QVariant>
#include <QWidget>
#include <optional>

class QCheckBox;
class QLineEdit;
class QMessageBox;
class QPushButton;
class QSlider;
class QToolButton;

namespace zev {

class DesktopAppearance;
class QueueSummary;
class ZEVDragView;
class ZEVQueueView;

// The main window's content: its controls, the busy look of the start button
// and the alerts. It holds the engine's settings check and conversion
// session and shows what the session reports. The controls come from the
// interface file; the controller only holds them weakly, and every use
// tolerates one that is gone.
class ViewController : public QWidget, public ZEVDragViewDelegate {
    Q_OBJECT

public:
    // The question asked when the window is closed during a run, and its two
    // answers, in the window's language.
    static QString closeWhileBusyText();
    static QString cancelAndQuitTitle();
    static QString keepConvertingTitle();
    // Where the express checkbox's state is remembered between runs.
    static inline const QString kExpressSettingKey = QStringLiteral("conversion/express");
    // How much the packed frames kept for cache runs may take, all folders
    // together, in MiB.
    static inline const QString kCacheCapSettingKey = QStringLiteral("cache/capMiB");
    static constexpr qint64 kDefaultCacheCapMiB = 2048;
    // How many queued items convert at once: 1 or 2; anything else (or no
    // value) lets the queue choose by the machine's cores.
    static inline const QString kParallelRunsSettingKey = QStringLiteral("queue/parallelRuns");
    // The cap of the kept packed frames from the settings file's value in
    // MiB: the default when it is not a size, no limit when bytes cannot
    // count it.
    static qint64 cacheCapBytes(const QVariant& mebibytesSetting);
    // The success alert's informative text: the bitrate read back, what the
    // trial encodes chose, and the warnings, a line each.
    static QString successDetails(const ConversionOutcome& outcome);

    explicit ViewController(QWidget* parent = nullptr);

    // Shows a dropped (or chosen) folder; the settings check reads it later.
    void updateDragFilePath(const QString& path) override;
    // Several dropped (or chosen) items: one is shown as above, more are
    // queued with the settings the controls hold now.
    void updateDragFilePaths(const QStringList& paths) override;
    // The queued items and their runs, shown below the start button.
    ConversionQueue& conversionQueue() { return queue_; }

    // The settings: the start-up values until a settings check passes.
    qint64 FPS() const { return validator_.settings().fps; }
    qint64 rate() const { return validator_.settings().rate; }
    QString sourceImageFolder() const { return validator_.settings().sourceImageFolder; }
    bool cacheUseSelected() const { return validator_.settings().useCache; }
    bool expressSelected() const { return validator_.settings().express; }
    OutputOptions outputSelected() const { return validator_.settings().output; }
    bool inConverting() const { return inConverting_; }
    QString convertPath() const { return validator_.settings().convertPath; }
    QString ffmpegPath() const { return validator_.settings().ffmpegPath; }
    void setConvertPath(const QString& path) { validator_.setConvertPath(path); }
    void setFfmpegPath(const QString& path) { validator_.setFfmpegPath(path); }
    QThreadPool& queue() { return session_.queue(); }

    // The settings check: reads the controls, and either stores the
    // settings or asks for the error alert with the fixed message.
    static bool isInteger(const QString& text);
    bool getTextFieldContent();
    // The quality presets move the rate slider and do nothing else.
    void lowBtnClicked();
    void highBtnClicked();
    void veryHighBtnClicked();

    // The start button: ignored while busy, then the settings check, then
    // the conversion. beginConverting() answers whether it started.
    void convertBtnClicked();
    bool beginConverting();
    // Stops the running conversion; it ends without an alert.
    void cancelConversion();
    // Stores the busy flag on every call, then shows the busy look.
    void setInConverting(bool inConverting);

    // The engine's stages under the names the window has always had.
    static std::optional<QStringList> allImagesFromFolder(const QString& folder, ConvertError* error);
    static std::optional<QStringList> allImagesFullPathFrom(const QString& folder, ConvertError* error);
    static std::optional<ConvertError> errorWithMsg(const QString& message);
    static ToolRunResult launchConvertTaskWithArguments(const QStringList& arguments,
                                                        const QString& launchPath);
    Result<> extractImageAlphaFromImagesArray(const QStringList& images, const QString& newImageFolder) const;
    Result<> extractImageRGBFromImagesArray(const QStringList& images, const QString& newImageFolder) const;
    Result<> appendImageWithAlphaImagesArray(const QStringList& alphaImages, const QStringList& sourceImages,
                                             const QString& newImageFolder) const;
    // The scratch folders of the run in progress, or those the next run will
    // use (a cache run's packed frames are the folder's cache); empty when
    // there is none.
    QString alphaImagesDirectoryPath();
    QString rgbImagesDirectoryPath();
    QString appendImagesDirectoryPath();
    // Encodes the packed frames into <outputFolder>/zev.mp4 at FPS() and
    // rate(); the video is replaced only once the new one is complete.
    Result<> convertImagesToMp4FromFolder(const QString& imagesFolder, const QString& outputFolder) const;

    // Main thread only. Each alert is shown once the caller's current work
    // is done (a refused press has been handled), as a window-modal message
    // box.
    void showAlertWithErrorMessage(const QString& message);
    void showConvertSuccessAlertWithPath(const QString& path);

    // Shows the folder in the desktop's file manager; returns when xdg-open
    // has. The outcome is not reported.
    void openFile(const QString& path);

    // Appearance: light or dark, read afresh from the desktop every time
    // ("Dark" or anything else as the mode).
    void darkModeChanged();
    void settingViewsBackGroundColorWithMode(const QString& mode);
    void settingTextField(QLineEdit* field, QWidget* bgView);
    // The overlay's tint, while there is an overlay.
    void settingProgressViewColor();

    // The busy overlay over the whole view, and its removal.
    void startProgressAniamtion();
    void stopProgressAniamtion();

    // The busy overlay while one is shown, else null.
    ZEVProgressView* progressView() const { return progressView_; }
    // The tint the appearance last gave the controller's view.
    QColor viewBackgroundColor() const { return viewBackgroundColor_; }

public Q_SLOTS:
    // Lets the user pick the frame folder (or several, which are queued)
    // instead of dropping it.
    void chooseFolder();
    // Videos and animated images with transparency, for the express
    // conversion: one goes to the path field, several to the queue.
    void chooseMediaFiles();
    // Opens a preview window on the folder's video (output/zev.mp4 or zev.webm).
    void previewBtnClicked();

protected:
    // Closing while a conversion runs asks first: stop it and quit, or let
    // it finish and quit then.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The controls as the settings check reads them.
    FrontEndInputs inputs() const;
    static qint64 cacheCapBytes();
    double sliderValue() const;
    void setSliderValue(double value);
    QString pathText() const;
    QString inRunFolder(QString (*folderIn)(const QString&));
    bool expressCheckboxTicked() const;
    void connectSession();
    void enableCacheCheckbox();
    void presentBusyState(bool inConverting);
    void presentProgress(const ConversionProgress& progress);
    // The fixed message as the alert's text, the reason (or a warning) as
    // its informative text, and the tool output in its details.
    void presentOutcome(const ConversionOutcome& outcome);

    void awakeFromNib();
    void viewDidLoad();
    void connectFolderChooser();
    // The preview button is enabled exactly while the folder in the path
    // field holds a video (output/zev.mp4 or zev.webm): checked on every change of the field and
    // once a second, as a conversion (or the user) writes or removes it.
    void setUpPreviewButton();
    void refreshPreviewButton();
    void setUpExpressCheckbox();
    void expressToggled(bool ticked);
    void showOutputSettings();

    static void paintBorderView(QWidget* bgView);

    // While busy, no control under the overlay takes the keyboard focus.
    void keepFocusOnOverlay(bool busy);
    void askBeforeClosing();

    using ButtonAction = void (ViewController::*)();
    void setUpButton(QPushButton* button, double alpha, double cornerRadius, ButtonAction action,
                     const QString& title);
    static void setButtonOpacity(QPushButton* button, qreal opacity);
    QMessageBox* makeAlert(const QString& text, const QString& iconPath);
    static void setPlainInformativeText(QMessageBox* box, const QString& text);
    void presentErrorAlert(const QString& message, const QString& reason = QString(),
                           const QString& details = QString());
    void presentSuccessAlert(const QString& path, const QString& warning = QString());

    // The queue: what it is given, and the one alert (and, with the window
    // in the background, the desktop notification) when it has run dry.
    void setUpQueue();
    void enqueue(const QStringList& paths);
    void queueFinished(const QueueSummary& summary);
    void presentQueueAlert(const QueueSummary& summary);
    void fitWindowToQueue(bool shown);
    // Either a run of the start button or a line of the queue.
    bool anythingConverting() const;
    void closeIfIdle();

    QPointer<ZEVDragView> bgView1;
    QPointer<QWidget> bgView2;
    QPointer<QLineEdit> iamgesDirPathField;
    QPointer<QLineEdit> FPSField;
    QPointer<QPushButton> lowButton;
    QPointer<QPushButton> highButton;
    QPointer<QPushButton> veryHighButton;
    QPointer<QPushButton> zevButton;
    QPointer<QSlider> rateSlider;
    QPointer<QCheckBox> forceUseCache;
    QPointer<QCheckBox> expressConversion;
    QPointer<QToolButton> outputSettingsButton;
    QPointer<QToolButton> chooseFolderButton;
    QPointer<QPushButton> previewButton;
    QPointer<ZEVQueueView> queueView;

    SettingsValidator validator_;
    // Going with the window, it stops a running conversion and waits for it.
    ConversionSession session_;
    // The same for every queued run.
    ConversionQueue queue_;
    // The window's size without the queue, to go back to when it is empty.
    int heightWithoutQueue_ = 0;
    int minimumHeightWithoutQueue_ = 0;
    bool inConverting_ = false;

    // Owned as a child while shown; deleted when the busy state ends.
    QPointer<ZEVProgressView> progressView_;
    DesktopAppearance* appearance_ = nullptr;
    QColor viewBackgroundColor_;
    // Focus policies of the controls, taken away while busy.
    QList<QPair<QPointer<QWidget>, Qt::FocusPolicy>> parkedFocus_;
    bool closeWhenIdle_ = false;
    // A successful full run of the shown folder left packed frames, so the
    // cache box may be offered again once express is unticked.
    bool cacheAvailable_ = false;
    // The express options, remembered in the settings.
    OutputOptions output_;
};

} // namespace zev

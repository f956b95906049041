#pragma once

#include "ZEVDragViewDelegate.h"
#include "ZEVProgressView.h"
#include "session/ConversionController.h"

#include <QColor>
#include <QPointer>
#include <QWidget>

class QCheckBox;
class QLineEdit;
class QMessageBox;
class QPushButton;
class QSlider;
class QToolButton;
class DesktopAppearance;
class ZEVDragView;

// The main window's content: its controls, the busy look of the start button
// and the alerts, in front of the conversion engine it derives from. The
// controls come from the interface file; the controller only holds them
// weakly, and every use tolerates one that is gone.
class ViewController : public QWidget, public ConversionController, public ZEVDragViewDelegate {
    Q_OBJECT

public:
    static inline const QString kCloseWhileBusyText =
        QStringLiteral("ZEV 视频正在合成，现在退出将取消合成。");
    static inline const QString kCancelAndQuitTitle = QStringLiteral("取消合成并退出");
    static inline const QString kKeepConvertingTitle = QStringLiteral("继续合成，完成后退出");
    // Where the express checkbox's state is remembered between runs.
    static inline const QString kExpressSettingKey = QStringLiteral("conversion/express");

    explicit ViewController(QWidget* parent = nullptr);

    // Shows a dropped (or chosen) folder; the settings check reads it later.
    void updateDragFilePath(const QString& path) override;

    // Safe from any thread: each alert is posted to the main thread and shown
    // there after the caller's current work, as a window-modal message box.
    void showAlertWithErrorMessage(const QString& message) override;
    void showConvertSuccessAlertWithPath(const QString& path) override;

    // Shows the folder in the desktop's file manager; returns when xdg-open
    // has. The outcome is not reported.
    void openFile(const QString& path);

    // The busy overlay while one is shown, else null.
    ZEVProgressView* progressView() const { return progressView_; }
    // The tint the appearance last gave the controller's view.
    QColor viewBackgroundColor() const { return viewBackgroundColor_; }

public Q_SLOTS:
    // Lets the user pick the frame folder instead of dropping it.
    void chooseFolder();

protected:
    QString fpsText() const override;
    double sliderValue() const override;
    void setSliderValue(double value) override;
    QString pathText() const override;
    bool cacheCheckboxTicked() const override;
    void enableCacheCheckbox() override;
    bool expressCheckboxTicked() const override;
    void presentBusyState(bool inConverting) override;
    void presentProgress(const ConversionProgress& progress) override;
    // The fixed message as the alert's text, the reason (or a warning) as
    // its informative text, and the tool output in its details.
    void presentOutcome(const ConversionOutcome& outcome) override;

    // Closing while a conversion runs asks first: stop it and quit, or let
    // it finish and quit then.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void awakeFromNib();
    void viewDidLoad();
    void connectFolderChooser();
    void setUpExpressCheckbox();
    void expressToggled(bool ticked);

    // Appearance: light or dark, read afresh from the desktop every time.
    void darkModeChanged();
    void settingViewsBackGroundColorWithMode(const QString& mode);
    void settingTextField(QLineEdit* field, QWidget* bgView);
    void settingProgressViewColor();
    static void paintBorderView(QWidget* bgView);

    // The busy overlay.
    void startProgressAniamtion();
    void stopProgressAniamtion();
    // While busy, no control under the overlay takes the keyboard focus.
    void keepFocusOnOverlay(bool busy);
    void askBeforeClosing();

    using ButtonAction = void (ConversionController::*)();
    void setUpButton(QPushButton* button, double alpha, double cornerRadius, ButtonAction action,
                     const QString& title);
    static void setButtonOpacity(QPushButton* button, qreal opacity);
    QMessageBox* makeAlert(const QString& text, const QString& iconPath);
    static void setPlainInformativeText(QMessageBox* box, const QString& text);
    void presentErrorAlert(const QString& message, const QString& reason = QString(),
                           const QString& details = QString());
    void presentSuccessAlert(const QString& path, const QString& warning = QString());

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
    QPointer<QToolButton> chooseFolderButton;

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
};

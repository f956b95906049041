#pragma once

#include "ConversionController.h"
#include "ZEVDragViewDelegate.h"
#include "ZEVProgressView.h"

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
    explicit ViewController(QWidget* parent = nullptr);
    ~ViewController() override;

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
    void presentBusyState(bool inConverting) override;

    bool eventFilter(QObject* watched, QEvent* event) override;
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void awakeFromNib();
    void viewDidLoad();
    void connectFolderChooser();

    // Appearance: light or dark, read afresh from the desktop every time.
    void darkModeChanged();
    void settingViewsBackGroundColorWithMode(const QString& mode);
    void settingTextField(QLineEdit* field, QWidget* bgView);
    void settingProgressViewColor();
    static void paintBorderView(QWidget* bgView);

    // The busy overlay.
    void startProgressAniamtion();
    void stopProgressAniamtion();

    using ButtonAction = void (ConversionController::*)();
    void setUpButton(QPushButton* button, double alpha, double cornerRadius, ButtonAction action,
                     const QString& title);
    static void setButtonOpacity(QPushButton* button, qreal opacity);
    QMessageBox* makeAlert(const QString& text, const QString& iconPath);
    void presentErrorAlert(const QString& message);
    void presentSuccessAlert(const QString& path);

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
    QPointer<QToolButton> chooseFolderButton;

    // Owned as a child while shown; deleted when the busy state ends.
    QPointer<ZEVProgressView> progressView_;
    DesktopAppearance* appearance_ = nullptr;
    QColor viewBackgroundColor_;
};

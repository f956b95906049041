#include "ViewController.h"

#include "AlertTranslator.h"
#include "DesktopAppearance.h"
#include "DesktopNotifier.h"
#include "OutputOptionsDialog.h"
#include "PreviewController.h"
#include "ProgressTexts.h"
#include "QualityCheck.h"
#include "ZEVDragView.h"
#include "ZEVProgressView.h"
#include "ZEVQueueView.h"
#include "core/IntegerText.h"
#include "core/Translations.h"
#include "core/UserTexts.h"
#include "frames/FrameFolderScanner.h"
#include "pipeline/PendingVideo.h"
#include "pipeline/PipelineRun.h"
#include "storage/FrameCache.h"
#include "storage/ScratchFolders.h"
#include "tools/ImageStages.h"
#include "tools/MediaSource.h"
#include "tools/ToolRunner.h"
#include "tools/VideoEncoder.h"
#include "ui_ViewController.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QCloseEvent>
#include <QColor>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPen>
#include <QPixmap>
#include <QPushButton>
#include <QSettings>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <limits>

// The icons are compiled into this static library and nothing else refers to
// their initialiser, so the linker would drop them without this call. Qt
// names the initialiser in the global namespace, so it is called from there.
static void loadWindowResources() {
    Q_INIT_RESOURCE(window);
}

namespace zev {

namespace {

const QString kPathPlaceholder = QStringLiteral("                  请拖拽序列帧文件夹到这里");
const QString kIdleTitle = QStringLiteral("开始合成 ZEV 视频");
const QString kBusyTitle = QStringLiteral("ZEV 视频合成中，请耐心等待...");

// The slider's integer steps map exactly onto the values 0.0 … 1.0.
constexpr int kSliderSteps = 1000;

// The buttons' blue; the red is given in single precision on purpose.
constexpr float kButtonRed = 0.2f;
constexpr double kButtonGreen = 0.53125;
constexpr double kButtonBlue = 1.0;

constexpr float kWindowOpacity = 0.98f;
constexpr float kBusyButtonOpacity = 0.3f;

// Appearance colours. Values given in single precision are widened on purpose.
const QColor kLightViewColor = QColor::fromRgbF(0.933f, 0.933f, 0.933f, 1.0f);
const QColor kDarkViewColor = QColor::fromRgbF(0.0f, 0.0f, 0.0f, 0.6f);
const QColor kLightOverlayColor = QColor::fromRgbF(0.0f, 0.0f, 0.0f, 0.3f);
const QColor kDarkOverlayColor = QColor::fromRgbF(1.0f, 1.0f, 1.0f, 0.1f);
const QColor kFieldBorderColor = QColor::fromRgbF(0.4f, 0.4f, 0.4f, 0.4f);
constexpr double kFieldBorderWidth = 1.0;
constexpr double kFieldCornerRadius = 5.0;
// Marks the two border views whose border this controller paints.
constexpr char kBorderViewProperty[] = "zevBorderView";

// The dark tint is translucent: it darkens whatever the window shows beneath
// it. A top-level window has no desktop showing through, so the tint is laid
// over the desktop's own window colour when that is dark, else over this
// grey, the window grey of common dark themes. Black at 0.6 over it gives
// about 8 % grey.
const QColor kDarkBackdrop = QColor(50, 50, 50);

// Labels, field text and placeholders follow the mode as the desktop's own
// text colours would; the tint alone would leave dark text on a dark window
// when the desktop palette is light but the colour scheme dark.
QPalette textPaletteFor(bool dark) {
    const QColor ink = dark ? Qt::white : Qt::black;
    QColor primary = ink;
    primary.setAlphaF(0.85f);
    QColor secondary = ink;
    secondary.setAlphaF(0.35f);
    QPalette palette;
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Active, role, primary);
        palette.setColor(QPalette::Inactive, role, primary);
        palette.setColor(QPalette::Disabled, role, secondary);
    }
    palette.setColor(QPalette::PlaceholderText, secondary);
    return palette;
}

} // namespace

ViewController::ViewController(QWidget* parent)
    : QWidget(parent) {
    loadWindowResources();
    AlertTranslator::installOnce();
    Translations::install(Translations::windowLocale());
    Ui::ViewController ui;
    ui.setupUi(this);
    bgView1 = ui.bgView1;
    bgView2 = ui.bgView2;
    iamgesDirPathField = ui.iamgesDirPathField;
    FPSField = ui.FPSField;
    lowButton = ui.lowButton;
    highButton = ui.highButton;
    veryHighButton = ui.veryHighButton;
    zevButton = ui.zevButton;
    rateSlider = ui.rateSlider;
    forceUseCache = ui.forceUseCache;
    expressConversion = ui.expressConversion;
    outputSettingsButton = ui.outputSettingsButton;
    chooseFolderButton = ui.chooseFolderButton;
    previewButton = ui.previewButton;
    queueView = ui.queueView;

    connectSession();
    awakeFromNib();
    viewDidLoad();
    connectFolderChooser();
    setUpPreviewButton();
    setUpQueue();
}

// The session reports on the main thread: the outcome alert first, then the
// cache checkbox, then the end of the busy state.
void ViewController::connectSession() {
    connect(&session_, &ConversionSession::busyChanged, this, &ViewController::setInConverting);
    connect(&session_, &ConversionSession::progressChanged, this, &ViewController::presentProgress);
    connect(&session_, &ConversionSession::outcomeReady, this, &ViewController::presentOutcome);
    connect(&session_, &ConversionSession::cacheAvailable, this, &ViewController::enableCacheCheckbox);
}

void ViewController::awakeFromNib() {
    window()->setWindowOpacity(kWindowOpacity);
    // Lets a style sheet tint the controller's view.
    setAttribute(Qt::WA_StyledBackground);

    if (iamgesDirPathField) {
        iamgesDirPathField->setReadOnly(true);
        iamgesDirPathField->setPlaceholderText(kPathPlaceholder);
        // The field takes no drops of its own, so a folder dropped on it
        // reaches the panel behind it.
        iamgesDirPathField->setAcceptDrops(false);
    }
    if (bgView1)
        bgView1->setDelegate(this);
    if (FPSField)
        FPSField->setText(QStringLiteral("20"));

    setUpButton(zevButton, 1.0, 5.0, &ViewController::convertBtnClicked, QString());
    setUpButton(lowButton, 0.7, 3.0, &ViewController::lowBtnClicked, QStringLiteral("高"));
    setUpButton(highButton, 0.7, 3.0, &ViewController::highBtnClicked, QStringLiteral("超高"));
    setUpButton(veryHighButton, 0.7, 3.0, &ViewController::veryHighBtnClicked, QStringLiteral("最佳"));
}

void ViewController::viewDidLoad() {
    appearance_ = new DesktopAppearance(this);
    connect(appearance_, &DesktopAppearance::appearanceChanged, this, &ViewController::darkModeChanged);
    darkModeChanged();
    setInConverting(false);
    if (forceUseCache)
        forceUseCache->setEnabled(false);
    setUpExpressCheckbox();
    lowBtnClicked();
}

// The buttons keep one look in every state: pressing, hovering and focus
// change nothing, as the style sheet has no rule for any of them. Titles are
// white in every state. A null title leaves the title to the busy state.
void ViewController::setUpButton(QPushButton* button, double alpha, double cornerRadius, ButtonAction action,
                                 const QString& title) {
    if (!button)
        return;
    const QColor background =
        QColor::fromRgbF(kButtonRed, kButtonGreen, kButtonBlue, static_cast<float>(alpha));
    button->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; color: white; border: none;"
                                         " border-radius: %2px; outline: none; padding: 0 12px; }")
                              .arg(background.name(QColor::HexArgb))
                              .arg(cornerRadius));
    connect(button, &QPushButton::clicked, this, [this, action]() { (this->*action)(); });
    if (!title.isNull())
        button->setText(title);
}

void ViewController::setButtonOpacity(QPushButton* button, qreal opacity) {
    if (!button)
        return;
    auto* effect = qobject_cast<QGraphicsOpacityEffect*>(button->graphicsEffect());
    if (!effect) {
        effect = new QGraphicsOpacityEffect(button);
        button->setGraphicsEffect(effect);
    }
    effect->setOpacity(opacity);
    // A fully opaque button is drawn directly, not through the effect's
    // off-screen copy, so its title stays as crisp as the others.
    effect->setEnabled(opacity < 1.0);
}

void ViewController::presentBusyState(bool inConverting) {
    setButtonOpacity(zevButton, inConverting ? kBusyButtonOpacity : 1.0);
    if (zevButton)
        zevButton->setText(inConverting ? kBusyTitle : kIdleTitle);
    if (inConverting)
        startProgressAniamtion();
    else
        stopProgressAniamtion();
    keepFocusOnOverlay(inConverting);
    closeIfIdle();
}

void ViewController::presentProgress(const ConversionProgress& progress) {
    if (progressView_)
        progressView_->setProgress(progress.fraction, ProgressTexts::stageText(progress),
                                   ProgressTexts::timeText(progress));
}

// The overlay takes the clicks; this takes the keyboard: Tab and Space would
// otherwise reach the controls beneath it (the folder chooser among them).
// The controls keep their look, only their focus policy is parked.
void ViewController::keepFocusOnOverlay(bool busy) {
    if (!busy) {
        for (const auto& [widget, policy] : std::as_const(parkedFocus_)) {
            if (widget)
                widget->setFocusPolicy(policy);
        }
        parkedFocus_.clear();
        return;
    }
    const QList<QWidget*> controls = findChildren<QWidget*>();
    for (QWidget* control : controls) {
        if (control->focusPolicy() == Qt::NoFocus || (progressView_ && progressView_->isAncestorOf(control)))
            continue;
        parkedFocus_.append({control, control->focusPolicy()});
        control->setFocusPolicy(Qt::NoFocus);
        control->clearFocus();
    }
    if (progressView_)
        progressView_->cancelButton()->setFocus(Qt::OtherFocusReason);
}

void ViewController::closeEvent(QCloseEvent* event) {
    if (!anythingConverting()) {
        event->accept();
        return;
    }
    event->ignore();
    if (!closeWhenIdle_)
        askBeforeClosing();
}

QString ViewController::closeWhileBusyText() {
    return tr("A ZEV video is being made; quitting now cancels it.");
}

QString ViewController::cancelAndQuitTitle() {
    return tr("Cancel and quit");
}

QString ViewController::keepConvertingTitle() {
    return tr("Keep going, quit when done");
}

void ViewController::askBeforeClosing() {
    auto* box = new QMessageBox(QMessageBox::Question, window()->windowTitle(), closeWhileBusyText(),
                                QMessageBox::NoButton, window());
    box->setTextFormat(Qt::PlainText);
    box->setWindowModality(Qt::WindowModal);
    QPushButton* cancelAndQuit = box->addButton(cancelAndQuitTitle(), QMessageBox::DestructiveRole);
    QPushButton* keep = box->addButton(keepConvertingTitle(), QMessageBox::AcceptRole);
    box->setDefaultButton(keep);
    box->setEscapeButton(keep);
    connect(box, &QMessageBox::finished, this, [this, box, cancelAndQuit]() {
        box->deleteLater();
        closeWhenIdle_ = true;
        if (box->clickedButton() == cancelAndQuit) {
            cancelConversion();
            queue_.cancelAll();
        }
        if (!anythingConverting())
            close();
    });
    box->open();
}

void ViewController::darkModeChanged() {
    settingViewsBackGroundColorWithMode(DesktopAppearance::appearanceValue());
}

void ViewController::settingViewsBackGroundColorWithMode(const QString& mode) {
    const bool dark = DesktopAppearance::isDarkMode(mode);
    viewBackgroundColor_ = dark ? kDarkViewColor : kLightViewColor;
    setPalette(textPaletteFor(dark));
    update();
    settingTextField(iamgesDirPathField, bgView1);
    settingTextField(FPSField, bgView2);
    settingProgressViewColor();
}

// The same in both modes: the field shows what lies behind it, and its
// border view draws the frame around it.
void ViewController::settingTextField(QLineEdit* field, QWidget* bgView) {
    if (field) {
        field->setFrame(false);
        // Only the background is set; the text colours still come from the
        // controller's view.
        QPalette clearBackground;
        clearBackground.setColor(QPalette::Base, Qt::transparent);
        field->setPalette(clearBackground);
        // No focus ring: styles draw it as part of the frame, now off.
        field->setAttribute(Qt::WA_MacShowFocusRect, false);
    }
    if (bgView) {
        // Painted from eventFilter(), not by a style sheet: a style sheet on
        // the border view would take over the palettes of the field inside
        // it, and with them the text colours of the mode.
        bgView->setAutoFillBackground(false);
        bgView->setProperty(kBorderViewProperty, true);
        // Installing again is harmless: Qt keeps one filter per object.
        bgView->installEventFilter(this);
        bgView->update();
    }
}

// A clear panel with a thin rounded border.
void ViewController::paintBorderView(QWidget* bgView) {
    QPainter painter(bgView);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(kFieldBorderColor, kFieldBorderWidth));
    painter.setBrush(Qt::NoBrush);
    // Half the pen inside each edge, so the whole line lands in the panel.
    const double inset = kFieldBorderWidth / 2.0;
    painter.drawRoundedRect(QRectF(bgView->rect()).adjusted(inset, inset, -inset, -inset), kFieldCornerRadius,
                            kFieldCornerRadius);
}

// Reads the mode itself rather than taking it from the caller, so a new
// overlay always starts in the desktop's current mode.
void ViewController::settingProgressViewColor() {
    if (!progressView_)
        return;
    const bool dark = DesktopAppearance::isDarkMode(DesktopAppearance::appearanceValue());
    progressView_->setTintColor(dark ? kDarkOverlayColor : kLightOverlayColor);
}

void ViewController::startProgressAniamtion() {
    // A second busy call without an end in between would otherwise leave
    // the first overlay behind for good, blocking the window.
    stopProgressAniamtion();
    progressView_ = new ZEVProgressView(rect(), this);
    connect(progressView_, &ZEVProgressView::cancelRequested, this, [this]() { cancelConversion(); });
    settingProgressViewColor();
    progressView_->show();
    progressView_->raise();
    progressView_->startAnimation();
}

void ViewController::stopProgressAniamtion() {
    if (!progressView_)
        return;
    progressView_->stopAnimation();
    delete progressView_.data();
}

bool ViewController::event(QEvent* event) {
    // The application palette's change never reaches changeEvent().
    if (appearance_ && DesktopAppearance::isAppearanceEvent(event->type()))
        appearance_->notifyMayHaveChanged();
    return QWidget::event(event);
}

void ViewController::paintEvent(QPaintEvent* event) {
    if (!viewBackgroundColor_.isValid()) {
        QWidget::paintEvent(event);
        return;
    }
    QPainter painter(this);
    if (viewBackgroundColor_.alpha() < 255) {
        const QColor desktopWindow = palette().color(QPalette::Window);
        painter.fillRect(rect(), desktopWindow.lightnessF() < 0.5f ? desktopWindow : kDarkBackdrop);
    }
    painter.fillRect(rect(), viewBackgroundColor_);
}

void ViewController::updateDragFilePath(const QString& path) {
    if (path.isNull())
        return;
    if (iamgesDirPathField)
        iamgesDirPathField->setText(path);
    if (forceUseCache) {
        forceUseCache->setChecked(false);
        forceUseCache->setEnabled(false);
    }
    cacheAvailable_ = false;
    lowBtnClicked();
}

// Read at every start, so an edit of the settings file counts at the next run.
qint64 ViewController::cacheCapBytes() {
    return cacheCapBytes(QSettings().value(kCacheCapSettingKey, kDefaultCacheCapMiB));
}

qint64 ViewController::cacheCapBytes(const QVariant& mebibytesSetting) {
    bool valid = false;
    const qint64 mebibytes = mebibytesSetting.isValid() ? mebibytesSetting.toLongLong(&valid) : 0;
    if (!valid || mebibytes < 0)
        return kDefaultCacheCapMiB << 20;
    // Shifted beyond 63 bits the cap would wrap round, and every other
    // folder's cache would be removed; so large a cap means no limit.
    constexpr qint64 kLargest = std::numeric_limits<qint64>::max();
    return mebibytes > (kLargest >> 20) ? kLargest : mebibytes << 20;
}

FrontEndInputs ViewController::inputs() const {
    FrontEndInputs inputs;
    inputs.fpsText = FPSField ? FPSField->text() : QString();
    // Edited by the user since start-up: a video or animated image is
    // otherwise shown at its own rate.
    inputs.fpsTyped = FPSField && FPSField->isModified();
    inputs.sliderValue = sliderValue();
    inputs.folderText = pathText();
    inputs.cacheTicked = forceUseCache && forceUseCache->isChecked();
    inputs.expressTicked = expressCheckboxTicked();
    // The sheet's choice applies to express runs only (a video or animated
    // image always is one): the default pipeline knows only the default
    // layout.
    if (inputs.expressTicked || MediaSource::isCandidate(inputs.folderText))
        inputs.output = output_;
    inputs.cacheCapBytes = cacheCapBytes();
    return inputs;
}

bool ViewController::isInteger(const QString& text) {
    return IntegerText::isInteger(text);
}

bool ViewController::getTextFieldContent() {
    const Result<ConversionSettings> settings = validator_.validate(inputs());
    if (!settings)
        showAlertWithErrorMessage(settings.reason());
    return settings.ok();
}

void ViewController::lowBtnClicked() {
    setSliderValue(SettingsValidator::kLowPreset);
}

void ViewController::highBtnClicked() {
    setSliderValue(SettingsValidator::kHighPreset);
}

void ViewController::veryHighBtnClicked() {
    setSliderValue(SettingsValidator::kVeryHighPreset);
}

void ViewController::convertBtnClicked() {
    if (inConverting_)
        return;
    if (!getTextFieldContent())
        return;
    beginConverting();
}

bool ViewController::beginConverting() {
    return session_.start(validator_.settings());
}

void ViewController::cancelConversion() {
    session_.cancel();
}

// The flag first: whatever the look change sets off already sees it.
void ViewController::setInConverting(bool inConverting) {
    inConverting_ = inConverting;
    presentBusyState(inConverting);
}

std::optional<QStringList> ViewController::allImagesFromFolder(const QString& folder, ConvertError* error) {
    return FrameFolderScanner::allImagesFromFolder(folder, error);
}

std::optional<QStringList> ViewController::allImagesFullPathFrom(const QString& folder, ConvertError* error) {
    return FrameFolderScanner::allImagesFullPathFrom(folder, error);
}

std::optional<ConvertError> ViewController::errorWithMsg(const QString& message) {
    return FrameFolderScanner::errorWithMsg(message);
}

ToolRunResult ViewController::launchConvertTaskWithArguments(const QStringList& arguments,
                                                             const QString& launchPath) {
    return ToolRunner::run(arguments, launchPath);
}

Result<> ViewController::extractImageAlphaFromImagesArray(const QStringList& images,
                                                          const QString& newImageFolder) const {
    return ImageStages::extractImageAlpha(convertPath(), images, newImageFolder);
}

Result<> ViewController::extractImageRGBFromImagesArray(const QStringList& images,
                                                        const QString& newImageFolder) const {
    return ImageStages::extractImageRGB(convertPath(), images, newImageFolder);
}

Result<> ViewController::appendImageWithAlphaImagesArray(const QStringList& alphaImages,
                                                         const QStringList& sourceImages,
                                                         const QString& newImageFolder) const {
    return ImageStages::appendImages(convertPath(), alphaImages, sourceImages, newImageFolder);
}

QString ViewController::alphaImagesDirectoryPath() {
    return inRunFolder(&ScratchFolders::alphaImagesDirectoryPath);
}

QString ViewController::rgbImagesDirectoryPath() {
    return inRunFolder(&ScratchFolders::rgbImagesDirectoryPath);
}

// A cache run encodes the packed frames its frame folder's cache keeps.
QString ViewController::appendImagesDirectoryPath() {
    const bool running = session_.inConverting();
    const ConversionSettings& settings = validator_.settings();
    if (running && settings.useCache)
        return FrameCache::packedFramesFolder(settings.sourceImageFolder);
    if (!running && forceUseCache && forceUseCache->isEnabled() && forceUseCache->isChecked() &&
        !expressCheckboxTicked() && !pathText().isEmpty())
        return FrameCache::packedFramesFolder(pathText());
    return inRunFolder(&ScratchFolders::appendImagesDirectoryPath);
}

// The folders of the run in progress, or of the one the next run will work
// in, which the session makes now and holds for it.
QString ViewController::inRunFolder(QString (*folderIn)(const QString&)) {
    const QString runFolder = session_.runFolderPath();
    return runFolder.isEmpty() ? QString() : folderIn(runFolder);
}

// Under a temporary name first, as a conversion writes it: a failed encode
// leaves the previous video, and its description, as they were.
Result<> ViewController::convertImagesToMp4FromFolder(const QString& imagesFolder,
                                                      const QString& outputFolder) const {
    if (outputFolder.isNull()) // refused by the encoder before anything runs
        return VideoEncoder::convertImagesToMp4FromFolder(ffmpegPath(), imagesFolder, QString(), FPS(),
                                                          rate());
    PendingVideo video(outputFolder, QStringLiteral("encoding"));
    if (Result<> encoded = VideoEncoder::convertImagesToMp4FromFolder(ffmpegPath(), imagesFolder,
                                                                      video.path(), FPS(), rate());
        !encoded)
        return encoded;
    // The default layout needs no description; an earlier one would lie.
    if (Result<> removed = PipelineRun::removeDescription(outputFolder); !removed)
        return removed;
    return video.commit();
}

double ViewController::sliderValue() const {
    return rateSlider ? static_cast<double>(rateSlider->value()) / kSliderSteps : 0.0;
}

void ViewController::setSliderValue(double value) {
    if (rateSlider)
        rateSlider->setValue(static_cast<int>(std::lround(value * kSliderSteps)));
}

QString ViewController::pathText() const {
    return iamgesDirPathField ? iamgesDirPathField->text() : QString();
}

void ViewController::enableCacheCheckbox() {
    cacheAvailable_ = true;
    if (forceUseCache && !expressCheckboxTicked())
        forceUseCache->setEnabled(true);
}

bool ViewController::expressCheckboxTicked() const {
    return expressConversion && expressConversion->isChecked();
}

// Off the first time; afterwards as the user last left it.
void ViewController::setUpExpressCheckbox() {
    if (!expressConversion)
        return;
    expressConversion->setChecked(QSettings().value(kExpressSettingKey, false).toBool());
    output_ = OutputOptionsDialog::load(QSettings());
    if (outputSettingsButton)
        connect(outputSettingsButton, &QToolButton::clicked, this, &ViewController::showOutputSettings);
    expressToggled(expressConversion->isChecked());
    connect(expressConversion, &QCheckBox::toggled, this, [this](bool ticked) {
        QSettings().setValue(kExpressSettingKey, ticked);
        expressToggled(ticked);
    });
}

// An express run has no cache to use, so the cache box is off meanwhile; it
// comes back only as the last full run left it.
void ViewController::expressToggled(bool ticked) {
    if (outputSettingsButton)
        outputSettingsButton->setEnabled(ticked);
    if (!forceUseCache)
        return;
    if (ticked)
        forceUseCache->setChecked(false);
    forceUseCache->setEnabled(!ticked && cacheAvailable_);
}

// A sheet over the window; the choice counts, and is remembered, once
// confirmed.
void ViewController::showOutputSettings() {
    auto* sheet = new OutputOptionsDialog(this);
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    sheet->setOptions(output_);
    connect(sheet, &QDialog::accepted, this, [this, sheet]() {
        output_ = sheet->options();
        QSettings settings;
        OutputOptionsDialog::save(settings, output_);
    });
    sheet->open();
}

void ViewController::showAlertWithErrorMessage(const QString& message) {
    QTimer::singleShot(0, this, [this, message]() { presentErrorAlert(message); });
}

void ViewController::showConvertSuccessAlertWithPath(const QString& path) {
    QTimer::singleShot(0, this, [this, path]() { presentSuccessAlert(path); });
}

QMessageBox* ViewController::makeAlert(const QString& text, const QString& iconPath) {
    auto* box = new QMessageBox(QMessageBox::Information, window()->windowTitle(), text,
                                QMessageBox::NoButton, window());
    // Paths and messages are shown as they are, never read as markup.
    box->setTextFormat(Qt::PlainText);
    box->setTextInteractionFlags(Qt::TextSelectableByMouse);
    const QPixmap icon(iconPath);
    if (!icon.isNull())
        box->setIconPixmap(icon);
    box->setWindowModality(Qt::WindowModal);
    return box;
}

QString ViewController::successDetails(const ConversionOutcome& outcome) {
    QStringList lines;
    if (outcome.bitrateKbits > 0)
        lines.append(tr("Bitrate: %1 kbit/s").arg(outcome.bitrateKbits));
    if (outcome.rateChoice)
        lines.append(tr("Chosen by trial encodes: %1").arg(outcome.rateChoice->text()));
    if (!outcome.warning.isEmpty())
        lines.append(outcome.warning);
    return lines.join(u'\n');
}

void ViewController::presentOutcome(const ConversionOutcome& outcome) {
    switch (outcome.kind) {
    case ConversionOutcome::Kind::Succeeded:
        presentSuccessAlert(outcome.outputFolder, successDetails(outcome));
        break;
    case ConversionOutcome::Kind::Failed:
        presentErrorAlert(outcome.message, outcome.reason, outcome.details);
        break;
    case ConversionOutcome::Kind::Cancelled:
        break;
    }
}

// Qt sets the text format of the main text only; a reason naming a folder
// called "<b>x</b>" must not be read as markup either.
void ViewController::setPlainInformativeText(QMessageBox* box, const QString& text) {
    if (text.isEmpty())
        return;
    box->setInformativeText(text);
    if (auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_informativelabel")))
        label->setTextFormat(Qt::PlainText);
}

void ViewController::presentErrorAlert(const QString& message, const QString& reason,
                                       const QString& details) {
    QMessageBox* box = makeAlert(message, QStringLiteral(":/msgerror.png"));
    setPlainInformativeText(box, reason);
    box->setDetailedText(details);
    box->setDefaultButton(box->addButton(QStringLiteral("Ok"), QMessageBox::AcceptRole));
    connect(box, &QMessageBox::finished, box, &QObject::deleteLater);
    box->open();
}

void ViewController::presentSuccessAlert(const QString& path, const QString& warning) {
    QMessageBox* box = makeAlert(UserTexts::kSuccessFormat.arg(path), QStringLiteral(":/msgSuccess.png"));
    setPlainInformativeText(box, warning);
    QPushButton* openButton = box->addButton(QStringLiteral("打开视频文件路径"), QMessageBox::AcceptRole);
    box->addButton(QStringLiteral("关闭"), QMessageBox::RejectRole);
    box->setDefaultButton(openButton);
    connect(box, &QMessageBox::finished, this, [this, box, openButton, path]() {
        box->deleteLater();
        if (box->clickedButton() == openButton)
            openFile(path);
    });
    box->open();
}

// The one command that goes through a shell. The path becomes a single
// quoted word in which each ' is closed, escaped and reopened ('\''), so
// xdg-open receives it as one literal argument whatever it holds.
void ViewController::openFile(const QString& path) {
    if (path.isNull())
        return;
    QString quoted = path;
    quoted.replace(QLatin1Char('\''), QStringLiteral("'\\''"));
    const QString command = QStringLiteral("xdg-open '") + quoted + QLatin1Char('\'');
    launchConvertTaskWithArguments({QStringLiteral("-c"), command}, QStringLiteral("/bin/bash"));
}

void ViewController::connectFolderChooser() {
    // The button itself chooses folders; its menu, files too.
    if (chooseFolderButton) {
        connect(chooseFolderButton, &QToolButton::clicked, this, &ViewController::chooseFolder);
        auto* menu = new QMenu(chooseFolderButton);
        menu->addAction(tr("Choose frame folders…"), this, &ViewController::chooseFolder);
        menu->addAction(tr("Choose videos or animated images…"), this, &ViewController::chooseMediaFiles);
        chooseFolderButton->setMenu(menu);
        chooseFolderButton->setPopupMode(QToolButton::MenuButtonPopup);
    }
    if (bgView1)
        bgView1->installEventFilter(this);
    if (iamgesDirPathField)
        iamgesDirPathField->installEventFilter(this);
}

bool ViewController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Paint && watched->property(kBorderViewProperty).toBool()) {
        // The view itself paints nothing, so drawing first loses nothing.
        paintBorderView(static_cast<QWidget*>(watched));
        return false;
    }
    const bool onPathPanel = watched == bgView1 || watched == iamgesDirPathField;
    if (onPathPanel && event->type() == QEvent::MouseButtonDblClick &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        chooseFolder();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void ViewController::chooseFolder() {
    const QString shown = pathText();
    const QString start = !shown.isEmpty() && QFileInfo(shown).isDir() ? shown : QDir::homePath();
    QFileDialog chooser(this, tr("Choose the frame folder"), start);
    chooser.setFileMode(QFileDialog::Directory);
    chooser.setOption(QFileDialog::ShowDirsOnly);
    // Only Qt's own dialog lets several folders be chosen at once: its
    // lists take an extended selection, the desktop's dialogs do not.
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    for (QAbstractItemView* list : chooser.findChildren<QAbstractItemView*>())
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    if (chooser.exec() != QDialog::Accepted)
        return;
    QStringList folders = chooser.selectedFiles();
    folders.removeAll(QString());
    if (!folders.isEmpty())
        updateDragFilePaths(folders);
}

void ViewController::chooseMediaFiles() {
    const QString shown = pathText();
    const QString start = !shown.isEmpty() ? QFileInfo(shown).absolutePath() : QDir::homePath();
    QFileDialog chooser(
        this, tr("Choose a video or animated image"), start,
        tr("Videos and animated images (%1)")
            .arg(QStringLiteral("*.mov *.qt *.mp4 *.m4v *.mkv *.webm *.avi *.gif *.apng *.png")));
    chooser.setFileMode(QFileDialog::ExistingFiles);
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    if (chooser.exec() != QDialog::Accepted)
        return;
    QStringList files = chooser.selectedFiles();
    files.removeAll(QString());
    if (!files.isEmpty())
        updateDragFilePaths(files);
}

void ViewController::updateDragFilePaths(const QStringList& paths) {
    if (paths.size() == 1)
        updateDragFilePath(paths.constFirst());
    else if (!paths.isEmpty())
        enqueue(paths);
}

void ViewController::setUpQueue() {
    bool valid = false;
    const int runs = QSettings().value(kParallelRunsSettingKey).toInt(&valid);
    if (valid && (runs == 1 || runs == 2))
        queue_.setParallelRuns(runs);
    connect(&queue_, &ConversionQueue::finished, this, &ViewController::queueFinished);
    connect(&queue_, &ConversionQueue::busyChanged, this, [this](bool busy) {
        if (!busy)
            closeIfIdle();
    });
    if (!queueView)
        return;
    queueView->setQueue(&queue_);
    connect(queueView, &ZEVQueueView::pathsDropped, this, &ViewController::enqueue);
    connect(queueView, &ZEVQueueView::openRequested, this, &ViewController::openFile);
    connect(queueView, &ZEVQueueView::shownChanged, this, &ViewController::fitWindowToQueue);
}

// The controls as they stand now, for every item of this drop. Neither the
// path field nor the presets change: the queue is beside the shown folder.
void ViewController::enqueue(const QStringList& paths) {
    queue_.add(paths, inputs(), validator_.settings());
}

void ViewController::queueFinished(const QueueSummary& summary) {
    if (!window()->isActiveWindow())
        DesktopNotifier::notify(summary.headline(), summary.details());
    // The window is about to close: the user asked for that, not for news.
    if (closeWhenIdle_)
        return;
    QTimer::singleShot(0, this, [this, summary]() { presentQueueAlert(summary); });
}

// Like the other alerts: the headline as its text, the failures (never
// markup) as its informative text.
void ViewController::presentQueueAlert(const QueueSummary& summary) {
    QMessageBox* box =
        makeAlert(summary.headline(), summary.failed() == 0 ? QStringLiteral(":/msgSuccess.png")
                                                            : QStringLiteral(":/msgerror.png"));
    setPlainInformativeText(box, summary.details());
    box->setDefaultButton(box->addButton(QStringLiteral("Ok"), QMessageBox::AcceptRole));
    connect(box, &QMessageBox::finished, box, &QObject::deleteLater);
    box->open();
}

// The window grows by what the queue needs and goes back to its old size
// once the queue is empty again.
void ViewController::fitWindowToQueue(bool shown) {
    QWidget* top = window();
    if (!shown) {
        top->setMinimumHeight(minimumHeightWithoutQueue_);
        top->resize(top->width(), heightWithoutQueue_);
        return;
    }
    heightWithoutQueue_ = top->height();
    minimumHeightWithoutQueue_ = top->minimumHeight();
    top->setMinimumHeight(std::max(minimumHeightWithoutQueue_, top->minimumSizeHint().height()));
    top->resize(top->width(), std::max(top->height(), top->sizeHint().height()));
}

bool ViewController::anythingConverting() const {
    return inConverting() || queue_.isBusy();
}

void ViewController::closeIfIdle() {
    if (closeWhenIdle_ && !anythingConverting())
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void ViewController::setUpPreviewButton() {
    setUpButton(previewButton, 0.7, 3.0, &ViewController::previewBtnClicked, QStringLiteral("预览"));
    if (iamgesDirPathField)
        connect(iamgesDirPathField, &QLineEdit::textChanged, this, &ViewController::refreshPreviewButton);
    auto* poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, &ViewController::refreshPreviewButton);
    poll->start(1000);
    refreshPreviewButton();
}

void ViewController::refreshPreviewButton() {
    if (!previewButton)
        return;
    const QString folder = pathText();
    const bool available = !folder.isEmpty() && QFileInfo(QualityCheck::videoPathIn(folder)).isFile();
    if (previewButton->isEnabled() == available && previewButton->graphicsEffect())
        return;
    previewButton->setEnabled(available);
    setButtonOpacity(previewButton, available ? 1.0 : 0.4);
}

void ViewController::previewBtnClicked() {
    refreshPreviewButton();
    if (!previewButton || !previewButton->isEnabled())
        return;
    // A window of its own, deleted when closed or with the main window.
    auto* preview = new PreviewController(this);
    preview->open(QualityCheck::videoPathIn(pathText()));
    preview->show();
}

} // namespace zev

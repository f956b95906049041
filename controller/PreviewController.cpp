#include "PreviewController.h"

#include "DesktopAppearance.h"
#include "PngFrameFile.h"
#include "QualityCheck.h"
#include "ZEVPreviewCanvas.h"
#include "core/Translations.h"
#include "output/OutputFolder.h"
#include "preview/FrameComparison.h"
#include "preview/QualityReport.h"
#include "preview/StagedTools.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QVBoxLayout>

namespace zev {

namespace {

// The main window's tints (light 0.933 grey; dark black at 0.6 over the
// dark backdrop), so the preview sits beside it in the same look.
const QColor kLightWindow = QColor::fromRgbF(0.933f, 0.933f, 0.933f);
const QColor kDarkWindow = QColor(20, 20, 20);

QString layoutText(VideoDescription::Layout layout) {
    switch (layout) {
    case VideoDescription::Layout::MaskLeft:
        return PreviewController::tr("mask on the left");
    case VideoDescription::Layout::MaskRight:
        return PreviewController::tr("mask on the right");
    case VideoDescription::Layout::MaskTop:
        return PreviewController::tr("mask on top");
    case VideoDescription::Layout::MaskBottom:
        return PreviewController::tr("mask below");
    }
    return {};
}

QString rateText(double fps) {
    return PreviewController::tr("%1 frames/s").arg(fps, 0, 'g', 4);
}

} // namespace

PreviewController::PreviewController(QWidget* parent)
    : QWidget(parent, Qt::Window) {
    // Opened on its own (zev --preview) the preview speaks Chinese too.
    Translations::install(Translations::windowLocale());
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(titleText());
    buildControls();
    appearance_ = new DesktopAppearance(this);
    connect(appearance_, &DesktopAppearance::appearanceChanged, this, &PreviewController::applyAppearance);
    applyAppearance();
}

PreviewController::~PreviewController() {
    stopProbing();
}

QString PreviewController::titleText() {
    return tr("ZEV preview");
}

QString PreviewController::cannotPlayText() {
    return tr("Cannot play this video.");
}

QString PreviewController::playText() {
    return tr("Play");
}

QString PreviewController::pauseText() {
    return tr("Pause");
}

ZEVPreviewCanvas* PreviewController::canvas() const {
    return canvas_;
}

void PreviewController::buildControls() {
    canvas_ = new ZEVPreviewCanvas;
    scroller_ = new QScrollArea;
    scroller_->setWidget(canvas_);
    scroller_->setWidgetResizable(true);
    scroller_->setAlignment(Qt::AlignCenter);
    scroller_->setFrameShape(QFrame::NoFrame);

    messageLabel_ = new QLabel;
    messageLabel_->setWordWrap(true);
    messageLabel_->setText(tr("Opening the video…"));

    auto* left = new QVBoxLayout;
    left->addWidget(scroller_, 1);
    left->addWidget(messageLabel_);
    left->addWidget(buildControlBar());

    auto* main = new QHBoxLayout(this);
    main->addLayout(left, 1);
    main->addWidget(buildInfoPanel());
    resize(1100, 560);
}

QWidget* PreviewController::buildControlBar() {
    auto* bar = new QWidget;
    auto* grid = new QGridLayout(bar);
    grid->setContentsMargins(0, 0, 0, 0);

    playButton_ = new QPushButton(playText());
    stepButton_ = new QPushButton(tr("Next frame"));
    loopBox_ = new QCheckBox(tr("Loop"));
    loopBox_->setChecked(true);
    positionSlider_ = new QSlider(Qt::Horizontal);
    positionSlider_->setTracking(false);
    positionLabel_ = new QLabel(QStringLiteral("– / –"));
    positionLabel_->setMinimumWidth(90);

    backdropBox_ = new QComboBox;
    backdropBox_->addItems({tr("Checkerboard"), tr("Black"), tr("White"), tr("Other colour…")});
    scaleBox_ = new QComboBox;
    scaleBox_->addItems({tr("Fit to window"), QStringLiteral("1:1")});
    viewBox_ = new QComboBox;
    viewBox_->addItems({tr("Decoded"), tr("Source frame"), tr("Difference"), tr("Edges over white")});
    viewBox_->setEnabled(false);
    viewBox_->setToolTip(
        tr("When the video is a frame folder's output/zev.mp4 or zev.webm, it can be compared with the "
           "source frames"));
    psnrLabel_ = new QLabel;

    for (QPushButton* button : {playButton_.data(), stepButton_.data()})
        button->setEnabled(false);
    positionSlider_->setEnabled(false);

    grid->addWidget(playButton_, 0, 0);
    grid->addWidget(stepButton_, 0, 1);
    grid->addWidget(loopBox_, 0, 2);
    grid->addWidget(positionSlider_, 0, 3);
    grid->addWidget(positionLabel_, 0, 4);
    auto* choices = new QHBoxLayout;
    choices->addWidget(new QLabel(tr("Backdrop")));
    choices->addWidget(backdropBox_);
    choices->addWidget(new QLabel(tr("Scale")));
    choices->addWidget(scaleBox_);
    choices->addWidget(new QLabel(tr("Compare")));
    choices->addWidget(viewBox_);
    choices->addWidget(psnrLabel_, 1);
    grid->addLayout(choices, 1, 0, 1, 5);
    grid->setColumnStretch(3, 1);

    connect(stepButton_, &QPushButton::clicked, this, [this]() {
        if (player_)
            player_->step();
    });
    connect(playButton_, &QPushButton::clicked, this, [this]() {
        if (player_)
            player_->togglePlaying();
    });
    connect(loopBox_, &QCheckBox::toggled, this, [this](bool loop) {
        if (player_)
            player_->setLoop(loop);
    });
    connect(positionSlider_, &QSlider::valueChanged, this, [this](int frame) {
        if (player_ && frame != player_->position())
            player_->seek(frame);
    });
    connect(backdropBox_, &QComboBox::activated, this, &PreviewController::chooseBackdrop);
    // At 1:1 the canvas asks for the frame's full size, and the scroll area
    // scrolls when the window is smaller.
    connect(scaleBox_, &QComboBox::currentIndexChanged, this,
            [this](int choice) { canvas_->setFit(choice == 0); });
    connect(viewBox_, &QComboBox::currentIndexChanged, this, [this](int choice) { setView(View(choice)); });
    return bar;
}

QWidget* PreviewController::buildInfoPanel() {
    factsLabel_ = new QLabel;
    factsLabel_->setTextFormat(Qt::RichText);
    factsLabel_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    factsLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    factsLabel_->setMinimumWidth(210);
    return factsLabel_;
}

void PreviewController::open(const QString& videoPath) {
    videoPath_ = QFileInfo(videoPath).absoluteFilePath();
    setWindowTitle(QStringLiteral("%1 — %2").arg(titleText(), QFileInfo(videoPath_).fileName()));
    // ffprobe counts the packets of the whole file: on a thread of its own,
    // so a long or a broken file never holds up the window. Closing the
    // window (or opening another video) stops it and waits for it.
    stopProbing();
    probeStop_ = std::make_unique<Cancellation>();
    probe_ = std::make_unique<WorkerThread>();
    auto result = std::make_shared<std::optional<Result<PackedVideo>>>();
    // A video or animated image it was made of is probed there too.
    auto source = std::make_shared<std::optional<MediaSource>>();
    probe_->start(
        [result, source, path = videoPath_, stop = probeStop_.get()]() {
            *result = PackedVideo::open(StagedTools::ffprobe(), path, stop);
            const QString made = QualityCheck::sourceOf(path);
            if (result->value().ok() && QFileInfo(made).isFile()) {
                if (Result<MediaSource> probed = MediaSource::probe(StagedTools::ffprobe(), made); probed)
                    *source = *probed;
            }
        },
        [this, result, source]() {
            if (result->has_value() && result->value().ok())
                videoOpened(*result->value(), *source);
            else
                showFailure(result->has_value() ? result->value().reason() : tr("ffprobe did not run"));
        });
}

void PreviewController::stopProbing() {
    if (probeStop_)
        probeStop_->request();
    probe_.reset();
}

void PreviewController::videoOpened(const PackedVideo& video, const std::optional<MediaSource>& source) {
    messageLabel_->clear();
    messageLabel_->hide();
    factsLabel_->setText(factsText(video));
    if (source) {
        sourceReader_ = std::make_unique<MediaSourceReader>(
            StagedTools::ffmpeg(), *source,
            MediaSourceReader::typedFpsOf(*source, video.description.inputFps, video.facts.frames()));
        viewBox_->setEnabled(true);
    } else {
        findSourceFrames(video);
    }
    recombiner_.emplace(video.description);
    player_ = std::make_unique<PreviewPlayer>(video, StagedTools::ffmpeg());
    connect(player_.get(), &PreviewPlayer::frameShown, this, &PreviewController::frameShown);
    connect(player_.get(), &PreviewPlayer::failed, this, &PreviewController::showFailure);
    connect(player_.get(), &PreviewPlayer::playingChanged, this, [this](bool playing) {
        playButton_->setText(playing ? pauseText() : playText());
        if (!playing)
            refreshView();
    });
    player_->setLoop(loopBox_->isChecked());
    positionSlider_->setRange(0, int(std::max<qint64>(video.facts.frames() - 1, 0)));
    for (QWidget* control : std::initializer_list<QWidget*>{playButton_, stepButton_, positionSlider_})
        control->setEnabled(true);
    player_->play();
    Q_EMIT opened();
}

void PreviewController::showFailure(const QString& reason) {
    failure_ = reason;
    messageLabel_->setText(cannotPlayText() + u'\n' + reason);
    messageLabel_->show();
    auto* box = new QMessageBox(QMessageBox::Warning, titleText(), cannotPlayText(), QMessageBox::Ok, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setInformativeText(reason);
    box->setWindowModality(Qt::WindowModal);
    box->open();
    Q_EMIT openFailed(reason);
}

QString PreviewController::frameFolderOf(const QString& videoPath) {
    return OutputFolder::frameFolderOf(videoPath);
}

void PreviewController::findSourceFrames(const PackedVideo& video) {
    inputRate_.reset();
    const QString folder = frameFolderOf(video.path);
    if (folder.isEmpty())
        return;
    Result<QStringList> frames = QualityCheck::sourceFrames(folder);
    if (!frames)
        return;
    sourceFrames_ = *frames;
    const double outputFps = video.facts.framesPerSecond();
    inputRate_ = SourceFrameTiming::inputRate(video.description.inputFps, video.facts.recordedInputFps(),
                                              sourceFrames_.size(), video.facts.frames(), outputFps);
    timing_.emplace(inputRate_->fps, outputFps);
    viewBox_->setEnabled(true);
}

void PreviewController::frameShown(qint64 index, const PackedFrame& packed, const QImage& image) {
    index_ = index;
    packed_ = packed;
    decodedImage_ = image;
    {
        const QSignalBlocker quiet(positionSlider_);
        positionSlider_->setValue(int(index));
    }
    positionLabel_->setText(QStringLiteral("%1 / %2").arg(index + 1).arg(player_->video().facts.frames()));
    refreshView();
}

// While playing the decoded view, only the frame is drawn: loading the
// source frame and comparing waits for a pause or another view.
void PreviewController::refreshView() {
    const bool compare = canCompare() && index_ >= 0 && (view_ != View::Decoded || !player_->isPlaying());
    RgbaFrame decoded;
    if (compare && sourceReader_) {
        // The source read as the conversion read it: frame for frame.
        if (index_ != sourceIndex_) {
            Result<RgbaFrame> loaded = sourceReader_->frame(index_);
            source_ = loaded ? *loaded : RgbaFrame();
            sourceError_ = loaded ? QString() : loaded.reason();
            sourceIndex_ = index_;
        }
        decoded = recombiner_->recombine(packed_);
        psnrLabel_->setText(comparisonText(FrameComparison::compare(decoded, source_)));
    } else if (compare) {
        const qint64 wanted = std::min<qint64>(timing_->sourceFrameFor(index_), sourceFrames_.size() - 1);
        if (wanted != sourceIndex_) {
            Result<RgbaFrame> loaded = PngFrameFile::read(sourceFrames_.at(wanted));
            source_ = loaded ? *loaded : RgbaFrame();
            sourceError_ = loaded ? QString() : loaded.reason();
            sourceIndex_ = wanted;
        }
        decoded = recombiner_->recombine(packed_);
        const std::optional<FrameComparison> comparison = FrameComparison::compare(decoded, source_);
        psnrLabel_->setText(comparisonText(comparison));
    } else {
        psnrLabel_->clear(); // figures of an earlier frame would mislead
    }
    switch (compare ? view_ : View::Decoded) {
    case View::Decoded:
        canvas_->setImage(decodedImage_);
        break;
    case View::Source:
        canvas_->setImage(
            PngFrameFile::toImage(source_).convertToFormat(QImage::Format_ARGB32_Premultiplied));
        break;
    case View::Difference:
        canvas_->setImage(PngFrameFile::toImage(FrameComparison::differenceMap(decoded, source_)));
        break;
    case View::Edges:
        canvas_->setImage(PngFrameFile::toImage(FrameComparison::edgeMap(decoded, source_)));
        break;
    }
}

QString PreviewController::comparisonText(const std::optional<FrameComparison>& comparison) const {
    if (comparison) {
        const QString figures = tr("Source frame %1: mask PSNR %2, colour PSNR %3")
                                    .arg(sourceIndex_)
                                    .arg(QualityReport::decibels(comparison->maskPsnr()),
                                         QualityReport::decibels(comparison->colourPsnr()));
        if (comparison->edgePixels == 0)
            return figures + u'\n' + tr("No edge pixels (0 < alpha < 255)");
        // A negative mean error is a dark rim, a positive one a light rim.
        return figures + u'\n' +
               tr("Edges over white %1 (mean error %2), over black %3 (mean error %4)")
                   .arg(QualityReport::decibels(comparison->edgeOverWhitePsnr()),
                        QualityReport::signedLevels(comparison->edgeOverWhite.meanError),
                        QualityReport::decibels(comparison->edgeOverBlackPsnr()),
                        QualityReport::signedLevels(comparison->edgeOverBlack.meanError));
    }
    if (!sourceError_.isEmpty())
        return tr("Cannot read the source frame: %1").arg(sourceError_);
    return tr("Source frame %1 is not the size of the video's frames").arg(sourceIndex_);
}

void PreviewController::setView(View view) {
    view_ = view;
    if (viewBox_->currentIndex() != int(view))
        viewBox_->setCurrentIndex(int(view));
    if (index_ >= 0)
        refreshView();
}

void PreviewController::chooseBackdrop(int choice) {
    using Backdrop = ZEVPreviewCanvas::Backdrop;
    if (choice != 3) {
        canvas_->setBackdrop(Backdrop(choice));
        return;
    }
    const QColor colour = QColorDialog::getColor(
        canvas_->backdropColour().isValid() ? canvas_->backdropColour() : QColor(0, 160, 80), this,
        tr("Backdrop colour"));
    if (colour.isValid())
        canvas_->setBackdrop(Backdrop::Colour, colour);
    else
        backdropBox_->setCurrentIndex(int(canvas_->backdrop()));
}

QString PreviewController::factsText(const PackedVideo& video) const {
    const VideoFacts& facts = video.facts;
    const VideoDescription& description = video.description;
    QString rows;
    const auto row = [&rows](const QString& name, const QString& value) {
        rows += QStringLiteral("<tr><td style='padding-right:12px'>%1</td><td>%2</td></tr>")
                    .arg(name, value.toHtmlEscaped());
    };
    row(tr("Video size"), QStringLiteral("%1×%2").arg(facts.size().width()).arg(facts.size().height()));
    row(tr("Frame size"),
        QStringLiteral("%1×%2").arg(description.frameSize.width()).arg(description.frameSize.height()));
    row(tr("Frames"), QString::number(facts.frames()));
    row(tr("Frame rate"), rateText(facts.framesPerSecond()));
    // Said whenever the comparison had to assume it.
    if (inputRate_)
        row(tr("Animation's rate"),
            inputRate_->assumption.isEmpty()
                ? rateText(inputRate_->fps)
                : rateText(inputRate_->fps) + QStringLiteral(" (") + inputRate_->assumption + u')');
    row(tr("Bitrate"), QStringLiteral("%1 kbit/s").arg(facts.bitRate() / 1000));
    row(tr("H.264 level"), facts.video().level.isEmpty()
                               ? QStringLiteral("–")
                               : facts.video().level + QStringLiteral(" (") + facts.video().profile + u')');
    row(tr("Layout"), layoutText(description.layout));
    row(tr("Mask"),
        description.maskSize == VideoDescription::MaskSize::Half ? tr("Half size") : tr("Full size"));
    row(tr("Colour"), description.premultiplied ? tr("Premultiplied (laid onto black)")
                                                : tr("Straight (not premultiplied)"));
    row(tr("Description file"), QFileInfo::exists(VideoDescription::pathBeside(video.path))
                                    ? VideoDescription::kFileName
                                    : tr("None (the default halves, side by side)"));
    return QStringLiteral("<table>") + rows + QStringLiteral("</table>");
}

void PreviewController::applyAppearance() {
    const bool dark = DesktopAppearance::isDarkMode(DesktopAppearance::appearanceValue());
    QPalette palette = this->palette();
    const QColor ink = dark ? Qt::white : Qt::black;
    palette.setColor(QPalette::Window, dark ? kDarkWindow : kLightWindow);
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(role, ink);
    palette.setColor(QPalette::Base, dark ? QColor(40, 40, 40) : Qt::white);
    palette.setColor(QPalette::Button, dark ? QColor(55, 55, 55) : QColor(225, 225, 225));
    setPalette(palette);
    setAutoFillBackground(true);
}

bool PreviewController::event(QEvent* event) {
    if (DesktopAppearance::isAppearanceEvent(event->type()) && appearance_)
        appearance_->notifyMayHaveChanged();
    return QWidget::event(event);
}

void PreviewController::keyPressEvent(QKeyEvent* event) {
    if (!player_) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Space:
        player_->togglePlaying();
        break;
    case Qt::Key_Right:
        player_->step();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

} // namespace zev

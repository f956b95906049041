#include "OutputOptionsDialog.h"

#include "output/PlayerTargets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace zev {

namespace {

const QString kLayoutKey = QStringLiteral("output/layout");
const QString kMaskSizeKey = QStringLiteral("output/maskSize");
const QString kStraightKey = QStringLiteral("output/straightColour");
const QString kFitKey = QStringLiteral("output/fit");
const QString kCrfKey = QStringLiteral("output/crf");
const QString kGapKey = QStringLiteral("output/gap");
const QString kDescribeKey = QStringLiteral("output/describe");
const QString kMaxBytesKey = QStringLiteral("output/maxBytes");
const QString kQualityTargetKey = QStringLiteral("output/qualityTarget");
const QString kCodecKey = QStringLiteral("output/codec");
const QString kContainerKey = QStringLiteral("output/container");
const QString kSoundKey = QStringLiteral("output/soundFile");
const QString kTargetKey = QStringLiteral("output/target");

constexpr int kDefaultCrf = 23;
// A budget in units of 1024 bytes; 2 GB at most.
constexpr int kDefaultBudgetKilobytes = 500;
constexpr int kLargestBudgetKilobytes = 2 * 1024 * 1024;
constexpr double kDefaultQualityTarget = 40;

QComboBox* choices(QWidget* parent, const QStringList& titles) {
    auto* box = new QComboBox(parent);
    box->addItems(titles);
    return box;
}

} // namespace

OutputOptionsDialog::OutputOptionsDialog(QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(kTitle);
    // A sheet: it blocks its window only, not the whole program.
    setWindowModality(Qt::WindowModal);
    auto* form = new QFormLayout(this);
    addTargetRow(form);
    addLayoutRows(form);
    addQualityRow(form);
    addRateSearchRows(form);
    addGapRow(form);
    addCodecRow(form);
    addSoundRow(form);
    addDescribeRow(form);
    for (QComboBox* box : {layout_.data(), maskSize_.data(), colour_.data(), codec_.data()})
        connect(box, &QComboBox::currentIndexChanged, this, &OutputOptionsDialog::showTargetFit);
    connect(gap_, &QSpinBox::valueChanged, this, &OutputOptionsDialog::showTargetFit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

QList<VideoFormat> OutputOptionsDialog::formatChoices() {
    using Codec = VideoFormat::Codec;
    return {VideoFormat(), VideoFormat::forCodec(Codec::H265), VideoFormat::forCodec(Codec::Av1),
            VideoFormat{Codec::Av1, VideoFormat::Container::Webm}, VideoFormat::forCodec(Codec::Vp9)};
}

void OutputOptionsDialog::addLayoutRows(QFormLayout* form) {
    // In the order of OutputOptions::Layout and MaskSize.
    layout_ = choices(this, {tr("Mask on the left (default)"), tr("Mask on the right"), tr("Mask on top"),
                             tr("Mask below")});
    maskSize_ = choices(this, {tr("Full (default)"), tr("Half width and height")});
    colour_ =
        choices(this, {tr("Premultiplied: laid onto black (default)"), tr("Straight: not premultiplied")});
    fit_ = new QSpinBox(this);
    fit_->setRange(0, 16384);
    fit_->setSingleStep(16);
    fit_->setSpecialValueText(tr("Do not scale down"));
    fit_->setSuffix(tr(" pixels"));
    form->addRow(tr("Layout:"), layout_);
    form->addRow(tr("Mask size:"), maskSize_);
    form->addRow(tr("Colour:"), colour_);
    form->addRow(tr("Longest side:"), fit_);
}

void OutputOptionsDialog::addGapRow(QFormLayout* form) {
    gap_ = new QSpinBox(this);
    gap_->setRange(0, OutputOptions::kMaxGap);
    gap_->setSingleStep(2);
    gap_->setSpecialValueText(tr("Default"));
    gap_->setSuffix(tr(" pixels"));
    form->addRow(tr("Gap between the regions:"), gap_);
}

void OutputOptionsDialog::addQualityRow(QFormLayout* form) {
    useCrf_ = new QCheckBox(tr("Encode for quality (CRF) instead of a bitrate"), this);
    crf_ = new QSpinBox(this);
    crf_->setObjectName(QStringLiteral("crfValue"));
    crf_->setRange(0, OutputOptions::kMaxCrf);
    crf_->setValue(kDefaultCrf);
    crf_->setEnabled(false);
    connect(useCrf_, &QCheckBox::toggled, crf_, &QWidget::setEnabled);
    auto* quality = new QHBoxLayout;
    quality->addWidget(useCrf_);
    quality->addWidget(crf_);
    form->addRow(tr("Quality:"), quality);
}

void OutputOptionsDialog::addCodecRow(QFormLayout* form) {
    // In the order of formatChoices().
    codec_ = choices(this, {tr("H.264 in MP4 (default, plays everywhere)"),
                            tr("H.265 in MP4 (smaller; Safari and Apple devices, few other browsers)"),
                            tr("AV1 in MP4 (smallest; recent browsers and phones)"), tr("AV1 in WebM"),
                            tr("VP9 in WebM (browsers, visual-novel engines)")});
    codec_->setObjectName(QStringLiteral("codecChoice"));
    codec_->setToolTip(tr("The CRF is on each codec's own scale: up to 51 for H.264 and H.265, up to 63 for "
                          "AV1 and VP9."));
    connect(codec_, &QComboBox::currentIndexChanged, this, &OutputOptionsDialog::codecChosen);
    form->addRow(tr("Codec:"), codec_);
}

void OutputOptionsDialog::addSoundRow(QFormLayout* form) {
    sound_ = new QLineEdit(this);
    sound_->setPlaceholderText(tr("None"));
    sound_->setClearButtonEnabled(true);
    sound_->setToolTip(
        tr("Its first sound stream becomes the video's sound track (AAC in MP4, Opus in WebM), "
           "cut or padded with silence to the animation's length."));
    auto* choose = new QPushButton(tr("Choose…"), this);
    connect(choose, &QPushButton::clicked, this, &OutputOptionsDialog::chooseSoundFile);
    auto* row = new QHBoxLayout;
    row->addWidget(sound_);
    row->addWidget(choose);
    form->addRow(tr("Sound:"), row);
}

void OutputOptionsDialog::addDescribeRow(QFormLayout* form) {
    describe_ = new QCheckBox(tr("Write zev.json for the default layout too"), this);
    form->addRow(QString(), describe_);
}

void OutputOptionsDialog::codecChosen() {
    const qsizetype index = std::clamp<qsizetype>(codec_->currentIndex(), 0, formatChoices().size() - 1);
    crf_->setMaximum(VideoFormat::maxCrf(formatChoices().at(index).codec));
}

void OutputOptionsDialog::chooseSoundFile() {
    const QFileInfo shown(sound_->text());
    const QString start = shown.exists() ? shown.absolutePath() : QDir::homePath();
    const QString file = QFileDialog::getOpenFileName(
        this, tr("Choose the sound file"), start,
        tr("Sound files (*.wav *.mp3 *.m4a *.aac *.ogg *.opus *.flac *.mp4 *.mov *.webm);;All files (*)"));
    if (!file.isEmpty())
        sound_->setText(file);
}

void OutputOptionsDialog::addTargetRow(QFormLayout* form) {
    target_ = new QComboBox(this);
    target_->setObjectName(QStringLiteral("targetPlayer"));
    // No target named: the rows as they are.
    target_->addItem(tr("None chosen"));
    for (const PlayerTarget& target : PlayerTargets::all())
        target_->addItem(target.title(), target.name);
    targetFit_ = new QLabel(this);
    targetFit_->setWordWrap(true);
    targetFit_->setVisible(false);
    auto* column = new QVBoxLayout;
    column->addWidget(target_);
    column->addWidget(targetFit_);
    form->addRow(kTargetLabel, column);
    connect(target_, &QComboBox::activated, this, &OutputOptionsDialog::applyTarget);
}

void OutputOptionsDialog::applyTarget(int index) {
    const PlayerTarget* target = PlayerTargets::find(target_->itemData(index).toString());
    if (!target) {
        // Back to plain options: nothing the sheet does not show stays of
        // the target.
        base_.target.clear();
        base_.border = 0;
        base_.wholeBlocks = false;
        base_.players = {};
        showTargetFit();
        return;
    }
    OutputOptions chosen = target->options;
    // The size and quality are the user's, whatever the player.
    chosen.fit = fit_->value() == 0 ? 0 : std::max(fit_->value(), 64);
    if (useCrf_->isChecked())
        chosen.crf = crf_->value();
    readRateSearch(chosen);
    chosen.describe = describe_->isChecked();
    chosen.audioFile = options().audioFile;
    setOptions(chosen);
}

QString OutputOptionsDialog::targetWarning() const {
    const PlayerTarget* target = PlayerTargets::find(base_.target);
    if (!target)
        return {};
    const QStringList misfits = target->misfits(options());
    return misfits.isEmpty() ? QString()
                             : tr("No longer fits this player: %1.").arg(misfits.join(QStringLiteral("; ")));
}

void OutputOptionsDialog::showTargetFit() {
    if (!targetFit_)
        return;
    const QString warning = targetWarning();
    targetFit_->setText(warning);
    targetFit_->setVisible(!warning.isEmpty());
}

void OutputOptionsDialog::setOptions(const OutputOptions& options) {
    base_ = options;
    const int target = target_->findData(options.target);
    target_->setCurrentIndex(target < 0 ? 0 : target);
    layout_->setCurrentIndex(int(options.layout));
    maskSize_->setCurrentIndex(int(options.maskSize));
    colour_->setCurrentIndex(options.premultiplied ? 0 : 1);
    fit_->setValue(options.fit);
    codec_->setCurrentIndex(int(std::max<qsizetype>(formatChoices().indexOf(options.format), 0)));
    codecChosen();
    useCrf_->setChecked(options.crf.has_value());
    crf_->setValue(options.crf.value_or(kDefaultCrf));
    gap_->setValue(options.gap.value_or(0));
    sound_->setText(options.audioFile);
    describe_->setChecked(options.describe);
    setRateSearch(options);
    showTargetFit();
}

OutputOptions OutputOptionsDialog::options() const {
    OutputOptions options = base_;
    options.crf.reset();
    options.gap.reset();
    options.audioFile.clear();
    options.layout = OutputOptions::Layout(layout_->currentIndex());
    options.maskSize = OutputOptions::MaskSize(maskSize_->currentIndex());
    options.premultiplied = colour_->currentIndex() == 0;
    // Below 64 pixels a packed video holds nothing worth seeing.
    options.fit = fit_->value() == 0 ? 0 : std::max(fit_->value(), 64);
    if (useCrf_->isChecked())
        options.crf = crf_->value();
    // An odd value typed in would leave the packed frame an odd size.
    if (gap_->value() > 0)
        options.gap = gap_->value() / 2 * 2;
    options.format = formatChoices().value(codec_->currentIndex());
    // The conversion runs elsewhere: the sound file is given whole.
    if (const QString sound = sound_->text().trimmed(); !sound.isEmpty())
        options.audioFile = QFileInfo(sound).absoluteFilePath();
    options.describe = describe_->isChecked();
    readRateSearch(options);
    return options;
}

OutputOptions OutputOptionsDialog::load(const QSettings& settings) {
    // The target's choices the sheet has no row for come from the target.
    const PlayerTarget* target = PlayerTargets::find(settings.value(kTargetKey).toString());
    OutputOptions options = target ? target->options : OutputOptions();
    options.layout =
        VideoDescription::layoutFromName(settings.value(kLayoutKey).toString()).value_or(options.layout);
    options.maskSize = VideoDescription::maskSizeFromName(settings.value(kMaskSizeKey).toString())
                           .value_or(options.maskSize);
    options.premultiplied = !settings.value(kStraightKey, false).toBool();
    if (const int fit = settings.value(kFitKey, 0).toInt(); fit >= 64 && fit <= 16384)
        options.fit = fit;
    if (const int gap = settings.value(kGapKey, 0).toInt(); gap > 0 && gap <= OutputOptions::kMaxGap)
        options.gap = gap / 2 * 2;
    const auto codec = VideoFormat::codecFromName(settings.value(kCodecKey).toString());
    const auto container = VideoFormat::containerFromName(settings.value(kContainerKey).toString());
    if (codec && container && VideoFormat{*codec, *container}.isValid())
        options.format = {*codec, *container};
    const int crf = settings.value(kCrfKey, -1).toInt();
    if (crf >= 0 && crf <= VideoFormat::maxCrf(options.format.codec))
        options.crf = crf;
    options.audioFile = settings.value(kSoundKey).toString();
    options.describe = settings.value(kDescribeKey, false).toBool();
    loadRateSearch(settings, options);
    return options;
}

void OutputOptionsDialog::save(QSettings& settings, const OutputOptions& options) {
    settings.setValue(kLayoutKey, VideoDescription::layoutName(options.layout));
    settings.setValue(kMaskSizeKey, VideoDescription::maskSizeName(options.maskSize));
    settings.setValue(kStraightKey, !options.premultiplied);
    settings.setValue(kFitKey, options.fit);
    settings.setValue(kCrfKey, options.crf.value_or(-1));
    settings.setValue(kGapKey, options.gap.value_or(0));
    settings.setValue(kCodecKey, VideoFormat::codecName(options.format.codec));
    settings.setValue(kContainerKey, VideoFormat::containerName(options.format.container));
    settings.setValue(kSoundKey, options.audioFile);
    settings.setValue(kDescribeKey, options.describe);
    settings.setValue(kTargetKey, options.target);
    saveRateSearch(settings, options);
}

void OutputOptionsDialog::addRateSearchRows(QFormLayout* form) {
    useBudget_ = new QCheckBox(tr("Best quality whose file fits in"), this);
    budget_ = new QSpinBox(this);
    budget_->setRange(1, kLargestBudgetKilobytes);
    budget_->setValue(kDefaultBudgetKilobytes);
    budget_->setSuffix(tr(" kB (1024 bytes)"));
    budget_->setEnabled(false);
    useQualityTarget_ = new QCheckBox(tr("Smallest file whose mask and colour PSNR reach"), this);
    qualityTarget_ = new QDoubleSpinBox(this);
    qualityTarget_->setRange(OutputOptions::kLowestQualityTarget, OutputOptions::kHighestQualityTarget);
    qualityTarget_->setDecimals(1);
    qualityTarget_->setSingleStep(0.5);
    qualityTarget_->setValue(kDefaultQualityTarget);
    qualityTarget_->setSuffix(tr(" dB"));
    qualityTarget_->setEnabled(false);
    connect(useBudget_, &QCheckBox::toggled, budget_, &QWidget::setEnabled);
    connect(useQualityTarget_, &QCheckBox::toggled, qualityTarget_, &QWidget::setEnabled);
    // A CRF, a budget and a target each choose the quality: ticking one
    // unticks the other two.
    const auto exclusive = [this](QCheckBox* ticked) {
        for (QCheckBox* other : {useCrf_.data(), useBudget_.data(), useQualityTarget_.data()})
            if (other != ticked)
                other->setChecked(false);
    };
    for (QCheckBox* box : {useCrf_.data(), useBudget_.data(), useQualityTarget_.data()})
        connect(box, &QCheckBox::toggled, this, [exclusive, box](bool on) {
            if (on)
                exclusive(box);
        });
    const auto row = [](QCheckBox* box, QWidget* value) {
        auto* line = new QHBoxLayout;
        line->addWidget(box);
        line->addWidget(value);
        return line;
    };
    form->addRow(tr("Size budget:"), row(useBudget_, budget_));
    form->addRow(tr("Quality target:"), row(useQualityTarget_, qualityTarget_));
}

void OutputOptionsDialog::setRateSearch(const OutputOptions& options) {
    useBudget_->setChecked(options.maxBytes > 0);
    // Whole kB, rounded down: a budget shown never grows.
    budget_->setValue(options.maxBytes > 0
                          ? int(std::clamp<qint64>(options.maxBytes / 1024, 1, kLargestBudgetKilobytes))
                          : kDefaultBudgetKilobytes);
    useQualityTarget_->setChecked(options.qualityTarget.has_value());
    qualityTarget_->setValue(options.qualityTarget.value_or(kDefaultQualityTarget));
}

void OutputOptionsDialog::readRateSearch(OutputOptions& options) const {
    if (useBudget_->isChecked())
        options.maxBytes = qint64(budget_->value()) * 1024;
    if (useQualityTarget_->isChecked())
        options.qualityTarget = qualityTarget_->value();
}

void OutputOptionsDialog::loadRateSearch(const QSettings& settings, OutputOptions& options) {
    if (options.crf)
        return;
    if (const qint64 bytes = settings.value(kMaxBytesKey, 0).toLongLong();
        bytes > 0 && bytes <= qint64(kLargestBudgetKilobytes) * 1024)
        options.maxBytes = bytes;
    else if (const double target = settings.value(kQualityTargetKey, 0.0).toDouble();
             target >= OutputOptions::kLowestQualityTarget && target <= OutputOptions::kHighestQualityTarget)
        options.qualityTarget = target;
}

void OutputOptionsDialog::saveRateSearch(QSettings& settings, const OutputOptions& options) {
    settings.setValue(kMaxBytesKey, options.maxBytes);
    settings.setValue(kQualityTargetKey, options.qualityTarget.value_or(0.0));
}

} // namespace zev

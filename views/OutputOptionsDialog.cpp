#include "OutputOptionsDialog.h"

#include "output/PlayerTargets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
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
const QString kTargetKey = QStringLiteral("output/target");

constexpr int kDefaultCrf = 23;

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
    useCrf_ = new QCheckBox(tr("Encode for quality (CRF) instead of a bitrate"), this);
    crf_ = new QSpinBox(this);
    crf_->setRange(0, OutputOptions::kMaxCrf);
    crf_->setValue(kDefaultCrf);
    crf_->setEnabled(false);
    connect(useCrf_, &QCheckBox::toggled, crf_, &QWidget::setEnabled);
    auto* quality = new QHBoxLayout;
    quality->addWidget(useCrf_);
    quality->addWidget(crf_);
    gap_ = new QSpinBox(this);
    gap_->setRange(0, OutputOptions::kMaxGap);
    gap_->setSingleStep(2);
    gap_->setSpecialValueText(tr("Default"));
    gap_->setSuffix(tr(" pixels"));
    describe_ = new QCheckBox(tr("Write zev.json for the default layout too"), this);

    addTargetRow(form);
    form->addRow(tr("Layout:"), layout_);
    form->addRow(tr("Mask size:"), maskSize_);
    form->addRow(tr("Colour:"), colour_);
    form->addRow(tr("Longest side:"), fit_);
    form->addRow(tr("Quality:"), quality);
    form->addRow(tr("Gap between the regions:"), gap_);
    form->addRow(QString(), describe_);
    for (QComboBox* box : {layout_.data(), maskSize_.data(), colour_.data()})
        connect(box, &QComboBox::currentIndexChanged, this, &OutputOptionsDialog::showTargetFit);
    connect(gap_, &QSpinBox::valueChanged, this, &OutputOptionsDialog::showTargetFit);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
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
        base_.format = VideoFormat();
        showTargetFit();
        return;
    }
    OutputOptions chosen = target->options;
    // The size and quality are the user's, whatever the player.
    chosen.fit = fit_->value() == 0 ? 0 : std::max(fit_->value(), 64);
    if (useCrf_->isChecked())
        chosen.crf = crf_->value();
    chosen.describe = describe_->isChecked();
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
    useCrf_->setChecked(options.crf.has_value());
    crf_->setValue(options.crf.value_or(kDefaultCrf));
    gap_->setValue(options.gap.value_or(0));
    describe_->setChecked(options.describe);
    showTargetFit();
}

OutputOptions OutputOptionsDialog::options() const {
    OutputOptions options = base_;
    options.crf.reset();
    options.gap.reset();
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
    options.describe = describe_->isChecked();
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
    if (const int crf = settings.value(kCrfKey, -1).toInt(); crf >= 0 && crf <= OutputOptions::kMaxCrf)
        options.crf = crf;
    if (const int gap = settings.value(kGapKey, 0).toInt(); gap > 0 && gap <= OutputOptions::kMaxGap)
        options.gap = gap / 2 * 2;
    options.describe = settings.value(kDescribeKey, false).toBool();
    return options;
}

void OutputOptionsDialog::save(QSettings& settings, const OutputOptions& options) {
    settings.setValue(kLayoutKey, VideoDescription::layoutName(options.layout));
    settings.setValue(kMaskSizeKey, VideoDescription::maskSizeName(options.maskSize));
    settings.setValue(kStraightKey, !options.premultiplied);
    settings.setValue(kFitKey, options.fit);
    settings.setValue(kCrfKey, options.crf.value_or(-1));
    settings.setValue(kGapKey, options.gap.value_or(0));
    settings.setValue(kDescribeKey, options.describe);
    settings.setValue(kTargetKey, options.target);
}

} // namespace zev

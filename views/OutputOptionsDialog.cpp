#include "OutputOptionsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QSettings>
#include <QSpinBox>
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

    form->addRow(tr("Layout:"), layout_);
    form->addRow(tr("Mask size:"), maskSize_);
    form->addRow(tr("Colour:"), colour_);
    form->addRow(tr("Longest side:"), fit_);
    form->addRow(tr("Quality:"), quality);
    addRateSearchRows(form);
    form->addRow(tr("Gap between the regions:"), gap_);
    form->addRow(QString(), describe_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

void OutputOptionsDialog::setOptions(const OutputOptions& options) {
    layout_->setCurrentIndex(int(options.layout));
    maskSize_->setCurrentIndex(int(options.maskSize));
    colour_->setCurrentIndex(options.premultiplied ? 0 : 1);
    fit_->setValue(options.fit);
    useCrf_->setChecked(options.crf.has_value());
    crf_->setValue(options.crf.value_or(kDefaultCrf));
    gap_->setValue(options.gap.value_or(0));
    describe_->setChecked(options.describe);
    setRateSearch(options);
}

OutputOptions OutputOptionsDialog::options() const {
    OutputOptions options;
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
    readRateSearch(options);
    return options;
}

OutputOptions OutputOptionsDialog::load(const QSettings& settings) {
    OutputOptions options;
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
    settings.setValue(kDescribeKey, options.describe);
    saveRateSearch(settings, options);
}

void OutputOptionsDialog::addRateSearchRows(QFormLayout* form) {
    useBudget_ = new QCheckBox(tr("Best quality whose file fits in"), this);
    budget_ = new QSpinBox(this);
    budget_->setRange(1, kLargestBudgetKilobytes);
    budget_->setValue(kDefaultBudgetKilobytes);
    budget_->setSuffix(tr(" kB (1024 bytes)"));
    budget_->setEnabled(false);
    useTarget_ = new QCheckBox(tr("Smallest file whose mask and colour PSNR reach"), this);
    target_ = new QDoubleSpinBox(this);
    target_->setRange(OutputOptions::kLowestQualityTarget, OutputOptions::kHighestQualityTarget);
    target_->setDecimals(1);
    target_->setSingleStep(0.5);
    target_->setValue(kDefaultQualityTarget);
    target_->setSuffix(tr(" dB"));
    target_->setEnabled(false);
    connect(useBudget_, &QCheckBox::toggled, budget_, &QWidget::setEnabled);
    connect(useTarget_, &QCheckBox::toggled, target_, &QWidget::setEnabled);
    // A CRF, a budget and a target each choose the quality: ticking one
    // unticks the other two.
    const auto exclusive = [this](QCheckBox* ticked) {
        for (QCheckBox* other : {useCrf_.data(), useBudget_.data(), useTarget_.data()})
            if (other != ticked)
                other->setChecked(false);
    };
    for (QCheckBox* box : {useCrf_.data(), useBudget_.data(), useTarget_.data()})
        connect(box, &QCheckBox::toggled, this, [exclusive, box](bool on) {
            if (on)
                exclusive(box);
        });
    const auto row = [this](QCheckBox* box, QWidget* value) {
        auto* line = new QHBoxLayout;
        line->addWidget(box);
        line->addWidget(value);
        return line;
    };
    form->addRow(tr("Size budget:"), row(useBudget_, budget_));
    form->addRow(tr("Quality target:"), row(useTarget_, target_));
}

void OutputOptionsDialog::setRateSearch(const OutputOptions& options) {
    useBudget_->setChecked(options.maxBytes > 0);
    // Whole kB, rounded down: a budget shown never grows.
    budget_->setValue(options.maxBytes > 0
                          ? int(std::clamp<qint64>(options.maxBytes / 1024, 1, kLargestBudgetKilobytes))
                          : kDefaultBudgetKilobytes);
    useTarget_->setChecked(options.qualityTarget.has_value());
    target_->setValue(options.qualityTarget.value_or(kDefaultQualityTarget));
}

void OutputOptionsDialog::readRateSearch(OutputOptions& options) const {
    if (useBudget_->isChecked())
        options.maxBytes = qint64(budget_->value()) * 1024;
    if (useTarget_->isChecked())
        options.qualityTarget = target_->value();
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

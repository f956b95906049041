#pragma once

#include "output/OutputOptions.h"

#include <QDialog>
#include <QPointer>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QSettings;
class QSpinBox;

namespace zev {

// The express conversion's layout, mask size, colour, largest size, quality
// target, gap, codec, sound and description, as a small window-modal sheet.
// The window remembers the choice in its settings (load, save). Each row is
// made by a function of its own.
class OutputOptionsDialog : public QDialog {
    Q_OBJECT

public:
    static inline const QString kTitle = QStringLiteral("输出设置…");
    static inline const QString kTargetLabel = QStringLiteral("目标播放器");

    explicit OutputOptionsDialog(QWidget* parent = nullptr);

    void setOptions(const OutputOptions& options);
    OutputOptions options() const;

    // The choice last saved, or the defaults.
    static OutputOptions load(const QSettings& settings);
    static void save(QSettings& settings, const OutputOptions& options);

    // The codec choices in the order the sheet lists them.
    static QList<VideoFormat> formatChoices();

    // Where the chosen options no longer fit the chosen target; empty when
    // they fit.
    QString targetWarning() const;

private:
    // The target row: choosing a target sets the other rows to its choices.
    void addTargetRow(QFormLayout* form);
    void applyTarget(int index);
    void showTargetFit();
    void addLayoutRows(QFormLayout* form);
    void addQualityRow(QFormLayout* form);
    void addGapRow(QFormLayout* form);
    void addCodecRow(QFormLayout* form);
    void addSoundRow(QFormLayout* form);
    void addDescribeRow(QFormLayout* form);
    // The CRF's range is the chosen codec's own scale.
    void codecChosen();
    void chooseSoundFile();
    // The size budget's and the quality target's rows: each excludes the
    // other and the CRF.
    void addRateSearchRows(QFormLayout* form);
    void setRateSearch(const OutputOptions& options);
    void readRateSearch(OutputOptions& options) const;
    static void loadRateSearch(const QSettings& settings, OutputOptions& options);
    static void saveRateSearch(QSettings& settings, const OutputOptions& options);

    // What the sheet does not show (border, alignment, the players'
    // descriptions) comes from the options it was given or the target
    // chosen.
    OutputOptions base_;
    QPointer<QComboBox> target_;
    QPointer<QLabel> targetFit_;
    QPointer<QComboBox> layout_;
    QPointer<QComboBox> maskSize_;
    QPointer<QComboBox> colour_;
    QPointer<QSpinBox> fit_;
    QPointer<QCheckBox> useCrf_;
    QPointer<QSpinBox> crf_;
    QPointer<QSpinBox> gap_;
    QPointer<QComboBox> codec_;
    QPointer<QLineEdit> sound_;
    QPointer<QCheckBox> describe_;
    QPointer<QCheckBox> useBudget_;
    QPointer<QSpinBox> budget_;
    QPointer<QCheckBox> useQualityTarget_;
    QPointer<QDoubleSpinBox> qualityTarget_;
};

} // namespace zev

#pragma once

#include "output/OutputOptions.h"

#include <QDialog>
#include <QPointer>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QFormLayout;
class QSettings;
class QSpinBox;

namespace zev {

// The express conversion's layout, mask size, colour, largest size, quality
// target, gap and description, as a small window-modal sheet. The window
// remembers the choice in its settings (load, save).
class OutputOptionsDialog : public QDialog {
    Q_OBJECT

public:
    static inline const QString kTitle = QStringLiteral("输出设置…");

    explicit OutputOptionsDialog(QWidget* parent = nullptr);

    void setOptions(const OutputOptions& options);
    OutputOptions options() const;

    // The choice last saved, or the defaults.
    static OutputOptions load(const QSettings& settings);
    static void save(QSettings& settings, const OutputOptions& options);

private:
    // The size budget's and the quality target's rows: each excludes the
    // other and the CRF.
    void addRateSearchRows(QFormLayout* form);
    void setRateSearch(const OutputOptions& options);
    void readRateSearch(OutputOptions& options) const;
    static void loadRateSearch(const QSettings& settings, OutputOptions& options);
    static void saveRateSearch(QSettings& settings, const OutputOptions& options);

    QPointer<QComboBox> layout_;
    QPointer<QComboBox> maskSize_;
    QPointer<QComboBox> colour_;
    QPointer<QSpinBox> fit_;
    QPointer<QCheckBox> useCrf_;
    QPointer<QSpinBox> crf_;
    QPointer<QSpinBox> gap_;
    QPointer<QCheckBox> describe_;
    QPointer<QCheckBox> useBudget_;
    QPointer<QSpinBox> budget_;
    QPointer<QCheckBox> useTarget_;
    QPointer<QDoubleSpinBox> target_;
};

} // namespace zev

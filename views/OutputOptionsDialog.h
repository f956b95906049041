#pragma once

#include "output/OutputOptions.h"

#include <QDialog>
#include <QPointer>

class QCheckBox;
class QComboBox;
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
    QPointer<QComboBox> layout_;
    QPointer<QComboBox> maskSize_;
    QPointer<QComboBox> colour_;
    QPointer<QSpinBox> fit_;
    QPointer<QCheckBox> useCrf_;
    QPointer<QSpinBox> crf_;
    QPointer<QSpinBox> gap_;
    QPointer<QCheckBox> describe_;
};

} // namespace zev

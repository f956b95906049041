#pragma once

#include <QColor>
#include <QSize>
#include <QTimer>
#include <QWidget>

namespace zev {

// The busy overlay's spinning indicator: twelve rounded spokes around a
// centre, the leading spoke solid and the ones behind it fading, stepping
// one spoke at a time. It draws nothing while stopped, so a stopped spinner
// on its way out leaves no frozen wheel behind.
class ZEVSpinner : public QWidget {
    Q_OBJECT

public:
    static constexpr int kSpokeCount = 12;
    // One full turn a second.
    static constexpr int kStepIntervalMs = 1000 / kSpokeCount;

    explicit ZEVSpinner(QWidget* parent = nullptr);

    // The "regular" size of the indicator.
    QSize sizeHint() const override { return {32, 32}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

    void startAnimation();
    void stopAnimation();
    bool isAnimating() const { return timer_.isActive(); }

    // Which spoke leads; advances once per timer step.
    int leadingSpoke() const { return leadingSpoke_; }

    QColor color() const { return color_; }
    void setColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void advance();
    // The trailing spokes fade out towards a faint floor, so the whole ring
    // stays readable while the motion still reads as a direction.
    static double spokeOpacity(int stepsBehindLeader);

    QTimer timer_;
    int leadingSpoke_ = 0;
    QColor color_ = Qt::black;
};

} // namespace zev

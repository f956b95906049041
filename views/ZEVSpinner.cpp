#include "ZEVSpinner.h"

#include <QPainter>
#include <QPen>
#include <algorithm>

namespace zev {

ZEVSpinner::ZEVSpinner(QWidget* parent)
    : QWidget(parent) {
    // The spinner only shows progress; presses belong to whatever holds it.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    timer_.setInterval(kStepIntervalMs);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &ZEVSpinner::advance);
}

void ZEVSpinner::startAnimation() {
    // Starting a running spinner must not restart its step, or repeated
    // starts would make it stutter.
    if (timer_.isActive())
        return;
    timer_.start();
    update();
}

void ZEVSpinner::stopAnimation() {
    timer_.stop();
    update();
}

void ZEVSpinner::setColor(const QColor& color) {
    if (color_ == color)
        return;
    color_ = color;
    update();
}

void ZEVSpinner::advance() {
    leadingSpoke_ = (leadingSpoke_ + 1) % kSpokeCount;
    update();
}

double ZEVSpinner::spokeOpacity(int stepsBehindLeader) {
    constexpr double kFaintest = 0.15;
    const double fade = 1.0 - static_cast<double>(stepsBehindLeader) / (kSpokeCount - 1);
    return kFaintest + (1.0 - kFaintest) * std::clamp(fade, 0.0, 1.0);
}

void ZEVSpinner::paintEvent(QPaintEvent*) {
    if (!isAnimating())
        return;

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);

    const double side = std::min(width(), height());
    const double outerRadius = side / 2.0 - side / 32.0;
    const double innerRadius = side * 0.25;
    const double spokeWidth = std::max(1.5, side / 11.0);
    painter.translate(width() / 2.0, height() / 2.0);

    QPen pen(color_, spokeWidth, Qt::SolidLine, Qt::RoundCap);
    for (int spoke = 0; spoke < kSpokeCount; ++spoke) {
        const int stepsBehind = (leadingSpoke_ - spoke + kSpokeCount) % kSpokeCount;
        QColor spokeColor = color_;
        spokeColor.setAlphaF(static_cast<float>(color_.alphaF() * spokeOpacity(stepsBehind)));
        pen.setColor(spokeColor);
        painter.setPen(pen);
        painter.save();
        // Spoke 0 points straight up; the wheel turns clockwise.
        painter.rotate(spoke * 360.0 / kSpokeCount);
        // The round caps stick out by half the width at both ends.
        painter.drawLine(QPointF(0, -innerRadius - spokeWidth / 2.0),
                         QPointF(0, -outerRadius + spokeWidth / 2.0));
        painter.restore();
    }
}

} // namespace zev

#include "ZEVProgressView.h"

#include "ZEVSpinner.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

ZEVProgressView::ZEVProgressView(const QRectF& frame, QWidget* parent)
    : QWidget(parent)
    , frame_(frame) {
    setGeometry(pixelRect(frame_));

    indicator = new ZEVSpinner(this);
    indicator->resize(indicator->sizeHint());
    // The natural width serves for both sides and both offsets: the spinner
    // is round, and its height is never read.
    const double side = indicator->width();
    indicatorFrame_ = QRectF((frame_.width() - side) / 2.0, (frame_.height() - side) / 2.0, side, side);
    indicator->setGeometry(pixelRect(indicatorFrame_));
    indicator->startAnimation();
}

ZEVProgressView::ZEVProgressView(const QRect& frame, QWidget* parent)
    : ZEVProgressView(QRectF(frame), parent) {}

QRect ZEVProgressView::pixelRect(const QRectF& exact) {
    return QRect(static_cast<int>(std::floor(exact.x())), static_cast<int>(std::floor(exact.y())),
                 qRound(exact.width()), qRound(exact.height()));
}

void ZEVProgressView::startAnimation() {
    indicator->startAnimation();
}
void ZEVProgressView::stopAnimation() {
    indicator->stopAnimation();
}
bool ZEVProgressView::isAnimating() const {
    return indicator->isAnimating();
}

void ZEVProgressView::setTintColor(const QColor& color) {
    tintColor_ = color;
    indicator->setColor(spinnerColorFor(color));
    update();
}

QColor ZEVProgressView::spinnerColorFor(const QColor& tint) {
    // A white tint brightens a dark window and a black one dims a light
    // window, so spokes in the tint's own shade stand out from both.
    QColor spokes = tint.lightnessF() > 0.5 ? QColor(Qt::white) : QColor(Qt::black);
    spokes.setAlphaF(0.85f);
    return spokes;
}

void ZEVProgressView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), tintColor_);
}

// Accepting stops the event here: an ignored press would travel on to the
// parent, and nothing beneath the overlay may react to it.
void ZEVProgressView::mousePressEvent(QMouseEvent* event) {
    event->accept();
}
void ZEVProgressView::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}
void ZEVProgressView::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
}

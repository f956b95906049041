#include "ZEVProgressView.h"

#include "ZEVSpinner.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace zev {

namespace {

constexpr int kCardWidth = 300;
constexpr int kCardGap = 16;
constexpr int kProgressSteps = 1000;

} // namespace

ZEVProgressView::ZEVProgressView(const QRectF& frame, QWidget* parent)
    : QWidget(parent) {
    indicator = new ZEVSpinner(this);
    indicator->resize(indicator->sizeHint());
    makeCard();
    setFrame(frame);
    indicator->startAnimation();
    if (parent)
        parent->installEventFilter(this);
}

void ZEVProgressView::setFrame(const QRectF& frame) {
    frame_ = frame;
    setGeometry(pixelRect(frame_));
    // The natural width serves for both sides and both offsets: the spinner
    // is round, and its height is never read.
    const double side = indicator->width();
    indicatorFrame_ = QRectF((frame_.width() - side) / 2.0, (frame_.height() - side) / 2.0, side, side);
    indicator->setGeometry(pixelRect(indicatorFrame_));
    card_->setGeometry(cardFrame());
}

QRect ZEVProgressView::cardFrame() const {
    const int width = std::min(kCardWidth, std::max(0, this->width() - 2 * kCardGap));
    const int height = card_->sizeHint().height();
    const int top = static_cast<int>(std::floor(indicatorFrame_.bottom())) + kCardGap;
    return QRect((this->width() - width) / 2, top, width, height);
}

void ZEVProgressView::makeCard() {
    card_ = new QWidget(this);
    card_->setObjectName(QStringLiteral("progressCard"));
    card_->setAttribute(Qt::WA_StyledBackground);
    auto* layout = new QVBoxLayout(card_);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->setSpacing(6);
    progressBar_ = new QProgressBar(card_);
    progressBar_->setRange(0, kProgressSteps);
    progressBar_->setTextVisible(false);
    progressBar_->setFixedHeight(6);
    stageLabel_ = new QLabel(card_);
    timeLabel_ = new QLabel(card_);
    for (QLabel* label : {stageLabel_, timeLabel_})
        label->setAlignment(Qt::AlignCenter);
    cancelButton_ = new QPushButton(tr("Cancel"), card_);
    cancelButton_->setCursor(Qt::PointingHandCursor);
    connect(cancelButton_, &QPushButton::clicked, this, &ZEVProgressView::cancelRequested);
    layout->addWidget(progressBar_);
    layout->addWidget(stageLabel_);
    layout->addWidget(timeLabel_);
    layout->addWidget(cancelButton_, 0, Qt::AlignHCenter);
    card_->hide();
    styleCard();
}

// A light card with dark text over a light window's dark tint, a dark card
// with light text over a dark window's light tint: readable in both modes.
void ZEVProgressView::styleCard() {
    const bool darkMode = tintColor_.alpha() > 0 && tintColor_.lightnessF() > 0.5;
    const QString card =
        darkMode ? QStringLiteral("rgba(40, 40, 40, 235)") : QStringLiteral("rgba(250, 250, 250, 240)");
    const QString ink = darkMode ? QStringLiteral("#f0f0f0") : QStringLiteral("#202020");
    const QString groove = darkMode ? QStringLiteral("#555555") : QStringLiteral("#d8d8d8");
    card_->setStyleSheet(
        QStringLiteral("#progressCard { background-color: %1; border-radius: 8px; }"
                       "QLabel { color: %2; background: transparent; }"
                       "QProgressBar { background-color: %3; border: none; border-radius: 3px; }"
                       "QProgressBar::chunk { background-color: rgb(51, 136, 255); border-radius: 3px; }"
                       "QPushButton { color: %2; background-color: transparent; border: 1px solid %3;"
                       " border-radius: 4px; padding: 3px 18px; }"
                       "QPushButton:focus { border-color: rgb(51, 136, 255); }")
            .arg(card, ink, groove));
}

void ZEVProgressView::setProgress(double fraction, const QString& stageText, const QString& timeText) {
    progressBar_->setValue(static_cast<int>(std::lround(std::clamp(fraction, 0.0, 1.0) * kProgressSteps)));
    stageLabel_->setText(stageText);
    timeLabel_->setText(timeText);
    if (card_->isHidden()) {
        card_->show();
        card_->setGeometry(cardFrame());
    }
}

bool ZEVProgressView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent() && event->type() == QEvent::Resize)
        setFrame(QRectF(QPointF(0, 0), QSizeF(parentWidget()->size())));
    return QWidget::eventFilter(watched, event);
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
    styleCard();
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

} // namespace zev

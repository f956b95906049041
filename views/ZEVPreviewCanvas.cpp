#include "ZEVPreviewCanvas.h"

#include <QPainter>

namespace zev {

namespace {

QPixmap checkerTile(int square) {
    QPixmap tile(2 * square, 2 * square);
    tile.fill(QColor(204, 204, 204));
    QPainter painter(&tile);
    const QColor dark(153, 153, 153);
    painter.fillRect(0, 0, square, square, dark);
    painter.fillRect(square, square, square, square, dark);
    return tile;
}

} // namespace

ZEVPreviewCanvas::ZEVPreviewCanvas(QWidget* parent)
    : QWidget(parent)
    , checker_(checkerTile(kCheckerSquare)) {
    // Every pixel is painted: Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ZEVPreviewCanvas::setImage(const QImage& image) {
    const bool resized = image.size() != image_.size();
    image_ = image;
    if (resized)
        updateMinimumSize();
    update();
}

void ZEVPreviewCanvas::setBackdrop(Backdrop backdrop, const QColor& colour) {
    backdrop_ = backdrop;
    colour_ = colour;
    update();
}

void ZEVPreviewCanvas::setFit(bool fit) {
    fit_ = fit;
    updateMinimumSize();
    update();
}

void ZEVPreviewCanvas::updateMinimumSize() {
    setMinimumSize(fit_ ? QSize(160, 90) : image_.size());
    updateGeometry();
}

QSize ZEVPreviewCanvas::sizeHint() const {
    return image_.isNull() ? QSize(640, 360) : image_.size().boundedTo(QSize(1280, 720));
}

QRect ZEVPreviewCanvas::imageRect() const {
    if (image_.isNull())
        return {};
    QSize shown = image_.size();
    if (fit_)
        shown.scale(size(), Qt::KeepAspectRatio);
    return QRect(QPoint((width() - shown.width()) / 2, (height() - shown.height()) / 2), shown);
}

void ZEVPreviewCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Around the frame: the window's own colour, so the frame's edges show.
    painter.fillRect(rect(), palette().color(QPalette::Window));
    const QRect target = imageRect();
    if (target.isEmpty())
        return;
    switch (backdrop_) {
    case Backdrop::Checkerboard:
        painter.drawTiledPixmap(target, checker_);
        break;
    case Backdrop::Black:
        painter.fillRect(target, Qt::black);
        break;
    case Backdrop::White:
        painter.fillRect(target, Qt::white);
        break;
    case Backdrop::Colour:
        painter.fillRect(target, colour_);
        break;
    }
    // Nearest-neighbour scaling: cheap enough for every frame of a playing
    // video, and at 1:1 it shows the decoded pixels as they are.
    painter.drawImage(target, image_);
}

} // namespace zev

#pragma once

#include <QColor>
#include <QRect>
#include <QRectF>
#include <QWidget>

class ZEVSpinner;

// The busy overlay: a translucent pane over the whole window with a spinner
// at its centre. It swallows every mouse press, release and double click
// over it, the spinner included, so no control beneath can be used while a
// conversion runs. Its only drawing is its tint; the controller chooses the
// tint to suit the light or dark appearance.
//
// Both frames are fixed when the overlay is made: it follows no later resize
// of its parent (it is never put into a layout).
class ZEVProgressView : public QWidget {
    Q_OBJECT

public:
    ZEVProgressView(const QRectF& frame, QWidget* parent);
    ZEVProgressView(const QRect& frame, QWidget* parent);

    void startAnimation();
    void stopAnimation();
    bool isAnimating() const;

    QColor tintColor() const { return tintColor_; }
    void setTintColor(const QColor& color);

    // The frames as computed, before widget geometry made them whole pixels.
    QRectF frame() const { return frame_; }
    QRectF indicatorFrame() const { return indicatorFrame_; }

    // Widget geometry is whole pixels: origins are rounded down and sizes to
    // the nearest pixel, so a spinner that cannot sit exactly in the middle
    // leans half a pixel to the top left and keeps its natural size.
    static QRect pixelRect(const QRectF& exact);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    static QColor spinnerColorFor(const QColor& tint);

    ZEVSpinner* indicator = nullptr; // owned as the overlay's only child
    QRectF frame_;
    QRectF indicatorFrame_;
    QColor tintColor_ = Qt::transparent;
};

#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QWidget>

namespace zev {

// Draws one transparent frame over a chosen backdrop: a checkerboard, black,
// white or any colour. Fit scales the frame to the canvas keeping its shape;
// 1:1 shows it pixel for pixel, centred, and asks for its full size so a
// scroll area around the canvas can scroll.
class ZEVPreviewCanvas : public QWidget {
    Q_OBJECT

public:
    enum class Backdrop { Checkerboard, Black, White, Colour };
    static constexpr int kCheckerSquare = 12;

    explicit ZEVPreviewCanvas(QWidget* parent = nullptr);

    // A premultiplied image draws fastest.
    void setImage(const QImage& image);
    const QImage& image() const { return image_; }

    void setBackdrop(Backdrop backdrop, const QColor& colour = QColor());
    Backdrop backdrop() const { return backdrop_; }
    QColor backdropColour() const { return colour_; }

    void setFit(bool fit);
    bool fits() const { return fit_; }

    // Where the frame lies on the canvas.
    QRect imageRect() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void updateMinimumSize();

    QImage image_;
    Backdrop backdrop_ = Backdrop::Checkerboard;
    QColor colour_;
    bool fit_ = true;
    QPixmap checker_;
};

} // namespace zev

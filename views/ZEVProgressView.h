#pragma once

#include <QColor>
#include <QRect>
#include <QRectF>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

namespace zev {

class ZEVSpinner;

// The busy overlay: a translucent pane over the whole window with a spinner
// at its centre and, once progress is known, a card below it with a progress
// bar, the stage, the time left and a cancel button. It swallows every mouse
// press, release and double click over it, the spinner included, so no
// control beneath can be used while a conversion runs; only the cancel button
// takes clicks. The controller chooses the tint to suit the light or dark
// appearance, and the card follows the tint.
//
// It covers its parent at every size: a resize of the parent gives the
// overlay the parent's whole area again and centres the spinner anew.
class ZEVProgressView : public QWidget {
    Q_OBJECT

public:
    ZEVProgressView(const QRectF& frame, QWidget* parent);
    ZEVProgressView(const QRect& frame, QWidget* parent);

    // Shows the card (hidden until the first call) with fraction (0 to 1) and
    // the two lines of text.
    void setProgress(double fraction, const QString& stageText, const QString& timeText);
    QProgressBar* progressBar() const { return progressBar_; }
    QLabel* stageLabel() const { return stageLabel_; }
    QLabel* timeLabel() const { return timeLabel_; }
    QPushButton* cancelButton() const { return cancelButton_; }
    // The card's frame, below the spinner.
    QRect cardFrame() const;

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

Q_SIGNALS:
    void cancelRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    static QColor spinnerColorFor(const QColor& tint);
    void setFrame(const QRectF& frame);
    void makeCard();
    void styleCard();

    ZEVSpinner* indicator = nullptr; // owned as a child, like the card's widgets
    QWidget* card_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QLabel* stageLabel_ = nullptr;
    QLabel* timeLabel_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QRectF frame_;
    QRectF indicatorFrame_;
    QColor tintColor_ = Qt::transparent;
};

} // namespace zev

#include "ZEVProgressView.h"

#include "ZEVSpinner.h"

#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

using namespace zev;

namespace {

ZEVSpinner* spinnerOf(const ZEVProgressView& overlay) {
    return overlay.findChild<ZEVSpinner*>();
}

struct CentringCase {
    QRectF frame;
    QRectF exactSpinner;
    QRect pixelSpinner;
};

void PrintTo(const CentringCase& c, std::ostream* out) {
    *out << c.frame.width() << "x" << c.frame.height() << "+" << c.frame.x() << "+" << c.frame.y();
}

class SpinnerCentring : public ::testing::TestWithParam<CentringCase> {};

TEST_P(SpinnerCentring, UsesTheNaturalWidthForBothSidesAndOffsets) {
    const CentringCase& c = GetParam();
    QWidget parent;
    ZEVProgressView overlay(c.frame, &parent);
    ZEVSpinner* spinner = spinnerOf(overlay);
    ASSERT_NE(spinner, nullptr);
    ASSERT_EQ(spinner->sizeHint(), QSize(32, 32));

    EXPECT_EQ(overlay.indicatorFrame(), c.exactSpinner);
    EXPECT_EQ(spinner->geometry(), c.pixelSpinner);
    EXPECT_EQ(overlay.frame(), c.frame);
}

INSTANTIATE_TEST_SUITE_P(
    Frames, SpinnerCentring,
    ::testing::Values(CentringCase{QRectF(0, 0, 480, 300), QRectF(224, 134, 32, 32), QRect(224, 134, 32, 32)},
                      // Half pixels lean to the top left; the size stays whole.
                      CentringCase{QRectF(0, 0, 481, 301), QRectF(224.5, 134.5, 32, 32),
                                   QRect(224, 134, 32, 32)},
                      // The spinner is centred on the overlay, not on its parent.
                      CentringCase{QRectF(40, 10, 100, 60), QRectF(34, 14, 32, 32), QRect(34, 14, 32, 32)},
                      // Smaller than the spinner: it sticks out evenly.
                      CentringCase{QRectF(0, 0, 20, 10), QRectF(-6, -11, 32, 32), QRect(-6, -11, 32, 32)}));

TEST(ZEVProgressView, TakesTheGivenFrameAsItsGeometry) {
    QWidget parent;
    parent.resize(480, 300);
    ZEVProgressView overlay(parent.rect(), &parent);

    EXPECT_EQ(overlay.geometry(), QRect(0, 0, 480, 300));
    EXPECT_EQ(ZEVProgressView::pixelRect(QRectF(0.6, 1.2, 99.6, 50.4)), QRect(0, 1, 100, 50));
}

// A wider window must not show the controls beside an overlay of the old size.
TEST(ZEVProgressView, CoversTheParentAgainWhenItIsResized) {
    QWidget parent;
    parent.resize(480, 300);
    ZEVProgressView overlay(parent.rect(), &parent);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));

    parent.resize(800, 600);
    QCoreApplication::processEvents();
    ASSERT_EQ(parent.size(), QSize(800, 600));

    EXPECT_EQ(overlay.geometry(), QRect(0, 0, 800, 600));
    EXPECT_EQ(spinnerOf(overlay)->geometry(), QRect(384, 284, 32, 32));
    EXPECT_NEAR(overlay.cardFrame().center().x(), 400, 1);
    EXPECT_GT(overlay.cardFrame().top(), 316);
}

TEST(ZEVProgressView, IsSpinningAsSoonAsItIsMade) {
    QWidget parent;
    ZEVProgressView overlay(QRectF(0, 0, 100, 100), &parent);

    EXPECT_TRUE(overlay.isAnimating());
    EXPECT_TRUE(spinnerOf(overlay)->isAnimating());
}

TEST(ZEVProgressView, StopsAndStartsItsSpinner) {
    QWidget parent;
    ZEVProgressView overlay(QRectF(0, 0, 100, 100), &parent);

    overlay.stopAnimation();
    EXPECT_FALSE(spinnerOf(overlay)->isAnimating());
    overlay.startAnimation();
    EXPECT_TRUE(spinnerOf(overlay)->isAnimating());
    overlay.startAnimation();
    EXPECT_TRUE(spinnerOf(overlay)->isAnimating());
}

TEST(ZEVProgressView, PaintsItsTintEvenlyOutsideTheSpinner) {
    QWidget parent;
    ZEVProgressView overlay(QRectF(0, 0, 100, 100), &parent);
    overlay.setTintColor(QColor::fromRgbF(0, 0, 0, 0.3f));

    QImage image(overlay.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    overlay.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    const QColor corner = image.pixelColor(2, 2);

    EXPECT_EQ(overlay.tintColor(), QColor::fromRgbF(0, 0, 0, 0.3f));
    EXPECT_NEAR(corner.alphaF(), 0.3, 0.01);
    EXPECT_EQ(corner.red(), 0);
    EXPECT_EQ(image.pixelColor(2, 2), image.pixelColor(97, 97));
}

TEST(ZEVProgressView, SpinnerContrastsWithTheTint) {
    QWidget parent;
    ZEVProgressView overlay(QRectF(0, 0, 100, 100), &parent);

    overlay.setTintColor(QColor::fromRgbF(1, 1, 1, 0.1f));
    EXPECT_GT(spinnerOf(overlay)->color().lightnessF(), 0.9);
    overlay.setTintColor(QColor::fromRgbF(0, 0, 0, 0.3f));
    EXPECT_LT(spinnerOf(overlay)->color().lightnessF(), 0.1);
}

// A plain window with one button under the overlay's middle (beneath the
// spinner) and one off to the side; the window counts presses that get
// past the overlay to it.
class PressRecorder : public QWidget {
public:
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        ++presses;
        event->accept();
    }
};

class OverlayOverButtons : public ::testing::Test {
protected:
    void SetUp() override {
        window_.resize(480, 300);
        sideButton_ = new QPushButton(QStringLiteral("side"), &window_);
        sideButton_->setGeometry(10, 10, 120, 40);
        middleButton_ = new QPushButton(QStringLiteral("middle"), &window_);
        middleButton_->setGeometry(200, 120, 80, 60);
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    }

    void clickAt(const QPoint& position, bool twice = false) {
        if (twice)
            QTest::mouseDClick(window_.windowHandle(), Qt::LeftButton, {}, position);
        else
            QTest::mouseClick(window_.windowHandle(), Qt::LeftButton, {}, position);
        QCoreApplication::processEvents();
    }

    QPoint sideButtonCentre() const { return sideButton_->geometry().center(); }
    QPoint spinnerCentre() const { return QPoint(240, 150); }

    PressRecorder window_;
    QPushButton* sideButton_ = nullptr;
    QPushButton* middleButton_ = nullptr;
};

TEST_F(OverlayOverButtons, ClicksReachTheButtonsWhileThereIsNoOverlay) {
    QSignalSpy side(sideButton_, &QPushButton::clicked);
    QSignalSpy middle(middleButton_, &QPushButton::clicked);

    clickAt(sideButtonCentre());
    clickAt(spinnerCentre());

    EXPECT_EQ(side.count(), 1);
    EXPECT_EQ(middle.count(), 1);
}

TEST_F(OverlayOverButtons, ClicksAndDoubleClicksOverTheOverlayOrItsSpinnerReachNothing) {
    ZEVProgressView overlay(window_.rect(), &window_);
    overlay.show();
    overlay.raise();
    ASSERT_TRUE(spinnerOf(overlay)->geometry().contains(spinnerCentre()));
    QSignalSpy side(sideButton_, &QPushButton::clicked);
    QSignalSpy middle(middleButton_, &QPushButton::clicked);

    clickAt(sideButtonCentre());
    clickAt(spinnerCentre());
    clickAt(sideButtonCentre(), true);
    clickAt(spinnerCentre(), true);

    EXPECT_EQ(side.count(), 0);
    EXPECT_EQ(middle.count(), 0);
    EXPECT_FALSE(sideButton_->isDown());
    EXPECT_EQ(window_.presses, 0);
}

TEST_F(OverlayOverButtons, OtherMouseButtonsStopAtTheOverlayToo) {
    ZEVProgressView overlay(window_.rect(), &window_);
    overlay.show();
    overlay.raise();

    QTest::mouseClick(window_.windowHandle(), Qt::RightButton, {}, sideButtonCentre());
    QTest::mouseClick(window_.windowHandle(), Qt::MiddleButton, {}, spinnerCentre());
    QCoreApplication::processEvents();

    EXPECT_EQ(window_.presses, 0);
}

} // namespace

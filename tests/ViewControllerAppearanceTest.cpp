#include "DesktopAppearance.h"
#include "DesktopPortalEnvironment.h"
#include "ViewController.h"
#include "ZEVProgressView.h"
#include "ZEVSpinner.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

using namespace zev;

namespace {

// The colours a light and a dark window must show.
const QColor kLightView = QColor::fromRgbF(0.933f, 0.933f, 0.933f, 1.0f);
const QColor kDarkView = QColor::fromRgbF(0.0f, 0.0f, 0.0f, 0.6f);
const QColor kLightOverlay = QColor::fromRgbF(0.0f, 0.0f, 0.0f, 0.3f);
const QColor kDarkOverlay = QColor::fromRgbF(1.0f, 1.0f, 1.0f, 0.1f);

using PortalEnvironment = DesktopPortalEnvironment;

[[maybe_unused]] const auto* const kPortalEnvironment =
    ::testing::AddGlobalTestEnvironment(new PortalEnvironment);

void setAppearance(const std::optional<QByteArray>& value) {
    if (value)
        qputenv(DesktopAppearance::kOverrideVariable, *value);
    else
        qunsetenv(DesktopAppearance::kOverrideVariable);
}

template <typename Control> Control* control(ViewController& window, const char* name) {
    auto* found = window.findChild<Control*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << "no control " << name;
    return found;
}

// What a widget paints itself, on a transparent ground.
QImage ownPainting(QWidget* widget) {
    QImage image(widget->size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    widget->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

int grey(const QColor& colour) {
    return qGray(colour.rgb());
}

class ViewControllerAppearance : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(PortalEnvironment::portal && PortalEnvironment::portal->isRunning());
        PortalEnvironment::portal->withdraw();
        setAppearance(std::nullopt);
        palette_ = QApplication::palette();
    }
    void TearDown() override {
        setAppearance(std::nullopt);
        PortalEnvironment::portal->withdraw();
        QApplication::setPalette(palette_);
    }

private:
    QPalette palette_;
};

struct ModeCase {
    const char* name;
    std::optional<QByteArray> value;
    bool dark;
};

void PrintTo(const ModeCase& c, std::ostream* out) {
    *out << c.name;
}

class Modes : public ViewControllerAppearance, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(Modes, TintTheViewAndTheOverlay) {
    const ModeCase& c = GetParam();
    setAppearance(c.value);
    ViewController window;
    window.resize(620, 330);

    EXPECT_EQ(window.viewBackgroundColor(), c.dark ? kDarkView : kLightView);
    // The margin above the first row shows the view's own colour: 0.933
    // grey, or black at 0.6 over a dark grey, which must end up dark.
    const QColor margin = window.grab().toImage().pixelColor(4, 4);
    if (c.dark)
        EXPECT_LT(grey(margin), 40);
    else
        EXPECT_NEAR(grey(margin), 238, 1);

    window.setInConverting(true);
    ASSERT_NE(window.progressView(), nullptr);
    EXPECT_EQ(window.progressView()->tintColor(), c.dark ? kDarkOverlay : kLightOverlay);
}

INSTANTIATE_TEST_SUITE_P(ViewControllerAppearance, Modes,
                         ::testing::Values(ModeCase{"NoValue", std::nullopt, false},
                                           ModeCase{"Light", QByteArray("Light"), false},
                                           ModeCase{"Dark", QByteArray("Dark"), true},
                                           ModeCase{"LowerCaseDark", QByteArray("dark"), false},
                                           ModeCase{"UpperCaseDark", QByteArray("DARK"), false}),
                         [](const auto& instance) { return std::string(instance.param.name); });

TEST_F(ViewControllerAppearance, DarkTextIsLightOnTheDarkWindow) {
    QApplication::setPalette(QPalette(QColor(239, 239, 239)));
    setAppearance("Dark");
    ViewController window;

    EXPECT_GT(window.palette().color(QPalette::WindowText).lightnessF(), 0.9f);
    EXPECT_GT(control<QLineEdit>(window, "FPSField")->palette().color(QPalette::Text).lightnessF(), 0.9f);
}

TEST_F(ViewControllerAppearance, FieldsAndBorderViewsLookTheSameInBothModes) {
    std::optional<QImage> lightBorder;
    for (const char* mode : {"Light", "Dark"}) {
        setAppearance(QByteArray(mode));
        ViewController window;
        window.resize(620, 330);
        auto* field = control<QLineEdit>(window, "FPSField");
        auto* border = control<QWidget>(window, "bgView2");
        ASSERT_TRUE(field && border);

        EXPECT_FALSE(field->hasFrame()) << mode;
        EXPECT_EQ(field->palette().color(QPalette::Base).alpha(), 0) << mode;
        EXPECT_FALSE(border->autoFillBackground()) << mode;
        // The border: 0.4 grey at 0.4 along the edge, nothing inside.
        field->setText(QString());
        const QImage painted = ownPainting(border);
        const QColor edge = painted.pixelColor(border->width() / 2, 0);
        EXPECT_NEAR(edge.alphaF(), 0.4, 0.01) << mode;
        EXPECT_NEAR(edge.redF(), 0.4, 0.01) << mode;
        EXPECT_EQ(painted.pixelColor(border->width() / 2, border->height() / 2).alpha(), 0) << mode;
        // Rounded corners leave the very corner pixel nearly clear.
        EXPECT_LT(painted.pixelColor(0, 0).alpha(), edge.alpha() / 2) << mode;
        if (lightBorder)
            EXPECT_EQ(painted, *lightBorder);
        else
            lightBorder = painted;
    }
}

TEST_F(ViewControllerAppearance, ButtonsKeepTheirColoursInBothModes) {
    std::vector<QImage> lightButtons;
    const char* names[] = {"zevButton", "lowButton", "highButton", "veryHighButton"};
    for (const char* mode : {"Light", "Dark"}) {
        setAppearance(QByteArray(mode));
        ViewController window;
        window.resize(620, 330);
        for (size_t i = 0; i < std::size(names); ++i) {
            const QImage painted = ownPainting(control<QPushButton>(window, names[i]));
            if (lightButtons.size() <= i)
                lightButtons.push_back(painted);
            else
                EXPECT_EQ(painted, lightButtons[i]) << names[i];
        }
    }
}

TEST_F(ViewControllerAppearance, OverlayTakesTheModeAtItsCreationEvenBeforeTheViewFollows) {
    setAppearance("Light");
    ViewController window;
    setAppearance("Dark"); // no change announced yet

    window.setInConverting(true);

    EXPECT_EQ(window.viewBackgroundColor(), kLightView);
    EXPECT_EQ(window.progressView()->tintColor(), kDarkOverlay);
}

TEST_F(ViewControllerAppearance, DesktopSwitchingToDarkWhileBusyRetintsTheVisibleOverlayAtOnce) {
    FakeDesktopPortal& portal = *PortalEnvironment::portal;
    ASSERT_TRUE(portal.publish());
    portal.setColorScheme(2);
    ViewController window;
    window.resize(480, 300);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.setInConverting(true);
    ZEVProgressView* overlay = window.progressView();
    ASSERT_NE(overlay, nullptr);
    ASSERT_EQ(overlay->tintColor(), kLightOverlay);

    portal.setColorScheme(1);

    ASSERT_TRUE(QTest::qWaitFor([&] { return window.viewBackgroundColor() == kDarkView; }, 5000));
    EXPECT_EQ(window.progressView(), overlay) << "the same overlay, re-tinted";
    EXPECT_EQ(overlay->tintColor(), kDarkOverlay);
    EXPECT_TRUE(overlay->isVisible());
}

TEST_F(ViewControllerAppearance, PaletteChangeWhileIdleRestylesWithoutAnOverlay) {
    setAppearance("Light");
    ViewController window;
    setAppearance("Dark");

    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Window, QColor(40, 40, 40));
    QApplication::setPalette(palette);
    QCoreApplication::processEvents();

    EXPECT_EQ(window.viewBackgroundColor(), kDarkView);
    EXPECT_EQ(window.progressView(), nullptr);
    EXPECT_TRUE(window.findChildren<ZEVProgressView*>().isEmpty());
}

TEST_F(ViewControllerAppearance, ThemeChangeRestylesToo) {
    setAppearance("Light");
    ViewController window;
    setAppearance("Dark");

    QEvent themeChange(QEvent::ThemeChange);
    QCoreApplication::sendEvent(&window, &themeChange);

    EXPECT_EQ(window.viewBackgroundColor(), kDarkView);
}

// The busy overlay over the real window.
class BusyWindow : public ViewControllerAppearance {
protected:
    void SetUp() override {
        ViewControllerAppearance::SetUp();
        window_.resize(620, 330);
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    }

    void clickOn(QWidget* target) {
        ASSERT_NE(target, nullptr);
        clickAt(target->mapTo(&window_, target->rect().center()));
    }
    // The checkbox spans its row; only its box and title take clicks.
    void clickOnBox(QCheckBox* box) {
        ASSERT_NE(box, nullptr);
        clickAt(box->mapTo(&window_, QPoint(8, box->height() / 2)));
    }
    void clickAt(const QPoint& position) {
        QTest::mouseClick(window_.windowHandle(), Qt::LeftButton, {}, position);
        QCoreApplication::processEvents();
    }

    ViewController window_;
};

TEST_F(BusyWindow, OverlayCoversTheWholeViewWithTheSpinnerInTheMiddle) {
    window_.setInConverting(true);
    ZEVProgressView* overlay = window_.progressView();
    ASSERT_NE(overlay, nullptr);

    EXPECT_EQ(overlay->parentWidget(), &window_);
    EXPECT_EQ(overlay->geometry(), window_.rect());
    EXPECT_TRUE(overlay->isVisible());
    EXPECT_TRUE(overlay->isAnimating());
    EXPECT_EQ(overlay->findChild<ZEVSpinner*>()->geometry(), QRect(294, 149, 32, 32));
    EXPECT_EQ(window_.childAt(QPoint(10, 10)), overlay) << "on top of everything";
}

TEST_F(BusyWindow, ClicksOnEveryControlChangeNothingWhileBusy) {
    auto* fps = control<QLineEdit>(window_, "FPSField");
    auto* path = control<QLineEdit>(window_, "iamgesDirPathField");
    auto* slider = control<QSlider>(window_, "rateSlider");
    auto* cache = control<QCheckBox>(window_, "forceUseCache");
    window_.highBtnClicked();
    cache->setEnabled(true);
    window_.setFocus();
    const int sliderBefore = slider->value();
    std::vector<std::unique_ptr<QSignalSpy>> clicks;
    for (const char* name : {"zevButton", "lowButton", "highButton", "veryHighButton"})
        clicks.push_back(
            std::make_unique<QSignalSpy>(control<QPushButton>(window_, name), &QPushButton::clicked));
    window_.setInConverting(true);

    for (const char* name : {"zevButton", "lowButton", "highButton", "veryHighButton"})
        clickOn(control<QPushButton>(window_, name));
    clickOnBox(cache);
    clickOn(fps);
    clickOn(path);
    clickOn(window_.progressView()->findChild<ZEVSpinner*>());

    for (const auto& spy : clicks)
        EXPECT_EQ(spy->count(), 0);
    EXPECT_EQ(slider->value(), sliderBefore);
    EXPECT_FALSE(cache->isChecked());
    EXPECT_FALSE(fps->hasFocus());
    EXPECT_FALSE(path->hasFocus());
    EXPECT_TRUE(window_.inConverting());
}

TEST_F(BusyWindow, ClicksReachTheControlsAgainOnceTheBusyStateEnds) {
    auto* cache = control<QCheckBox>(window_, "forceUseCache");
    cache->setEnabled(true);
    window_.setInConverting(true);
    window_.setInConverting(false);

    clickOnBox(cache);

    EXPECT_TRUE(cache->isChecked());
}

TEST_F(BusyWindow, EndingTheBusyStateLeavesNoOverlay) {
    window_.setInConverting(true);
    window_.setInConverting(false);

    EXPECT_EQ(window_.progressView(), nullptr);
    EXPECT_TRUE(window_.findChildren<ZEVProgressView*>().isEmpty());
}

TEST_F(BusyWindow, EndingWhileIdleDoesNothing) {
    window_.setInConverting(false);

    EXPECT_EQ(window_.progressView(), nullptr);
    EXPECT_TRUE(window_.findChildren<ZEVProgressView*>().isEmpty());
}

TEST_F(BusyWindow, RepeatedBusyCallsLeaveNoOverlayBehind) {
    window_.setInConverting(true);
    window_.setInConverting(true);
    EXPECT_EQ(window_.findChildren<ZEVProgressView*>().size(), 1);

    window_.setInConverting(false);

    EXPECT_TRUE(window_.findChildren<ZEVProgressView*>().isEmpty());
}

TEST_F(BusyWindow, NextOverlayTakesTheBoundsOfThatTime) {
    window_.setInConverting(true);
    window_.setInConverting(false);
    window_.resize(700, 420);
    QCoreApplication::processEvents();
    ASSERT_EQ(window_.size(), QSize(700, 420));

    window_.setInConverting(true);

    EXPECT_EQ(window_.progressView()->geometry(), QRect(0, 0, 700, 420));
    EXPECT_EQ(window_.progressView()->findChild<ZEVSpinner*>()->geometry(), QRect(334, 194, 32, 32));
}

// A wider window must not expose the controls beside the overlay.
TEST_F(BusyWindow, OverlayCoversTheWholeWindowAfterAResize) {
    window_.setInConverting(true);

    window_.resize(760, 480);
    QCoreApplication::processEvents();
    ASSERT_EQ(window_.size(), QSize(760, 480));

    EXPECT_EQ(window_.progressView()->geometry(), QRect(0, 0, 760, 480));
    EXPECT_EQ(window_.progressView()->findChild<ZEVSpinner*>()->geometry(), QRect(364, 224, 32, 32));
}

} // namespace

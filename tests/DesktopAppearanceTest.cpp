#include "DesktopAppearance.h"

#include "DesktopPortalEnvironment.h"

#include <QApplication>
#include <QPalette>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

using namespace zev;

namespace {

QPalette paletteWithWindow(const QColor& window) {
    QPalette palette = QApplication::palette();
    palette.setColor(QPalette::Window, window);
    return palette;
}

using PortalEnvironment = DesktopPortalEnvironment;

[[maybe_unused]] const auto* const kPortalEnvironment =
    ::testing::AddGlobalTestEnvironment(new PortalEnvironment);

class DesktopAppearanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(PortalEnvironment::portal && PortalEnvironment::portal->isRunning());
        portal().withdraw();
        qunsetenv(DesktopAppearance::kOverrideVariable);
        originalPalette_ = QApplication::palette();
        QApplication::setPalette(paletteWithWindow(QColor(239, 239, 239)));
    }

    void TearDown() override {
        portal().withdraw();
        qunsetenv(DesktopAppearance::kOverrideVariable);
        QApplication::setPalette(originalPalette_);
    }

    static FakeDesktopPortal& portal() { return *PortalEnvironment::portal; }

private:
    QPalette originalPalette_;
};

struct OverrideCase {
    const char* text;
    const char* value;
    bool dark;
};

void PrintTo(const OverrideCase& c, std::ostream* out) {
    *out << '"' << c.text << '"';
}

class AppearanceOverride : public DesktopAppearanceTest,
                           public ::testing::WithParamInterface<OverrideCase> {};

TEST_P(AppearanceOverride, IsTheValueItselfAndOnlyExactDarkIsDark) {
    // The desktop says the opposite of what the override asks for where it
    // can, so a value taken from the desktop would show.
    const OverrideCase& c = GetParam();
    ASSERT_TRUE(portal().publish());
    portal().setColorScheme(c.dark ? 2 : 1);
    qputenv(DesktopAppearance::kOverrideVariable, c.text);

    const QString value = DesktopAppearance::appearanceValue();

    EXPECT_EQ(value, QString::fromUtf8(c.value));
    EXPECT_EQ(DesktopAppearance::isDarkMode(value), c.dark);
}

INSTANTIATE_TEST_SUITE_P(
    Values, AppearanceOverride,
    ::testing::Values(OverrideCase{"Dark", "Dark", true}, OverrideCase{"Light", "Light", false},
                      OverrideCase{"dark", "dark", false}, OverrideCase{"DARK", "DARK", false},
                      OverrideCase{"Dark ", "Dark ", false}, OverrideCase{"Aqua", "Aqua", false}));

TEST_F(DesktopAppearanceTest, OverrideIsReadAfreshOnEveryCall) {
    qputenv(DesktopAppearance::kOverrideVariable, "Dark");
    EXPECT_EQ(DesktopAppearance::appearanceValue(), "Dark");
    qputenv(DesktopAppearance::kOverrideVariable, "Light");
    EXPECT_EQ(DesktopAppearance::appearanceValue(), "Light");
    qunsetenv(DesktopAppearance::kOverrideVariable);
    EXPECT_TRUE(DesktopAppearance::appearanceValue().isNull());
}

TEST_F(DesktopAppearanceTest, DefaultWithoutOverrideOrPortalOnALightPaletteIsLightWithNoValue) {
    const QString value = DesktopAppearance::appearanceValue();

    EXPECT_TRUE(value.isNull());
    EXPECT_FALSE(DesktopAppearance::isDarkMode(value));
}

TEST_F(DesktopAppearanceTest, AnEmptyOverrideCountsAsNone) {
    qputenv(DesktopAppearance::kOverrideVariable, "");
    QApplication::setPalette(paletteWithWindow(QColor(30, 30, 30)));

    EXPECT_EQ(DesktopAppearance::appearanceValue(), "Dark");
}

TEST_F(DesktopAppearanceTest, WithoutPortalADarkApplicationPaletteIsDark) {
    QApplication::setPalette(paletteWithWindow(QColor(30, 30, 30)));
    EXPECT_EQ(DesktopAppearance::appearanceValue(), "Dark");

    QApplication::setPalette(paletteWithWindow(QColor(200, 200, 200)));
    EXPECT_TRUE(DesktopAppearance::appearanceValue().isNull());
}

struct PortalCase {
    uint scheme;
    QColor paletteWindow;
    std::optional<QString> expected; // nullopt: a null value
};

void PrintTo(const PortalCase& c, std::ostream* out) {
    *out << "scheme " << c.scheme << " on " << c.paletteWindow.name().toStdString();
}

class PortalColorScheme : public DesktopAppearanceTest, public ::testing::WithParamInterface<PortalCase> {};

TEST_P(PortalColorScheme, DecidesBeforeThePaletteUnlessItHasNoPreference) {
    const PortalCase& c = GetParam();
    ASSERT_TRUE(portal().publish());
    portal().setColorScheme(c.scheme);
    QApplication::setPalette(paletteWithWindow(c.paletteWindow));
    const int readsBefore = portal().readCount();

    const QString value = DesktopAppearance::appearanceValue();

    EXPECT_EQ(portal().readCount(), readsBefore + 1);
    if (c.expected)
        EXPECT_EQ(value, *c.expected);
    else
        EXPECT_TRUE(value.isNull()) << value.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Schemes, PortalColorScheme,
                         ::testing::Values(PortalCase{1, QColor(239, 239, 239), QStringLiteral("Dark")},
                                           PortalCase{2, QColor(30, 30, 30), std::nullopt},
                                           PortalCase{0, QColor(30, 30, 30), QStringLiteral("Dark")},
                                           PortalCase{0, QColor(239, 239, 239), std::nullopt},
                                           // Values the portal does not define say nothing either.
                                           PortalCase{7, QColor(30, 30, 30), QStringLiteral("Dark")}));

TEST_F(DesktopAppearanceTest, PortalIsAskedAgainOnEveryCall) {
    ASSERT_TRUE(portal().publish());
    portal().setColorScheme(1);
    EXPECT_EQ(DesktopAppearance::appearanceValue(), "Dark");
    portal().setColorScheme(2);
    EXPECT_TRUE(DesktopAppearance::appearanceValue().isNull());
}

TEST_F(DesktopAppearanceTest, PortalColorSchemeChangeIsAnnouncedOnTheMainThread) {
    ASSERT_TRUE(portal().publish());
    DesktopAppearance appearance;
    QSignalSpy changes(&appearance, &DesktopAppearance::appearanceChanged);
    QThread* mainThread = QThread::currentThread();
    QThread* deliveredOn = nullptr;
    QObject::connect(
        &appearance, &DesktopAppearance::appearanceChanged, &appearance,
        [&] { deliveredOn = QThread::currentThread(); }, Qt::DirectConnection);

    portal().setColorScheme(1);

    ASSERT_TRUE(changes.wait(5000));
    EXPECT_EQ(deliveredOn, mainThread);
    EXPECT_EQ(DesktopAppearance::appearanceValue(), "Dark");
}

TEST_F(DesktopAppearanceTest, OtherPortalSettingsChangingAreNotAnnounced) {
    ASSERT_TRUE(portal().publish());
    DesktopAppearance appearance;
    QSignalSpy changes(&appearance, &DesktopAppearance::appearanceChanged);

    portal().announceSetting(QStringLiteral("org.freedesktop.appearance"), QStringLiteral("accent-color"), 1);
    portal().announceSetting(QStringLiteral("org.gnome.desktop.interface"), QStringLiteral("color-scheme"),
                             1);
    // Signals arrive in order: once these two are in, the others were seen.
    portal().setColorScheme(1);
    portal().setColorScheme(2);

    ASSERT_TRUE(QTest::qWaitFor([&] { return changes.count() >= 2; }, 5000));
    QCoreApplication::processEvents();
    EXPECT_EQ(changes.count(), 2);
}

TEST_F(DesktopAppearanceTest, ForwardedApplicationEventsAreAnnounced) {
    DesktopAppearance appearance;
    QSignalSpy changes(&appearance, &DesktopAppearance::appearanceChanged);

    appearance.notifyMayHaveChanged();

    EXPECT_EQ(changes.count(), 1);
    EXPECT_TRUE(DesktopAppearance::isAppearanceEvent(QEvent::ApplicationPaletteChange));
    EXPECT_TRUE(DesktopAppearance::isAppearanceEvent(QEvent::ThemeChange));
    EXPECT_FALSE(DesktopAppearance::isAppearanceEvent(QEvent::PaletteChange));
}

} // namespace

#include "ZEVSpinner.h"

#include <QImage>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>

using namespace zev;

namespace {

int visiblePixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixelColor(x, y).alpha() > 0 ? 1 : 0;
    return count;
}

// Only what the spinner itself paints, on a transparent ground.
QImage drawn(ZEVSpinner& spinner) {
    QImage image(spinner.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    spinner.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

TEST(ZEVSpinner, HasARegularNaturalSize) {
    ZEVSpinner spinner;
    EXPECT_EQ(spinner.sizeHint(), QSize(32, 32));
}

TEST(ZEVSpinner, StartsIdleAndDrawsNothingUntilStarted) {
    ZEVSpinner spinner;
    spinner.resize(spinner.sizeHint());

    EXPECT_FALSE(spinner.isAnimating());
    EXPECT_EQ(visiblePixels(drawn(spinner)), 0);

    spinner.startAnimation();
    EXPECT_TRUE(spinner.isAnimating());
    EXPECT_GT(visiblePixels(drawn(spinner)), 100);

    spinner.stopAnimation();
    EXPECT_FALSE(spinner.isAnimating());
    EXPECT_EQ(visiblePixels(drawn(spinner)), 0);
}

TEST(ZEVSpinner, TurnsOneSpokePerStepWhileAnimating) {
    ZEVSpinner spinner;
    spinner.resize(spinner.sizeHint());
    spinner.startAnimation();
    const int first = spinner.leadingSpoke();
    const QImage before = drawn(spinner);

    ASSERT_TRUE(QTest::qWaitFor([&] { return spinner.leadingSpoke() != first; }, 2000));
    EXPECT_EQ(spinner.leadingSpoke(), (first + 1) % ZEVSpinner::kSpokeCount);
    EXPECT_NE(drawn(spinner), before);

    spinner.stopAnimation();
    const int stoppedAt = spinner.leadingSpoke();
    QTest::qWait(3 * ZEVSpinner::kStepIntervalMs);
    EXPECT_EQ(spinner.leadingSpoke(), stoppedAt);
}

TEST(ZEVSpinner, LeadingSpokeIsSolidAndTheTailFades) {
    ZEVSpinner spinner;
    spinner.resize(64, 64);
    spinner.setColor(Qt::black);
    spinner.startAnimation();
    const QImage image = drawn(spinner);

    // Spoke 0 points up and leads; spoke 11 (up and a little left) has just
    // been passed and is nearly solid; spoke 1 (up and right) comes next and
    // is the faintest.
    const auto alphaAtSpoke = [&](int spoke) {
        const double angle = spoke * 2.0 * M_PI / ZEVSpinner::kSpokeCount;
        const double radius = 64 * 0.375;
        return image.pixelColor(qRound(32 + radius * std::sin(angle)), qRound(32 - radius * std::cos(angle)))
            .alpha();
    };
    EXPECT_GT(alphaAtSpoke(0), 200);
    EXPECT_GT(alphaAtSpoke(0), alphaAtSpoke(11));
    EXPECT_GT(alphaAtSpoke(11), alphaAtSpoke(1));
    EXPECT_GT(alphaAtSpoke(1), 0);
}

TEST(ZEVSpinner, TakesNoMouseEvents) {
    ZEVSpinner spinner;
    EXPECT_TRUE(spinner.testAttribute(Qt::WA_TransparentForMouseEvents));
}

} // namespace

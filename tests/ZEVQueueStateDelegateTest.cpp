#include "ZEVQueueStateDelegate.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace zev;

TEST(ZEVQueueStateDelegateTest, BarRunsAlongTheCellsFootAsFarAsTheProgress) {
    const QRect cell(10, 20, 200, 18);
    const struct {
        double fraction;
        int width;
    } cases[] = {{0.0, 0}, {0.25, 50}, {0.999, 200}, {1.0, 200}, {1.7, 200}, {-0.2, 0}, {std::nan(""), 0}};
    for (const auto& c : cases) {
        const QRect bar = ZEVQueueStateDelegate::barRect(cell, c.fraction);
        EXPECT_EQ(bar.width(), c.width) << c.fraction;
        EXPECT_EQ(bar.left(), cell.left());
        EXPECT_EQ(bar.bottom(), cell.bottom()) << "the bar sits on the cell's last pixel row";
        EXPECT_EQ(bar.height(), ZEVQueueStateDelegate::kBarHeight);
    }
}

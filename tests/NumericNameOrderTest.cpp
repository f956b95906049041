#include "core/NumericNameOrder.h"

#include <QStringList>
#include <algorithm>
#include <gtest/gtest.h>

using namespace zev;

namespace {

struct OrderCase {
    const char* a;
    const char* b;
    int expected; // -1, 0 or 1
};

class NumericNameOrderCases : public ::testing::TestWithParam<OrderCase> {};

int signOf(int v) {
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

TEST_P(NumericNameOrderCases, ComparesBothWays) {
    const OrderCase c = GetParam();
    const QString a = QString::fromUtf8(c.a);
    const QString b = QString::fromUtf8(c.b);
    EXPECT_EQ(signOf(NumericNameOrder::compare(a, b)), c.expected) << c.a << " vs " << c.b;
    EXPECT_EQ(signOf(NumericNameOrder::compare(b, a)), -c.expected) << c.b << " vs " << c.a;
}

INSTANTIATE_TEST_SUITE_P(
    Names, NumericNameOrderCases,
    ::testing::Values(OrderCase{"2.png", "10.png", -1}, OrderCase{"10.png", "100.png", -1},
                      OrderCase{"9.png", "10.png", -1}, OrderCase{"007.png", "7.png", 0},
                      OrderCase{"1.png", "1.png", 0}, OrderCase{"a", "b", -1},
                      OrderCase{"B", "a", -1}, // by character code, no case folding
                      OrderCase{"1", "1.png", -1}, OrderCase{"", "0", -1}, OrderCase{"a2b", "a10b", -1},
                      OrderCase{"a01b2", "a1b10", -1}, OrderCase{"-5.png", "5.png", -1},
                      OrderCase{"000000000000000000000000000001.png", "1.png", 0},
                      OrderCase{"99999999999999999999999999999.png", "99999999999999999999999999998.png", 1},
                      OrderCase{"18446744073709551616.png", "18446744073709551615.png", 1},
                      OrderCase{"100000000000000000000.png", "99999999999999999999.png", 1}));

TEST(NumericNameOrderTest, SortsFramesByValue) {
    QStringList names{QStringLiteral("10.png"), QStringLiteral("2.png"), QStringLiteral("0.png"),
                      QStringLiteral("1.png"), QStringLiteral("100.png")};
    std::sort(names.begin(), names.end(), NumericNameOrder::lessThan);
    EXPECT_EQ(names, (QStringList{"0.png", "1.png", "2.png", "10.png", "100.png"}));
}

} // namespace

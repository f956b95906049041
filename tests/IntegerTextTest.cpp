#include "core/IntegerText.h"

#include <gtest/gtest.h>
#include <limits>

using namespace zev;

namespace {

struct IntegerCase {
    const char16_t* text;
    bool isInteger;
    qint64 value;
};

class IntegerTextCases : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(IntegerTextCases, TestAndValue) {
    const IntegerCase c = GetParam();
    const QString text = QString::fromUtf16(c.text);
    EXPECT_EQ(IntegerText::isInteger(text), c.isInteger) << text.toStdString();
    EXPECT_EQ(IntegerText::integerValue(text), c.value) << text.toStdString();
}

constexpr qint64 kMax = std::numeric_limits<qint64>::max();
constexpr qint64 kMin = std::numeric_limits<qint64>::min();

INSTANTIATE_TEST_SUITE_P(
    Texts, IntegerTextCases,
    ::testing::Values(IntegerCase{u"20", true, 20}, IntegerCase{u"+5", true, 5}, IntegerCase{u"-3", true, -3},
                      IntegerCase{u" 12 ", true, 12}, IntegerCase{u"\n\t7\r\n", true, 7},
                      IntegerCase{u"\u30008\u3000", true, 8}, // ideographic spaces count as white space
                      IntegerCase{u"007", true, 7}, IntegerCase{u"", false, 0}, IntegerCase{u"   ", false, 0},
                      IntegerCase{u"2.5", false, 2}, IntegerCase{u"abc", false, 0},
                      IntegerCase{u"12abc", false, 12}, IntegerCase{u"+", false, 0},
                      IntegerCase{u"-", false, 0}, IntegerCase{u"+-5", false, 0},
                      IntegerCase{u"- 5", false, 0}, IntegerCase{u"5 5", false, 5},
                      IntegerCase{u"\uff15", false, 0}, // a full-width digit is not an ASCII digit
                      IntegerCase{u"9223372036854775807", true, kMax},
                      IntegerCase{u"-9223372036854775808", true, kMin},
                      // Beyond 64 bits: still an integer text, the value saturates.
                      IntegerCase{u"9223372036854775808", true, kMax},
                      IntegerCase{u"99999999999999999999999999999999", true, kMax},
                      IntegerCase{u"-99999999999999999999999999999999", true, kMin},
                      IntegerCase{u"000000000000000000000000000001", true, 1}));

TEST(IntegerTextTest, NullTextIsNotAnInteger) {
    EXPECT_FALSE(IntegerText::isInteger(QString()));
    EXPECT_EQ(IntegerText::integerValue(QString()), 0);
}

} // namespace

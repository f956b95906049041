#include "core/Result.h"

#include "ParamName.h"

#include <QSize>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>

using namespace zev;

namespace {

struct FailureCase {
    const char* title;
    QString reason;
    QString details;
};

class FailurePassesThrough : public ::testing::TestWithParam<FailureCase> {};

Result<QSize> readSize(const FailureCase& c) {
    return Result<QSize>::failure(c.reason, c.details);
}

// Each layer hands the failure it got to its caller, as the engine does.
Result<QStringList> listFrames(const FailureCase& c) {
    Result<QSize> size = readSize(c);
    if (!size)
        return size.failure();
    return QStringList{QStringLiteral("0.png")};
}

Result<> convert(const FailureCase& c) {
    Result<QStringList> frames = listFrames(c);
    if (!frames)
        return frames.failure();
    return Result<>::success();
}

TEST_P(FailurePassesThrough, ReasonAndDetailsUnchanged) {
    const Result<> result = convert(GetParam());
    EXPECT_FALSE(result.ok());
    EXPECT_FALSE(bool(result));
    EXPECT_EQ(result.reason(), GetParam().reason);
    EXPECT_EQ(result.details(), GetParam().details);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FailurePassesThrough,
    ::testing::Values(FailureCase{"reason only", QStringLiteral("Frame 3.png is not a PNG file."), {}},
                      FailureCase{"reason and details", QStringLiteral("ffmpeg exited with status 1"),
                                  QStringLiteral("Invalid argument\nConversion failed!")},
                      FailureCase{"empty reason", {}, QStringLiteral("only details")}),
    ParamName());

TEST(ResultTest, MoveOnlyValueMovesOut) {
    Result<std::unique_ptr<int>> owned = std::make_unique<int>(7);
    ASSERT_TRUE(owned.ok());
    const std::unique_ptr<int> taken = std::move(owned).value();
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(*taken, 7);

    const Result<std::unique_ptr<int>> missing = Result<std::unique_ptr<int>>::failure("gone");
    EXPECT_FALSE(missing.ok());
    EXPECT_EQ(missing.reason(), "gone");
}

// A refusal richer than a reason travels the same way.
struct Refusal {
    QString message;
    QString reason;
};

Result<int, Refusal> refuseOdd(int number) {
    if (number % 2 != 0)
        return Refusal{QStringLiteral("odd"), QString::number(number)};
    return number / 2;
}

Result<void, Refusal> halveTwice(int number) {
    const Result<int, Refusal> once = refuseOdd(number);
    if (!once)
        return once.failure();
    if (Result<int, Refusal> twice = refuseOdd(*once); !twice)
        return twice.failure();
    return Result<void, Refusal>::success();
}

TEST(ResultTest, OwnFailureTypeTravelsUp) {
    EXPECT_TRUE(halveTwice(12).ok());
    const Result<void, Refusal> refused = halveTwice(6);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(refused.failure().message, "odd");
    EXPECT_EQ(refused.failure().reason, "3");
}

} // namespace

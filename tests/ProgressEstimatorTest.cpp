#include "pipeline/ProgressEstimator.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace zev;

namespace {

using Stage = ConversionProgress::Stage;

struct FractionCase {
    Stage stage;
    qint64 done;
    qint64 total;
    double fraction;
    // A search's trial encode: the trials share the encoding stage, each
    // taking half of what is left.
    int trial = 0;
};

class Fractions : public ::testing::TestWithParam<FractionCase> {};

// Stages follow one another on one bar, each as wide as its cost; a
// search's trials go on along it and never start it again.
TEST_P(Fractions, WeighTheStagesOfAFullRun) {
    const FractionCase c = GetParam();
    ProgressEstimator estimator(ProgressEstimator::fullRunStages());
    estimator.setTrial(c.trial);
    EXPECT_NEAR(estimator.fractionOf(c.stage, c.done, c.total), c.fraction, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    ProgressEstimator, Fractions,
    ::testing::Values(
        FractionCase{Stage::Scanning, 0, 0, 0.0}, FractionCase{Stage::Extracting, 0, 100, 0.0},
        FractionCase{Stage::Extracting, 50, 100, 0.175}, FractionCase{Stage::Packing, 0, 100, 0.35},
        FractionCase{Stage::Packing, 100, 100, 0.92}, FractionCase{Stage::Encoding, 250, 125, 1.0},
        FractionCase{Stage::Encoding, 0, 0, 0.92}, FractionCase{Stage::Encoding, 80, 80, 0.96, 1},
        FractionCase{Stage::Encoding, 0, 80, 0.96, 2}, FractionCase{Stage::Encoding, 80, 80, 0.98, 2},
        FractionCase{Stage::Encoding, 20, 80, 1 - 0.08 * std::pow(0.5, 2.25), 3}));

TEST(ProgressEstimator, TimeLeftWaitsToSettleThenCountsDownToZero) {
    ProgressEstimator estimator(ProgressEstimator::encodingOnlyStages());
    EXPECT_EQ(estimator.update(Stage::Encoding, 5, 100, 1.0).secondsLeft, -1) << "too early";
    EXPECT_EQ(estimator.update(Stage::Encoding, 10, 100, 10.0).secondsLeft, 90);
    EXPECT_EQ(estimator.update(Stage::Encoding, 100, 100, 100.0).secondsLeft, 0);
}

// An uneven pace moves the raw estimate up and down; the figure shown keeps
// counting down while the raw one stays near it, and when the raw estimate
// jumps, the figure moves only to the edge of its band.
TEST(ProgressEstimator, TimeLeftNeverJumpsUpMoreThanTheEvidenceDemands) {
    ProgressEstimator estimator(ProgressEstimator::encodingOnlyStages());
    const qint64 first = estimator.update(Stage::Encoding, 50, 100, 50.0).secondsLeft;
    ASSERT_EQ(first, 50);
    // Raw 52 s: within the band, so the countdown goes on.
    EXPECT_EQ(estimator.update(Stage::Encoding, 51, 100, 53.0).secondsLeft, 47);
    // Raw 120 s: the figure rises, but only to raw − slack (120 − 27).
    const qint64 slowed = estimator.update(Stage::Encoding, 52, 100, 130.0).secondsLeft;
    EXPECT_EQ(slowed, 93);
    // The bar never moves back, whatever order reports arrive in.
    EXPECT_EQ(estimator.update(Stage::Encoding, 40, 100, 131.0).fraction, 0.52);
}

} // namespace

#include "pipeline/RateSearch.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>

using namespace zev;

namespace {

// A stand-in encoder: the bytes and the quality figure a setting gives.
struct Encoder {
    std::function<qint64(double)> bytes;
    std::function<double(double)> quality = [](double setting) { return 50.0 - 0.5 * setting; };
};

// x264-like: 11 % smaller a CRF step from 400 kB at CRF 23, with a bend.
Encoder x264Like() {
    return {[](double crf) {
                return qint64(400000 * std::exp(-0.11 * (crf - 23) - 0.002 * (crf - 23) * (crf - 23)));
            },
            [](double crf) { return 52.0 - 0.42 * crf - 0.004 * crf * crf; }};
}

// A tiny video whose size hardly moves but for the container's bytes, and
// whose quality falls off a cliff past CRF 40.
Encoder steep() {
    return {[](double crf) { return qint64(2000 + 90000 * std::exp(-0.25 * crf)); },
            [](double crf) { return crf < 40 ? 48.0 - 0.2 * crf : 40.0 - 2.0 * (crf - 40); }};
}

// A tiny video past the start: its size falls ever more slowly towards the
// container's bytes, so each step's fall measured is far below the guess.
Encoder flattening() {
    return {[](double crf) { return qint64(2200 + 1600 * std::exp(-0.08 * (crf - 23))); }};
}

RateSearch run(RateSearch search, const Encoder& encoder) {
    while (const std::optional<double> setting = search.next()) {
        RateSearch::Trial trial{*setting, encoder.bytes(*setting), 0};
        if (search.goal() == RateSearch::Goal::Quality)
            trial.quality = encoder.quality(*setting);
        search.record(trial);
    }
    return search;
}

struct BudgetCase {
    const char* what;
    Encoder encoder;
    qint64 budget;
    RateSearch::Scale scale;
    // Whether the budget can be met at all, and within 5 % under it.
    bool fits;
    bool withinWindow;
    int mostTrials = RateSearch::kMostTrials;
};

const RateSearch::Scale kX264{0, 51, 0.1, 23};
// An encoder that takes whole steps only, as SVT-AV1's CRF.
const RateSearch::Scale kWholeSteps{1, 63, 1, 35};

TEST(RateSearchTest, ABudgetIsMetWithinFivePerCentUnderOrRefusedWithTheSmallestSize) {
    const BudgetCase cases[] = {
        {"a budget in the middle", x264Like(), 250000, kX264, true, true, 4},
        {"a budget close to the start", x264Like(), 405000, kX264, true, true, 4},
        {"a tight budget far from the start", x264Like(), 40000, kX264, true, true, 5},
        {"a budget below the coarsest setting's file", x264Like(), 3000, kX264, false, false},
        {"a budget above the finest setting's file", x264Like(), 100000000, kX264, true, false},
        {"a steep encoder with a floor of container bytes", steep(), 30000, kX264, true, true},
        {"whole steps only", x264Like(), 250000, kWholeSteps, true, false},
        {"a flattening curve, from the measured fall", flattening(), 2827, kX264, true, true, 5},
    };
    for (const BudgetCase& test : cases) {
        SCOPED_TRACE(test.what);
        const RateSearch search = run(RateSearch::forBudget(test.budget, test.scale), test.encoder);
        EXPECT_LE(int(search.trials().size()), test.mostTrials);
        const std::optional<RateSearch::Trial> chosen = search.chosen();
        ASSERT_EQ(chosen.has_value(), test.fits);
        if (!test.fits) {
            // The refusal names the smallest file the encoder can make.
            ASSERT_TRUE(search.closest());
            EXPECT_EQ(search.closest()->bytes, test.encoder.bytes(test.scale.coarsest));
            continue;
        }
        EXPECT_LE(chosen->bytes, test.budget);
        if (test.withinWindow) {
            EXPECT_GE(double(chosen->bytes), 0.95 * double(test.budget));
        } else if (chosen->setting > test.scale.finest) {
            // Out of the window, the largest file that fits: one step finer is over the budget.
            EXPECT_GT(test.encoder.bytes(chosen->setting - test.scale.step), test.budget);
        }
    }
}

struct QualityCase {
    const char* what;
    Encoder encoder;
    double target;
    bool reachable;
};

TEST(RateSearchTest, AQualityTargetKeepsTheCoarsestSettingThatReachesIt) {
    const QualityCase cases[] = {
        {"a target in the middle", x264Like(), 40.0, true},
        {"a target near the start", x264Like(), 39.2, true},
        {"a target above what the finest setting gives", x264Like(), 60.0, false},
        {"a target every setting reaches", x264Like(), 10.0, true},
        {"a cliff just past the target", steep(), 39.0, true},
    };
    for (const QualityCase& test : cases) {
        SCOPED_TRACE(test.what);
        const RateSearch search = run(RateSearch::forQuality(test.target, kX264), test.encoder);
        EXPECT_LE(int(search.trials().size()), RateSearch::kMostTrials);
        const std::optional<RateSearch::Trial> chosen = search.chosen();
        ASSERT_EQ(chosen.has_value(), test.reachable);
        if (!test.reachable) {
            ASSERT_TRUE(search.closest());
            EXPECT_DOUBLE_EQ(search.closest()->setting, kX264.finest);
            continue;
        }
        EXPECT_GE(chosen->quality, test.target);
        // No coarser setting by more than the precision reaches it too.
        const double coarser = chosen->setting + RateSearch::kQualityPrecision + kX264.step;
        if (coarser <= kX264.coarsest) {
            EXPECT_LT(test.encoder.quality(coarser), test.target);
        }
    }
}

} // namespace

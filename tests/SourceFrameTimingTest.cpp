#include "preview/SourceFrameTiming.h"

#include "ParamName.h"

#include <gtest/gtest.h>
#include <vector>

using namespace zev;

namespace {

struct TimingCase {
    const char* title;
    double inputFps;
    std::vector<qint64> sourceFrames; // for video frames 0, 1, 2, …
};

class Timings : public testing::TestWithParam<TimingCase> {};

// The 20 frames a second row was read off a real video (FFmpeg 5.1, -r 25).
TEST_P(Timings, MatchTheEncodersRepeatsAndDrops) {
    const SourceFrameTiming timing(GetParam().inputFps, 25);
    for (std::size_t i = 0; i < GetParam().sourceFrames.size(); ++i)
        EXPECT_EQ(timing.sourceFrameFor(qint64(i)), GetParam().sourceFrames[i]) << "video frame " << i;
}

INSTANTIATE_TEST_SUITE_P(SourceFrameTimingTest, Timings,
                         testing::Values(TimingCase{"same_rate", 25, {0, 1, 2, 3}},
                                         TimingCase{"slower_20", 20, {0, 1, 2, 2, 3, 4, 5, 6, 6, 7}},
                                         TimingCase{"faster_50", 50, {0, 2, 4, 6}}),
                         ParamName());

TEST(SourceFrameTimingTest, InfersTheRateFromTheCounts) {
    EXPECT_EQ(SourceFrameTiming::inferInputFps(48, 60, 25), 20);
    EXPECT_EQ(SourceFrameTiming::inferInputFps(48, 48, 25), 25);
    EXPECT_EQ(SourceFrameTiming::inferInputFps(0, 48, 25), 25);
}

struct RateCase {
    const char* title;
    qint64 described;
    qint64 recorded;
    qint64 sourceFrames;
    qint64 videoFrames;
    double outputFps;
    double fps;
    SourceFrameTiming::InputRate::From from;
    const char* assumption; // part of it; "" when nothing is assumed
};

class InputRates : public testing::TestWithParam<RateCase> {};

// What is recorded comes first; the counts decide only when one rate fits
// them; anything else is said to be assumed.
TEST_P(InputRates, ComeFromTheRecordOrAreSaidToBeAssumed) {
    const RateCase c = GetParam();
    const SourceFrameTiming::InputRate rate =
        SourceFrameTiming::inputRate(c.described, c.recorded, c.sourceFrames, c.videoFrames, c.outputFps);
    EXPECT_EQ(rate.fps, c.fps);
    EXPECT_EQ(rate.from, c.from) << rate.fromName().toStdString();
    EXPECT_EQ(rate.assumption.isEmpty(), QByteArray(c.assumption).isEmpty()) << rate.assumption.toStdString();
    EXPECT_TRUE(rate.assumption.contains(QString::fromUtf8(c.assumption))) << rate.assumption.toStdString();
}

using From = SourceFrameTiming::InputRate::From;

INSTANTIATE_TEST_SUITE_P(
    SourceFrameTimingTest, InputRates,
    testing::Values(
        RateCase{"described", 20, 24, 10, 12, 25, 20, From::Description, ""},
        RateCase{"recorded", 0, 24, 10, 12, 25, 24, From::Video, ""},
        RateCase{"one rate fits", 0, 0, 48, 60, 25, 20, From::FrameCounts, ""},
        // 10 frames at 20 or at 21 fps both make 12 video frames.
        RateCase{"two rates fit", 0, 0, 10, 12, 25, 20, From::Assumed, "20 and 21 fps"},
        RateCase{"several fit, none the first rate", 0, 0, 2, 3, 25, 17, From::Assumed, "assumed 17"},
        RateCase{"not ZEV's output rate", 0, 0, 30, 30, 30, 30, From::Assumed, "ratio of the counts"}),
    ParamName());

} // namespace

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

} // namespace

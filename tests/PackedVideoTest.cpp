#include "preview/PackedVideo.h"

#include "ParamName.h"

#include <gtest/gtest.h>

using namespace zev;

namespace {

VideoFacts videoOfSize(QSize size) {
    VideoFacts facts;
    facts.path = QStringLiteral("/v/zev.mp4");
    VideoFacts::Stream stream;
    stream.type = QStringLiteral("video");
    stream.size = size;
    stream.rateNumerator = 25;
    facts.streams.append(stream);
    return facts;
}

struct SizeCase {
    const char* title;
    QSize size;
    bool playable;
};

class ClaimedSizes : public ::testing::TestWithParam<SizeCase> {};

// Judged from ffprobe's facts alone, before anything is decoded: the frame
// sizes that a decoder level allows are read, a claim beyond them is not.
TEST_P(ClaimedSizes, AreBoundedBeforeDecoding) {
    const SizeCase c = GetParam();
    const Result<> playable = PackedVideo::playableVideo(videoOfSize(c.size));
    EXPECT_EQ(playable.ok(), c.playable) << playable.reason().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Video, ClaimedSizes,
                         ::testing::Values(SizeCase{"largest level frame", {8192, 4352}, true},
                                           SizeCase{"widest", {16384, 2176}, true},
                                           SizeCase{"wider than any encoder", {16386, 2}, false},
                                           SizeCase{"beyond every level", {8192, 4354}, false},
                                           SizeCase{"no size", {0, 0}, false}),
                         ParamName());

} // namespace

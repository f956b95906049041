#include "preview/PackedVideo.h"

#include "ParamName.h"
#include "TemporaryFolder.h"
#include "TestFrames.h"
#include "TestVideos.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

using namespace zev;

namespace {

const QString kFfprobe = QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/ffprobe");

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
                         ::testing::Values(SizeCase{"small", {16, 8}, true},
                                           SizeCase{"largest level frame", {8192, 4352}, true},
                                           SizeCase{"widest", {16384, 2176}, true},
                                           SizeCase{"wider than any encoder", {16386, 2}, false},
                                           SizeCase{"taller than any encoder", {2, 16386}, false},
                                           SizeCase{"beyond every level", {8192, 4354}, false},
                                           SizeCase{"hostile claim", {16384, 16000}, false},
                                           SizeCase{"no size", {0, 0}, false}),
                         ParamName());

TEST(PackedVideoTest, AFileClaimingEnormousFramesIsRefusedUnread) {
    TemporaryFolder folder;
    const QString video = folder.filePath("zev.mp4");
    ASSERT_TRUE(TestVideos::claimingSize(video, QSize(16384, 16000)));
    ASSERT_LT(QFileInfo(video).size(), 5000);

    const Result<PackedVideo> opened = PackedVideo::open(kFfprobe, video);

    ASSERT_FALSE(opened.ok());
    EXPECT_TRUE(opened.reason().contains(QStringLiteral("16384×16000"))) << opened.reason().toStdString();
}

// A description beside a real 32×16 video, with one field changed.
struct DescriptionCase {
    const char* title;
    const char* key;
    QJsonValue value;
    const char* reason;
};

class DisagreeingDescriptions : public ::testing::TestWithParam<DescriptionCase> {};

TEST_P(DisagreeingDescriptions, AreRefusedBeforeAnyFrameIsMade) {
    const DescriptionCase c = GetParam();
    TemporaryFolder folder;
    ASSERT_TRUE(TestFrames::writeSequence(folder.path(), 2, 16, 16));
    ASSERT_TRUE(TestVideos::packFolder(folder.path()));
    const QString video = folder.filePath("output/zev.mp4");
    QJsonObject json = VideoDescription::defaultFor(QSize(16, 16)).toJson();
    json.insert(QString::fromLatin1(c.key), c.value);
    folder.touch("output/zev.json", QJsonDocument(json).toJson());

    const Result<PackedVideo> opened = PackedVideo::open(kFfprobe, video);

    ASSERT_FALSE(opened.ok());
    EXPECT_TRUE(opened.reason().contains(QString::fromUtf8(c.reason))) << opened.reason().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Description, DisagreeingDescriptions,
    ::testing::Values(DescriptionCase{"enormous frame", "frame",
                                      QJsonObject{{"width", 200000}, {"height", 200000}}, "200000×200000"},
                      DescriptionCase{"another packed size", "width", 64, "describes a 64×16 video"},
                      DescriptionCase{"region outside", "colourRect",
                                      QJsonObject{{"x", 24}, {"y", 0}, {"width", 16}, {"height", 16}},
                                      "do not lie inside"}),
    ParamName());

} // namespace

#include "output/VideoDescription.h"

#include "ParamName.h"
#include "TemporaryFolder.h"

#include <QFile>
#include <QJsonDocument>
#include <gtest/gtest.h>

using namespace zev;

namespace {

VideoDescription halfMaskBelow() {
    VideoDescription description;
    description.packedSize = QSize(64, 80);
    description.sourceSize = QSize(64, 48);
    description.frameSize = QSize(64, 48);
    description.layout = VideoDescription::Layout::MaskBottom;
    description.maskSize = VideoDescription::MaskSize::Half;
    description.gap = 16;
    description.colourRect = QRect(0, 0, 64, 48);
    description.maskRect = QRect(0, 64, 32, 16);
    description.premultiplied = false;
    description.frames = 12;
    description.inputFps = 20;
    description.profile = QStringLiteral("High");
    description.level = QStringLiteral("1.1");
    description.colour = {QStringLiteral("bt470bg"), QStringLiteral("tv"), QStringLiteral("bt470bg"),
                          QStringLiteral("smpte170m")};
    return description;
}

TEST(VideoDescriptionTest, WrittenBesideTheVideoReadsBackTheSame) {
    TemporaryFolder folder;
    const QString video = folder.path() + QStringLiteral("/zev.mp4");
    const VideoDescription written = halfMaskBelow();
    ASSERT_TRUE(written.writeBeside(video).ok());

    const Result<VideoDescription> read = VideoDescription::readBeside(video, QSize(1, 1));
    ASSERT_TRUE(read.ok()) << read.reason().toStdString();
    EXPECT_EQ(*read, written);
}

TEST(VideoDescriptionTest, NoFileMeansTheDefaultHalves) {
    TemporaryFolder folder;
    const Result<VideoDescription> read =
        VideoDescription::readBeside(folder.path() + QStringLiteral("/zev.mp4"), QSize(128, 48));
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read->maskRect, QRect(0, 0, 64, 48));
    EXPECT_EQ(read->colourRect, QRect(64, 0, 64, 48));
    EXPECT_TRUE(read->premultiplied);
}

struct BrokenCase {
    const char* title;
    const char* key;
    QJsonValue value;
};

class BrokenDescriptions : public testing::TestWithParam<BrokenCase> {};

TEST_P(BrokenDescriptions, AreRefusedWithAReason) {
    QJsonObject json = halfMaskBelow().toJson();
    json.insert(QString::fromLatin1(GetParam().key), GetParam().value);
    const Result<VideoDescription> read = VideoDescription::fromJson(QJsonDocument(json).toJson());
    EXPECT_FALSE(read.ok());
    EXPECT_FALSE(read.reason().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    VideoDescriptionTest, BrokenDescriptions,
    testing::Values(
        BrokenCase{"newer_version", "version", 2}, BrokenCase{"other_format", "format", "mp4"},
        BrokenCase{"unknown_layout", "layout", "diagonal"},
        BrokenCase{"mask_outside", "maskRect",
                   QJsonObject{{"x", 40}, {"y", 64}, {"width", 32}, {"height", 16}}},
        BrokenCase{"empty_colour", "colourRect", QJsonObject{}},
        // A reader allocates frames of this size: it must be the
        // colour region's, which lies inside the packed frame.
        BrokenCase{"enormous_frame", "frame", QJsonObject{{"width", 200000}, {"height", 200000}}},
        BrokenCase{"frame_wider_than_colour", "frame", QJsonObject{{"width", 66}, {"height", 48}}},
        BrokenCase{"frame_smaller_than_colour", "frame", QJsonObject{{"width", 64}, {"height", 40}}},
        BrokenCase{"negative_frame", "frame", QJsonObject{{"width", -64}, {"height", 48}}}),
    ParamName());

TEST(VideoDescriptionTest, NotJsonIsRefused) {
    EXPECT_FALSE(VideoDescription::fromJson("{ not json").ok());
}

} // namespace

#include "output/OutputFolder.h"

#include "TemporaryFolder.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace zev;

namespace {

struct HeldCase {
    const char* name;
    QStringList files;
    QByteArray description; // zev.json's text; empty: none
    const char* held;
};

// Which video a folder holds, whatever an earlier run or a user left there.
TEST(OutputFolder, DecidesWhichVideoTheFolderHolds) {
    const QList<HeldCase> cases{
        {"nothing yet", {}, "", "zev.mp4"},
        {"an MP4", {"zev.mp4"}, "", "zev.mp4"},
        {"a WebM", {"zev.webm"}, "", "zev.webm"},
        {"both, undescribed", {"zev.mp4", "zev.webm"}, "", "zev.mp4"},
        {"both, the WebM described", {"zev.mp4", "zev.webm"}, R"({"video": "zev.webm"})", "zev.webm"},
        {"both, the MP4 described", {"zev.mp4", "zev.webm"}, R"({"video": "zev.mp4"})", "zev.mp4"},
        {"described WebM gone", {"zev.mp4"}, R"({"video": "zev.webm"})", "zev.mp4"},
        {"description pointing out", {"zev.webm"}, R"({"video": "../../etc/passwd"})", "zev.webm"},
        {"description not JSON", {"zev.webm"}, "{video", "zev.webm"},
    };
    for (const HeldCase& test : cases) {
        TemporaryFolder folder;
        folder.touchAll(test.files);
        if (!test.description.isEmpty())
            folder.touch("zev.json", test.description);
        EXPECT_EQ(OutputFolder::videoIn(folder.path()), folder.filePath(test.held)) << test.name;
    }
}

TEST(OutputFolder, NamesTheVideoAfterItsContainerAndFindsItsFrameFolder) {
    EXPECT_EQ(OutputFolder::videoPath("/f/output", VideoFormat::forCodec(VideoFormat::Codec::Vp9)),
              "/f/output/zev.webm");
    EXPECT_EQ(OutputFolder::videoPath("/f/output", {VideoFormat::Codec::Av1, VideoFormat::Container::Mp4}),
              "/f/output/zev.mp4");
    EXPECT_EQ(OutputFolder::frameFolderOf("/a/frames/output/zev.webm"), "/a/frames");
    EXPECT_EQ(OutputFolder::frameFolderOf("/a/frames/output/zev.mp4"), "/a/frames");
    EXPECT_TRUE(OutputFolder::frameFolderOf("/a/frames/output/other.webm").isEmpty());
    EXPECT_TRUE(OutputFolder::frameFolderOf("/a/frames/zev.webm").isEmpty());
}

} // namespace

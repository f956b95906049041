#include "frames/FramePreflight.h"

#include "ParamName.h"
#include "PngBytes.h"
#include "TemporaryFolder.h"
#include "frames/PngHeader.h"

#include <QFile>
#include <QStorageInfo>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

constexpr qint64 kPlenty = qint64(1) << 50;

// Frames made of a hand-made header and padding: the check reads nothing
// more, and any size costs nothing to make.
class FramePreflightTest : public ::testing::Test {
protected:
    TemporaryFolder folder;
    PreflightInput input{{}, folder.filePath("scratch/zev-0"), folder.filePath("output")};

    void addFrames(int count, quint32 width, quint32 height, qsizetype fileSize = PngHeader::kSize) {
        for (int i = 0; i < count; ++i) {
            const QString name = QStringLiteral("%1.png").arg(input.frames.size());
            const QByteArray header = PngBytes::header(width, height);
            input.frames.append(folder.touch(name, header + QByteArray(fileSize - header.size(), '\0')));
        }
    }
    PreflightReport checkWithFree(qint64 free) {
        return FramePreflight::check(input, [free](const QString&) { return free; });
    }
    std::string reasonWithFree(qint64 free) { return checkWithFree(free).reason.toStdString(); }
    std::string path(const QString& path) const { return path.toStdString(); }
};

TEST_F(FramePreflightTest, FirstBadFrameIsNamed) {
    addFrames(10, 64, 48);
    addFrames(1, 32, 24);
    addFrames(1, 16, 12);
    EXPECT_EQ(reasonWithFree(kPlenty), "Frame 10.png is 32×24 but 0.png is 64×48.");
    folder.touch("7.png", PngBytes::header(64, 48).left(20));
    EXPECT_EQ(reasonWithFree(kPlenty), "Frame 7.png has a damaged PNG header.");
}

TEST_F(FramePreflightTest, OutputFolderMustTakeTheVideo) {
    addFrames(1, 64, 48);
    folder.touch("output");
    EXPECT_EQ(reasonWithFree(kPlenty),
              path(input.outputFolder) + " is not a folder, so the video cannot be written there.");
    input.outputFolder = folder.filePath("output/video");
    EXPECT_EQ(reasonWithFree(kPlenty), path(input.outputFolder) + " cannot be created: " +
                                           path(folder.filePath("output")) + " is not a folder.");
}

TEST_F(FramePreflightTest, ReadOnlyOutputFolderIsRefused) {
    if (geteuid() == 0)
        GTEST_SKIP() << "permission bits do not stop root";
    addFrames(1, 64, 48);
    ASSERT_TRUE(
        QFile::setPermissions(folder.makeFolder("output"), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    EXPECT_EQ(reasonWithFree(kPlenty),
              "The video cannot be written into " + path(input.outputFolder) + ": Permission denied.");
}

struct WarningCase {
    const char* title;
    quint32 width;
    quint32 height;
    bool warns;
};

class PlaybackWarning : public FramePreflightTest, public ::testing::WithParamInterface<WarningCase> {};

TEST_P(PlaybackWarning, FollowsThePackedSize) {
    addFrames(1, GetParam().width, GetParam().height);
    const PreflightReport report = checkWithFree(kPlenty);
    EXPECT_TRUE(report.ok) << report.reason.toStdString();
    EXPECT_EQ(report.warning.has_value(), GetParam().warns);
}

INSTANTIATE_TEST_SUITE_P(Sizes, PlaybackWarning,
                         ::testing::Values(WarningCase{"4096 wide", 2048, 1080, false},
                                           WarningCase{"4098 wide", 2049, 1080, true},
                                           WarningCase{"4096x2304", 2048, 2304, false},
                                           WarningCase{"4096x2306", 2048, 2306, true},
                                           WarningCase{"narrower but larger", 2000, 2400, true}),
                         ParamName());

// 250 frames of 100 kB at 25 fps and 1000 kbit/s: 81.9 MiB of work files
// and 2.4 MiB of video.
TEST_F(FramePreflightTest, ScratchAndVideoMustFitTogether) {
    addFrames(250, 64, 48, 100000);
    input.fps = 25;
    const qint64 video = FramePreflight::videoBytesNeeded(250, 25, 1000);
    const qint64 scratch = FramePreflight::scratchBytesNeeded(250 * 100000, 250);
    EXPECT_GE(scratch, 3 * 250 * 100000) << "RGBA noise takes 2.8 times the source";
    EXPECT_TRUE(checkWithFree(scratch + video).ok);
    EXPECT_EQ(reasonWithFree(scratch), "Not enough space for the work files in " + path(input.scratchFolder) +
                                           " and the video in " + path(input.outputFolder) +
                                           ", which share a file system: about 84.3 MiB is needed, but only "
                                           "81.9 MiB is free.");
    input.run = PreflightInput::Run::Cache;
    EXPECT_TRUE(checkWithFree(video).ok) << "a cache run writes no work files";
    EXPECT_EQ(reasonWithFree(video / 2), "Not enough space for the video in " + path(input.outputFolder) +
                                             ": about 2.4 MiB is needed, but only 1.2 MiB is free.");
}

TEST_F(FramePreflightTest, WorkFilesOnTheirOwnFileSystem) {
    QTemporaryDir shm(QStringLiteral("/dev/shm/zev-test-XXXXXX"));
    if (!shm.isValid() || QStorageInfo(shm.path()) == QStorageInfo(folder.path()))
        GTEST_SKIP() << "needs a second file system at /dev/shm";
    input.scratchFolder = shm.filePath("zev-0");
    addFrames(10, 64, 48, 1000000);
    const qint64 scratch = FramePreflight::scratchBytesNeeded(10 * 1000000, 10);
    EXPECT_TRUE(FramePreflight::check(input, [&](const QString&) { return scratch; }).ok);
    const auto free = [&](const QString& at) { return at == shm.path() ? scratch / 2 : kPlenty; };
    EXPECT_EQ(FramePreflight::check(input, free).reason.toStdString(),
              "Not enough space for the work files in " + path(input.scratchFolder) +
                  ": about 31.6 MiB is needed, but only 15.8 MiB is free.");
}

} // namespace

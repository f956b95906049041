#include "frames/FramePreflight.h"

#include "ParamName.h"
#include "PngBytes.h"
#include "TemporaryFolder.h"
#include "frames/PngHeader.h"
#include "frames/RunSpaceModel.h"

#include <QFile>
#include <QStorageInfo>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace zev;

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
    Result<PreflightFindings> checkWithFree(qint64 free) {
        return FramePreflight::check(input, [free](const QString&) { return free; });
    }
    std::string reasonWithFree(qint64 free) { return checkWithFree(free).reason().toStdString(); }
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
    const Result<PreflightFindings> findings = checkWithFree(kPlenty);
    ASSERT_TRUE(findings.ok()) << findings.reason().toStdString();
    EXPECT_EQ(!findings->playbackWarning.isEmpty(), GetParam().warns);
    EXPECT_EQ(findings->warning(), findings->playbackWarning);
}

INSTANTIATE_TEST_SUITE_P(Sizes, PlaybackWarning,
                         ::testing::Values(WarningCase{"4096 wide", 2048, 1080, false},
                                           WarningCase{"4098 wide", 2049, 1080, true},
                                           WarningCase{"4096x2304", 2048, 2304, false},
                                           WarningCase{"4096x2306", 2048, 2306, true},
                                           WarningCase{"narrower but larger", 2000, 2400, true}),
                         ParamName());

// 250 frames of 64×48 at 25 fps and 1000 kbit/s.
struct SpaceCase {
    const char* title;
    PreflightInput::Run run;
    // The free space, from what the run needs at least and at most.
    std::function<qint64(RunSpaceModel::Need)> free;
    bool refused;
    bool warned;
};

class SpaceVerdicts : public FramePreflightTest, public ::testing::WithParamInterface<SpaceCase> {};

TEST_P(SpaceVerdicts, RefuseBelowTheLeastWarnBelowTheMost) {
    const SpaceCase c = GetParam();
    addFrames(250, 64, 48, 100000);
    input.fps = 25;
    input.run = c.run;
    RunSpaceModel::Need need = RunSpaceModel::video(250, 25, 1000);
    if (c.run == PreflightInput::Run::Full) {
        const RunSpaceModel::Need frame = RunSpaceModel::workFiles(PngHeader::read(input.frames.first()));
        need += RunSpaceModel::Need{250 * frame.least, 250 * frame.most};
    }
    const Result<PreflightFindings> findings = checkWithFree(c.free(need));
    EXPECT_EQ(!findings.ok(), c.refused) << findings.reason().toStdString();
    if (findings.ok()) {
        EXPECT_EQ(!findings->spaceWarning.isEmpty(), c.warned) << findings->spaceWarning.toStdString();
    }
}

using Need = RunSpaceModel::Need;
INSTANTIATE_TEST_SUITE_P(FreeSpace, SpaceVerdicts,
                         ::testing::Values(SpaceCase{"full below the least", PreflightInput::Run::Full,
                                                     [](Need n) { return n.least - 1; }, true, false},
                                           SpaceCase{"full at the least", PreflightInput::Run::Full,
                                                     [](Need n) { return n.least; }, false, true},
                                           SpaceCase{"full below the most", PreflightInput::Run::Full,
                                                     [](Need n) { return n.most - 1; }, false, true},
                                           SpaceCase{"full at the most", PreflightInput::Run::Full,
                                                     [](Need n) { return n.most; }, false, false},
                                           SpaceCase{"unknown space", PreflightInput::Run::Full,
                                                     [](Need) { return -1; }, false, false},
                                           SpaceCase{"cache below the most", PreflightInput::Run::Cache,
                                                     [](Need n) { return n.most - 1; }, false, true},
                                           SpaceCase{"cache at the most", PreflightInput::Run::Cache,
                                                     [](Need n) { return n.most; }, false, false},
                                           SpaceCase{"express with nothing free",
                                                     PreflightInput::Run::Express, [](Need) { return 0; },
                                                     false, true}),
                         ParamName());

// Smooth frames need about as much as their source; the 3.3 times the
// source once asked for here refused such runs. 250 frames of 64×48 need
// at least 42.5 KiB and at most 17.9 MiB with the video.
TEST_F(FramePreflightTest, SaysWhatIsNeededAndWhatIsFree) {
    addFrames(250, 64, 48, 100000);
    input.fps = 25;
    EXPECT_EQ(reasonWithFree(40000), "Not enough space for the work files in " + path(input.scratchFolder) +
                                         " and the video in " + path(input.outputFolder) +
                                         ", which share a file system: at least 42.5 KiB is needed, but only "
                                         "39.1 KiB is free.");
    const Result<PreflightFindings> tight = checkWithFree(10000000);
    ASSERT_TRUE(tight.ok()) << tight.reason().toStdString();
    EXPECT_EQ(
        tight->warning().toStdString(),
        "Space may run short for the work files in " + path(input.scratchFolder) + " and the video in " +
            path(input.outputFolder) +
            ", which share a file system: frames that compress badly need up to 17.9 MiB, and 9.5 MiB is "
            "free.");
}

TEST_F(FramePreflightTest, WorkFilesOnTheirOwnFileSystem) {
    QTemporaryDir shm(QStringLiteral("/dev/shm/zev-test-XXXXXX"));
    if (!shm.isValid() || QStorageInfo(shm.path()) == QStorageInfo(folder.path()))
        GTEST_SKIP() << "needs a second file system at /dev/shm";
    input.scratchFolder = shm.filePath("zev-0");
    addFrames(10, 64, 48, 1000000);
    const qint64 least = 10 * RunSpaceModel::workFiles(PngHeader::read(input.frames.first())).least;
    EXPECT_TRUE(FramePreflight::check(input, [&](const QString&) { return least; }).ok());
    const auto free = [&](const QString& at) { return at == shm.path() ? least - 1 : kPlenty; };
    EXPECT_TRUE(
        FramePreflight::check(input, free)
            .reason()
            .startsWith("Not enough space for the work files in " + input.scratchFolder + ": at least "));
}

} // namespace

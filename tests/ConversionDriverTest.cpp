#include "pipeline/ConversionDriver.h"

#include "HangingEncoder.h"
#include "ParamName.h"
#include "RecordedCalls.h"
#include "ScratchEnvironment.h"
#include "StandInEncoders.h"
#include "TemporaryFolder.h"
#include "TestFrames.h"
#include "TestFrontEnd.h"
#include "core/Cancellation.h"
#include "core/UserTexts.h"
#include "frames/FrameFolderScanner.h"
#include "pipeline/ExpressDriver.h"
#include "storage/FrameCache.h"
#include "storage/ScratchFolders.h"
#include "storage/SourceFolderLock.h"
#include "tools/Mp4Boxes.h"
#include "tools/VideoEncoder.h"
#include "tools/VideoVerifier.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThreadPool>
#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace zev;

namespace {

using Batch = ConversionDriver::Batch;

// Every run gets its own temporary folder, so its scratch folders are fresh.
class ConversionDriverTest : public ::testing::Test {
protected:
    ScratchEnvironment scratch;
    TemporaryFolder folder;

    QString frames() const { return folder.filePath("frames"); }

    void pointAt(TestFrontEnd& front, const QString& frameFolder, const QString& fps = "20") {
        front.useStagedTools();
        front.inputs.folderText = frameFolder;
        front.inputs.fpsText = fps;
        front.inputs.sliderValue = 0.25;
    }

    // Routes every convert call through the recorder, which then runs the
    // real ImageMagick so the stages leave real images behind.
    QString recordConvertCalls(TestFrontEnd& front) {
        const QString calls = folder.makeFolder("calls");
        qputenv("ZEV_RECORD_DIR", QFile::encodeName(calls));
        qputenv("ZEV_RECORD_EXEC", QFile::encodeName(front.validator.settings().convertPath));
        front.validator.setConvertPath(RecordedCalls::recorderPath());
        return calls;
    }

    void TearDown() override {
        qunsetenv("ZEV_RECORD_DIR");
        qunsetenv("ZEV_RECORD_EXEC");
        qunsetenv("ZEV_RECORD_SKIP");
    }
};

TEST(BatchPlanTest, BatchesOfTwenty) {
    const std::pair<qint64, QList<Batch>> cases[] = {
        {1, {{0, 1}}},
        {20, {{0, 20}}},
        {21, {{0, 20}, {20, 1}}},
        {40, {{0, 20}, {20, 20}}},
        {45, {{0, 20}, {20, 20}, {40, 5}}},
    };
    for (const auto& [frames, batches] : cases)
        EXPECT_EQ(ConversionDriver::planBatches(frames), batches) << frames << " frames";
}

struct PlanCase {
    const char* title;
    int frames;
    int extractionCalls;
};

class BatchOperations : public ConversionDriverTest, public ::testing::WithParamInterface<PlanCase> {};

// The queue runs one operation at a time here, so the recorded calls show the
// order in which the driver queued them and the slice each one took.
TEST_P(BatchOperations, QueuedInOrderWithTheirSlices) {
    const PlanCase c = GetParam();
    ASSERT_TRUE(TestFrames::writeSequence(frames(), c.frames, 4, 2));
    TestFrontEnd front;
    pointAt(front, frames());
    front.session.queue().setMaxThreadCount(1);
    const QString calls = recordConvertCalls(front);

    ASSERT_TRUE(front.convertAndWait());
    EXPECT_EQ(front.errors(), QStringList());
    EXPECT_EQ(front.successes().size(), 1);

    const QList<QStringList> recorded = RecordedCalls::read(calls);
    ASSERT_EQ(recorded.size(), c.extractionCalls + c.frames);
    const QList<Batch> batches = ConversionDriver::planBatches(c.frames);
    ASSERT_EQ(batches.size() * 2, c.extractionCalls);
    const QString framePrefix = frames() + u'/';
    for (qsizetype k = 0; k < batches.size(); ++k) {
        const QStringList& alpha = recorded.at(2 * k);
        const QStringList& colour = recorded.at(2 * k + 1);
        EXPECT_EQ(alpha.first(), "-alpha")
            << "operation " << 2 * k << " is the alpha operation of batch " << k;
        EXPECT_EQ(colour.first(), "-background") << "operation " << 2 * k + 1 << " is the colour one";
        QStringList slice;
        for (qint64 i = batches[k].start; i < batches[k].start + batches[k].length; ++i)
            slice.append(framePrefix + QStringLiteral("%1.png").arg(i));
        EXPECT_EQ(alpha.mid(2, slice.size()), slice);
        EXPECT_EQ(colour.mid(4, slice.size()), slice);
    }
    for (int i = 0; i < c.frames; ++i) {
        const QStringList& pack = recorded.at(c.extractionCalls + i);
        ASSERT_EQ(pack.size(), 4);
        EXPECT_EQ(pack.at(0), "+append");
        EXPECT_EQ(QFileInfo(pack.at(3)).fileName(), QStringLiteral("%1.png").arg(i, 5, 10, QLatin1Char('0')));
    }
}

INSTANTIATE_TEST_SUITE_P(Plans, BatchOperations,
                         ::testing::Values(PlanCase{"one_frame", 1, 2}, PlanCase{"twenty_one", 21, 4},
                                           PlanCase{"forty_five", 45, 6}),
                         ParamName());

struct RefusalCase {
    const char* title;
    QStringList names;
    QString message;
    // What the reason says, if it says anything.
    QString reason = QString();
};

class Refusals : public ConversionDriverTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(Refusals, NameTheProblemAndTouchNoScratchFolder) {
    const RefusalCase c = GetParam();
    folder.makeFolder("frames");
    for (const QString& name : c.names)
        folder.touch("frames/" + name);
    TestFrontEnd front;
    pointAt(front, frames());

    ASSERT_TRUE(front.convertAndWait());
    EXPECT_EQ(front.errors(), QStringList{c.message}) << c.title;
    ASSERT_EQ(front.outcomes().size(), 1);
    if (!c.reason.isEmpty()) {
        EXPECT_TRUE(front.outcomes().first().reason.contains(c.reason))
            << front.outcomes().first().reason.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(ScratchFolders::userFolder())) << c.title;
    EXPECT_FALSE(QFileInfo::exists(frames() + "/output")) << c.title;
}

INSTANTIATE_TEST_SUITE_P(
    Folders, Refusals,
    ::testing::Values(
        RefusalCase{"from one",
                    {"1.png", "2.png", "3.png"},
                    UserTexts::kFramesNotConsecutive,
                    "frame 0 is missing: the first frame is 1.png"},
        RefusalCase{"gap",
                    {"0.png", "1.png", "3.png"},
                    UserTexts::kFramesNotConsecutive,
                    "frame 2 is missing: 3.png follows 1.png"},
        RefusalCase{
            "repeat", {"0.png", "7.png", "007.png"}, UserTexts::kFramesNotConsecutive, "frame 1 is missing"},
        RefusalCase{"two names",
                    {"0.png", "1.png", "01.png", "2.png"},
                    UserTexts::kFramesNotConsecutive,
                    "are both frame 1"},
        RefusalCase{"no png", {"a.jpg", "notes.txt"}, QStringLiteral("文件夹下没有 png 图片.")},
        RefusalCase{
            "not numbered", {"0.png", "cover.png"}, QStringLiteral("文件夹下存在不是数字命名的 png 图片.")}),
    ParamName());

TEST_F(ConversionDriverTest, SecondStartWhileBusyDoesNothing) {
    ASSERT_TRUE(TestFrames::writeSequence(frames(), 3, 4, 2));
    TestFrontEnd front;
    pointAt(front, frames());
    front.convertBtnClicked();
    ASSERT_TRUE(front.inConverting());
    front.inputs.fpsText = "abc";        // would fail validation if it were looked at
    ASSERT_TRUE(front.convertAndWait()); // the second press, then the wait
    EXPECT_EQ(front.events().count("busy:1"), 1);
    EXPECT_TRUE(front.errors().isEmpty());
    EXPECT_EQ(front.successes().size(), 1);
}

TEST_F(ConversionDriverTest, BusyStateEndsOnlyAfterTheOutcome) {
    ASSERT_TRUE(TestFrames::writeSequence(frames(), 2, 4, 2));
    TestFrontEnd ok;
    pointAt(ok, frames());
    ASSERT_TRUE(ok.convertAndWait());
    EXPECT_EQ(ok.events(),
              (QStringList{"busy:1", "success:" + frames() + "/output", "cache-enabled", "busy:0"}));

    TestFrontEnd failing;
    pointAt(failing, folder.makeFolder("empty"));
    ASSERT_TRUE(failing.convertAndWait());
    EXPECT_EQ(failing.events(), (QStringList{"busy:1", "error:文件夹下没有 png 图片.", "busy:0"}));
}

// Decodes one frame of a video as packed RGB bytes.
QByteArray decodeFrame(const QString& video, int index) {
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("/usr/bin/ffmpeg"),
                 {"-v", "error", "-i", video, "-vf", QStringLiteral("select=eq(n\\,%1)").arg(index),
                  "-frames:v", "1", "-f", "rawvideo", "-pix_fmt", "rgb24", "-"});
    ffmpeg.waitForFinished(30000);
    return ffmpeg.readAllStandardOutput();
}

QString probe(const QString& video, const QString& entries) {
    QProcess ffprobe;
    ffprobe.start(QStringLiteral("/usr/bin/ffprobe"),
                  {"-v", "error", "-select_streams", "v:0", "-show_entries", entries, "-of",
                   "default=noprint_wrappers=1", video});
    ffprobe.waitForFinished(30000);
    return QString::fromUtf8(ffprobe.readAllStandardOutput()).trimmed();
}

double durationOf(const QString& video) {
    return probe(video, "format=duration").section('=', 1).toDouble();
}

TEST_F(ConversionDriverTest, EndToEndWithTheRealTools) {
    constexpr int kFrames = 45;
    constexpr int kWidth = 32;
    constexpr int kHeight = 24;
    ASSERT_TRUE(TestFrames::writeSequence(frames(), kFrames, kWidth, kHeight));
    TestFrontEnd front;
    pointAt(front, frames(), "15");

    ASSERT_TRUE(front.convertAndWait());
    ASSERT_EQ(front.errors(), QStringList());
    const QString output = frames() + "/output";
    EXPECT_EQ(front.successes(), QStringList{output});
    EXPECT_EQ(front.cacheEnabledCount(), 1);

    const QString video = output + "/zev.mp4";
    EXPECT_EQ(probe(video, "stream=codec_name,width,height,pix_fmt,r_frame_rate"),
              "codec_name=h264\nwidth=64\nheight=24\npix_fmt=yuv420p\nr_frame_rate=25/1");
    EXPECT_NEAR(durationOf(video), kFrames / 15.0, 0.05);

    // Mask on the left (white where opaque, grey where half transparent),
    // colour on black on the right (red, and blue at half strength).
    const QByteArray rgb = decodeFrame(video, 10);
    ASSERT_EQ(rgb.size(), 64 * 24 * 3);
    auto pixel = [&rgb](int x, int y) {
        const int at = (y * 64 + x) * 3;
        return std::array<int, 3>{uchar(rgb[at]), uchar(rgb[at + 1]), uchar(rgb[at + 2])};
    };
    auto near = [](std::array<int, 3> actual, std::array<int, 3> expected) {
        for (int i = 0; i < 3; ++i) {
            if (std::abs(actual[i] - expected[i]) > 24)
                return false;
        }
        return true;
    };
    EXPECT_TRUE(near(pixel(8, 12), {255, 255, 255}));
    EXPECT_TRUE(near(pixel(24, 12), {128, 128, 128}));
    EXPECT_TRUE(near(pixel(40, 12), {255, 0, 0}));
    EXPECT_TRUE(near(pixel(56, 12), {0, 0, 128}));

    // Only the packed frames stay, in the folder's cache; the run's scratch
    // folder is gone.
    EXPECT_EQ(QDir(ScratchFolders::userFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList());
    EXPECT_EQ(QDir(FrameCache::packedFramesFolder(frames())).count() - 2, uint(kFrames));
    EXPECT_TRUE(FrameCache::matches(frames(), kFrames));
    // The run's log names every tool run, the encoder's included.
    QFile log(scratch.stateHome() + "/zev/last-run.log");
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString logged = QString::fromUtf8(log.readAll());
    EXPECT_EQ(logged.count("\n$ "), 3 * 2 + kFrames + 3)
        << "six extractions, the packing runs, ffmpeg, its rewrite, ffprobe";
    EXPECT_TRUE(logged.contains(QRegularExpression("yuv420p " + QRegularExpression::escape(output) +
                                                   "/\\.zev-encoding-[^ ]+\\.mp4\n  exited with status 0")))
        << logged.toStdString();

    // The video tells players its colour and has its index first; only the
    // video is left in the output folder.
    EXPECT_EQ(probe(video, "stream=color_range,color_space,color_transfer,color_primaries"),
              "color_range=tv\ncolor_space=smpte170m\ncolor_transfer=iec61966-2-1\ncolor_primaries=bt709");
    EXPECT_TRUE(Mp4Boxes::indexLeads(video));
    EXPECT_EQ(QDir(output).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{"zev.mp4"});
}

struct PreflightCase {
    const char* title;
    std::function<void(const QString&)> makeFrames;
    const char* reason;
};

class PreflightRefusals : public ConversionDriverTest, public ::testing::WithParamInterface<PreflightCase> {};

// Refused before any tool runs, naming the frame, the sizes or the height.
TEST_P(PreflightRefusals, FailWithTheReasonBeforeAnyToolRuns) {
    GetParam().makeFrames(frames());
    TestFrontEnd front;
    pointAt(front, frames());
    ASSERT_TRUE(front.convertAndWait());

    ASSERT_EQ(front.outcomes().size(), 1);
    const ConversionOutcome outcome = front.outcomes().first();
    EXPECT_EQ(outcome.message, UserTexts::kConversionFailed);
    EXPECT_TRUE(outcome.reason.startsWith(QString::fromUtf8(GetParam().reason)))
        << outcome.reason.toStdString();
    EXPECT_TRUE(outcome.reason.contains(scratch.stateHome())) << "the reason says where the log is";
    EXPECT_FALSE(QFileInfo::exists(ScratchFolders::alphaImagesDirectoryPath()));
    EXPECT_FALSE(QFileInfo::exists(frames() + "/output"));
}

INSTANTIATE_TEST_SUITE_P(
    ConversionDriverTest, PreflightRefusals,
    ::testing::Values(
        // Once a false success: FFmpeg stretched the small frames.
        PreflightCase{"mixed_sizes",
                      [](const QString& folder) {
                          TestFrames::writeSequence(folder, 2, 16, 12);
                          TestFrames::writeSequence(folder, 2, 8, 6, 2);
                      },
                      "Frame 2.png is 8×6 but 0.png is 16×12."},
        PreflightCase{"odd_height", [](const QString& folder) { TestFrames::writeSequence(folder, 2, 8, 7); },
                      "The frames are 7 pixels high"}),
    [](const auto& instance) { return std::string(instance.param.title); });

// ffmpeg told to stop after two frames exits with status 0; the video is
// read back and refused, never announced.
TEST_F(ConversionDriverTest, VideoCutShortIsAFailureNotASuccess) {
    ASSERT_TRUE(TestFrames::writeSequence(frames(), 20, 8, 6));
    TestFrontEnd front;
    pointAt(front, frames());
    front.validator.setFfmpegPath(StandInEncoders::stoppingEarly(folder.path()));
    ASSERT_TRUE(front.convertAndWait());

    EXPECT_TRUE(front.successes().isEmpty());
    ASSERT_EQ(front.outcomes().size(), 1);
    EXPECT_EQ(front.outcomes().first().message, UserTexts::kConversionFailed);
    EXPECT_TRUE(front.outcomes().first().reason.startsWith("the video has 2 frames, expected 25"))
        << front.outcomes().first().reason.toStdString();
    EXPECT_EQ(front.cacheEnabledCount(), 0);
}

// What stands at output/zev.mp4 before a run, and what the run must leave:
// a link there is replaced, never written through, and a failed rewrite keeps
// the previous video; nothing outside the frame folder is touched either way.
struct PreviousVideoCase {
    const char* title;
    enum What { LinkToAFileOutside, DanglingLink, VideoAndFailingRewrite } what;
};

class PreviousVideo : public ConversionDriverTest, public ::testing::WithParamInterface<PreviousVideoCase> {};

TEST_P(PreviousVideo, NothingOutsideTheFolderIsWrittenAndNothingIsLost) {
    const PreviousVideoCase c = GetParam();
    ASSERT_TRUE(TestFrames::writeSequence(frames(), 4, 8, 6));
    const QString video = frames() + "/output/zev.mp4";
    const QString outside = folder.filePath("outside.mp4");
    TestFrontEnd front;
    pointAt(front, frames());
    folder.makeFolder("frames/output");
    if (c.what == PreviousVideoCase::LinkToAFileOutside)
        folder.touch("outside.mp4", "a file outside");
    if (c.what == PreviousVideoCase::VideoAndFailingRewrite) {
        folder.touch("frames/output/zev.mp4", "the previous video");
        front.validator.setFfmpegPath(StandInEncoders::failingRewrite(folder.path()));
    } else {
        ASSERT_TRUE(QFile::link(outside, video));
    }

    ASSERT_TRUE(front.convertAndWait());

    QFile outsideFile(outside);
    if (c.what == PreviousVideoCase::LinkToAFileOutside) {
        ASSERT_TRUE(outsideFile.open(QIODevice::ReadOnly));
        EXPECT_EQ(outsideFile.readAll(), "a file outside");
    } else {
        EXPECT_FALSE(outsideFile.exists());
    }
    EXPECT_FALSE(QFileInfo(video).isSymLink());
    if (c.what == PreviousVideoCase::VideoAndFailingRewrite) {
        EXPECT_EQ(front.errors(), QStringList{UserTexts::kConversionFailed});
        EXPECT_TRUE(front.outcomes().value(0).reason.contains("rewrite refused"));
        QFile previous(video);
        ASSERT_TRUE(previous.open(QIODevice::ReadOnly));
        EXPECT_EQ(previous.readAll(), "the previous video");
    } else {
        EXPECT_EQ(front.successes(), QStringList{frames() + "/output"});
        EXPECT_EQ(probe(video, "stream=codec_name,width"), "codec_name=h264\nwidth=16");
    }
    EXPECT_EQ(QDir(frames() + "/output").entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList{"zev.mp4"});
}

INSTANTIATE_TEST_SUITE_P(
    Output, PreviousVideo,
    ::testing::Values(PreviousVideoCase{"link to a file outside", PreviousVideoCase::LinkToAFileOutside},
                      PreviousVideoCase{"dangling link", PreviousVideoCase::DanglingLink},
                      PreviousVideoCase{"failing rewrite", PreviousVideoCase::VideoAndFailingRewrite}),
    ParamName());

TEST_F(ConversionDriverTest, UnreadableFolderKeepsItsMessageAndSaysWhy) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root reads every folder";
    ASSERT_TRUE(TestFrames::writeSequence(frames(), 2, 8, 6));
    QFile::setPermissions(frames(), QFile::WriteOwner);
    TestFrontEnd front;
    pointAt(front, frames());
    ASSERT_TRUE(front.convertAndWait());
    QFile::setPermissions(frames(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    ASSERT_EQ(front.outcomes().size(), 1);
    EXPECT_EQ(front.outcomes().first().message, FrameFolderScanner::kNoFrames);
    EXPECT_TRUE(front.outcomes().first().reason.contains("Permission denied"));
}

// The last-modified times of the folder's packed frames.
QStringList scratchSnapshot(const QString& frameFolder) {
    QStringList snapshot;
    for (const QString& dir : {FrameCache::packedFramesFolder(frameFolder)}) {
        const QFileInfo info(dir);
        snapshot.append(dir + info.lastModified().toString(Qt::ISODateWithMs));
        for (const QFileInfo& entry : QDir(dir).entryInfoList(QDir::Files))
            snapshot.append(entry.fileName() + entry.lastModified().toString(Qt::ISODateWithMs));
    }
    return snapshot;
}

TEST_F(ConversionDriverTest, CacheRunReencodesWithoutTouchingTheScratchFolders) {
    ASSERT_TRUE(TestFrames::writeSequence(frames(), 10, 8, 6));
    TestFrontEnd front;
    pointAt(front, frames(), "10");
    ASSERT_TRUE(front.convertAndWait());
    const QString video = frames() + "/output/zev.mp4";
    EXPECT_NEAR(durationOf(video), 1.0, 0.05);

    const QStringList before = scratchSnapshot(frames());
    front.inputs.fpsText = "5";
    front.inputs.cacheTicked = true;
    ASSERT_TRUE(front.convertAndWait());
    EXPECT_EQ(front.errors(), QStringList());
    EXPECT_EQ(front.successes().size(), 2);
    EXPECT_NEAR(durationOf(video), 2.0, 0.05);
    EXPECT_EQ(scratchSnapshot(frames()), before);
    EXPECT_EQ(QDir(ScratchFolders::userFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList());
}

TEST_F(ConversionDriverTest, MissingPackedFrameIsAFailure) {
    ASSERT_TRUE(TestFrames::writeSequence(frames(), 12, 8, 6));
    TestFrontEnd front;
    pointAt(front, frames());
    recordConvertCalls(front);
    qputenv("ZEV_RECORD_SKIP", "00007.png");

    ASSERT_TRUE(front.convertAndWait());
    EXPECT_EQ(front.errors(), QStringList{UserTexts::kConversionFailed});
    EXPECT_FALSE(QFileInfo::exists(frames() + "/output/zev.mp4"));
    EXPECT_EQ(front.cacheEnabledCount(), 0);
}

// Every folder has its own cache: a cache run of the first re-encodes the
// first's frames whatever was converted since; a folder never converted in
// full has none.
TEST_F(ConversionDriverTest, CacheRunUsesItsOwnFolderAfterOthersWereConverted) {
    const QString first = folder.filePath("first");
    const QString second = folder.filePath("second");
    const QString third = folder.filePath("third");
    ASSERT_TRUE(TestFrames::writeSequence(first, 4, 8, 6));
    ASSERT_TRUE(TestFrames::writeSequence(second, 6, 16, 6));
    ASSERT_TRUE(TestFrames::writeSequence(third, 4, 8, 6));
    TestFrontEnd window;
    pointAt(window, first);
    ASSERT_TRUE(window.convertAndWait());

    TestFrontEnd commandLine;
    pointAt(commandLine, second);
    ASSERT_TRUE(commandLine.convertAndWait());

    window.inputs.cacheTicked = true;
    window.inputs.fpsText = "5";
    ASSERT_TRUE(window.convertAndWait());
    EXPECT_EQ(window.errors(), QStringList());
    EXPECT_EQ(probe(first + "/output/zev.mp4", "stream=width"), "width=16") << "first's frames, not second's";
    EXPECT_NEAR(durationOf(first + "/output/zev.mp4"), 4 / 5.0, 0.05);

    TestFrontEnd never;
    pointAt(never, third);
    never.inputs.cacheTicked = true;
    ASSERT_TRUE(never.convertAndWait());
    EXPECT_EQ(never.errors(), QStringList{UserTexts::kConversionFailed});
    EXPECT_FALSE(QFileInfo::exists(third + "/output/zev.mp4"));
}

QString logOf(const ConversionOutcome& outcome) {
    QFile log(outcome.logPath);
    return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
}

// A link left in the folder's cache: the full run neither empties nor
// follows it, keeps its own packed frames, and its log says what was set
// aside; a cache run never encodes frames that lead out of the cache.
TEST_F(ConversionDriverTest, LinksInTheCacheAreNeverFollowed) {
    ASSERT_TRUE(TestFrames::writeSequence(frames(), 4, 8, 6));
    const QString outside = folder.makeFolder("outside");
    const QString precious = folder.touch("outside/precious.txt", "keep");
    TestFrontEnd front;
    pointAt(front, frames());
    ASSERT_TRUE(front.convertAndWait());
    const QString packed = FrameCache::packedFramesFolder(frames());
    ASSERT_TRUE(QDir(packed).removeRecursively());
    ASSERT_TRUE(QFile::link(outside, packed));

    ASSERT_TRUE(front.convertAndWait());
    EXPECT_EQ(front.errors(), QStringList());
    EXPECT_TRUE(QFileInfo::exists(precious));
    EXPECT_TRUE(QFileInfo(packed).isDir() && !QFileInfo(packed).isSymLink());
    EXPECT_TRUE(logOf(front.outcomes().last()).contains("set aside"))
        << logOf(front.outcomes().last()).toStdString();

    ASSERT_TRUE(QFile::remove(packed + "/00001.png"));
    ASSERT_TRUE(QFile::link(precious, packed + "/00001.png"));
    front.inputs.cacheTicked = true;
    ASSERT_TRUE(front.convertAndWait());
    EXPECT_EQ(front.errors(), QStringList{UserTexts::kConversionFailed});
    EXPECT_TRUE(front.outcomes().last().reason.contains("is not a plain file"))
        << front.outcomes().last().reason.toStdString();
    EXPECT_TRUE(QFileInfo::exists(precious));
}

struct BrokenRunCase {
    const char* title;
    ConversionObserver::Stage failingStage;
};

class BrokenFullRun : public ConversionDriverTest, public ::testing::WithParamInterface<BrokenRunCase> {};

// A full run makes its packed frames in its own scratch folder and only
// replaces the folder's cache once its video is written: one that fails,
// in extraction or while packing, leaves the last good run's to a cache run.
TEST_P(BrokenFullRun, CacheServesOnlyUntouchedPackedFrames) {
    ASSERT_TRUE(TestFrames::writeSequence(frames(), 10, 8, 6));
    TestFrontEnd front;
    pointAt(front, frames(), "10");
    ASSERT_TRUE(front.convertAndWait());
    const QString convert = front.validator.settings().convertPath;
    if (GetParam().failingStage == ConversionObserver::Stage::Extracting) {
        front.validator.setConvertPath(QStringLiteral("/bin/false"));
    } else {
        recordConvertCalls(front);
        qputenv("ZEV_RECORD_SKIP", "00007.png");
    }
    ASSERT_TRUE(front.convertAndWait());
    ASSERT_EQ(front.errors(), QStringList{UserTexts::kConversionFailed});

    front.validator.setConvertPath(convert);
    front.inputs.cacheTicked = true;
    front.inputs.fpsText = "5";
    ASSERT_TRUE(front.convertAndWait());
    EXPECT_EQ(front.errors().size(), 1);
    EXPECT_EQ(front.successes().size(), 2);
    EXPECT_NEAR(durationOf(frames() + "/output/zev.mp4"), 2.0, 0.05) << "re-encoded at 5 fps";
}

INSTANTIATE_TEST_SUITE_P(ConversionDriverTest, BrokenFullRun,
                         ::testing::Values(BrokenRunCase{"extraction", ConversionObserver::Stage::Extracting},
                                           BrokenRunCase{"packing", ConversionObserver::Stage::Packing}),
                         ParamName());

TEST_F(ConversionDriverTest, HeldLockRefusesWithoutTouchingAnything) {
    ASSERT_TRUE(TestFrames::writeSequence(frames(), 3, 8, 6));
    ASSERT_TRUE(ScratchFolders::prepareUserFolder());
    SourceFolderLock other;
    ASSERT_TRUE(other.tryLock(frames() + "/"));

    TestFrontEnd front;
    pointAt(front, frames());
    ASSERT_TRUE(front.convertAndWait());
    EXPECT_EQ(front.errors(), QStringList{UserTexts::kConversionFailed});
    EXPECT_TRUE(front.outcomes().first().reason.startsWith("another ZEV conversion of " + frames()))
        << front.outcomes().first().reason.toStdString();
    EXPECT_EQ(QDir(ScratchFolders::userFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList());
    EXPECT_FALSE(QFileInfo::exists(frames() + "/output"));

    other.unlock();
    ASSERT_TRUE(front.convertAndWait());
    EXPECT_EQ(front.successes().size(), 1);
}

// Adds a frame to the frame folder when the packing stage starts, that is
// after the frames were listed and before the final count.
class FrameAdder : public ConversionObserver {
public:
    explicit FrameAdder(QString frame)
        : frame_(std::move(frame)) {}
    void stageStarted(Stage stage, qint64) override {
        if (stage == Stage::Packing)
            QFile(frame_).open(QIODevice::WriteOnly);
    }
    void framesDone(Stage, qint64, qint64) override {}

private:
    QString frame_;
};

TEST_F(ConversionDriverTest, FrameAddedDuringTheRunFailsTheFinalCount) {
    ASSERT_TRUE(TestFrames::writeSequence(frames(), 3, 8, 6));
    TestFrontEnd front;
    pointAt(front, frames());
    FrameAdder adder(frames() + "/3.png");
    ASSERT_TRUE(front.validator.validate(front.inputs).ok());
    const Cancellation noCancel;

    const ConversionOutcome outcome =
        ConversionDriver(front.validator.settings(), front.session.queue(), noCancel, &adder).run();
    EXPECT_EQ(outcome.message, UserTexts::kConversionFailed);
    EXPECT_FALSE(QFileInfo::exists(frames() + "/output/zev.mp4"));
}

ConversionSettings settingsFor(const QString& frameFolder, bool express = false, bool useCache = false) {
    ConversionSettings settings;
    settings.sourceImageFolder = frameFolder;
    settings.express = express;
    settings.useCache = useCache;
    settings.convertPath = QStringLiteral(ZEV_STAGED_RESOURCES "/imageMagick/bin/convert");
    settings.ffmpegPath = QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/ffmpeg");
    settings.ffprobePath = QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/ffprobe");
    return settings;
}

// A run on a thread of its own, with its own work queue, as every front end
// (each window, each zev-cli) has.
class BackgroundRun {
public:
    explicit BackgroundRun(ConversionSettings settings)
        : outcome_(std::async(std::launch::async, [this, settings]() {
            return settings.express ? ExpressDriver(settings, cancellation_).run()
                                    : ConversionDriver(settings, queue_, cancellation_).run();
        })) {}
    ~BackgroundRun() {
        cancellation_.request();
        if (outcome_.valid())
            outcome_.wait();
    }
    ConversionOutcome outcome() { return outcome_.get(); }
    void cancel() { cancellation_.request(); }

private:
    QThreadPool queue_;
    Cancellation cancellation_;
    std::future<ConversionOutcome> outcome_;
};

TEST_F(ConversionDriverTest, FoldersSideBySideEachGetTheirOwnVideoAndCache) {
    struct Folder {
        QString path;
        int frames;
        int width;
        bool express;
    };
    const QList<Folder> list{{folder.filePath("a"), 6, 8, false},
                             {folder.filePath("b"), 9, 16, false},
                             {folder.filePath("c"), 7, 12, true}};
    std::vector<std::unique_ptr<BackgroundRun>> runs;
    for (const Folder& f : list) {
        ASSERT_TRUE(TestFrames::writeSequence(f.path, f.frames, f.width, 6));
        runs.push_back(std::make_unique<BackgroundRun>(settingsFor(f.path, f.express)));
    }
    for (qsizetype i = 0; i < list.size(); ++i) {
        const ConversionOutcome outcome = runs[i]->outcome();
        EXPECT_EQ(outcome.kind, ConversionOutcome::Kind::Succeeded) << outcome.reason.toStdString();
        const QString video = list[i].path + "/output/zev.mp4";
        EXPECT_EQ(probe(video, "stream=width,nb_frames"),
                  QStringLiteral("width=%1\nnb_frames=%2")
                      .arg(2 * list[i].width)
                      .arg(VideoEncoder::outputFrameCount(list[i].frames, 20)));
        EXPECT_EQ(bool(FrameCache::matches(list[i].path, list[i].frames)), !list[i].express);
    }
    EXPECT_EQ(QDir(ScratchFolders::userFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList());

    // A cache run of the first folder after the others were converted.
    const ConversionOutcome cached = BackgroundRun(settingsFor(list[0].path, false, true)).outcome();
    EXPECT_EQ(cached.kind, ConversionOutcome::Kind::Succeeded) << cached.reason.toStdString();
}

struct SecondRunCase {
    const char* title;
    bool express;
    bool useCache;
};

class SameFolderTwice : public ConversionDriverTest, public ::testing::WithParamInterface<SecondRunCase> {};

// Both would write the same video (and the same cache): the second is
// refused at once, and the first goes on.
TEST_P(SameFolderTwice, SecondRunIsRefusedWhileTheFirstRuns) {
    ASSERT_TRUE(TestFrames::writeSequence(frames(), 4, 8, 6));
    const HangingEncoder encoder(folder.path());
    ConversionSettings hanging = settingsFor(frames());
    hanging.ffmpegPath = encoder.path();
    BackgroundRun first(hanging);
    const QDeadlineTimer deadline(60000);
    while (!encoder.isRunning() && !deadline.hasExpired())
        QThread::msleep(20);
    ASSERT_TRUE(encoder.isRunning());

    const ConversionSettings second = settingsFor(frames() + "/", GetParam().express, GetParam().useCache);
    const ConversionOutcome refused =
        second.express ? ExpressDriver(second, Cancellation()).run()
                       : ConversionDriver(second, *QThreadPool::globalInstance(), Cancellation()).run();
    EXPECT_EQ(refused.message, UserTexts::kConversionFailed);
    EXPECT_TRUE(refused.reason.startsWith("another ZEV conversion of " + frames()))
        << refused.reason.toStdString();
    EXPECT_TRUE(encoder.isRunning()) << "the first run goes on";

    EXPECT_TRUE(refused.reason.endsWith("The run's log is " + refused.logPath + "."))
        << "its own log, not the first run's";

    first.cancel();
    const ConversionOutcome stopped = first.outcome();
    EXPECT_EQ(stopped.kind, ConversionOutcome::Kind::Cancelled);
    EXPECT_NE(stopped.logPath, refused.logPath);
    const ConversionOutcome after = ExpressDriver(settingsFor(frames(), true), Cancellation()).run();
    EXPECT_EQ(after.kind, ConversionOutcome::Kind::Succeeded) << "the lock went with the first run";
}

INSTANTIATE_TEST_SUITE_P(Pipelines, SameFolderTwice,
                         ::testing::Values(SecondRunCase{"full", false, false},
                                           SecondRunCase{"express", true, false},
                                           SecondRunCase{"cache", false, true}),
                         ParamName());

} // namespace

#include "pipeline/ExpressDriver.h"

#include "ParamName.h"
#include "ScratchEnvironment.h"
#include "StagedConversion.h"
#include "TemporaryFolder.h"
#include "TestFrames.h"
#include "TestFrontEnd.h"
#include "TestVideos.h"
#include "ToolProbe.h"
#include "core/Cancellation.h"
#include "core/UserTexts.h"
#include "frames/FrameFolderScanner.h"
#include "output/OutputFolder.h"
#include "preview/SourceComparison.h"
#include "storage/ScratchFolders.h"
#include "tools/ExpressEncoder.h"
#include "tools/Mp4Boxes.h"
#include "tools/VideoEncoder.h"
#include "tools/VideoVerifier.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace zev;

namespace {

QStringList entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

QString ffprobe(const QStringList& arguments) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("ffprobe"));
    return QString::fromUtf8(ToolProbe::output(program, QStringList{"-v", "error"} + arguments).value_or(""));
}

// The average PSNR of two videos in dB (infinite when their frames are the same).
double psnr(const QString& left, const QString& right) {
    QProcess ffmpeg;
    ffmpeg.setProcessChannelMode(QProcess::MergedChannels);
    ffmpeg.start(ToolProbe::stagedFfmpeg(),
                 {"-nostdin", "-i", left, "-i", right, "-lavfi", "psnr", "-f", "null", "-"});
    ffmpeg.waitForFinished(60000);
    const QString average = QRegularExpression("average:([0-9.]+|inf)")
                                .match(QString::fromUtf8(ffmpeg.readAllStandardOutput()))
                                .captured(1);
    return average == u"inf" ? qInf() : average.isEmpty() ? -1.0 : average.toDouble();
}

class ExpressDriverTest : public ::testing::Test {
protected:
    ScratchEnvironment scratch;
    TemporaryFolder folder;

    static void pointAt(TestFrontEnd& front, const QString& frameFolder, bool express) {
        front.useStagedTools();
        front.inputs.folderText = frameFolder;
        front.inputs.sliderValue = 0.25; // the window's first preset, 1100 kbit/s
        front.inputs.expressTicked = express;
    }
};

// A PNG kind (how ImageMagick writes it, and how FFmpeg then sees it) in an
// awkwardly named folder, maybe with zero-padded frame names.
struct KindCase {
    const char* title;
    const char* folderName;
    bool zeroPadded;
    const char* options;
    const char* format;
    QString pixelFormat;
};

class FrameKinds : public ExpressDriverTest, public ::testing::WithParamInterface<KindCase> {
protected:
    // A colour gradient over an alpha gradient, moving frame by frame. Made
    // in a plain folder: ImageMagick would expand "%d" in an output name.
    QString writeFrames(const KindCase& c, int count) {
        const QString plain = folder.makeFolder("plain");
        for (int i = 0; i < count; ++i) {
            const QString name = c.zeroPadded ? QStringLiteral("%1.png").arg(i, 2, 10, QLatin1Char('0'))
                                              : QStringLiteral("%1.png").arg(i);
            const QStringList drawing =
                QStringLiteral(
                    "-size 32x24 gradient:red-blue ( -size 24x32 gradient:white-black -rotate 90 ) "
                    "-alpha off -compose copyopacity -composite -roll")
                    .split(' ') +
                QStringList{QStringLiteral("+%1+0").arg(5 * i)};
            if (!ToolProbe::output(TestFrames::imageMagick(),
                                   drawing + QString::fromLatin1(c.options).split(' ', Qt::SkipEmptyParts) +
                                       QStringList{c.format + plain + "/" + name}))
                return QString();
        }
        const QString frames = folder.filePath(QString::fromUtf8(c.folderName));
        return QDir().rename(plain, frames) ? frames : QString();
    }
};

TEST_P(FrameKinds, ExpressVideoAgreesWithTheDefaultPipelines) {
    const KindCase c = GetParam();
    const QString frames = writeFrames(c, 6);
    ASSERT_FALSE(frames.isEmpty());
    const QString first = frames + (c.zeroPadded ? "/00.png" : "/0.png");
    ASSERT_EQ(ffprobe({"-show_entries", "stream=pix_fmt", "-of", "csv=p=0", first}).trimmed(), c.pixelFormat);
    const QString video = frames + "/output/zev.mp4";
    const QString standardVideo = folder.filePath("default.mp4");
    TestFrontEnd standard;
    pointAt(standard, frames, false);
    ASSERT_TRUE(standard.convertAndWait());
    ASSERT_TRUE(QFile::rename(video, standardVideo)) << standard.errors().join(' ').toStdString();

    TestFrontEnd express;
    pointAt(express, frames, true);
    ASSERT_TRUE(express.convertAndWait());
    EXPECT_EQ(express.successes(), QStringList{frames + "/output"});
    const QStringList streams{"-count_frames", "-show_entries",
                              "stream=codec_name,width,height,pix_fmt,color_range,color_space,color_transfer,"
                              "color_primaries,r_frame_rate,nb_read_frames"};
    EXPECT_EQ(ffprobe(streams + QStringList{video}), ffprobe(streams + QStringList{standardVideo}));
    EXPECT_TRUE(ffprobe(streams + QStringList{video})
                    .contains("width=64\nheight=24\npix_fmt=yuv420p\ncolor_range=tv\ncolor_space=smpte170m\n"
                              "color_transfer=iec61966-2-1\ncolor_primaries=bt709"));
    EXPECT_TRUE(Mp4Boxes::indexLeads(video));
    EXPECT_TRUE(Mp4Boxes::indexLeads(standardVideo));
    EXPECT_EQ(entries(frames + "/output"), QStringList{"zev.mp4"});
    ASSERT_TRUE(QFile::rename(video, folder.filePath("express.mp4")));
    EXPECT_GE(psnr(folder.filePath("express.mp4"), standardVideo), 40.0);
    EXPECT_EQ(entries(ScratchFolders::userFolder()).filter("express-"), QStringList());
    EXPECT_EQ(entries(ScratchFolders::userFolder()).filter("run-"), QStringList());
    const ConversionProgress last = express.progress().value(express.progress().size() - 1);
    EXPECT_EQ(last.stage, ConversionProgress::Stage::Encoding);
    EXPECT_EQ(last.fraction, 1.0);
}

INSTANTIATE_TEST_SUITE_P(
    Png, FrameKinds,
    ::testing::Values(KindCase{"rgba 8 bit", "50% %d %05d", true, "", "PNG32:", "rgba"},
                      KindCase{"rgba 16 bit", "it's \"quoted\"", false, "", "PNG64:", "rgba64be"},
                      KindCase{"grey with alpha", "[a] {b} *?", true,
                               "-colorspace gray -type GrayscaleAlpha -depth 8", "PNG:", "ya8"},
                      KindCase{"palette with trns", "序列 帧", false, "-channel A -threshold 50% +channel",
                               "PNG8:", "pal8"},
                      KindCase{"opaque rgb", "-y file:x http:y", true, "-background white -alpha remove",
                               "PNG24:", "rgb24"}),
    ParamName());

// Stops the run as its encoding begins.
struct StopAtEncoding : ConversionObserver {
    Cancellation cancellation;
    void stageStarted(Stage stage, qint64) override {
        if (stage == Stage::Encoding)
            cancellation.request();
    }
    void framesDone(Stage, qint64, qint64) override {}
};

TEST_F(ExpressDriverTest, FailedOrStoppedRunKeepsThePreviousVideo) {
    const QString frames = folder.filePath("frames");
    ASSERT_TRUE(TestFrames::writeSequence(frames, 4, 8, 6));
    folder.touch("frames/output/zev.mp4", "the previous video");
    QFile::rename(frames + "/2.png", frames + "/2.keep");
    // ffmpeg has begun the temporary video when it meets the broken frame.
    folder.touch("frames/2.png", "not a png");
    TestFrontEnd front;
    pointAt(front, frames, true);
    ASSERT_TRUE(front.convertAndWait());
    EXPECT_EQ(front.errors(), QStringList{UserTexts::kConversionFailed});

    QFile::remove(frames + "/2.png");
    QFile::rename(frames + "/2.keep", frames + "/2.png");
    StopAtEncoding stopper;
    EXPECT_TRUE(
        ExpressDriver(front.validator.settings(), stopper.cancellation, &stopper).run().wasCancelled());
    QFile video(frames + "/output/zev.mp4");
    ASSERT_TRUE(video.open(QIODevice::ReadOnly));
    EXPECT_EQ(video.readAll(), "the previous video");
    EXPECT_EQ(entries(frames + "/output"), QStringList{"zev.mp4"});
}

class FrameRates : public ExpressDriverTest, public ::testing::WithParamInterface<int> {};

// Once one frame short at these rates: the last image lost most of its time.
TEST_P(FrameRates, VideoAsLongAsTheDefaultPipelines) {
    const QString frames = folder.filePath("frames");
    ASSERT_TRUE(TestFrames::writeSequence(frames, 60, 8, 6));
    ConversionSettings settings;
    settings.sourceImageFolder = frames;
    settings.fps = GetParam();
    settings.express = true;
    settings.ffmpegPath = QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/ffmpeg");
    settings.ffprobePath = QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/ffprobe");
    const ConversionOutcome outcome = ExpressDriver(settings, Cancellation()).run();
    ASSERT_EQ(outcome.kind, ConversionOutcome::Kind::Succeeded) << outcome.reason.toStdString();
    EXPECT_EQ(ffprobe({"-count_frames", "-show_entries", "stream=nb_read_frames", "-of", "csv=p=0",
                       frames + "/output/zev.mp4"})
                  .trimmed()
                  .toLongLong(),
              VideoEncoder::outputFrameCount(60, GetParam()));
}

INSTANTIATE_TEST_SUITE_P(ExpressDriverTest, FrameRates, ::testing::Values(1, 5, 7, 12, 24, 30));

// 20 frames of 64×48 whose size and quality follow the CRF: FFmpeg's
// moving test picture, softened, under a round alpha that moves.
bool writeTexturedFrames(const QString& folder) {
    if (!QDir().mkpath(folder))
        return false;
    QProcess ffmpeg;
    ffmpeg.start(ToolProbe::stagedFfmpeg(),
                 {"-nostdin", "-v", "error", "-f", "lavfi", "-i", "testsrc2=s=64x48:r=25", "-vf",
                  "gblur=sigma=0.8,format=rgba,geq=r='r(X,Y)':g='g(X,Y)':b='b(X,Y)':"
                  "a='clip(255*(1.4-hypot(X-32-5*sin(N/3),Y-24)/22),0,255)'",
                  "-frames:v", "20", "-start_number", "0", folder + "/%d.png"});
    return ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0 && QFileInfo::exists(folder + "/19.png");
}

// Settings for an express run of frames with a size budget or a quality
// target in a codec; the trials are measured as --check measures them.
ConversionSettings searching(const QString& frames, VideoFormat::Codec codec) {
    OutputOptions output;
    output.format = VideoFormat::forCodec(codec);
    return StagedConversion::settings(frames, output);
}

// The trials a search announces, in order.
struct TrialRecorder : ConversionObserver {
    QList<int> trials;
    void stageStarted(Stage, qint64) override {}
    void framesDone(Stage, qint64, qint64) override {}
    void trialStarted(int trial) override { trials << trial; }
};

ConversionOutcome runSearching(const ConversionSettings& settings, const Cancellation& cancellation = {},
                               ConversionObserver* observer = nullptr) {
    ExpressDriver driver(settings, cancellation, observer);
    driver.measureTrialsWith(SourceComparison::trialMeasure(settings.ffmpegPath, nullptr));
    return driver.run();
}

qint64 bytesAt(ConversionSettings settings, double crf) {
    settings.output.crf = int(crf);
    const ConversionOutcome outcome = ExpressDriver(settings, Cancellation()).run();
    return outcome.succeeded() ? QFileInfo(outcome.video).size() : -1;
}

struct BudgetCase {
    const char* title;
    VideoFormat::Codec codec;
    // The budget as a share of the file at the codec's usual CRF.
    double share;
};

class SizeBudgets : public ExpressDriverTest, public ::testing::WithParamInterface<BudgetCase> {};

// The file is at most the budget and no more than 5 % under it, whatever
// the codec's scale; the outcome says what was chosen.
TEST_P(SizeBudgets, LandWithinFivePercentUnderTheBudget) {
    const QString frames = folder.filePath("frames");
    ASSERT_TRUE(writeTexturedFrames(frames));
    ConversionSettings settings = searching(frames, GetParam().codec);
    const qint64 usual = bytesAt(settings, ExpressEncoder::usualCrf(GetParam().codec));
    ASSERT_GT(usual, 0);
    settings.output.maxBytes = qint64(double(usual) * GetParam().share);
    TrialRecorder recorder;
    const ConversionOutcome outcome = runSearching(settings, {}, &recorder);
    ASSERT_TRUE(outcome.succeeded()) << outcome.reason.toStdString();
    const qint64 bytes = QFileInfo(outcome.video).size();
    EXPECT_LE(bytes, settings.output.maxBytes);
    EXPECT_GE(double(bytes), 0.95 * double(settings.output.maxBytes));
    ASSERT_TRUE(outcome.rateChoice.has_value());
    EXPECT_EQ(outcome.rateChoice->bytes, bytes);
    EXPECT_EQ(outcome.rateChoice->budget, settings.output.maxBytes);
    EXPECT_GE(outcome.rateChoice->trials, 1);
    EXPECT_LE(outcome.rateChoice->setting, VideoFormat::maxCrf(GetParam().codec));
    // Each trial is announced (the progress bar goes on across them), then
    // the end of the search.
    ASSERT_EQ(recorder.trials.size(), outcome.rateChoice->trials + 1);
    for (qsizetype i = 0; i < recorder.trials.size(); ++i)
        EXPECT_EQ(recorder.trials[i], (i + 1) % recorder.trials.size());
}

INSTANTIATE_TEST_SUITE_P(ExpressDriverTest, SizeBudgets,
                         ::testing::Values(BudgetCase{"h264_tighter", VideoFormat::Codec::H264, 0.75},
                                           BudgetCase{"h264_looser", VideoFormat::Codec::H264, 1.6},
                                           BudgetCase{"av1", VideoFormat::Codec::Av1, 0.8}),
                         ParamName());

// A budget below the smallest file the coarsest setting makes is refused
// with that size named, and the previous video stays.
TEST_F(ExpressDriverTest, AnImpossibleBudgetIsRefusedNamingTheSmallestSize) {
    const QString frames = folder.filePath("frames");
    ASSERT_TRUE(writeTexturedFrames(frames));
    ConversionSettings settings = searching(frames, VideoFormat::Codec::H264);
    const qint64 smallest = bytesAt(settings, 51);
    ASSERT_GT(smallest, 0);
    QFile::remove(frames + "/output/zev.mp4");
    folder.touch("frames/output/zev.mp4", "the previous video");
    settings.output.maxBytes = smallest - 1;
    const ConversionOutcome outcome = runSearching(settings);
    EXPECT_EQ(outcome.kind, ConversionOutcome::Kind::Failed);
    EXPECT_TRUE(outcome.reason.contains(QLocale(QLocale::English).toString(smallest) + " bytes"))
        << outcome.reason.toStdString();
    EXPECT_FALSE(outcome.rateChoice.has_value());
    QFile video(frames + "/output/zev.mp4");
    ASSERT_TRUE(video.open(QIODevice::ReadOnly));
    EXPECT_EQ(video.readAll(), "the previous video");
    EXPECT_EQ(entries(frames + "/output"), QStringList{"zev.mp4"});
}

struct TargetCase {
    const char* title;
    VideoFormat::Codec codec;
    double decibels;
};

class QualityTargets : public ExpressDriverTest, public ::testing::WithParamInterface<TargetCase> {};

// The video committed reaches the target in both its mask and its colour as
// --check measures them, and the outcome gives the same figures.
TEST_P(QualityTargets, ReachTheirTargetAsCheckMeasuresIt) {
    const QString frames = folder.filePath("frames");
    ASSERT_TRUE(writeTexturedFrames(frames));
    ConversionSettings settings = searching(frames, GetParam().codec);
    settings.output.qualityTarget = GetParam().decibels;
    const ConversionOutcome outcome = runSearching(settings);
    ASSERT_TRUE(outcome.succeeded()) << outcome.reason.toStdString();
    VideoDescription description =
        PackedLayout::plan(QSize(64, 48), settings.output).describe(settings.output);
    description.inputFps = 25;
    description.outputFps = 25;
    description.frames = 20;
    const Result<QualityReport> report = SourceComparison::measure(
        {settings.ffmpegPath, outcome.video, description, ExpressEncoder::framePattern(frames), 20, nullptr});
    ASSERT_TRUE(report.ok()) << report.reason().toStdString();
    EXPECT_GE(report->mask().averagePsnr, GetParam().decibels);
    EXPECT_GE(report->colour().averagePsnr, GetParam().decibels);
    ASSERT_TRUE(outcome.rateChoice.has_value());
    EXPECT_NEAR(outcome.rateChoice->colourPsnr, report->colour().averagePsnr, 0.01);
    EXPECT_EQ(outcome.rateChoice->bytes, QFileInfo(outcome.video).size());
}

INSTANTIATE_TEST_SUITE_P(ExpressDriverTest, QualityTargets,
                         ::testing::Values(TargetCase{"h264", VideoFormat::Codec::H264, 28},
                                           TargetCase{"vp9", VideoFormat::Codec::Vp9, 31}),
                         ParamName());

// A video or animated image has no numbered frames to measure trials
// against: its quality target is refused before any encoding, while a size
// budget is searched as for frames.
TEST_F(ExpressDriverTest, ASourcesQualityTargetIsRefusedItsBudgetSearched) {
    const QString walk = folder.filePath("walk.mov");
    ASSERT_TRUE(TestVideos::transparentAnimation(walk, {"-c:v", "qtrle"}, 10, 10, QSize(64, 48)));
    ConversionSettings settings = searching(walk, VideoFormat::Codec::H264);
    settings.mediaSource = true;
    settings.output.qualityTarget = 30;
    const ConversionOutcome target = runSearching(settings);
    EXPECT_FALSE(target.succeeded());
    EXPECT_NE(target.reason.indexOf("--max-size"), -1) << target.reason.toStdString();
    EXPECT_FALSE(QFileInfo::exists(folder.filePath("output/walk.mp4")));

    settings.output.qualityTarget.reset();
    settings.output.maxBytes = 6000;
    const ConversionOutcome budget = runSearching(settings);
    ASSERT_TRUE(budget.succeeded()) << budget.reason.toStdString();
    ASSERT_TRUE(budget.rateChoice.has_value());
    EXPECT_LE(QFileInfo(folder.filePath("output/walk.mp4")).size(), 6000);
}

// Stopped during a trial: no further trial, the previous video as it was.
TEST_F(ExpressDriverTest, AStoppedSearchKeepsThePreviousVideo) {
    const QString frames = folder.filePath("frames");
    ASSERT_TRUE(writeTexturedFrames(frames));
    folder.touch("frames/output/zev.mp4", "the previous video");
    ConversionSettings settings = searching(frames, VideoFormat::Codec::H264);
    settings.output.maxBytes = 4000;
    StopAtEncoding stopper;
    ExpressDriver driver(settings, stopper.cancellation, &stopper);
    EXPECT_TRUE(driver.run().wasCancelled());
    QFile video(frames + "/output/zev.mp4");
    ASSERT_TRUE(video.open(QIODevice::ReadOnly));
    EXPECT_EQ(video.readAll(), "the previous video");
    EXPECT_EQ(entries(frames + "/output"), QStringList{"zev.mp4"});
}

} // namespace

// Frames as compositors name them: the express conversion takes them in
// number order, the default pipeline refuses them with its fixed message
// and says that express would take them.
struct CompositorCase {
    const char* title;
    QStringList names;
    QString defaultMessage;
};

// Twelve names: prefix, then the numbers from first on, zero-padded to width.
static QStringList twelveNamed(const QString& prefix, int width, int first) {
    QStringList names;
    for (int i = first; i < first + 12; ++i)
        names.append(prefix + QStringLiteral("%1.png").arg(i, width, 10, QLatin1Char('0')));
    return names;
}

class CompositorNames : public ExpressDriverTest, public ::testing::WithParamInterface<CompositorCase> {};

TEST_P(CompositorNames, ExpressTakesThemTheDefaultPipelineNamesExpress) {
    const CompositorCase& c = GetParam();
    const QString frames = folder.filePath("frames");
    const QString gradient = folder.filePath("gradient");
    ASSERT_TRUE(TestFrames::writeGradientSequence(gradient, int(c.names.size()), 16, 12));
    QDir().mkpath(frames);
    for (int i = 0; i < c.names.size(); ++i)
        ASSERT_TRUE(QFile::copy(gradient + QStringLiteral("/%1.png").arg(i), frames + u'/' + c.names.at(i)));

    TestFrontEnd standard;
    pointAt(standard, frames, false);
    ASSERT_TRUE(standard.convertAndWait());
    EXPECT_EQ(standard.errors(), QStringList{c.defaultMessage});
    ASSERT_EQ(standard.outcomes().size(), 1);
    EXPECT_TRUE(standard.outcomes().first().reason.contains("express"))
        << standard.outcomes().first().reason.toStdString();
    EXPECT_TRUE(standard.outcomes().first().reason.contains(c.names.first()));
    EXPECT_FALSE(QFileInfo::exists(frames + "/output/zev.mp4"));

    TestFrontEnd express;
    pointAt(express, frames, true);
    ASSERT_TRUE(express.convertAndWait());
    ASSERT_EQ(express.successes().size(), 1) << express.errors().join(' ').toStdString();
    // The frames in number order: the video matches the one made of the
    // same frames named 0.png, 1.png, ….
    TestFrontEnd reference;
    pointAt(reference, gradient, true);
    ASSERT_TRUE(reference.convertAndWait());
    EXPECT_EQ(psnr(frames + "/output/zev.mp4", gradient + "/output/zev.mp4"), qInf());
}

INSTANTIATE_TEST_SUITE_P(ExpressDriverTest, CompositorNames,
                         ::testing::Values(CompositorCase{"ZeroPaddedPrefix", twelveNamed("comp_", 5, 0),
                                                          FrameFolderScanner::kNotNumbered},
                                           CompositorCase{"FromOne", twelveNamed("", 0, 1),
                                                          UserTexts::kFramesNotConsecutive}),
                         ParamName());

// Sources that cannot give a transparent video are refused with the
// message a file always got, and the reason, before anything is encoded.
struct RefusedSourceCase {
    const char* title;
    const char* file;
    QStringList codec;
    bool alpha;
    QString reason;
};

class RefusedSources : public ExpressDriverTest, public ::testing::WithParamInterface<RefusedSourceCase> {};

TEST_P(RefusedSources, RefusedWithTheReasonBeforeAnyEncoding) {
    const RefusedSourceCase& c = GetParam();
    const QString source = folder.filePath(QString::fromUtf8(c.file));
    ASSERT_TRUE(TestVideos::transparentAnimation(source, c.codec, 12, 10, QSize(48, 32), c.alpha));
    TestFrontEnd front;
    pointAt(front, source, false);
    ASSERT_TRUE(front.convertAndWait());
    EXPECT_EQ(front.errors(), QStringList{UserTexts::kNotAFolder});
    ASSERT_EQ(front.outcomes().size(), 1);
    EXPECT_TRUE(front.outcomes().first().reason.contains(c.reason))
        << front.outcomes().first().reason.toStdString();
    for (const ConversionProgress& progress : front.progress())
        EXPECT_NE(progress.stage, ConversionObserver::Stage::Encoding);
    EXPECT_FALSE(QFileInfo::exists(folder.filePath("output")));
}

INSTANTIATE_TEST_SUITE_P(ExpressDriverTest, RefusedSources,
                         ::testing::Values(RefusedSourceCase{"Vp9WithoutAlpha",
                                                             "clip.webm",
                                                             {"-c:v", "libvpx-vp9", "-pix_fmt", "yuv420p"},
                                                             false,
                                                             "the video has no transparency: yuv420p"},
                                           RefusedSourceCase{"AnimatedWebp",
                                                             "clip.webp",
                                                             {"-c:v", "libwebp_anim", "-lossless", "1"},
                                                             true,
                                                             "WebP"}),
                         ParamName());

// A typed frame rate shows the source's frames at that rate instead of its
// own, and two sources of one folder write videos of their own.
TEST_F(ExpressDriverTest, SourcesKeepTheirOwnRateUnlessOneIsTypedAndTheirOwnVideo) {
    const QString walk = folder.filePath("walk.mov");
    const QString run = folder.filePath("run.mov");
    ASSERT_TRUE(TestVideos::transparentAnimation(walk, {"-c:v", "qtrle"}, 12, 10));
    ASSERT_TRUE(TestVideos::transparentAnimation(run, {"-c:v", "qtrle"}, 12, 10));
    TestFrontEnd own;
    pointAt(own, walk, false);
    ASSERT_TRUE(own.convertAndWait());
    TestFrontEnd typed;
    pointAt(typed, run, false);
    typed.inputs.fpsText = "20";
    typed.inputs.fpsTyped = true;
    ASSERT_TRUE(typed.convertAndWait());
    ASSERT_EQ(own.successes().size() + typed.successes().size(), 2);
    const auto frames = [](const QString& video) {
        return ffprobe({"-count_frames", "-show_entries", "stream=nb_read_frames", "-of", "csv=p=0", video})
            .trimmed()
            .toLongLong();
    };
    EXPECT_EQ(frames(folder.filePath("output/walk.mp4")), 30);
    EXPECT_EQ(frames(folder.filePath("output/run.mp4")), 15);
    EXPECT_EQ(ConversionSettings::videoBaseName(walk, true), "walk");
    folder.touch("walk.webm", "x");
    EXPECT_EQ(ConversionSettings::videoBaseName(walk, true), "walk.mov");
}

// A source's video follows its container like a frame folder's: walk.webm
// for VP9, named in walk.json, found by the readers; and a later MP4 run
// takes the WebM away, so the folder never holds two videos of one source.
TEST_F(ExpressDriverTest, SourcesVideoFollowsItsContainer) {
    const QString walk = folder.filePath("walk.mov");
    ASSERT_TRUE(TestVideos::transparentAnimation(walk, {"-c:v", "qtrle"}, 6, 10));
    struct Step {
        VideoFormat::Codec codec;
        const char* written;
        const char* gone;
    };
    for (const Step& step : {Step{VideoFormat::Codec::Vp9, "output/walk.webm", "output/walk.mp4"},
                             Step{VideoFormat::Codec::H264, "output/walk.mp4", "output/walk.webm"}}) {
        TestFrontEnd front;
        pointAt(front, walk, false);
        front.inputs.output.format = VideoFormat::forCodec(step.codec);
        ASSERT_TRUE(front.convertAndWait());
        ASSERT_EQ(front.successes().size(), 1) << step.written;
        EXPECT_EQ(front.outcomes().first().video, folder.filePath(step.written));
        EXPECT_TRUE(QFileInfo(folder.filePath(step.written)).isFile());
        EXPECT_FALSE(QFileInfo::exists(folder.filePath(step.gone))) << step.gone;
        EXPECT_EQ(ConversionSettings::videoPathFor(walk), folder.filePath(step.written));
    }
}

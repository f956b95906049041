#include "CliController.h"

#include "ScratchEnvironment.h"
#include "TemporaryFolder.h"
#include "TestFrames.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace zev;

namespace {

// The command-line front end writing into memory instead of the process's
// standard streams; progress goes out as plain lines, as into a pipe.
class CapturedCli {
public:
    CapturedCli() {
        out_.open(QIODevice::WriteOnly);
        err_.open(QIODevice::WriteOnly);
    }

    CliController& cli() { return cli_; }
    int run(const QStringList& options) { return cli_.run(QStringList{QStringLiteral("zev-cli")} + options); }
    std::optional<int> apply(const QStringList& options) {
        return cli_.applyArguments(QStringList{QStringLiteral("zev-cli")} + options);
    }
    QString output() const { return QString::fromUtf8(out_.data()); }
    QString errors() const { return QString::fromUtf8(err_.data()); }
    QStringList errorLines() const { return errors().split(QLatin1Char('\n'), Qt::SkipEmptyParts); }

private:
    QBuffer out_;
    QBuffer err_;
    CliController cli_{out_, err_, false};
};

QString testName(const char* title) {
    QString name = QString::fromUtf8(title);
    for (QChar& ch : name) {
        if (!ch.isLetterOrNumber())
            ch = u'_';
    }
    return name;
}

// Options that start a conversion, and the inputs they become.
struct AcceptedCase {
    const char* title;
    QStringList options;
    QString fps;
    double slider;
    QString path;
    bool cache;
};

class AcceptedOptions : public ::testing::TestWithParam<AcceptedCase> {};

TEST_P(AcceptedOptions, BecomeTheInputs) {
    const AcceptedCase c = GetParam();
    CapturedCli captured;

    EXPECT_EQ(captured.apply(c.options), std::nullopt);

    EXPECT_EQ(captured.cli().fpsInput(), c.fps);
    EXPECT_DOUBLE_EQ(captured.cli().sliderInput(), c.slider);
    EXPECT_EQ(captured.cli().pathInput(), c.path);
    EXPECT_EQ(captured.cli().cacheInput(), c.cache);
    EXPECT_TRUE(captured.output().isEmpty());
    EXPECT_TRUE(captured.errors().isEmpty()) << captured.errors().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Options, AcceptedOptions,
    ::testing::Values(
        AcceptedCase{"defaults", {"/f"}, "20", 0.25, "/f", false},
        AcceptedCase{"fps text unchanged", {"-f", "abc", "/f"}, "abc", 0.25, "/f", false},
        AcceptedCase{"negative fps", {"--fps=-3", "/f"}, "-3", 0.25, "/f", false},
        AcceptedCase{"fps with blanks", {"--fps", " 12 ", "/f"}, " 12 ", 0.25, "/f", false},
        AcceptedCase{"preset high", {"-p", "high", "/f"}, "20", 0.25, "/f", false},
        AcceptedCase{"preset super", {"--preset", "super", "/f"}, "20", 0.5, "/f", false},
        AcceptedCase{"preset best", {"-p", "best", "/f"}, "20", 0.75, "/f", false},
        AcceptedCase{"preset in capitals", {"-p", "BEST", "/f"}, "20", 0.75, "/f", false},
        AcceptedCase{"preset by button title", {"-p", "超高", "/f"}, "20", 0.5, "/f", false},
        AcceptedCase{"slider", {"-s", "0.1", "/f"}, "20", 0.1, "/f", false},
        AcceptedCase{"slider zero", {"--slider", "0", "/f"}, "20", 0.0, "/f", false},
        AcceptedCase{"slider one", {"--slider=1", "/f"}, "20", 1.0, "/f", false},
        AcceptedCase{"cache", {"-c", "/f"}, "20", 0.25, "/f", true},
        AcceptedCase{"options after folder", {"/f", "--cache", "-f", "7"}, "7", 0.25, "/f", true},
        // Folders reach the engine absolute and clean, so no tool reads one
        // as an option or a protocol.
        AcceptedCase{"relative folder made absolute",
                     {" a folder/ "},
                     "20",
                     0.25,
                     QDir::currentPath() + "/ a folder/ ",
                     false},
        AcceptedCase{"dot and trailing slash dropped",
                     {"./frames/"},
                     "20",
                     0.25,
                     QDir::currentPath() + "/frames",
                     false},
        AcceptedCase{"absolute folder cleaned", {"/a/./b//c/"}, "20", 0.25, "/a/b/c", false},
        AcceptedCase{"empty folder text", {""}, "20", 0.25, "", false},
        AcceptedCase{"folder like an option", {"--", "-x"}, "20", 0.25, QDir::currentPath() + "/-x", false}),
    [](const auto& instance) { return testName(instance.param.title).toStdString(); });

// The cap of the kept packed frames, in bytes; a bare number is in MiB.
TEST(CliControllerTest, CacheCapSizes) {
    const std::pair<QStringList, qint64> cases[] = {
        {{"/f"}, qint64(2) << 30},
        {{"--cache-cap", "500M", "/f"}, qint64(500) << 20},
        {{"--cache-cap=3G", "/f"}, qint64(3) << 30},
        {{"--cache-cap", "64KiB", "/f"}, qint64(64) << 10},
        {{"--cache-cap", "100", "/f"}, qint64(100) << 20},
        {{"--cache-cap", "0", "/f"}, 0},
        // The largest that can be counted in bytes, in each unit.
        {{"--cache-cap", "8388607T", "/f"}, qint64(8388607) << 40},
        {{"--cache-cap", "999999999G", "/f"}, qint64(999999999) << 30},
    };
    for (const auto& [options, bytes] : cases) {
        CapturedCli captured;
        EXPECT_EQ(captured.apply(options), std::nullopt) << options.join(' ').toStdString();
        EXPECT_EQ(captured.cli().cacheCapInput(), bytes) << options.join(' ').toStdString();
    }
}

// Options that stop the program with status 2 before any conversion.
struct UsageCase {
    const char* title;
    QStringList options;
    QString problem;
};

class UsageErrors : public ::testing::TestWithParam<UsageCase> {};

TEST_P(UsageErrors, ExitWithStatusTwo) {
    const UsageCase c = GetParam();
    CapturedCli captured;

    EXPECT_EQ(captured.run(c.options), 2);

    EXPECT_TRUE(captured.output().isEmpty()) << "standard output is for the outcome only";
    EXPECT_TRUE(captured.errors().startsWith(QStringLiteral("zev-cli: ")));
    EXPECT_TRUE(captured.errors().contains(c.problem)) << captured.errors().toStdString();
    EXPECT_TRUE(captured.errors().endsWith(QStringLiteral("Try 'zev-cli --help' for more information.\n")));
}

INSTANTIATE_TEST_SUITE_P(
    Options, UsageErrors,
    ::testing::Values(
        UsageCase{"no folder", {}, "missing the frame folder"},
        UsageCase{"no folder after options", {"-f", "20", "-c"}, "missing the frame folder"},
        UsageCase{"cache with two folders", {"--cache", "/a", "/b"}, "--cache takes one folder"},
        UsageCase{"unknown option", {"-x", "/f"}, "Unknown option 'x'"},
        UsageCase{"unknown long option", {"--bitrate=1", "/f"}, "Unknown option 'bitrate'"},
        UsageCase{"fps without value", {"/f", "--fps"}, "Missing value after '--fps'"},
        UsageCase{"unknown preset", {"-p", "ultra", "/f"}, "unknown preset 'ultra'"},
        UsageCase{"slider above one", {"-s", "1.5", "/f"}, "not '1.5'"},
        UsageCase{"slider below zero", {"-s", "-0.1", "/f"}, "not '-0.1'"},
        UsageCase{"slider not a number", {"-s", "half", "/f"}, "not 'half'"},
        UsageCase{"slider nan", {"-s", "nan", "/f"}, "not 'nan'"},
        UsageCase{"slider empty", {"-s", "", "/f"}, "not ''"},
        UsageCase{"preset and slider", {"-p", "best", "-s", "0.5", "/f"}, "not both"},
        UsageCase{"cache with express", {"--cache", "--express", "/f"}, "--cache has no meaning"},
        UsageCase{"express with cache", {"-e", "/f", "-c"}, "--cache has no meaning"},
        UsageCase{"layout without express", {"--layout", "mask-top", "/f"}, "need --express"},

        UsageCase{"cache cap not a size", {"--cache-cap", "lots", "/f"}, "not \"lots\""},
        UsageCase{"cache cap unknown unit", {"--cache-cap=2X", "/f"}, "not \"2X\""},
        UsageCase{"cache cap negative", {"--cache-cap", "-1G", "/f"}, "not \"-1G\""},
        // Shifted into bytes, these would wrap round to a negative or zero
        // cap, and every other folder's cache would be removed.
        UsageCase{"cache cap beyond 2^63", {"--cache-cap", "8388608T", "/f"}, "at most 8388607T"},
        UsageCase{"cache cap at 2^64 - 2^40", {"--cache-cap", "16777215T", "/f"}, "not \"16777215T\""},
        UsageCase{"cache cap at 2^64", {"--cache-cap", "16777216T", "/f"}, "not \"16777216T\""},
        UsageCase{"cache cap of nine digits", {"--cache-cap", "999999999T", "/f"}, "not \"999999999T\""}),
    [](const auto& instance) { return testName(instance.param.title).toStdString(); });

TEST(CliControllerTest, HelpExplainsEveryOptionAndExitStatus) {
    CapturedCli captured;

    EXPECT_EQ(captured.run({"--help"}), 0);

    const QString help = captured.output();
    EXPECT_EQ(help, CliController::helpText());
    for (const char* part : {"Usage: zev-cli [options] FOLDER...",
                             "-f, --fps TEXT",
                             "default 20",
                             "-p, --preset NAME",
                             "high (高, 1100 kbit/s, the default)",
                             "super (超高, 2100 kbit/s)",
                             "best (最佳, 3100 kbit/s)",
                             "-s, --slider VALUE",
                             "100 + 4000 x VALUE",
                             "-c, --cache",
                             "-e, --express",
                             "--json",
                             "-h, --help",
                             "output/zev.mp4",
                             "视频已经生成, 视频路径：",
                             "Exit status:",
                             "  0         every video was written",
                             "  2         usage error",
                             "130, 143",
                             "xargs -0 zev-cli"})
        EXPECT_TRUE(help.contains(QString::fromUtf8(part))) << part;
    EXPECT_TRUE(captured.errors().isEmpty());
}

TEST(CliControllerTest, HelpWinsOverOtherOptions) {
    CapturedCli captured;
    EXPECT_EQ(captured.run({"-s", "7", "--help"}), 0);
    EXPECT_EQ(captured.output(), CliController::helpText());
}

TEST(CliControllerTest, VersionIsOneLine) {
    CapturedCli captured;
    EXPECT_EQ(captured.run({"--version"}), 0);
    EXPECT_TRUE(captured.output().startsWith(QStringLiteral("zev-cli ")));
    EXPECT_EQ(captured.output().count(QLatin1Char('\n')), 1);
}

// Runs that end in an error message: the message, exactly as the window's
// alert words it, is the only line on standard output, and the status is 1.
struct RefusedCase {
    const char* title;
    QStringList options;
    enum Folder { Frames, NoPng, NumberedFromOne, PngFile, Missing } folder;
    QString message;
};

class RefusedRuns : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedRuns, PrintTheMessageAndExitWithStatusOne) {
    const RefusedCase c = GetParam();
    ScratchEnvironment scratch;
    TemporaryFolder folder;
    QString path = folder.path();
    switch (c.folder) {
    case RefusedCase::Frames:
        folder.touchAll({"0.png", "1.png"});
        break;
    case RefusedCase::NoPng:
        folder.touch("notes.txt");
        break;
    case RefusedCase::NumberedFromOne:
        folder.touchAll({"1.png", "2.png", "3.png"});
        break;
    case RefusedCase::PngFile:
        path = folder.touch("0.png");
        break;
    case RefusedCase::Missing:
        path = folder.filePath("missing");
        break;
    }
    CapturedCli captured;

    EXPECT_EQ(captured.run(c.options + QStringList{path}), 1);

    EXPECT_EQ(captured.output(), c.message + QLatin1Char('\n'));
    EXPECT_FALSE(captured.cli().session().inConverting());
}

using R = RefusedCase;

INSTANTIATE_TEST_SUITE_P(
    Messages, RefusedRuns,
    ::testing::Values(
        R{"fps not a number", {"-f", "abc"}, R::Frames, "输入不是数字，请输入正确的帧率(0<FPS<60)."},
        R{"fps sixty", {"--fps", "60"}, R::Frames, "请输入正确的帧率(0<FPS<60)."},
        R{"fps zero", {"--fps", "0"}, R::Frames, "请输入正确的帧率(0<FPS<60)."},
        R{"missing folder", {}, R::Missing, "输入的文件夹路径不存在，请重新输入."},
        R{"png file", {}, R::PngFile, "输入的不是文件夹，是一个文件，请重新输入."},
        R{"fps checked first", {"-f", "x"}, R::Missing, "输入不是数字，请输入正确的帧率(0<FPS<60)."},
        R{"no frames", {}, R::NoPng, "文件夹下没有 png 图片."},
        R{"bad numbering", {}, R::NumberedFromOne, "文件夹下存在不连续图片."},
        R{"cache without a full run", {"--cache"}, R::Frames, "合成视频过程出错，请重试."}),
    [](const auto& instance) { return testName(instance.param.title).toStdString(); });

TEST(CliControllerTest, EmptyFolderTextIsAMissingFolder) {
    CapturedCli captured;
    EXPECT_EQ(captured.run({""}), 1);
    EXPECT_EQ(captured.output(), QStringLiteral("输入的文件夹路径不存在，请重新输入.\n"));
}

TEST(CliControllerTest, DriverFailureShowsScanningProgressBeforeTheMessage) {
    ScratchEnvironment scratch;
    TemporaryFolder folder;
    folder.touchAll({"0.png", "1.png", "3.png"});
    CapturedCli captured;

    EXPECT_EQ(captured.run({folder.path()}), 1);

    EXPECT_EQ(captured.output(), QStringLiteral("文件夹下存在不连续图片.\n"));
    ASSERT_EQ(captured.errorLines().size(), 2);
    EXPECT_EQ(captured.errorLines().first(), "scanning");
    EXPECT_TRUE(captured.errorLines().last().startsWith("zev-cli: frame 2 is missing: 3.png follows 1.png."))
        << "the reason names the missing number: " << captured.errorLines().last().toStdString();
}

// A real conversion of three tiny frames, then a cache run of the same folder.
TEST(CliControllerTest, SuccessPrintsTheOutputFolderAndExitsWithZero) {
    ScratchEnvironment scratch;
    TemporaryFolder folder;
    ASSERT_TRUE(TestFrames::writeSequence(folder.path(), 3, 8, 6));
    const QString outputFolder = folder.filePath("output");
    const QString success = QStringLiteral("视频已经生成, 视频路径：") + outputFolder + QLatin1Char('\n');

    CapturedCli full;
    full.cli().validator().setConvertPath(QStringLiteral(ZEV_STAGED_RESOURCES "/imageMagick/bin/convert"));
    full.cli().validator().setFfmpegPath(QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/ffmpeg"));
    EXPECT_EQ(full.run({"-f", "10", "-p", "best", folder.path()}), 0) << full.output().toStdString();

    EXPECT_EQ(full.output(), success);
    EXPECT_EQ(full.cli().validator().settings().fps, 10);
    EXPECT_EQ(full.cli().validator().settings().rate, 3100);
    EXPECT_GT(QFileInfo(outputFolder + QStringLiteral("/zev.mp4")).size(), 0);
    // Into a pipe the progress comes at most once a second: the start.
    EXPECT_EQ(full.errorLines().value(0), QStringLiteral("scanning"));
    EXPECT_FALSE(full.cli().session().inConverting());

    ASSERT_TRUE(QFile::remove(outputFolder + QStringLiteral("/zev.mp4")));
    CapturedCli cached;
    cached.cli().validator().setFfmpegPath(QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/ffmpeg"));
    EXPECT_EQ(cached.run({"--cache", "-s", "0.1", folder.path()}), 0) << cached.output().toStdString();

    EXPECT_EQ(cached.output(), success);
    EXPECT_EQ(cached.cli().validator().settings().rate, 500);
    EXPECT_GT(QFileInfo(outputFolder + QStringLiteral("/zev.mp4")).size(), 0);
    // A cache run only encodes: its first report is the scan, and a slow
    // machine may add encoding lines a second apart, but nothing else.
    const QStringList cachedLines = cached.errorLines();
    ASSERT_FALSE(cachedLines.isEmpty());
    EXPECT_EQ(cachedLines.constFirst(), QStringLiteral("scanning"));
    for (const QString& line : cachedLines.mid(1))
        EXPECT_TRUE(line.startsWith(QStringLiteral("encoding "))) << line.toStdString();
}

// The message stays on standard output as the window words it; the reason
// goes to standard error.
TEST(CliControllerTest, FailureReasonGoesToStandardError) {
    ScratchEnvironment scratch;
    TemporaryFolder folder;
    ASSERT_TRUE(TestFrames::writeSequence(folder.path(), 2, 16, 12));
    ASSERT_TRUE(TestFrames::writeSequence(folder.path(), 1, 8, 6, 2));
    CapturedCli captured;

    EXPECT_EQ(captured.run({folder.path()}), 1);

    EXPECT_EQ(captured.output(), QStringLiteral("合成视频过程出错，请重试.\n"));
    EXPECT_TRUE(captured.errors().contains(QStringLiteral("zev-cli: Frame 2.png is 8×6 but 0.png is 16×12.")))
        << captured.errors().toStdString();
}

TEST(CliControllerTest, ExpressRunPrintsTheSameSuccess) {
    ScratchEnvironment scratch;
    TemporaryFolder folder;
    ASSERT_TRUE(TestFrames::writeSequence(folder.filePath("frames"), 3, 8, 6));

    CapturedCli express;
    express.cli().validator().setFfmpegPath(QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/ffmpeg"));
    EXPECT_EQ(express.run({"--express", folder.filePath("frames")}), 0) << express.output().toStdString();
    EXPECT_TRUE(express.cli().expressInput());
    EXPECT_EQ(express.output(),
              QStringLiteral("视频已经生成, 视频路径：") + folder.filePath("frames/output\n"));
    EXPECT_GT(QFileInfo(folder.filePath("frames/output/zev.mp4")).size(), 0);
}

} // namespace

// The zev-cli program itself, started as a user would start it.
#include "ParamName.h"
#include "ScratchEnvironment.h"
#include "TemporaryFolder.h"
#include "TestFrames.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QUuid>
#include <csignal>
#include <gtest/gtest.h>

using namespace zev;

namespace {

struct Outcome {
    bool finished = false;
    int status = -1;
    QString output;
    QString errors;
};

// The environment a user of the given locale starts programs with: no
// setting above LANG that would override it.
QProcessEnvironment localeEnvironment(const QString& lang) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANGUAGE"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("LANG"), lang);
    return environment;
}

// English unless a test asks for another locale, whatever the machine's.
Outcome runZevCli(const QStringList& arguments, const QString& workingFolder = QString(),
                  const QString& lang = QStringLiteral("C.UTF-8")) {
    QProcess program;
    program.setProcessEnvironment(localeEnvironment(lang));
    program.setWorkingDirectory(workingFolder);
    program.setStandardInputFile(QProcess::nullDevice());
    program.start(QStringLiteral(ZEV_CLI), arguments);
    Outcome outcome;
    outcome.finished = program.waitForFinished(120000) && program.exitStatus() == QProcess::NormalExit;
    outcome.status = program.exitCode();
    outcome.output = QString::fromUtf8(program.readAllStandardOutput());
    outcome.errors = QString::fromUtf8(program.readAllStandardError());
    return outcome;
}

// Processes, other than `except`, whose environment holds the given entry.
// Exited processes not yet reaped have no environment any more.
QList<qint64> processesMarkedWith(const QByteArray& entry, qint64 except) {
    QList<qint64> found;
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList({QStringLiteral("[0-9]*")}, QDir::Dirs);
    for (const QString& pid : pids) {
        QFile environment(QStringLiteral("/proc/%1/environ").arg(pid));
        if (pid.toLongLong() == except || !environment.open(QIODevice::ReadOnly))
            continue;
        if (environment.readAll().split('\0').contains(entry))
            found.append(pid.toLongLong());
    }
    return found;
}

TEST(ZevCliProgramTest, ConvertsTinyFrames) {
    ScratchEnvironment scratch; // the program inherits TMPDIR
    TemporaryFolder folder;
    ASSERT_TRUE(TestFrames::writeSequence(folder.path(), 5, 16, 12));

    const Outcome outcome = runZevCli({QStringLiteral("--fps"), QStringLiteral("5"), folder.path()});

    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.status, 0) << outcome.output.toStdString() << outcome.errors.toStdString();
    EXPECT_EQ(outcome.output, QStringLiteral("视频已经生成, 视频路径：%1/output\n").arg(folder.path()));
    EXPECT_GT(QFileInfo(folder.filePath("output/zev.mp4")).size(), 0);
    EXPECT_TRUE(outcome.errors.startsWith(QStringLiteral("scanning\n"))) << outcome.errors.toStdString();
}

TEST(ZevCliProgramTest, ErrorMessageExitsWithOne) {
    TemporaryFolder folder;
    const Outcome outcome = runZevCli({QStringLiteral("-f"), QStringLiteral("abc"), folder.path()});

    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_EQ(outcome.output, QStringLiteral("输入不是数字，请输入正确的帧率(0<FPS<60).\n"));
}

TEST(ZevCliProgramTest, UsageErrorExitsWithTwo) {
    const Outcome outcome = runZevCli({QStringLiteral("--fps"), QStringLiteral("20")});

    ASSERT_TRUE(outcome.finished);
    EXPECT_EQ(outcome.status, 2);
    EXPECT_TRUE(outcome.output.isEmpty());
    EXPECT_TRUE(outcome.errors.contains(QStringLiteral("missing the frame folder")));
}

struct StopCase {
    const char* title;
    int signalNumber;
    bool wholeGroup; // as Ctrl-C on a terminal does
    int status;
};

class StopSignals : public ::testing::TestWithParam<StopCase> {};

// Stopping the program ends its tools, leaves no video and no lock: the next
// run succeeds at once.
TEST_P(StopSignals, StopTheToolsAndExitWithTheShellsStatus) {
    const StopCase c = GetParam();
    ScratchEnvironment scratch;
    TemporaryFolder folder;
    // Large enough that one ImageMagick run takes seconds.
    ASSERT_TRUE(TestFrames::writeSequence(folder.filePath("big"), 40, 1600, 1200));
    const QByteArray mark = "ZEV_TEST_RUN=" + QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
    QProcessEnvironment environment = localeEnvironment(QStringLiteral("C.UTF-8"));
    environment.insert(QString::fromUtf8(mark.split('=').first()), QString::fromUtf8(mark.split('=').last()));

    QProcess program;
    program.setProcessEnvironment(environment);
    program.setStandardInputFile(QProcess::nullDevice());
    // A group of its own, like a job started from a shell; and a shell
    // starting the tests in the background passes SIGINT on ignored.
    program.setChildProcessModifier([]() {
        setpgid(0, 0);
        std::signal(SIGINT, SIG_DFL);
    });
    program.start(QStringLiteral(ZEV_CLI), {folder.filePath("big")});
    ASSERT_TRUE(program.waitForStarted(10000));
    const qint64 pid = program.processId();

    // Looked at once: a tool in the middle of its exec reads as unmarked for
    // an instant, so a second look may miss the one just seen.
    QDeadlineTimer toolsSeen(30000);
    QList<qint64> tools;
    while ((tools = processesMarkedWith(mark, pid)).isEmpty() && !toolsSeen.hasExpired() &&
           !program.waitForFinished(10))
        ;
    ASSERT_FALSE(tools.isEmpty()) << "no tool was running; the program exited " << program.exitCode() << ": "
                                  << program.readAllStandardError().toStdString();

    ::kill(static_cast<pid_t>(c.wholeGroup ? -pid : pid), c.signalNumber);
    ASSERT_TRUE(program.waitForFinished(5000)) << "the program did not end promptly";
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), c.status);
    EXPECT_TRUE(program.readAllStandardOutput().isEmpty()) << "no error message after a stop";
    EXPECT_TRUE(processesMarkedWith(mark, pid).isEmpty()) << "a tool outlived the run";
    EXPECT_FALSE(QFileInfo::exists(folder.filePath("big/output/zev.mp4")));

    const Outcome cache = runZevCli({QStringLiteral("--cache"), folder.filePath("big")});
    EXPECT_EQ(cache.status, 1) << "the stopped run's packed frames are not offered as a cache";
    ASSERT_TRUE(TestFrames::writeSequence(folder.filePath("small"), 3, 8, 6));
    EXPECT_EQ(runZevCli({folder.filePath("small")}).status, 0) << "the next run starts at once";
}

INSTANTIATE_TEST_SUITE_P(ZevCliProgramTest, StopSignals,
                         ::testing::Values(StopCase{"interrupt", SIGINT, false, 130},
                                           StopCase{"ctrl_c_to_the_group", SIGINT, true, 130},
                                           StopCase{"terminate", SIGTERM, false, 143}),
                         [](const auto& instance) { return std::string(instance.param.title); });

// From a shell in the folder above the frames: relative names that tools
// would read as an option or a protocol, "." and several folders at once.
TEST(ZevCliProgramTest, RelativeAndAwkwardFolderNamesFromTheFolderAbove) {
    ScratchEnvironment scratch;
    TemporaryFolder folder;
    for (const char* name : {"-dash", "x:y", "a", "b", "c"})
        ASSERT_TRUE(TestFrames::writeSequence(folder.filePath(name), 4, 8, 6));
    const QString above = folder.path();

    const Outcome dash = runZevCli({"--", "-dash"}, above);
    EXPECT_EQ(dash.output, QStringLiteral("视频已经生成, 视频路径：%1/-dash/output\n").arg(above));
    const Outcome colon = runZevCli({"x:y"}, above);
    EXPECT_EQ(colon.output, QStringLiteral("视频已经生成, 视频路径：%1/x:y/output\n").arg(above));
    const Outcome dot = runZevCli({"."}, folder.filePath("a"));
    EXPECT_EQ(dot.output, QStringLiteral("视频已经生成, 视频路径：%1/a/output\n").arg(above));
    const Outcome three = runZevCli({"a", "b", "c"}, above);
    EXPECT_EQ(three.status, 0) << three.errors.toStdString();
    EXPECT_EQ(three.output.count(QStringLiteral("视频已经生成")), 3);
    EXPECT_TRUE(three.errors.contains(QStringLiteral("zev-cli: 3 of 3 folders converted, 0 failed")));
}

// One folder with a gap among good ones: the good ones convert, the call
// exits 1, and --json says the same, one parsable line per folder.
TEST(ZevCliProgramTest, SeveralFoldersWithOneRefusedInTextAndJson) {
    ScratchEnvironment scratch;
    TemporaryFolder folder;
    for (const char* name : {"good1", "gap", "good2"})
        ASSERT_TRUE(TestFrames::writeSequence(folder.filePath(name), 3, 8, 6));
    ASSERT_TRUE(QFile::remove(folder.filePath("gap/1.png")));

    const Outcome text = runZevCli({"good1", "gap", "good2"}, folder.path());
    EXPECT_EQ(text.status, 1);
    EXPECT_EQ(text.output.split(u'\n', Qt::SkipEmptyParts),
              (QStringList{QStringLiteral("视频已经生成, 视频路径：%1/good1/output").arg(folder.path()),
                           QStringLiteral("文件夹下存在不连续图片."),
                           QStringLiteral("视频已经生成, 视频路径：%1/good2/output").arg(folder.path())}));

    const Outcome json = runZevCli({"--json", "good1", "gap", "good2"}, folder.path());
    EXPECT_EQ(json.status, 1);
    const QStringList lines = json.output.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    const QList<bool> ok{true, false, true};
    for (int i = 0; i < 3; ++i) {
        QJsonParseError error;
        const QJsonObject object = QJsonDocument::fromJson(lines.at(i).toUtf8(), &error).object();
        ASSERT_EQ(error.error, QJsonParseError::NoError) << lines.at(i).toStdString();
        EXPECT_EQ(object.value("ok").toBool(), ok.at(i));
        EXPECT_EQ(object.value("message").toString(), text.output.split(u'\n').at(i));
        EXPECT_EQ(object.value("frames").toInt(), i == 1 ? 2 : 3);
        EXPECT_EQ(object.value("video").isNull(), !ok.at(i));
        EXPECT_TRUE(object.value("seconds").isDouble());
        // 8×6 frames: a 16×6 video, which 1100 kbit/s puts at level 2.0.
        EXPECT_EQ(object.value("width").toInt(-1), ok.at(i) ? 16 : -1);
        EXPECT_EQ(object.value("height").toInt(-1), ok.at(i) ? 6 : -1);
        EXPECT_EQ(object.value("level").toString(), ok.at(i) ? "2.0" : "");
        EXPECT_TRUE(object.contains("warning") && object.value("warning").isNull());
    }
    EXPECT_EQ(QJsonDocument::fromJson(lines.at(0).toUtf8()).object().value("video").toString(),
              folder.filePath("good1/output/zev.mp4"));
}

struct LanguageCase {
    const char* title;
    const char* lang;
    const char* reason; // why the folder is refused, on standard error
    const char* helpStart;
    // The way back to frames: a video that is not there, and a usage error.
    const char* missingVideo;
    const char* unpackUsage;
};

void PrintTo(const LanguageCase& c, std::ostream* out) {
    *out << c.title;
}

class Languages : public ::testing::TestWithParam<LanguageCase> {};

// ZEV's own texts follow the locale; the fixed message on standard output is
// the window's Chinese in every locale.
TEST_P(Languages, ReasonAndHelpFollowTheLocaleButTheMessageDoesNot) {
    const LanguageCase c = GetParam();
    ScratchEnvironment scratch;
    TemporaryFolder folder;
    ASSERT_TRUE(TestFrames::writeSequence(folder.path(), 1, 16, 12));
    ASSERT_TRUE(TestFrames::writeSequence(folder.path(), 1, 8, 6, 1));
    const QString lang = QString::fromLatin1(c.lang);

    const Outcome refused = runZevCli({folder.path()}, QString(), lang);
    ASSERT_TRUE(refused.finished);
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.output, QStringLiteral("合成视频过程出错，请重试.\n"));
    EXPECT_TRUE(refused.errors.contains(QStringLiteral("zev-cli: ") + QString::fromUtf8(c.reason)))
        << refused.errors.toStdString();

    const Outcome help = runZevCli({QStringLiteral("--help")}, QString(), lang);
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.output.startsWith(QString::fromUtf8(c.helpStart))) << help.output.toStdString();
    EXPECT_TRUE(help.output.contains(QStringLiteral("视频已经生成, 视频路径：")));

    const QString missing = folder.filePath(QStringLiteral("missing.mp4"));
    const Outcome unpack =
        runZevCli({QStringLiteral("--unpack"), missing, QStringLiteral("back")}, QString(), lang);
    EXPECT_EQ(unpack.status, 1);
    EXPECT_TRUE(unpack.errors.contains(QString::fromUtf8(c.missingVideo).arg(missing)))
        << unpack.errors.toStdString();
    const Outcome usage = runZevCli({QStringLiteral("--unpack"), missing}, QString(), lang);
    EXPECT_EQ(usage.status, 2);
    EXPECT_TRUE(usage.errors.startsWith(QString::fromUtf8(c.unpackUsage))) << usage.errors.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    ZevCliProgramTest, Languages,
    ::testing::Values(LanguageCase{"english", "C.UTF-8", "Frame 1.png is 8×6 but 0.png is 16×12.",
                                   "Usage: zev-cli [options] FOLDER...", "there is no video file at %1",
                                   "zev-cli: --unpack takes a video and an output folder\n"
                                   "Try 'zev-cli --help' for more information.\n"},
                      LanguageCase{"chinese", "zh_CN.UTF-8",
                                   "帧 1.png 的尺寸是 8×6，而 0.png 的尺寸是 16×12。",
                                   "用法：zev-cli [选项] FOLDER...", "%1 处没有视频文件",
                                   "zev-cli: --unpack 需要一个视频和一个输出文件夹\n"
                                   "运行“zev-cli --help”查看更多信息。\n"}),
    ParamName());

} // namespace

namespace {

// --check after a conversion of the same program: the figures as JSON, and
// --unpack's frames; a video that is not one is refused with its reason.
TEST(ZevCliProgramTest, ChecksAndUnpacksWhatItConverted) {
    ScratchEnvironment scratch;
    TemporaryFolder folder;
    ASSERT_TRUE(TestFrames::writeSequence(folder.path(), 4, 16, 8));
    ASSERT_EQ(runZevCli({QStringLiteral("--express"), QStringLiteral("--fps"), QStringLiteral("25"),
                         QStringLiteral("--preset"), QStringLiteral("best"), folder.path()})
                  .status,
              0);

    const Outcome check = runZevCli({QStringLiteral("--check"), QStringLiteral("--json"), folder.path()});
    ASSERT_EQ(check.status, 0) << check.errors.toStdString();
    const QJsonObject figures = QJsonDocument::fromJson(check.output.toUtf8()).object();
    EXPECT_TRUE(figures.value(QStringLiteral("ok")).toBool());
    EXPECT_EQ(figures.value(QStringLiteral("videoFrames")).toInt(), 4);
    EXPECT_GT(figures.value(QStringLiteral("mask")).toObject().value(QStringLiteral("average")).toDouble(),
              40);

    const Outcome unpack =
        runZevCli({QStringLiteral("--unpack"), QStringLiteral("output/zev.mp4"), QStringLiteral("back")},
                  folder.path());
    ASSERT_EQ(unpack.status, 0) << unpack.errors.toStdString();
    EXPECT_TRUE(QFile::exists(folder.filePath(QStringLiteral("back/3.png"))));

    const QString notAVideo = folder.filePath(QStringLiteral("notes.mp4"));
    QFile notes(notAVideo);
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly) && notes.write(QByteArray(1024, 'z')) == 1024);
    notes.close();
    const Outcome refused =
        runZevCli({QStringLiteral("--unpack"), notAVideo, QStringLiteral("x")}, folder.path());
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.errors.contains(QStringLiteral("ffprobe cannot read")))
        << refused.errors.toStdString();
    EXPECT_EQ(runZevCli({QStringLiteral("--check")}).status, 2);
}

} // namespace

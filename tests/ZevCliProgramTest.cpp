// The zev-cli program itself, started as a user would start it.
#include "ScratchEnvironment.h"
#include "TemporaryFolder.h"
#include "TestFrames.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <QUuid>
#include <csignal>
#include <gtest/gtest.h>

namespace {

struct Outcome {
    bool finished = false;
    int status = -1;
    QString output;
    QString errors;
};

Outcome runZevCli(const QStringList& arguments) {
    QProcess program;
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
    EXPECT_TRUE(outcome.errors.split(QLatin1Char('\n')).contains(QStringLiteral("encoding")))
        << outcome.errors.toStdString();
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

// Interrupting the program (SIGINT to it alone, as `kill -INT` does; Ctrl-C
// on a terminal signals the children as well) ends it at once and stops the
// ImageMagick runs it started, instead of leaving them writing into scratch
// folders.
TEST(ZevCliProgramTest, InterruptStopsTheToolsItStarted) {
    ScratchEnvironment scratch;
    TemporaryFolder folder;
    // Large enough that one ImageMagick run takes seconds, far longer than
    // the children may live on after the program.
    ASSERT_TRUE(TestFrames::writeSequence(folder.path(), 40, 1600, 1200));
    const QByteArray mark = "ZEV_TEST_RUN=" + QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromUtf8(mark.split('=').first()), QString::fromUtf8(mark.split('=').last()));

    QProcess program;
    program.setProcessEnvironment(environment);
    program.setStandardInputFile(QProcess::nullDevice());
    // A shell starting the tests in the background passes SIGINT on ignored.
    program.setChildProcessModifier([]() { std::signal(SIGINT, SIG_DFL); });
    program.start(QStringLiteral(ZEV_CLI), {folder.path()});
    ASSERT_TRUE(program.waitForStarted(10000));
    const qint64 pid = program.processId();

    QDeadlineTimer toolsSeen(30000);
    while (processesMarkedWith(mark, pid).isEmpty() && !toolsSeen.hasExpired() &&
           program.state() == QProcess::Running)
        QThread::msleep(10);
    ASSERT_FALSE(processesMarkedWith(mark, pid).isEmpty()) << "no tool was running";

    ::kill(static_cast<pid_t>(pid), SIGINT);
    ASSERT_TRUE(program.waitForFinished(5000)) << "the program did not end promptly";
    EXPECT_EQ(program.exitStatus(), QProcess::CrashExit) << "ended by the signal";

    QDeadlineTimer toolsGone(2000);
    while (!processesMarkedWith(mark, pid).isEmpty() && !toolsGone.hasExpired())
        QThread::msleep(20);
    EXPECT_TRUE(processesMarkedWith(mark, pid).isEmpty()) << "a tool outlived the program";
    EXPECT_FALSE(QFileInfo::exists(folder.filePath("output/zev.mp4")));
}

} // namespace

#include "tools/ToolRunner.h"

#include "RecordedCalls.h"
#include "RecordingTest.h"
#include "TemporaryFolder.h"
#include "core/ThreadHandOver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThreadPool>
#include <csignal>
#include <gtest/gtest.h>
#include <mutex>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace zev;

namespace {

struct LogEntry {
    QtMsgType type;
    QString text;
};

// Collects every log message while it lives.
class LogCapture {
public:
    LogCapture() {
        const std::lock_guard lock(mutex());
        entries().clear();
        previous_ = qInstallMessageHandler(&LogCapture::handle);
    }
    ~LogCapture() { qInstallMessageHandler(previous_); }

    QList<LogEntry> all() const {
        const std::lock_guard lock(mutex());
        return entries();
    }

private:
    static void handle(QtMsgType type, const QMessageLogContext&, const QString& text) {
        const std::lock_guard lock(mutex());
        entries().append({type, text});
    }
    static std::mutex& mutex() {
        static std::mutex instance;
        return instance;
    }
    static QList<LogEntry>& entries() {
        static QList<LogEntry> instance;
        return instance;
    }

    QtMessageHandler previous_ = nullptr;
};

class ToolRunnerTest : public RecordingTest {
protected:
    // The process id of the first recorded call, waiting for it to appear;
    // the recorder names its records "<start time>-<pid>" and keeps its pid
    // when it execs the real program.
    pid_t recordedChild() const {
        for (int i = 0; i < 1000; ++i) {
            const QStringList names = QDir(calls).entryList(QDir::Files, QDir::Name);
            if (!names.isEmpty())
                return names.first().section(u'-', 1).toInt();
            usleep(10000);
        }
        return -1;
    }
};

TEST_F(ToolRunnerTest, ArgumentsArriveUnchanged) {
    const QStringList arguments{"two words", "it's \"quoted\"", "100%",     "%[basename].png",  "*.png", "",
                                "$HOME",     "a;b|c && d",      " leading", "中文 路径/%5d.png"};
    const ToolRunResult result = ToolRunner::run(arguments, RecordedCalls::recorderPath());
    EXPECT_TRUE(result.succeeded());
    EXPECT_EQ(RecordedCalls::read(calls), QList<QStringList>{arguments});
}

TEST_F(ToolRunnerTest, NonZeroExitIsReported) {
    qputenv("ZEV_RECORD_EXIT", "3");
    const ToolRunResult result = ToolRunner::run({"x"}, RecordedCalls::recorderPath());
    EXPECT_TRUE(result.started);
    EXPECT_FALSE(result.crashed);
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_FALSE(result.succeeded());
    EXPECT_EQ(RecordedCalls::read(calls).size(), 1);
}

TEST_F(ToolRunnerTest, CrashIsReported) {
    qputenv("ZEV_RECORD_EXEC", "/usr/bin/sleep");
    ToolRunResult result;
    std::thread runner([&result] { result = ToolRunner::run({"60"}, RecordedCalls::recorderPath()); });
    const pid_t child = recordedChild();
    if (child > 0)
        kill(child, SIGSEGV);
    runner.join();
    ASSERT_GT(child, 0);
    EXPECT_TRUE(result.started);
    EXPECT_TRUE(result.crashed);
    EXPECT_FALSE(result.succeeded());
}

// A child that runs past its time limit is stopped like a cancelled one and says so; one that ends
// in time is not touched.
TEST_F(ToolRunnerTest, TimeLimitStopsOnlyAChildThatRunsPastIt) {
    qputenv("ZEV_RECORD_EXEC", "/usr/bin/sleep");
    for (const auto& [seconds, timedOut] : {std::pair{"60", true}, std::pair{"0.1", false}}) {
        ToolRunOptions options;
        options.timeoutMs = 400;
        const ToolRunResult result = ToolRunner::run({seconds}, RecordedCalls::recorderPath(), options);
        EXPECT_EQ(result.timedOut, timedOut) << seconds;
        EXPECT_EQ(result.cancelled, timedOut) << seconds;
        EXPECT_EQ(result.succeeded(), !timedOut) << seconds;
        EXPECT_LT(result.durationMs, 5000) << seconds;
    }
}

TEST_F(ToolRunnerTest, MissingProgramReturnsAndWarns) {
    const QString missing = folder.filePath("no such program");
    LogCapture log;
    const ToolRunResult result = ToolRunner::run({"a"}, missing);
    EXPECT_FALSE(result.started);
    EXPECT_FALSE(result.succeeded());
    const QList<LogEntry> entries = log.all();
    ASSERT_EQ(entries.size(), 1);
    EXPECT_EQ(entries[0].type, QtWarningMsg);
    EXPECT_TRUE(entries[0].text.contains(missing)) << entries[0].text.toStdString();
}

TEST_F(ToolRunnerTest, FileWithoutExecutePermissionDoesNotStart) {
    const QString plain = folder.touch("plain", "not a program");
    LogCapture log;
    EXPECT_FALSE(ToolRunner::run({}, plain).started);
    EXPECT_EQ(log.all().size(), 1);
}

struct ErrorOutputCase {
    int bytes;
    int logEntries;
};

void PrintTo(const ErrorOutputCase& c, std::ostream* out) {
    *out << c.bytes << " bytes";
}

class ErrorOutput : public ToolRunnerTest, public ::testing::WithParamInterface<ErrorOutputCase> {};

// Also proves that a child writing far more than a pipe holds runs to its end.
TEST_P(ErrorOutput, OneEmptyLogEntryWhenThereIsAny) {
    const ErrorOutputCase c = GetParam();
    qputenv("ZEV_RECORD_STDERR_BYTES", QByteArray::number(c.bytes));
    LogCapture log;
    const ToolRunResult result = ToolRunner::run({"x"}, RecordedCalls::recorderPath());
    EXPECT_TRUE(result.succeeded());
    EXPECT_EQ(RecordedCalls::read(calls).size(), 1) << "the child ran to its end";
    const QList<LogEntry> entries = log.all();
    ASSERT_EQ(entries.size(), c.logEntries);
    for (const LogEntry& entry : entries) {
        EXPECT_EQ(entry.type, QtInfoMsg);
        EXPECT_TRUE(entry.text.isEmpty()) << entry.text.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(ToolRunner, ErrorOutput,
                         ::testing::Values(ErrorOutputCase{0, 0}, ErrorOutputCase{1, 1},
                                           ErrorOutputCase{200, 1}, ErrorOutputCase{700 * 1024, 1},
                                           ErrorOutputCase{4 * 1024 * 1024, 1}),
                         [](const auto& instance) { return "bytes" + std::to_string(instance.param.bytes); });

TEST(ToolRunnerDecoding, OnlyValidNonEmptyUtf8Counts) {
    const std::pair<QByteArray, bool> cases[] = {
        {QByteArray(), false},
        {QByteArray("frame= 10 fps=0.0"), true},
        {QByteArray("中文"), true},
        {QByteArray("\xff\xfe\x00", 3), false},
        {QByteArray("ok \xe4\xb8"), false}, // cut inside a character
        {QByteArray("\xc0\xaf"), false},    // overlong "/"
    };
    for (const auto& [bytes, counts] : cases)
        EXPECT_EQ(ToolRunner::isNonEmptyUtf8(bytes), counts) << bytes.toHex().toStdString();
}

// A terminal (or anything else) on the application's standard input must
// not reach the child: ffmpeg stops early when it reads a "q".
TEST_F(ToolRunnerTest, StandardInputIsTheNullDevice) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const QByteArray typed("q\n");
    ASSERT_EQ(write(fds[1], typed.constData(), typed.size()), typed.size());
    close(fds[1]);
    const int savedInput = dup(STDIN_FILENO);
    dup2(fds[0], STDIN_FILENO);
    close(fds[0]);

    const QString copy = folder.filePath("stdin-copy");
    // Bounded, so a child left waiting on an open input pipe fails the test
    // instead of hanging it.
    const ToolRunResult result =
        ToolRunner::run({"10", "/usr/bin/cp", "/dev/stdin", copy}, "/usr/bin/timeout");

    dup2(savedInput, STDIN_FILENO);
    close(savedInput);
    EXPECT_TRUE(result.succeeded());
    ASSERT_TRUE(QFileInfo::exists(copy));
    EXPECT_EQ(QFileInfo(copy).size(), 0);
}

TEST_F(ToolRunnerTest, ReturnsOnlyAfterTheChildHasExited) {
    qputenv("ZEV_RECORD_EXEC", "/usr/bin/sleep");
    const ToolRunResult result = ToolRunner::run({"0.3"}, RecordedCalls::recorderPath());
    EXPECT_TRUE(result.succeeded());
    const pid_t child = recordedChild();
    ASSERT_GT(child, 0);
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("/proc/%1").arg(child))) << "exited and reaped";
}

TEST_F(ToolRunnerTest, RunsFromAnyThread) {
    LogCapture log;
    std::thread plain([] { ToolRunner::run({"plain thread"}, RecordedCalls::recorderPath()); });
    plain.join();
    QThreadPool pool;
    pool.setMaxThreadCount(4);
    for (int i = 0; i < 8; ++i)
        ThreadHandOver::start(pool, [i] {
            ToolRunner::run({QStringLiteral("pool %1").arg(i)}, RecordedCalls::recorderPath());
        });
    pool.waitForDone();
    ToolRunner::run({"main thread"}, RecordedCalls::recorderPath());

    QStringList seen;
    for (const QStringList& call : RecordedCalls::read(calls))
        seen += call;
    seen.sort();
    QStringList expected{"plain thread", "main thread"};
    for (int i = 0; i < 8; ++i)
        expected.append(QStringLiteral("pool %1").arg(i));
    expected.sort();
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(log.all().size(), 0) << "no complaint from Qt about the threads";
}

// A child must not outlive the application: Ctrl-C on the command line would
// otherwise leave convert or ffmpeg running.
TEST_F(ToolRunnerTest, ChildStopsWhenTheApplicationDies) {
    qputenv("ZEV_RECORD_EXEC", "/usr/bin/sleep");
    const pid_t application = fork();
    ASSERT_GE(application, 0);
    if (application == 0) {
        ToolRunner::run({"60"}, RecordedCalls::recorderPath());
        _exit(0);
    }
    const pid_t child = recordedChild();
    if (child <= 0)
        kill(application, SIGKILL);
    ASSERT_GT(child, 0);
    const QString status = QStringLiteral("/proc/%1/stat").arg(child);

    kill(application, SIGKILL);
    waitpid(application, nullptr, 0);

    // The orphan may linger as a zombie until someone reaps it; it must not
    // be running.
    bool stopped = false;
    for (int i = 0; i < 500 && !stopped; ++i) {
        QFile stat(status);
        stopped = !stat.open(QIODevice::ReadOnly) || stat.readAll().contains(") Z ");
        if (!stopped)
            usleep(10000);
    }
    EXPECT_TRUE(stopped) << "pid " << child;
    if (!stopped)
        kill(child, SIGKILL);
}

} // namespace

#include "ToolRunner.h"

#include <QByteArray>
#include <QDebug>
#include <QProcess>
#include <QStringDecoder>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

// The child gets SIGTERM when the thread that started it goes away, which
// (as that thread waits for the child) means when the application dies. So
// Ctrl-C on the command line also stops a running convert or ffmpeg instead
// of leaving it to write into scratch folders nobody reads any more.
void stopWithParent(QProcess& process) {
    const pid_t parent = getpid();
    process.setChildProcessModifier([parent]() {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        // The parent may have died between fork and prctl; then no signal
        // would ever come.
        if (getppid() != parent)
            _exit(128 + SIGTERM);
    });
}

} // namespace

ToolRunResult ToolRunner::run(const QStringList& arguments, const QString& launchPath) {
    QProcess process;
    process.setProgram(launchPath);
    process.setArguments(arguments);
    // An inherited terminal would let ffmpeg read a typed "q" and stop early
    // with status 0, leaving a short video that looks like success.
    process.setStandardInputFile(QProcess::nullDevice());
    process.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    stopWithParent(process);

    process.start(QIODevice::ReadOnly);
    if (!process.waitForStarted(-1)) {
        qWarning().noquote() << "Cannot start" << launchPath << ":" << process.errorString();
        return {};
    }

    // waitForFinished keeps reading standard error into the process's buffer
    // while it waits, so the pipe never fills up.
    process.waitForFinished(-1);
    const QByteArray errorOutput = process.readAllStandardError();
    if (isNonEmptyUtf8(errorOutput))
        qInfo("%s", "");

    ToolRunResult result;
    result.started = true;
    result.crashed = process.exitStatus() == QProcess::CrashExit;
    result.exitCode = result.crashed ? -1 : process.exitCode();
    return result;
}

bool ToolRunner::isNonEmptyUtf8(const QByteArray& bytes) {
    // Stateless: a character cut off at the end is an error, not something
    // to wait for.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError() && !text.isEmpty();
}

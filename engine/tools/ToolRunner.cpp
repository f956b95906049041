#include "tools/ToolRunner.h"

#include "core/Cancellation.h"
#include "storage/RunLog.h"

#include <QByteArray>
#include <QDebug>
#include <QElapsedTimer>
#include <QProcess>
#include <QStringDecoder>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace zev {

namespace {

// The child is killed when the thread that started it goes away, which (as
// that thread waits for the child) means when the application dies, however
// it dies. SIGKILL, not SIGTERM: ffmpeg takes SIGTERM as a request to finish
// in order and goes on flushing the encoder and writing the video for
// seconds, with nobody left to use or remove what it writes. The signal
// survives the tool launcher's exec(), so it reaches the real program.
//
// It also gets a process group of its own: Ctrl-C on a terminal signals the
// whole foreground group, and a convert or ffmpeg killed by it mid-run would
// look like a failed conversion. The command line catches the signal instead
// and stops its children through the cancellation, in order.
void prepareChild(QProcess& process) {
    const pid_t parent = getpid();
    process.setChildProcessModifier([parent]() {
        setpgid(0, 0);
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        // The parent may have died between fork and prctl; then no signal
        // would ever come.
        if (getppid() != parent)
            _exit(128 + SIGKILL);
    });
}

bool cancelRequested(const ToolRunOptions& options) {
    return options.cancellation && options.cancellation->isRequested();
}

// Waits for the child, passing on its standard error as it comes and asking
// it to stop once the cancellation is requested: SIGTERM first, so ffmpeg
// can close its file, then SIGKILL after the grace period.
void superviseUntilFinished(QProcess& process, const ToolRunOptions& options, ToolRunResult& result) {
    QElapsedTimer running;
    running.start();
    QElapsedTimer sinceTermination;
    while (!process.waitForFinished(ToolRunner::kPollMs) && process.state() != QProcess::NotRunning) {
        if (options.captureStandardOutput)
            result.standardOutput += process.readAllStandardOutput();
        const QByteArray piece = process.readAllStandardError();
        if (!piece.isEmpty()) {
            result.standardError += piece;
            if (options.standardErrorReceived)
                options.standardErrorReceived(piece);
        }
        const bool overTime = options.timeoutMs > 0 && running.hasExpired(options.timeoutMs);
        if (!result.cancelled && (cancelRequested(options) || overTime)) {
            result.cancelled = true;
            result.timedOut = overTime && !cancelRequested(options);
            process.terminate();
            sinceTermination.start();
        } else if (result.cancelled && sinceTermination.hasExpired(ToolRunner::kTerminationGraceMs)) {
            process.kill();
        }
    }
    const QByteArray rest = process.readAllStandardError();
    result.standardError += rest;
    if (!rest.isEmpty() && options.standardErrorReceived)
        options.standardErrorReceived(rest);
}

} // namespace

ToolRunResult ToolRunner::run(const QStringList& arguments, const QString& launchPath,
                              const ToolRunOptions& options) {
    ToolRunResult result;
    if (cancelRequested(options)) {
        result.cancelled = true;
        return result;
    }
    QElapsedTimer clock;
    clock.start();

    QProcess process;
    process.setProgram(launchPath);
    process.setArguments(arguments);
    // An inherited terminal would let ffmpeg read a typed "q" and stop early
    // with status 0, leaving a short video that looks like success.
    process.setStandardInputFile(QProcess::nullDevice());
    process.setProcessChannelMode(options.captureStandardOutput ? QProcess::SeparateChannels
                                                                : QProcess::ForwardedOutputChannel);
    prepareChild(process);

    process.start(QIODevice::ReadOnly);
    if (!process.waitForStarted(-1)) {
        qWarning().noquote() << "Cannot start" << launchPath << ":" << process.errorString();
        result.startError = process.errorString();
    } else {
        result.started = true;
        superviseUntilFinished(process, options, result);
        if (isNonEmptyUtf8(result.standardError))
            qInfo("%s", "");
        result.crashed = process.exitStatus() == QProcess::CrashExit;
        // After a crash Qt reports the signal that ended the child here.
        result.exitCode = process.exitCode();
        if (options.captureStandardOutput)
            result.standardOutput += process.readAllStandardOutput();
    }
    result.durationMs = clock.elapsed();
    if (options.log)
        options.log->toolRun(launchPath, arguments, result.ending(), result.durationMs, result.standardError);
    return result;
}

bool ToolRunner::isNonEmptyUtf8(const QByteArray& bytes) {
    // Stateless: a character cut off at the end is an error, not something
    // to wait for.
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError() && !text.isEmpty();
}

} // namespace zev

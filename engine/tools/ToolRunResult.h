#pragma once

#include "core/Result.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

namespace zev {

// How one child process ended.
struct ToolRunResult {
    bool started = false;
    bool crashed = false;
    // Stopped on request: the child was sent SIGTERM (and SIGKILL when it
    // lingered), or never started because the stop came first.
    bool cancelled = false;
    // Stopped because it ran longer than its time limit (cancelled too).
    bool timedOut = false;
    // Qt's exit code; after a crash, the signal that ended the child.
    int exitCode = -1;
    // Why the program could not be started.
    QString startError;
    // Everything the child wrote to its standard error, and to its standard
    // output when the caller asked for it.
    QByteArray standardError;
    QByteArray standardOutput;
    qint64 durationMs = 0;

    bool succeeded() const { return started && !crashed && !cancelled && exitCode == 0; }

    // "exited with status 1", "was ended by signal 9 (Killed)", …
    QString ending() const;
    // Success, or a reason naming the tool, how it ended and the last lines
    // of its standard error (all of which go into the details). A write the
    // tool reports as failed for want of room, or on a broken disk, is the
    // line the reason gives instead, and a failure even when the tool exited
    // with status 0 (ffmpeg 5.1 does after "Error closing file").
    Result<> outcome(const QString& toolName) const;
    // The last few non-empty lines of standard error, joined by " / ".
    QString lastErrorLines(int count = 3) const;
    // The last line of standard error that names a full disk, an exceeded
    // quota or size limit, a read-only file system or a failing disk;
    // empty when none does.
    QString storageFailure() const;

    Q_DECLARE_TR_FUNCTIONS(ToolRunResult)
};

} // namespace zev

#pragma once

#include <QByteArray>

// How one child process ended.
struct ToolRunResult {
    bool started = false;
    bool crashed = false;
    // Stopped on request: the child was sent SIGTERM (and SIGKILL when it
    // lingered), or never started because the stop came first.
    bool cancelled = false;
    int exitCode = -1;
    // Everything the child wrote to its standard error.
    QByteArray standardError;
    qint64 durationMs = 0;

    bool succeeded() const { return started && !crashed && !cancelled && exitCode == 0; }
};

#pragma once

// How one child process ended. Most callers ignore it; the encoder needs it
// to tell a written video from a failed run.
struct ToolRunResult {
    bool started = false;
    bool crashed = false;
    int exitCode = -1;

    bool succeeded() const { return started && !crashed && exitCode == 0; }
};

#pragma once

#include "tools/ToolRunResult.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace zev {

class Cancellation;
class RunLog;

// What a caller may add to one run: a way to stop it, and a look at the
// child's standard error while it runs (ffmpeg reports its progress there).
struct ToolRunOptions {
    const Cancellation* cancellation = nullptr;
    // Called on the running thread with each piece of standard error as it
    // arrives; pieces do not follow line ends.
    std::function<void(const QByteArray&)> standardErrorReceived;
    // Keeps the child's standard output in the result instead of passing it
    // on to the application's.
    bool captureStandardOutput = false;
    // Where the run is recorded, if anywhere.
    RunLog* log = nullptr;
    // Stops the child as a cancellation does once it has run this long;
    // 0: no limit.
    int timeoutMs = 0;
};

// Runs one external program to its end. Every image and video step goes
// through here, so this is the one place that decides how a child is started:
// the arguments reach the program exactly as given (no shell, no quoting, no
// expansion), its standard input is the null device, its standard output is
// the application's, and its standard error is collected in memory while it
// runs, so a chatty child never stalls on a full pipe.
//
// Keeps no state: any number of runs may go on at once, from any thread
// (pool threads, plain background threads, the main thread); each call blocks
// its own thread until its child has exited.
class ToolRunner {
public:
    // How often a running child's standard error and the cancellation are
    // looked at, and how long a child asked to stop (SIGTERM) may take to
    // finish before it is killed.
    static constexpr int kPollMs = 50;
    static constexpr int kTerminationGraceMs = 500;

    // When the child wrote valid, non-empty UTF-8 to its standard error, one
    // empty info line is logged; the text is kept in the result, not logged.
    // A program that cannot be started logs one warning naming launchPath and
    // gives a result with started == false.
    static ToolRunResult run(const QStringList& arguments, const QString& launchPath,
                             const ToolRunOptions& options = {});

    // True when the bytes decode as UTF-8 without error to a non-empty text.
    static bool isNonEmptyUtf8(const QByteArray& bytes);
};

} // namespace zev

#pragma once

#include "pipeline/ConversionProgress.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <mutex>

class QIODevice;

namespace zev {

// Shows how far a conversion has come on the command line's error stream:
// the stage, frames done of the stage's total, the whole run's percentage
// and the time left. On a terminal it keeps rewriting one line in place; into
// a pipe or a file it writes plain lines, at most one a second, which logs
// read well. Progress arrives on the main thread; log lines may come from any
// thread, so both go through one lock.
class CliProgressReporter {
    Q_DECLARE_TR_FUNCTIONS(CliProgressReporter)

public:
    static constexpr int kPipeIntervalMs = 1000;

    CliProgressReporter(QIODevice& device, bool onTerminal);

    void show(const ConversionProgress& progress);

    // Prints a line of the program's log without tearing the progress line:
    // on a terminal the line is put back below it.
    void showLog(const QString& text);
    // Blanks the line kept in place on a terminal, so that what is printed
    // next starts at the left edge.
    void finish();

    static QString stageName(ConversionProgress::Stage stage);
    // "scanning", or "extracting 120/480 frames, 25%, 2m 10s left".
    static QString progressText(const ConversionProgress& progress);
    // "45s", "2m 10s", "1h 05m".
    static QString durationText(qint64 seconds);

private:
    void showText(const QString& text);
    void blankLine();
    void write(const QString& text);

    std::mutex mutex_;
    QIODevice& device_;
    const bool onTerminal_;
    QElapsedTimer sinceLastLine_;
    // What the terminal line shows now; empty when there is none.
    QString shownText_;
};

} // namespace zev

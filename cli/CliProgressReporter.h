#pragma once

#include "ConversionObserver.h"

#include <QMutex>
#include <QString>

class QIODevice;

// Shows how far a conversion has come on the command line's error stream.
// On a terminal it keeps rewriting one line in place; into a pipe or a file it
// writes one plain line per report ("extracting 3/6"), which logs read well.
// Reports arrive from the driver's thread and the work queue's threads.
class CliProgressReporter : public ConversionObserver {
public:
    CliProgressReporter(QIODevice& device, bool onTerminal);

    void stageStarted(Stage stage, int totalSteps) override;
    void stepFinished(Stage stage, int finishedSteps, int totalSteps) override;

    // Prints a line of the program's log without tearing the progress line:
    // on a terminal the line is put back below it.
    void showLog(const QString& text);
    // Blanks the line kept in place on a terminal, so that what is printed
    // next starts at the left edge.
    void finish();

    static QString stageName(Stage stage);
    // "scanning", or "extracting 3/6" for a stage made of batch operations.
    static QString progressText(Stage stage, int finishedSteps, int totalSteps);

private:
    void show(const QString& text);
    void blankLine();
    void write(const QString& text);

    QMutex mutex_;
    QIODevice& device_;
    const bool onTerminal_;
    // Batch operations finish in any order and report from their own
    // threads; a report older than the one shown would move the count back.
    Stage shownStage_ = Stage::Scanning;
    int shownSteps_ = -1;
    // What the terminal line shows now; empty when there is none.
    QString shownText_;
};

#include "CliProgressReporter.h"

#include <QIODevice>
#include <QMutexLocker>

CliProgressReporter::CliProgressReporter(QIODevice& device, bool onTerminal)
    : device_(device)
    , onTerminal_(onTerminal) {}

void CliProgressReporter::stageStarted(Stage stage, int totalSteps) {
    QMutexLocker lock(&mutex_);
    shownStage_ = stage;
    shownSteps_ = 0;
    show(progressText(stage, 0, totalSteps));
}

void CliProgressReporter::stepFinished(Stage stage, int finishedSteps, int totalSteps) {
    QMutexLocker lock(&mutex_);
    if (stage == shownStage_ && finishedSteps <= shownSteps_)
        return;
    shownStage_ = stage;
    shownSteps_ = finishedSteps;
    show(progressText(stage, finishedSteps, totalSteps));
}

void CliProgressReporter::showLog(const QString& text) {
    QMutexLocker lock(&mutex_);
    if (!onTerminal_ || shownText_.isEmpty()) {
        write(text + QLatin1Char('\n'));
        return;
    }
    blankLine();
    write(text + QLatin1Char('\n') + shownText_);
}

void CliProgressReporter::finish() {
    QMutexLocker lock(&mutex_);
    if (!onTerminal_ || shownText_.isEmpty())
        return;
    blankLine();
    shownText_.clear();
}

QString CliProgressReporter::stageName(Stage stage) {
    switch (stage) {
    case Stage::Scanning:
        return QStringLiteral("scanning");
    case Stage::Extracting:
        return QStringLiteral("extracting");
    case Stage::Packing:
        return QStringLiteral("packing");
    case Stage::Encoding:
        return QStringLiteral("encoding");
    }
    return QStringLiteral("working");
}

QString CliProgressReporter::progressText(Stage stage, int finishedSteps, int totalSteps) {
    if (totalSteps <= 0)
        return stageName(stage);
    return QStringLiteral("%1 %2/%3").arg(stageName(stage)).arg(finishedSteps).arg(totalSteps);
}

void CliProgressReporter::show(const QString& text) {
    if (!onTerminal_) {
        write(text + QLatin1Char('\n'));
        return;
    }
    // A shorter text would leave the end of the longer one standing.
    if (text.size() < shownText_.size())
        blankLine();
    write(QLatin1Char('\r') + text);
    shownText_ = text;
}

// Leaves the cursor at the start of an empty line.
void CliProgressReporter::blankLine() {
    write(QLatin1Char('\r') + QString(shownText_.size(), QLatin1Char(' ')) + QLatin1Char('\r'));
}

void CliProgressReporter::write(const QString& text) {
    device_.write(text.toUtf8());
}

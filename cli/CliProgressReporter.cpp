#include "CliProgressReporter.h"

#include <QIODevice>
#include <cmath>

namespace zev {

CliProgressReporter::CliProgressReporter(QIODevice& device, bool onTerminal)
    : device_(device)
    , onTerminal_(onTerminal) {}

void CliProgressReporter::show(const ConversionProgress& progress) {
    const std::lock_guard lock(mutex_);
    if (!onTerminal_ && sinceLastLine_.isValid() && !sinceLastLine_.hasExpired(kPipeIntervalMs))
        return;
    sinceLastLine_.start();
    showText(progressText(progress));
}

void CliProgressReporter::showLog(const QString& text) {
    const std::lock_guard lock(mutex_);
    if (!onTerminal_ || shownText_.isEmpty()) {
        write(text + QLatin1Char('\n'));
        return;
    }
    blankLine();
    write(text + QLatin1Char('\n') + shownText_);
}

void CliProgressReporter::finish() {
    const std::lock_guard lock(mutex_);
    if (!onTerminal_ || shownText_.isEmpty())
        return;
    blankLine();
    shownText_.clear();
}

QString CliProgressReporter::stageName(ConversionProgress::Stage stage) {
    using Stage = ConversionProgress::Stage;
    switch (stage) {
    case Stage::Scanning:
        return tr("scanning");
    case Stage::Extracting:
        return tr("extracting");
    case Stage::Packing:
        return tr("packing");
    case Stage::Encoding:
        return tr("encoding");
    }
    return tr("working");
}

QString CliProgressReporter::progressText(const ConversionProgress& progress) {
    QString stage = stageName(progress.stage);
    if (progress.trial > 0)
        stage = tr("trial %1: %2").arg(progress.trial).arg(stage);
    if (progress.total <= 0)
        return stage;
    const int percent = static_cast<int>(std::floor(progress.fraction * 100.0));
    QString text = tr("%1 %2/%3 frames, %4%")
                       .arg(stage, QString::number(progress.done), QString::number(progress.total),
                            QString::number(percent));
    if (progress.secondsLeft < 0)
        return text;
    return tr("%1, %2 left").arg(text, durationText(progress.secondsLeft));
}

QString CliProgressReporter::durationText(qint64 seconds) {
    if (seconds < 60)
        return tr("%1s").arg(seconds);
    if (seconds < 3600)
        return tr("%1m %2s").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return tr("%1h %2m").arg(seconds / 3600).arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'));
}

void CliProgressReporter::showText(const QString& text) {
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

} // namespace zev

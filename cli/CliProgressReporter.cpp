#include "CliProgressReporter.h"

#include <QIODevice>
#include <QMutexLocker>
#include <cmath>

CliProgressReporter::CliProgressReporter(QIODevice& device, bool onTerminal)
    : device_(device)
    , onTerminal_(onTerminal) {}

void CliProgressReporter::show(const ConversionProgress& progress) {
    QMutexLocker lock(&mutex_);
    if (!onTerminal_ && sinceLastLine_.isValid() && !sinceLastLine_.hasExpired(kPipeIntervalMs))
        return;
    sinceLastLine_.start();
    showText(progressText(progress));
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

QString CliProgressReporter::stageName(ConversionProgress::Stage stage) {
    using Stage = ConversionProgress::Stage;
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

QString CliProgressReporter::progressText(const ConversionProgress& progress) {
    QString text = stageName(progress.stage);
    if (progress.total <= 0)
        return text;
    text += QStringLiteral(" %1/%2 frames, %3%")
                .arg(progress.done)
                .arg(progress.total)
                .arg(static_cast<int>(std::floor(progress.fraction * 100.0)));
    if (progress.secondsLeft >= 0)
        text += QStringLiteral(", %1 left").arg(durationText(progress.secondsLeft));
    return text;
}

QString CliProgressReporter::durationText(qint64 seconds) {
    if (seconds < 60)
        return QStringLiteral("%1s").arg(seconds);
    if (seconds < 3600)
        return QStringLiteral("%1m %2s").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1h %2m").arg(seconds / 3600).arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'));
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

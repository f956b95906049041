#include "ProgressTexts.h"

namespace zev {

QString ProgressTexts::stageText(const ConversionProgress& progress) {
    using Stage = ConversionProgress::Stage;
    QString verb;
    switch (progress.stage) {
    case Stage::Scanning:
        return tr("Checking the frames…");
    case Stage::Extracting:
        verb = tr("Extracting");
        break;
    case Stage::Packing:
        verb = tr("Packing");
        break;
    case Stage::Encoding:
        verb = tr("Encoding");
        break;
    }
    if (progress.trial > 0)
        verb = tr("Trial %1: %2").arg(progress.trial).arg(verb);
    if (progress.total <= 0)
        return verb + QStringLiteral("…");
    return tr("%1 %2/%3 frames").arg(verb, QString::number(progress.done), QString::number(progress.total));
}

QString ProgressTexts::timeText(const ConversionProgress& progress) {
    const qint64 seconds = progress.secondsLeft;
    if (seconds < 0)
        return tr("Estimating the time left…");
    if (seconds < 60)
        return tr("about %1 s").arg(seconds);
    if (seconds < 3600)
        return tr("about %1 min %2 s").arg(seconds / 60).arg(seconds % 60);
    return tr("about %1 h %2 min").arg(seconds / 3600).arg(seconds / 60 % 60);
}

} // namespace zev

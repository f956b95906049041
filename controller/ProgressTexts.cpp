#include "ProgressTexts.h"

QString ProgressTexts::stageText(const ConversionProgress& progress) {
    using Stage = ConversionProgress::Stage;
    QString verb;
    switch (progress.stage) {
    case Stage::Scanning:
        return QStringLiteral("正在检查序列帧…");
    case Stage::Extracting:
        verb = QStringLiteral("正在提取");
        break;
    case Stage::Packing:
        verb = QStringLiteral("正在拼接");
        break;
    case Stage::Encoding:
        verb = QStringLiteral("正在编码");
        break;
    }
    if (progress.total <= 0)
        return verb + QStringLiteral("…");
    return QStringLiteral("%1 %2/%3 帧").arg(verb).arg(progress.done).arg(progress.total);
}

QString ProgressTexts::timeText(const ConversionProgress& progress) {
    const qint64 seconds = progress.secondsLeft;
    if (seconds < 0)
        return QStringLiteral("正在估算剩余时间…");
    if (seconds < 60)
        return QStringLiteral("约 %1 秒").arg(seconds);
    if (seconds < 3600)
        return QStringLiteral("约 %1 分 %2 秒").arg(seconds / 60).arg(seconds % 60);
    return QStringLiteral("约 %1 小时 %2 分").arg(seconds / 3600).arg(seconds / 60 % 60);
}

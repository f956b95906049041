#include "FolderOutcome.h"

#include <QJsonValue>
#include <cmath>

namespace zev {

namespace {

QJsonValue textOrNull(const QString& text) {
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

QJsonValue sizeOrNull(int pixels) {
    return pixels > 0 ? QJsonValue(pixels) : QJsonValue(QJsonValue::Null);
}

} // namespace

QJsonObject FolderOutcome::toJson() const {
    QJsonObject object{
        {QStringLiteral("folder"), folder},
        {QStringLiteral("ok"), ok},
        {QStringLiteral("message"), textOrNull(message)},
        {QStringLiteral("reason"), textOrNull(cancelled ? QStringLiteral("cancelled") : reason)},
        {QStringLiteral("video"), textOrNull(video)},
        {QStringLiteral("frames"), frames},
        // Milliseconds are plenty, and keep the numbers short.
        {QStringLiteral("seconds"), std::round(seconds * 1000.0) / 1000.0},
        {QStringLiteral("width"), sizeOrNull(width)},
        {QStringLiteral("height"), sizeOrNull(height)},
        {QStringLiteral("level"), textOrNull(level)},
        {QStringLiteral("warning"), textOrNull(warning)},
    };
    if (bitrateKbits > 0)
        object.insert(QStringLiteral("bitrate"), bitrateKbits);
    if (rateChoice)
        object.insert(QStringLiteral("rateChoice"), rateChoice->toJson());
    return object;
}

} // namespace zev

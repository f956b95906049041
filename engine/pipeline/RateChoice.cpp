#include "pipeline/RateChoice.h"

#include <QLocale>
#include <cmath>

namespace zev {

namespace {

QString bytesText(qint64 bytes) {
    return QLocale(QLocale::English).toString(bytes);
}

// To hundredths, divided last so that 34.8 is written 34.8, not
// 34.800000000000004.
double hundredths(double value) {
    return std::round(value * 100.0) / 100.0;
}

} // namespace

QString RateChoice::text() const {
    const QString settingText = QString::number(setting, 'f', 1);
    if (goal == Goal::Budget) {
        const double under = budget > 0 ? 100.0 * double(budget - bytes) / double(budget) : 0.0;
        return tr("size budget %1 bytes: %2 bytes (%3 % under) at CRF %4, after %n trial encode(s)", nullptr,
                  trials)
            .arg(bytesText(budget), bytesText(bytes), QString::number(under, 'f', 1), settingText);
    }
    return tr("quality target %1 dB: mask %2 dB, colour %3 dB at CRF %4, %5 bytes, after %n trial encode(s)",
              nullptr, trials)
        .arg(QString::number(target, 'f', 1), QString::number(maskPsnr, 'f', 2),
             QString::number(colourPsnr, 'f', 2), settingText, bytesText(bytes));
}

QJsonObject RateChoice::toJson() const {
    QJsonObject json{
        {QStringLiteral("goal"), goal == Goal::Budget ? QStringLiteral("budget") : QStringLiteral("quality")},
        {QStringLiteral("setting"), hundredths(setting)},
        {QStringLiteral("bytes"), bytes},
        {QStringLiteral("trials"), trials}};
    if (goal == Goal::Budget) {
        json.insert(QStringLiteral("budget"), budget);
    } else {
        json.insert(QStringLiteral("target"), target);
        json.insert(QStringLiteral("mask"), hundredths(maskPsnr));
        json.insert(QStringLiteral("colour"), hundredths(colourPsnr));
    }
    return json;
}

} // namespace zev

#include "pipeline/RateChoice.h"

#include <QLocale>
#include <cmath>

namespace zev {

namespace {

QString bytesText(qint64 bytes) {
    return QLocale(QLocale::English).toString(bytes);
}

double rounded(double value, double unit) {
    return std::round(value / unit) * unit;
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
        {QStringLiteral("setting"), rounded(setting, 0.01)},
        {QStringLiteral("bytes"), bytes},
        {QStringLiteral("trials"), trials}};
    if (goal == Goal::Budget) {
        json.insert(QStringLiteral("budget"), budget);
    } else {
        json.insert(QStringLiteral("target"), target);
        json.insert(QStringLiteral("mask"), rounded(maskPsnr, 0.01));
        json.insert(QStringLiteral("colour"), rounded(colourPsnr, 0.01));
    }
    return json;
}

} // namespace zev

#include "preview/QualityReport.h"

#include <QJsonValue>
#include <cmath>

namespace {

QJsonValue psnrValue(double psnr) {
    if (std::isinf(psnr))
        return QStringLiteral("inf");
    return std::round(psnr * 100.0) / 100.0;
}

QJsonObject figuresJson(const QualityReport::Figures& figures) {
    return {{QStringLiteral("average"), psnrValue(figures.averagePsnr)},
            {QStringLiteral("worst"), psnrValue(figures.worstPsnr)},
            {QStringLiteral("worstFrame"), figures.worstFrame}};
}

QString figuresText(const QString& what, const QualityReport::Figures& figures) {
    return QStringLiteral("%1 PSNR: average %2, worst %3 (frame %4)\n")
        .arg(what, QualityReport::decibels(figures.averagePsnr), QualityReport::decibels(figures.worstPsnr))
        .arg(figures.worstFrame);
}

} // namespace

void QualityReport::add(qint64 sourceFrame, const FrameComparison& comparison) {
    ++compared_;
    maskSum_ += comparison.maskMse;
    colourSum_ += comparison.colourMse;
    if (comparison.maskMse > worstMask_) {
        worstMask_ = comparison.maskMse;
        worstMaskFrame_ = sourceFrame;
    }
    if (comparison.colourMse > worstColour_) {
        worstColour_ = comparison.colourMse;
        worstColourFrame_ = sourceFrame;
    }
}

QualityReport::Figures QualityReport::figures(double sum, double worst, qint64 worstFrame) const {
    if (compared_ == 0)
        return {};
    return {FrameComparison::psnr(sum / double(compared_)), FrameComparison::psnr(worst), worstFrame};
}

QString QualityReport::toText() const {
    return figuresText(QStringLiteral("mask"), mask()) + figuresText(QStringLiteral("colour"), colour());
}

QJsonObject QualityReport::toJson() const {
    return {{QStringLiteral("frames"), compared_},
            {QStringLiteral("mask"), figuresJson(mask())},
            {QStringLiteral("colour"), figuresJson(colour())}};
}

QString QualityReport::decibels(double psnr) {
    if (std::isinf(psnr))
        return QStringLiteral("inf dB");
    return QStringLiteral("%1 dB").arg(psnr, 0, 'f', 2);
}

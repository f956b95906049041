#include "preview/QualityReport.h"

#include <QJsonValue>
#include <cmath>

namespace zev {

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

// The sentence names what it measures (mask or colour) itself, so that a
// translation can word each as a whole.
QString figuresText(const QString& sentence, const QualityReport::Figures& figures) {
    return sentence
               .arg(QualityReport::decibels(figures.averagePsnr), QualityReport::decibels(figures.worstPsnr))
               .arg(figures.worstFrame) +
           u'\n';
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
    return figuresText(tr("mask PSNR: average %1, worst %2 (frame %3)"), mask()) +
           figuresText(tr("colour PSNR: average %1, worst %2 (frame %3)"), colour());
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

} // namespace zev

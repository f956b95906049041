#include "preview/QualityReport.h"

#include <QJsonValue>
#include <cmath>

namespace zev {

namespace {

QJsonValue psnrValue(double psnr) {
    if (std::isnan(psnr))
        return QJsonValue::Null;
    if (std::isinf(psnr))
        return QStringLiteral("inf");
    return std::round(psnr * 100.0) / 100.0;
}

QJsonObject figuresJson(const QualityReport::Figures& figures) {
    return {{QStringLiteral("average"), psnrValue(figures.averagePsnr)},
            {QStringLiteral("worst"), psnrValue(figures.worstPsnr)},
            {QStringLiteral("worstFrame"), figures.worstFrame}};
}

QJsonObject compositeJson(double psnr, double meanError) {
    return {{QStringLiteral("psnr"), psnrValue(psnr)},
            {QStringLiteral("meanError"), std::round(meanError * 1000.0) / 1000.0}};
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

void QualityReport::Series::add(qint64 frame, double mse) {
    sum += mse;
    if (mse > worst) {
        worst = mse;
        worstFrame = frame;
    }
}

void QualityReport::add(qint64 sourceFrame, const FrameComparison& comparison) {
    ++compared_;
    mask_.add(sourceFrame, comparison.maskMse);
    colour_.add(sourceFrame, comparison.colourMse);
    overWhite_.add(sourceFrame, comparison.overWhiteMse);
    pixels_ += comparison.pixels;
    edgePixels_ += comparison.edgePixels;
    const auto edges = double(comparison.edgePixels);
    edgeWhiteSquares_ += comparison.edgeOverWhite.mse * edges;
    edgeWhiteErrors_ += comparison.edgeOverWhite.meanError * edges;
    edgeBlackSquares_ += comparison.edgeOverBlack.mse * edges;
    edgeBlackErrors_ += comparison.edgeOverBlack.meanError * edges;
}

QualityReport::Figures QualityReport::figures(const Series& series) const {
    if (compared_ == 0)
        return {};
    return {FrameComparison::psnr(series.sum / double(compared_)), FrameComparison::psnr(series.worst),
            series.worstFrame};
}

QualityReport::EdgeFigures QualityReport::edges() const {
    EdgeFigures figures;
    figures.pixels = edgePixels_;
    figures.share = pixels_ > 0 ? double(edgePixels_) / double(pixels_) : 0.0;
    if (edgePixels_ == 0) {
        figures.overWhitePsnr = figures.overBlackPsnr = std::nan("");
        return figures;
    }
    const auto pixels = double(edgePixels_);
    figures.overWhitePsnr = FrameComparison::psnr(edgeWhiteSquares_ / pixels);
    figures.overWhiteMeanError = edgeWhiteErrors_ / pixels;
    figures.overBlackPsnr = FrameComparison::psnr(edgeBlackSquares_ / pixels);
    figures.overBlackMeanError = edgeBlackErrors_ / pixels;
    return figures;
}

QString QualityReport::toText() const {
    QString text = figuresText(tr("mask PSNR: average %1, worst %2 (frame %3)"), mask()) +
                   figuresText(tr("colour PSNR: average %1, worst %2 (frame %3)"), colour()) +
                   figuresText(tr("over white PSNR: average %1, worst %2 (frame %3)"), overWhite());
    const EdgeFigures edge = edges();
    if (edge.pixels == 0)
        return text + tr("edge pixels (0 < alpha < 255): none") + u'\n';
    return text +
           tr("edge pixels (0 < alpha < 255, %1 % of all): over white %2, mean error %3; over black %4, "
              "mean error %5")
               .arg(edge.share * 100.0, 0, 'f', 1)
               .arg(decibels(edge.overWhitePsnr), signedLevels(edge.overWhiteMeanError),
                    decibels(edge.overBlackPsnr), signedLevels(edge.overBlackMeanError)) +
           u'\n';
}

QJsonObject QualityReport::toJson() const {
    const EdgeFigures edge = edges();
    const QJsonObject edgesJson{
        {QStringLiteral("pixels"), edge.pixels},
        {QStringLiteral("share"), std::round(edge.share * 10000.0) / 10000.0},
        {QStringLiteral("overWhite"), compositeJson(edge.overWhitePsnr, edge.overWhiteMeanError)},
        {QStringLiteral("overBlack"), compositeJson(edge.overBlackPsnr, edge.overBlackMeanError)}};
    return {{QStringLiteral("frames"), compared_},
            {QStringLiteral("mask"), figuresJson(mask())},
            {QStringLiteral("colour"), figuresJson(colour())},
            {QStringLiteral("overWhite"), figuresJson(overWhite())},
            {QStringLiteral("edges"), edgesJson}};
}

QString QualityReport::decibels(double psnr) {
    if (std::isinf(psnr))
        return QStringLiteral("inf dB");
    return QStringLiteral("%1 dB").arg(psnr, 0, 'f', 2);
}

QString QualityReport::signedLevels(double error) {
    const double rounded = std::round(error * 100.0) / 100.0;
    return (rounded > 0 ? QStringLiteral("+") : QString()) + QString::number(rounded, 'f', 2);
}

} // namespace zev

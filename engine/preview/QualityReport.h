#pragma once

#include "preview/FrameComparison.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QString>

namespace zev {

// The figures of a whole video against its source frames: for the mask and
// for the colour, the average PSNR (from the mean squared error over all
// frames, so one perfect frame does not make it infinite) and the worst
// frame's PSNR with that frame's number.
class QualityReport {
    Q_DECLARE_TR_FUNCTIONS(QualityReport)

public:
    struct Figures {
        double averagePsnr = 0;
        double worstPsnr = 0;
        qint64 worstFrame = -1;
    };

    void add(qint64 sourceFrame, const FrameComparison& comparison);

    qint64 comparedFrames() const { return compared_; }
    Figures mask() const { return figures(maskSum_, worstMask_, worstMaskFrame_); }
    Figures colour() const { return figures(colourSum_, worstColour_, worstColourFrame_); }

    // "mask PSNR: average 48.21 dB, worst 45.02 dB (frame 17)" and the same
    // for the colour, one line each.
    QString toText() const;
    // {"frames": n, "mask": {"average": …, "worst": …, "worstFrame": …},
    //  "colour": {…}}; an infinite PSNR (identical frames) is the text "inf".
    QJsonObject toJson() const;

    static QString decibels(double psnr);

private:
    Figures figures(double sum, double worst, qint64 worstFrame) const;

    qint64 compared_ = 0;
    double maskSum_ = 0;
    double colourSum_ = 0;
    double worstMask_ = -1;
    double worstColour_ = -1;
    qint64 worstMaskFrame_ = -1;
    qint64 worstColourFrame_ = -1;
};

} // namespace zev

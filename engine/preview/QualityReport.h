#pragma once

#include "preview/FrameComparison.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QString>

namespace zev {

// The figures of a whole video against its source frames: for the mask,
// the colour and every pixel laid over white, the average PSNR (from the
// mean squared error over all frames, so one perfect frame does not make it
// infinite) and the worst frame's PSNR with that frame's number; for the
// edge pixels (partly transparent in the source) laid over white and over
// black, the PSNR and the mean signed error over all of them together.
class QualityReport {
    Q_DECLARE_TR_FUNCTIONS(QualityReport)

public:
    struct Figures {
        double averagePsnr = 0;
        double worstPsnr = 0;
        qint64 worstFrame = -1;
    };
    struct EdgeFigures {
        qint64 pixels = 0;
        // Of all pixels compared, 0 to 1.
        double share = 0;
        // PSNR not a number when there are no edge pixels.
        double overWhitePsnr = 0;
        double overWhiteMeanError = 0;
        double overBlackPsnr = 0;
        double overBlackMeanError = 0;
    };

    void add(qint64 sourceFrame, const FrameComparison& comparison);

    qint64 comparedFrames() const { return compared_; }
    Figures mask() const { return figures(mask_); }
    Figures colour() const { return figures(colour_); }
    Figures overWhite() const { return figures(overWhite_); }
    EdgeFigures edges() const;

    // "mask PSNR: average 48.21 dB, worst 45.02 dB (frame 17)" and the same
    // for the colour and over white, one line each, then the edges' line.
    QString toText() const;
    // {"frames": n, "mask": {"average": …, "worst": …, "worstFrame": …},
    //  "colour": {…}, "overWhite": {…}, "edges": {"pixels": …, "share": …,
    //  "overWhite": {"psnr": …, "meanError": …}, "overBlack": {…}}}; an
    // infinite PSNR (identical frames) is the text "inf", an undefined one
    // (no edge pixels) null.
    QJsonObject toJson() const;

    static QString decibels(double psnr);
    // "+1.25" or "-0.40": a level's fraction with its sign.
    static QString signedLevels(double error);

private:
    struct Series {
        double sum = 0;
        double worst = -1;
        qint64 worstFrame = -1;
        void add(qint64 frame, double mse);
    };

    Figures figures(const Series& series) const;

    qint64 compared_ = 0;
    Series mask_;
    Series colour_;
    Series overWhite_;
    qint64 pixels_ = 0;
    qint64 edgePixels_ = 0;
    // Sums over frames of each frame's figure times its edge pixels.
    double edgeWhiteSquares_ = 0;
    double edgeWhiteErrors_ = 0;
    double edgeBlackSquares_ = 0;
    double edgeBlackErrors_ = 0;
};

} // namespace zev

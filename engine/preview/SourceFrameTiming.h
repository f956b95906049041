#pragma once

#include <QCoreApplication>
#include <QString>
#include <QtGlobal>

namespace zev {

// Which source frame a video frame shows. ZEV's videos run at 25 frames a
// second whatever the animation's own rate, so the encoder repeats frames
// of a slower animation (or drops some of a faster one): video frame i
// shows the source frame whose start lies nearest to i / 25 seconds. With a
// whole-numbered animation rate no video frame lies exactly half-way between
// two source frames, so there is no tie to break.
class SourceFrameTiming {
    Q_DECLARE_TR_FUNCTIONS(SourceFrameTiming)

public:
    // The animation's rate and where it was found, so a reader can say when
    // it had to assume one.
    struct InputRate {
        enum class From { Description, Video, FrameCounts, Assumed };
        double fps = 0;
        From from = From::Assumed;
        // Why the rate was assumed, in the locale's language; empty unless
        // from is Assumed.
        QString assumption;

        // "description", "video", "frameCounts", "assumed".
        QString fromName() const;
    };

    SourceFrameTiming(double inputFps, double outputFps);

    // The rate zev.json gives (describedFps), else the one recorded in the
    // video (recordedFps), else the only rate from 1 to 59 fps that ZEV's
    // conversion turns sourceFrames into videoFrames at; failing that, an
    // assumed one, said to be assumed: 20 fps (both front ends' first rate)
    // among several, or the ratio of the counts.
    static InputRate inputRate(qint64 describedFps, qint64 recordedFps, qint64 sourceFrames,
                               qint64 videoFrames, double outputFps);

    // The animation's rate when nothing records it: the one that makes
    // sourceFrames last as long as videoFrames, rounded to a whole number.
    static double inferInputFps(qint64 sourceFrames, qint64 videoFrames, double outputFps);

    qint64 sourceFrameFor(qint64 videoFrame) const;
    double inputFps() const { return inputFps_; }

private:
    double inputFps_;
    double outputFps_;
};

} // namespace zev

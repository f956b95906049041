#pragma once

#include <QtGlobal>

namespace zev {

// Which source frame a video frame shows. ZEV's videos run at 25 frames a
// second whatever the animation's own rate, so the encoder repeats frames
// of a slower animation (or drops some of a faster one): video frame i
// shows the source frame whose start lies nearest to i / 25 seconds. With a
// whole-numbered animation rate no video frame lies exactly half-way between
// two source frames, so there is no tie to break.
class SourceFrameTiming {
public:
    SourceFrameTiming(double inputFps, double outputFps);

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

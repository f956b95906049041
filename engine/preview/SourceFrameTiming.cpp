#include "preview/SourceFrameTiming.h"

#include <algorithm>
#include <cmath>

namespace zev {

SourceFrameTiming::SourceFrameTiming(double inputFps, double outputFps)
    : inputFps_(inputFps > 0 ? inputFps : outputFps)
    , outputFps_(outputFps > 0 ? outputFps : 25) {}

double SourceFrameTiming::inferInputFps(qint64 sourceFrames, qint64 videoFrames, double outputFps) {
    if (sourceFrames <= 0 || videoFrames <= 0 || outputFps <= 0)
        return outputFps;
    return std::max(1.0, std::round(outputFps * double(sourceFrames) / double(videoFrames)));
}

qint64 SourceFrameTiming::sourceFrameFor(qint64 videoFrame) const {
    // Measured with FFmpeg 5.1 at 20 frames a second: video frames 0 to 5
    // show source frames 0, 1, 2, 2, 3, 4.
    return qint64(std::floor(double(videoFrame) * inputFps_ / outputFps_ + 0.5));
}

} // namespace zev

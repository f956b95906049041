#include "preview/SourceFrameTiming.h"

#include "tools/VideoEncoder.h"

#include <QList>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace zev {

namespace {

// The rates the front ends accept, and the one both start with.
constexpr qint64 kLowestFps = 1;
constexpr qint64 kHighestFps = 59;
constexpr qint64 kFirstFps = 20;

QString listed(const QList<qint64>& rates) {
    QStringList names;
    for (const qint64 rate : rates)
        names.append(QString::number(rate));
    const QString last = names.takeLast();
    return names.isEmpty() ? last
                           : SourceFrameTiming::tr("%1 and %2").arg(names.join(QStringLiteral(", ")), last);
}

} // namespace

QString SourceFrameTiming::InputRate::fromName() const {
    switch (from) {
    case From::Description:
        return QStringLiteral("description");
    case From::Video:
        return QStringLiteral("video");
    case From::FrameCounts:
        return QStringLiteral("frameCounts");
    case From::Assumed:
        break;
    }
    return QStringLiteral("assumed");
}

SourceFrameTiming::SourceFrameTiming(double inputFps, double outputFps)
    : inputFps_(inputFps > 0 ? inputFps : outputFps)
    , outputFps_(outputFps > 0 ? outputFps : 25) {}

SourceFrameTiming::InputRate SourceFrameTiming::inputRate(qint64 describedFps, qint64 recordedFps,
                                                          qint64 sourceFrames, qint64 videoFrames,
                                                          double outputFps) {
    using From = InputRate::From;
    if (describedFps > 0)
        return {double(describedFps), From::Description, {}};
    if (recordedFps > 0)
        return {double(recordedFps), From::Video, {}};
    QList<qint64> fitting;
    if (outputFps == double(VideoEncoder::kVideoRate)) {
        for (qint64 fps = kLowestFps; fps <= kHighestFps; ++fps) {
            if (VideoEncoder::outputFrameCount(sourceFrames, fps) == videoFrames)
                fitting.append(fps);
        }
    }
    if (fitting.size() == 1)
        return {double(fitting.first()), From::FrameCounts, {}};
    const double ratio = inferInputFps(sourceFrames, videoFrames, outputFps);
    if (fitting.isEmpty())
        return {ratio, From::Assumed,
                tr("the video does not record the animation's rate, and no rate from %1 to %2 fps makes %3 "
                   "frames into %4 video frames: assumed %5 fps from the ratio of the counts")
                    .arg(kLowestFps)
                    .arg(kHighestFps)
                    .arg(sourceFrames)
                    .arg(videoFrames)
                    .arg(ratio)};
    const qint64 chosen =
        fitting.contains(kFirstFps)
            ? kFirstFps
            : *std::min_element(fitting.cbegin(), fitting.cend(), [ratio](qint64 a, qint64 b) {
                  return std::abs(double(a) - ratio) < std::abs(double(b) - ratio);
              });
    return {double(chosen), From::Assumed,
            tr("the video does not record the animation's rate; %1 fps each turn %2 frames into %3 video "
               "frames: assumed %4 fps")
                .arg(listed(fitting))
                .arg(sourceFrames)
                .arg(videoFrames)
                .arg(chosen)};
}

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

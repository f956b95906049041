#include "tools/VideoFacts.h"

namespace zev {

const VideoFacts::Stream& VideoFacts::video() const {
    static const Stream none;
    for (const Stream& stream : streams)
        if (stream.isVideo())
            return stream;
    return none;
}

bool VideoFacts::hasVideo() const {
    return count(QStringLiteral("video")) > 0;
}

int VideoFacts::count(const QString& type) const {
    return int(std::count_if(streams.cbegin(), streams.cend(),
                             [&type](const Stream& stream) { return stream.type == type; }));
}

qint64 VideoFacts::recordedInputFps() const {
    bool isNumber = false;
    const qint64 fps = formatTags.value(kInputFpsTag).toLongLong(&isNumber);
    return isNumber && fps > 0 ? fps : 0;
}

qint64 VideoFacts::bitRate() const {
    return video().bitRate > 0 ? video().bitRate : formatBitRate;
}

} // namespace zev

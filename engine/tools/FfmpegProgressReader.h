#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace zev {

// Reads the frame count that ffmpeg keeps printing to its standard error
// ("frame=  120 fps= 31 ..." lines ended by carriage returns) while it
// encodes. The encoder's argument list is fixed, so this is how its progress
// is followed. Pieces may cut a report anywhere; the reader keeps the tail.
class FfmpegProgressReader {
public:
    // Takes the next piece of standard error; returns the latest complete
    // frame count seen so far, or -1 when none yet.
    qint64 feed(const QByteArray& piece);
    qint64 frames() const { return frames_; }

private:
    QByteArray pending_;
    qint64 frames_ = -1;
};

} // namespace zev

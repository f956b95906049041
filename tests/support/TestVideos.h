#pragma once

#include "output/VideoFormat.h"

#include <QSize>
#include <QString>

namespace zev {

// Small real videos made with the staged ffmpeg, for the tests that read
// videos back.
class TestVideos {
public:
    // A packed video of the frames 0.png … in folder: mask left, colour on
    // black right, as the express conversion makes it, at 25 frames a
    // second and 3100 kbit/s, written to folder/output/zev.mp4 (zev.webm for
    // a WebM format).
    static bool packFolder(const QString& folder, qint64 fps = 25, const VideoFormat& format = VideoFormat());
    // frames frames of FFmpeg's moving test pattern, every one different.
    static bool testPattern(const QString& video, int frames, QSize size);
    // A file of under a kilobyte whose video stream claims frames of
    // claimed size (width and height below 65536): one small FFV1 frame in
    // Matroska, whose frame size only the container states, with that size
    // written over it.
    static bool claimingSize(const QString& video, QSize claimed);
};

} // namespace zev

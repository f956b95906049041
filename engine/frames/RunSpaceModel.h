#pragma once

#include <QtGlobal>

namespace zev {

class PngHeader;

// How many bytes a conversion writes, at least and at most, judged from
// what the checks before a run know: each frame's PNG header, the frame
// count, the frame rate and the bitrate. How much a PNG or a video
// compresses depends on the pictures, so no single figure is right: the
// least is what any pictures of that size need, the most what pictures that
// do not compress at all need. The measurements behind both are in the
// source.
class RunSpaceModel {
public:
    struct Need {
        qint64 least = 0;
        qint64 most = 0;
        Need& operator+=(const Need& other) {
            least += other.least;
            most += other.most;
            return *this;
        }
        friend Need operator+(Need a, const Need& b) { return a += b; }
    };

    // The mask, the colour on black and the packed frame a full run writes
    // for one frame.
    static Need workFiles(const PngHeader& frame);
    // The video of frameCount frames at fps and rateKbits kilobits a second.
    static Need video(qint64 frameCount, qint64 fps, qint64 rateKbits);
};

} // namespace zev

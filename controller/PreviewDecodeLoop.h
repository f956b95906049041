#pragma once

#include "core/Cancellation.h"
#include "preview/PackedFrame.h"
#include "preview/PackedVideo.h"

#include <QImage>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>

namespace zev {

// The preview's decoding, on a thread of its own: runs ffmpeg from the frame
// asked for, recombines each frame and keeps a few ready, ahead of the
// screen. Everything heavy (reading the pipe, recombining, turning the frame
// into a premultiplied image for the painter) happens here, so the window's
// thread only draws.
//
// run() is the thread's body; the other functions are called from the
// window's thread. The reports (frames ready, the end, a failure) are
// called on the decoding thread: the player passes them on to its own
// thread.
class FrameRecombiner;

class PreviewDecodeLoop {
public:
    static constexpr std::size_t kFramesAhead = 3;
    static constexpr qint64 kLapLeadFrames = 6;

    struct Frame {
        qint64 index = 0;
        // As decoded, for a comparison with the source frame, which
        // recombines it with straight colour only when one is asked for.
        PackedFrame packed;
        // Premultiplied, for drawing.
        QImage image;
    };

    struct Reports {
        std::function<void()> framesReady;
        // The generation that ended or failed, so a report from before a
        // seek is told apart from one after it.
        std::function<void(int generation)> ended;
        std::function<void(int generation, const QString& reason)> failed;
    };

    PreviewDecodeLoop(PackedVideo video, QString ffmpegPath, Reports reports);

    void run();

    // Drops the frames ready and decodes from frame on. Returns the new
    // generation.
    int request(qint64 frame);
    std::optional<Frame> take();
    // Ends run() soon: a blocking read sees the stop within the decoder's
    // poll interval.
    void stop();
    int generation() const;
    // At the end, start again from frame 0 without a pause, instead of
    // reporting the end.
    void setLooping(bool looping) { looping_.store(looping); }

private:
    bool waitForRequest(qint64& start, int& generation);
    // False when the loop must leave this decoder: a stop or a new request.
    bool waitForRoom(int generation);
    void decodeFrom(qint64 start, int generation);
    static Frame makeFrame(FrameRecombiner& recombiner, PackedFrame packed);
    // Queues the frame unless a request came in the meantime.
    bool keep(Frame frame, int generation);

    const PackedVideo video_;
    const QString ffmpegPath_;
    const Reports reports_;
    Cancellation stopping_;
    std::atomic<bool> looping_{true};

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Frame> ready_;
    std::optional<qint64> pendingStart_;
    int generation_ = 0;
    bool stopRequested_ = false;
};

} // namespace zev

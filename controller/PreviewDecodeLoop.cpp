#include "PreviewDecodeLoop.h"

#include "PngFrameFile.h"
#include "preview/FrameRecombiner.h"

namespace zev {

PreviewDecodeLoop::PreviewDecodeLoop(PackedVideo video, QString ffmpegPath, Reports reports)
    : video_(std::move(video))
    , ffmpegPath_(std::move(ffmpegPath))
    , reports_(std::move(reports)) {}

void PreviewDecodeLoop::run() {
    qint64 start = 0;
    int generation = 0;
    while (waitForRequest(start, generation))
        decodeFrom(start, generation);
}

bool PreviewDecodeLoop::waitForRequest(qint64& start, int& generation) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this]() { return stopRequested_ || pendingStart_.has_value(); });
    if (stopRequested_)
        return false;
    start = *pendingStart_;
    pendingStart_.reset();
    generation = generation_;
    return true;
}

bool PreviewDecodeLoop::waitForRoom(int generation) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this, generation]() {
        return stopRequested_ || generation_ != generation || ready_.size() < kFramesAhead;
    });
    return !stopRequested_ && generation_ == generation;
}

void PreviewDecodeLoop::decodeFrom(qint64 start, int generation) {
    Result<std::unique_ptr<PackedVideoDecoder>> decoder = video_.decode(ffmpegPath_, start, &stopping_);
    FrameRecombiner recombiner(video_.description, FrameRecombiner::Output::PremultipliedArgb32);
    std::optional<Result<std::unique_ptr<PackedVideoDecoder>>> nextLap;
    while (decoder && waitForRoom(generation)) {
        Result<std::optional<PackedFrame>> packed = (*decoder)->next();
        if (stopping_.isRequested())
            return;
        if (!packed) {
            reports_.failed(generation, packed.reason());
            return;
        }
        if (!packed->has_value()) {
            // A video without a single frame would loop for ever.
            if (!looping_.load() || (*decoder)->framesRead() == 0) {
                reports_.ended(generation);
                return;
            }
            decoder = nextLap ? std::move(*nextLap) : video_.decode(ffmpegPath_, 0, &stopping_);
            nextLap.reset();
            continue;
        }
        // Looping, the next lap's ffmpeg starts a few frames before this
        // one ends: its start-up then hides behind the frames still to come
        // instead of holding the picture at the loop's seam.
        if (looping_.load() && !nextLap && (**packed).index + kLapLeadFrames >= video_.facts.frames())
            nextLap = video_.decode(ffmpegPath_, 0, &stopping_);
        if (!keep(makeFrame(recombiner, std::move(**packed)), generation))
            return;
        reports_.framesReady();
    }
    if (!decoder)
        reports_.failed(generation, decoder.reason());
}

PreviewDecodeLoop::Frame PreviewDecodeLoop::makeFrame(FrameRecombiner& recombiner, PackedFrame packed) {
    Frame frame;
    frame.index = packed.index;
    frame.image =
        PngFrameFile::toImage(recombiner.recombine(packed), PngFrameFile::Pixels::Argb32Premultiplied);
    frame.packed = std::move(packed);
    return frame;
}

bool PreviewDecodeLoop::keep(Frame frame, int generation) {
    const std::lock_guard lock(mutex_);
    if (generation_ != generation)
        return false;
    ready_.push_back(std::move(frame));
    return true;
}

int PreviewDecodeLoop::request(qint64 frame) {
    const std::lock_guard lock(mutex_);
    ready_.clear();
    pendingStart_ = frame;
    ++generation_;
    changed_.notify_all();
    return generation_;
}

std::optional<PreviewDecodeLoop::Frame> PreviewDecodeLoop::take() {
    const std::lock_guard lock(mutex_);
    if (ready_.empty())
        return std::nullopt;
    Frame frame = std::move(ready_.front());
    ready_.pop_front();
    changed_.notify_all();
    return frame;
}

void PreviewDecodeLoop::stop() {
    stopping_.request();
    const std::lock_guard lock(mutex_);
    stopRequested_ = true;
    changed_.notify_all();
}

int PreviewDecodeLoop::generation() const {
    const std::lock_guard lock(mutex_);
    return generation_;
}

} // namespace zev

#include "PreviewPlayer.h"

#include <cmath>

namespace zev {

PreviewPlayer::PreviewPlayer(PackedVideo video, const QString& ffmpegPath, QObject* parent)
    : QObject(parent)
    , video_(std::move(video)) {
    // The reports come from the decoding thread and reach this object's
    // thread through the worker; those still waiting when the player goes
    // are dropped with it.
    PreviewDecodeLoop::Reports reports;
    reports.framesReady = [this]() { decoding_.post([this]() { framesReady(); }); };
    reports.ended = [this](int generation) {
        decoding_.post([this, generation]() { decodingEnded(generation); });
    };
    reports.failed = [this](int generation, const QString& reason) {
        decoding_.post([this, generation, reason]() { decodingFailed(generation, reason); });
    };
    decodeLoop_ = std::make_unique<PreviewDecodeLoop>(video_, ffmpegPath, std::move(reports));
    decoding_.start([loop = decodeLoop_.get()]() { loop->run(); });

    const double fps = video_.facts.framesPerSecond() > 0 ? video_.facts.framesPerSecond() : 25.0;
    frameNs_ = qint64(std::llround(1e9 / fps));
    clock_.setTimerType(Qt::PreciseTimer);
    clock_.setInterval(kTickMs);
    connect(&clock_, &QTimer::timeout, this, &PreviewPlayer::tick);
    restartAt(0);
    showOnArrival_ = true;
}

PreviewPlayer::~PreviewPlayer() {
    clock_.stop();
    decodeLoop_->stop();
    decoding_.join();
}

void PreviewPlayer::play() {
    if (playing_)
        return;
    if (endReached_ && decodeLoop_->generation() == generation_ && position_ + 1 >= video_.facts.frames())
        restartAt(0);
    playing_ = true;
    sincePlay_.start();
    nextDueNs_ = 0;
    clock_.start();
    Q_EMIT playingChanged(true);
}

void PreviewPlayer::pause() {
    if (!playing_)
        return;
    playing_ = false;
    clock_.stop();
    Q_EMIT playingChanged(false);
}

void PreviewPlayer::togglePlaying() {
    playing_ ? pause() : play();
}

void PreviewPlayer::step() {
    pause();
    if (!showNext()) {
        if (endReached_)
            restartAt(0);
        showOnArrival_ = true;
    }
}

void PreviewPlayer::seek(qint64 frame) {
    restartAt(std::clamp<qint64>(frame, 0, std::max<qint64>(video_.facts.frames() - 1, 0)));
    showOnArrival_ = true;
}

void PreviewPlayer::setLoop(bool loop) {
    loop_ = loop;
    decodeLoop_->setLooping(loop);
}

void PreviewPlayer::restartAt(qint64 frame) {
    endReached_ = false;
    generation_ = decodeLoop_->request(frame);
}

// Ticks come more often than frames, and each frame is shown when its time
// has come on the clock: a late tick (a busy machine) is made up by the
// next frame coming sooner, so the rate holds on average.
void PreviewPlayer::tick() {
    const qint64 now = sincePlay_.nsecsElapsed();
    if (now < nextDueNs_)
        return;
    if (showNext()) {
        nextDueNs_ += frameNs_;
        // Far behind (the decoder stalled): start the count again rather
        // than rush through the frames missed.
        if (now - nextDueNs_ > 3 * frameNs_)
            nextDueNs_ = now;
        return;
    }
    // Without an end, the decoder is behind: the frame stays a little
    // longer. (Looping, the decoder starts again by itself.)
    if (endReached_)
        pause();
}

bool PreviewPlayer::showNext() {
    std::optional<PreviewDecodeLoop::Frame> frame = decodeLoop_->take();
    if (!frame)
        return false;
    showOnArrival_ = false;
    position_ = frame->index;
    ++framesShown_;
    Q_EMIT frameShown(frame->index, frame->packed, frame->image);
    return true;
}

void PreviewPlayer::framesReady() {
    if (showOnArrival_)
        showNext();
}

void PreviewPlayer::decodingEnded(int generation) {
    if (generation == generation_)
        endReached_ = true;
}

void PreviewPlayer::decodingFailed(int generation, const QString& reason) {
    if (generation != generation_)
        return;
    pause();
    Q_EMIT failed(reason);
}

} // namespace zev

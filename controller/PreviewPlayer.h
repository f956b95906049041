#pragma once

#include "PreviewDecodeLoop.h"
#include "core/WorkerThread.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <memory>

namespace zev {

// Plays a ZEV video recombined: the decoding loop runs on a thread of its
// own and a timer on the window's thread shows its frames at the video's
// frame rate. Destroying the player stops the loop and its ffmpeg and waits
// for the thread, so a closed preview leaves no decoder behind.
class PreviewPlayer : public QObject {
    Q_OBJECT

public:
    PreviewPlayer(PackedVideo video, const QString& ffmpegPath, QObject* parent = nullptr);
    ~PreviewPlayer() override;

    const PackedVideo& video() const { return video_; }
    bool isPlaying() const { return playing_; }
    bool loops() const { return loop_; }
    // The frame shown last, -1 before the first.
    qint64 position() const { return position_; }
    // Frames shown since the player was made, to measure the rate.
    qint64 framesShown() const { return framesShown_; }

public Q_SLOTS:
    void play();
    void pause();
    void togglePlaying();
    // Shows the next frame (paused).
    void step();
    // Shows frame (paused or playing on from there).
    void seek(qint64 frame);
    void setLoop(bool loop);

Q_SIGNALS:
    // The frame shown now: as decoded, for comparisons, and premultiplied
    // for the painter.
    void frameShown(qint64 index, const PackedFrame& packed, const QImage& image);
    void playingChanged(bool playing);
    // Why the video cannot be played on; the player pauses.
    void failed(const QString& reason);

private:
    void tick();
    // Shows the next ready frame; false when none is ready yet.
    bool showNext();
    void framesReady();
    void decodingEnded(int generation);
    void decodingFailed(int generation, const QString& reason);
    void restartAt(qint64 frame);

    PackedVideo video_;
    std::unique_ptr<PreviewDecodeLoop> decodeLoop_;
    // Runs the loop; joined before the loop is destroyed.
    WorkerThread decoding_;
    static constexpr int kTickMs = 5;

    QTimer clock_;
    QElapsedTimer sincePlay_;
    qint64 frameNs_ = 40'000'000;
    qint64 nextDueNs_ = 0;
    bool playing_ = false;
    bool loop_ = true;
    // After a seek or a step, the next frame to arrive is shown even while
    // paused.
    bool showOnArrival_ = false;
    bool endReached_ = false;
    qint64 position_ = -1;
    qint64 framesShown_ = 0;
    int generation_ = 0;
};

} // namespace zev

#pragma once

#include "PreviewPlayer.h"
#include "core/Cancellation.h"
#include "core/WorkerThread.h"
#include "preview/FrameComparison.h"
#include "preview/FrameRecombiner.h"
#include "preview/MediaSourceReader.h"
#include "preview/RgbaFrame.h"
#include "preview/SourceFrameTiming.h"

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSlider;

namespace zev {

class DesktopAppearance;
class ZEVPreviewCanvas;

// The preview window: plays a ZEV video the way a player shows it, mask and
// colour recombined over a checkerboard or a colour, with the video's facts
// beside it. When the video is a frame folder's output/zev.mp4, it also
// shows the source frame at the same position, or where the two differ,
// with that frame's mask and colour PSNR.
//
// The video is probed on a thread of its own and decoded by a PreviewPlayer,
// so neither a slow nor a damaged video ever blocks the window: a video that
// cannot be played gives a message in the window and an alert.
class PreviewController : public QWidget {
    Q_OBJECT

public:
    enum class View { Decoded, Source, Difference, Edges };

    explicit PreviewController(QWidget* parent = nullptr);
    ~PreviewController() override;

    // Probes the video and starts playing it once it can.
    void open(const QString& videoPath);

    // Null until the video is open.
    PreviewPlayer* player() const { return player_.get(); }
    // The reason the video cannot be played, empty while all is well.
    QString failure() const { return failure_; }
    bool canCompare() const { return !sourceFrames_.isEmpty() || sourceReader_; }

    void setView(View view);
    ZEVPreviewCanvas* canvas() const;

    // The frame folder a video belongs to: the folder holding its "output"
    // folder, when the video is output/zev.mp4 or zev.webm; empty otherwise.
    static QString frameFolderOf(const QString& videoPath);

    // The window's title, the alert when a video cannot be played, and the
    // play button's two states.
    static QString titleText();
    static QString cannotPlayText();
    static QString playText();
    static QString pauseText();

Q_SIGNALS:
    // The video is open and playing, or has failed to open.
    void opened();
    void openFailed(const QString& reason);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    QWidget* buildControlBar();
    QWidget* buildInfoPanel();
    void stopProbing();
    void videoOpened(const PackedVideo& video, const std::optional<MediaSource>& source);
    void showFailure(const QString& reason);
    void findSourceFrames(const PackedVideo& video);
    void frameShown(qint64 index, const PackedFrame& packed, const QImage& image);
    void refreshView();
    QString comparisonText(const std::optional<FrameComparison>& comparison) const;
    void chooseBackdrop(int choice);
    void applyAppearance();
    QString factsText(const PackedVideo& video) const;

    // The probe of the video being opened, and its stop.
    std::unique_ptr<Cancellation> probeStop_;
    std::unique_ptr<WorkerThread> probe_;
    std::unique_ptr<PreviewPlayer> player_;
    QString videoPath_;
    QString failure_;
    View view_ = View::Decoded;

    QStringList sourceFrames_;
    // The video or animated image the video was made of, when it was.
    std::unique_ptr<MediaSourceReader> sourceReader_;
    std::optional<SourceFrameTiming> timing_;
    // The animation's rate the comparison times the frames by, and whence.
    std::optional<SourceFrameTiming::InputRate> inputRate_;
    // The frame shown last, and the source frame loaded for it.
    qint64 index_ = -1;
    PackedFrame packed_;
    std::optional<FrameRecombiner> recombiner_;
    QImage decodedImage_;
    qint64 sourceIndex_ = -1;
    RgbaFrame source_;
    QString sourceError_;

    QPointer<ZEVPreviewCanvas> canvas_;
    QPointer<QScrollArea> scroller_;
    QPointer<QPushButton> playButton_;
    QPointer<QPushButton> stepButton_;
    QPointer<QCheckBox> loopBox_;
    QPointer<QSlider> positionSlider_;
    QPointer<QLabel> positionLabel_;
    QPointer<QComboBox> backdropBox_;
    QPointer<QComboBox> scaleBox_;
    QPointer<QComboBox> viewBox_;
    QPointer<QLabel> psnrLabel_;
    QPointer<QLabel> factsLabel_;
    QPointer<QLabel> messageLabel_;
    DesktopAppearance* appearance_ = nullptr;
};

} // namespace zev

#pragma once

#include "core/Result.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QRect>
#include <QSize>
#include <QString>
#include <optional>

namespace zev {

// What a player needs to know about a ZEV video besides the video itself:
// where the mask and the colour lie in each decoded frame, whether the colour
// is premultiplied, and how to time the frames. Written as zev.json beside the
// video (docs/zev-json.md); a video without one is the default layout.
struct VideoDescription {
    enum class Layout { MaskLeft, MaskRight, MaskTop, MaskBottom };
    enum class MaskSize { Full, Half };

    // The colour description the video carries, in ffprobe's words.
    struct Colour {
        QString matrix;
        QString range;
        QString primaries;
        QString transfer;
        bool operator==(const Colour&) const = default;
    };

    static constexpr int kVersion = 1;
    static inline const QString kFileName = QStringLiteral("zev.json");

    QString video = QStringLiteral("zev.mp4");
    QSize packedSize;
    QSize sourceSize;
    QSize frameSize;
    Layout layout = Layout::MaskLeft;
    MaskSize maskSize = MaskSize::Full;
    int gap = 0;
    QRect colourRect;
    QRect maskRect;
    bool premultiplied = true;
    qint64 frames = 0;
    qint64 inputFps = 0;
    qint64 outputFps = 25;
    QString codec = QStringLiteral("h264");
    QString profile;
    QString level;
    QString pixelFormat = QStringLiteral("yuv420p");
    Colour colour;
    // The sound track's codec ("aac", "opus"); empty: the video is silent.
    QString audio;

    // The layout of the specified pipeline: mask left, colour right, each
    // half of the packed frame.
    static VideoDescription defaultFor(QSize frameSize);

    QJsonObject toJson() const;
    static Result<VideoDescription> fromJson(const QByteArray& json);

    // zev.json in the video's folder, or the default layout for a packed
    // frame of packedSize when there is none.
    static Result<VideoDescription> readBeside(const QString& videoPath, QSize packedSize);
    // zev.json's text.
    QByteArray toFileBytes() const;
    // Writes zev.json beside the video whole (DurableFile), so a reader never
    // sees half of it. A run writes it through PendingFiles instead, together
    // with its video.
    Result<> writeBeside(const QString& videoPath) const;
    static QString pathBeside(const QString& videoPath);

    static QString layoutName(Layout layout);
    static std::optional<Layout> layoutFromName(const QString& name);
    static QString maskSizeName(MaskSize size);
    static std::optional<MaskSize> maskSizeFromName(const QString& name);

    bool operator==(const VideoDescription&) const = default;

    Q_DECLARE_TR_FUNCTIONS(VideoDescription)
};

} // namespace zev

#pragma once

#include "core/Result.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QRect>
#include <QSize>
#include <QString>

namespace zev {

struct PackedLayout;

// The description gift players read from a top-level "vapc" box right after
// an MP4 file's "ftyp" box, and their web build from a JSON file beside the
// video: {"info": {"v": 2, "f": frames, "w", "h": the animation's size,
// "fps", "videoW", "videoH": the coded frame, "aFrame", "rgbFrame": [x, y,
// w, h] in coded pixels, "isVapx": 0, "orien": 0}}. The frame count and rate
// are the video's own (25 frames a second), which is what those players time
// their drawing by.
struct VapcDescription {
    Q_DECLARE_TR_FUNCTIONS(VapcDescription)

public:
    static constexpr int kVersion = 2;
    static inline const QByteArray kBoxType = QByteArrayLiteral("vapc");
    static inline const QString kFileName = QStringLiteral("vapc.json");

    qint64 frames = 0;
    int fps = 25;
    QSize size;
    QSize videoSize;
    QRect alphaRect;
    QRect colourRect;

    static VapcDescription of(const PackedLayout& layout, qint64 frames, int fps);

    // UTF-8 JSON without spaces.
    QByteArray toJson() const;
    // Refuses what a player could not use: no "info", a size or a region
    // missing, a region outside the coded frame.
    static Result<VapcDescription> fromJson(const QByteArray& json);

    static QString pathBeside(const QString& videoPath);

    bool operator==(const VapcDescription&) const = default;
};

} // namespace zev

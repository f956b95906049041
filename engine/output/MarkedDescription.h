#pragma once

#include "core/Result.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QRect>
#include <QSize>
#include <optional>

namespace zev {

struct PackedLayout;

// The description gift players find between two markers anywhere in an MP4
// file's bytes: "yyeffectmp4json[[" base64 of zlib-compressed UTF-8 JSON
// "]]yyeffectmp4json", the JSON {"descript": {"width", "height": the coded
// frame, "rgbFrame", "alphaFrame": [x, y, w, h], "fps", "isEffect": 0,
// "version": 1, "hasAudio"}, "effect": [], "datas": []}.
struct MarkedDescription {
    Q_DECLARE_TR_FUNCTIONS(MarkedDescription)

public:
    static inline const QByteArray kOpening = QByteArrayLiteral("yyeffectmp4json[[");
    static inline const QByteArray kClosing = QByteArrayLiteral("]]yyeffectmp4json");
    // A description is a few hundred bytes; anything longer between the
    // markers is not one, and is not inflated.
    static constexpr qsizetype kMaxMarkedBytes = 64 * 1024;
    static constexpr qsizetype kMaxJsonBytes = 256 * 1024;

    QSize videoSize;
    QRect colourRect;
    QRect alphaRect;
    int fps = 25;
    bool hasAudio = false;

    static MarkedDescription of(const PackedLayout& layout, int fps, bool hasAudio);

    QByteArray toJson() const;
    static Result<MarkedDescription> fromJson(const QByteArray& json);

    // The markers with the encoded JSON between them.
    QByteArray marked() const;
    // The description from the text between the markers.
    static Result<MarkedDescription> fromMarkedText(const QByteArray& text);
    // Where the first opening marker starts in bytes and the text up to its
    // closing marker; nothing when bytes hold no opening marker.
    struct Found {
        qsizetype at = -1;
        QByteArray text;
        bool closed = false;
    };
    static std::optional<Found> find(const QByteArray& bytes);

    // zlib's format (RFC 1950), as the players inflate it.
    static QByteArray deflate(const QByteArray& data);
    // Nothing when data is not a whole zlib stream or would inflate to more
    // than limit bytes.
    static std::optional<QByteArray> inflate(const QByteArray& data, qsizetype limit);

    bool operator==(const MarkedDescription&) const = default;
};

} // namespace zev

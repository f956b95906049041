#pragma once

#include <QCoreApplication>
#include <QSize>
#include <QString>
#include <optional>

namespace zev {

// The H.264 level a video of a given coded size, frame rate and bitrate
// needs, and whether phones are likely to decode it. A level bounds the
// macroblocks (16×16 pixels) of a frame, the macroblocks a second, each side
// (at most the square root of 8 × the frame's macroblocks) and the bitrate
// (1.25 times the table's for the High profile libx264 writes); x264 picks
// the same level for every size measured (128×48 to 7680×2160). Many phones' decoders
// stop at level 4.1 (8,192 macroblocks a frame, about 1920×1080), and some at
// 1920 pixels on a side whatever the level.
class H264Level {
    Q_DECLARE_TR_FUNCTIONS(H264Level)

public:
    static constexpr int kPhoneLevel = 41;
    static constexpr int kPhoneLargestSide = 1920;

    // A level: its level_idc (41 for 4.1; 9 for 1b) and its name ("4.1",
    // "5.0", "1b").
    struct Level {
        int idc = 0;
        QString name;
        bool operator==(const Level&) const = default;
    };

    // The lowest level that takes frames of size at fps frames a second and
    // bitrateKbits (0 when unknown); nothing when even the highest (6.2)
    // cannot.
    static std::optional<Level> needed(QSize size, double fps, qint64 bitrateKbits = 0);

    // Whether such a video stays within level 4.1 and 1920 pixels on a side.
    static bool fitsPhones(QSize size, double fps, qint64 bitrateKbits = 0);

    // The warning for a video that does not fit phones, or nothing. video is
    // the coded size; frame is the animation's frame size inside it: the
    // smaller frame that would fit is named with the video it would make.
    static std::optional<QString> phoneWarning(QSize video, QSize frame, double fps, qint64 bitrateKbits = 0);

    // The largest frame (even sizes, the same aspect as frame) whose video,
    // scaled with it, fits phones; invalid when none does.
    static QSize largestFittingFrame(QSize video, QSize frame, double fps, qint64 bitrateKbits = 0);

private:
    static QSize videoFor(QSize video, QSize frame, int frameWidth);
};

} // namespace zev

#pragma once

#include "output/OutputOptions.h"
#include "output/VideoTraits.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

namespace zev {

// One kind of player and what it takes, as a named bundle: the options that
// make a video it plays (layout, mask size, alignment, colour mode, codec
// and container, the descriptions written) and the limits a video must keep
// to play there, which check() holds any video against.
struct PlayerTarget {
    Q_DECLARE_TR_FUNCTIONS(PlayerTarget)

public:
    // How the player finds the regions: from a description it reads
    // (Described), from that or else the exact halves side by side
    // (DescribedOrHalves), by splitting the frame into exact halves along
    // the options' layout (Halves), or into halves of which each region
    // fills the top left (PaddedHalves).
    enum class Regions { Described, DescribedOrHalves, Halves, PaddedHalves };
    enum class ColourNeed { Premultiplied, Straight, Either };
    enum class Verdict { Plays, MayPlay, DoesNotPlay };

    struct Check {
        Verdict verdict = Verdict::Plays;
        // Why it does not play, or what could not be told.
        QStringList reasons;
        // What the player needs besides the video.
        QStringList notes;
        bool plays() const { return verdict == Verdict::Plays; }
    };

    QString name;
    // English, translated by title().
    const char* englishTitle = "";
    OutputOptions options;
    // ffprobe's names of the codecs and containers it plays.
    QStringList codecs;
    QStringList containers;
    Regions regions = Regions::Halves;
    ColourNeed colour = ColourNeed::Premultiplied;
    // Whether the coded size must be whole macroblocks.
    bool wholeBlocks = false;
    // The largest side it decodes; 0: no limit of its own.
    int largestSide = 0;

    QString title() const;
    Check check(const VideoTraits& video) const;
    // The misfits of options chosen over this target's, judged on a frame
    // of whole blocks (the frames' own size is not known yet).
    QStringList misfits(const OutputOptions& chosen) const;

    // "H.264", "H.265", "AV1", "VP9", "VP8" for ffprobe's names.
    static QString codecTitle(const QString& probedName);

private:
    void checkFormat(const VideoTraits& video, Check& check) const;
    void checkRegions(const VideoTraits& video, Check& check) const;
    void checkColour(const VideoTraits& video, Check& check) const;
    void checkSize(const VideoTraits& video, Check& check) const;
    bool halvesFit(const VideoTraits& video, OutputOptions::Layout layout, bool padded) const;
};

} // namespace zev

#include "output/PlayerTarget.h"

#include "output/PackedLayout.h"

#include <algorithm>

namespace zev {

namespace {

using Layout = OutputOptions::Layout;

bool isSideBySide(Layout layout) {
    return layout == Layout::MaskLeft || layout == Layout::MaskRight;
}

QString halvesName(Layout layout) {
    switch (layout) {
    case Layout::MaskLeft:
        return PlayerTarget::tr("mask left and colour right");
    case Layout::MaskRight:
        return PlayerTarget::tr("colour left and mask right");
    case Layout::MaskTop:
        return PlayerTarget::tr("mask above and colour below");
    case Layout::MaskBottom:
        return PlayerTarget::tr("colour above and alpha below");
    }
    return {};
}

// "H.264, H.265 or AV1"
QString listOf(const QStringList& names) {
    QStringList titles;
    for (const QString& name : names)
        titles.append(PlayerTarget::codecTitle(name));
    if (titles.size() < 2)
        return titles.join(QString());
    const QString last = titles.takeLast();
    return PlayerTarget::tr("%1 or %2", "the last of a list of choices")
        .arg(titles.join(QStringLiteral(", ")), last);
}

void refuse(PlayerTarget::Check& check, const QString& reason) {
    check.verdict = PlayerTarget::Verdict::DoesNotPlay;
    check.reasons.append(reason);
}

void doubt(PlayerTarget::Check& check, const QString& reason) {
    if (check.verdict == PlayerTarget::Verdict::Plays)
        check.verdict = PlayerTarget::Verdict::MayPlay;
    check.reasons.append(reason);
}

} // namespace

QString PlayerTarget::title() const {
    return QCoreApplication::translate("PlayerTarget", englishTitle);
}

QString PlayerTarget::codecTitle(const QString& probedName) {
    if (probedName == QLatin1String("h264"))
        return QStringLiteral("H.264");
    if (probedName == QLatin1String("hevc"))
        return QStringLiteral("H.265");
    if (probedName == QLatin1String("mp4") || probedName == QLatin1String("webm"))
        return probedName == QLatin1String("mp4") ? QStringLiteral("MP4") : QStringLiteral("WebM");
    return probedName.toUpper();
}

PlayerTarget::Check PlayerTarget::check(const VideoTraits& video) const {
    Check check;
    checkFormat(video, check);
    checkRegions(video, check);
    checkColour(video, check);
    checkSize(video, check);
    return check;
}

QStringList PlayerTarget::misfits(const OutputOptions& chosen) const {
    const PackedLayout layout =
        PackedLayout::plan(QSize(PackedLayout::kBlock * 8, PackedLayout::kBlock * 6), chosen);
    return check(VideoTraits::planned(layout, chosen)).reasons;
}

void PlayerTarget::checkFormat(const VideoTraits& video, Check& check) const {
    if (!containers.contains(video.container))
        refuse(check,
               tr("%1 file: this player reads %2 only").arg(codecTitle(video.container), listOf(containers)));
    if (!codecs.contains(video.codec))
        refuse(check, tr("%1 video: this player plays %2 only").arg(codecTitle(video.codec), listOf(codecs)));
    // Apple's decoders, Safari's among them, take H.265 in MP4 only under
    // this sample entry.
    else if (video.codec == QLatin1String("hevc") && video.container == QLatin1String("mp4") &&
             video.codecTag != QLatin1String("hvc1"))
        refuse(check, tr("H.265 without the hvc1 tag"));
}

void PlayerTarget::checkRegions(const VideoTraits& video, Check& check) const {
    switch (regions) {
    case Regions::Described:
        if (!video.descriptions.vapcBox)
            refuse(check, tr("no description box after ftyp"));
        if (options.players.vapcFile && !video.descriptions.vapcFile)
            check.notes.append(
                tr("their web build also fetches %1 beside the video").arg(QStringLiteral("vapc.json")));
        return;
    case Regions::DescribedOrHalves:
        if (video.descriptions.markers) {
            check.notes.append(tr("the player reads the description only when told to use the metadata"));
        } else if (halvesFit(video, Layout::MaskLeft, false) || halvesFit(video, Layout::MaskRight, false)) {
            check.notes.append(tr("without the marked description: only with the alpha direction set to the "
                                  "mask's side"));
        } else {
            refuse(check, tr("no yyeffectmp4json description, and the frame is not two exact halves side by "
                             "side"));
        }
        return;
    case Regions::Halves:
    case Regions::PaddedHalves:
        if (!halvesFit(video, options.layout, regions == Regions::PaddedHalves))
            refuse(check, tr("the regions are not %1 in exact halves").arg(halvesName(options.layout)));
        return;
    }
}

void PlayerTarget::checkColour(const VideoTraits& video, Check& check) const {
    if (colour == ColourNeed::Either) {
        if (video.premultiplied.value_or(false) && video.colourModeShows)
            check.notes.append(tr("premultiplied colour: tell the player so (its premultiplied attribute or "
                                  "option)"));
        return;
    }
    const bool wantsPremultiplied = colour == ColourNeed::Premultiplied;
    if (!video.colourModeShows)
        return;
    if (!video.premultiplied) {
        doubt(check,
              wantsPremultiplied
                  ? tr("the colour mode is not written and the pixels do not tell: this player draws "
                       "premultiplied colour only")
                  : tr("the colour mode is not written and the pixels do not tell: this player expects "
                       "straight colour"));
        return;
    }
    if (*video.premultiplied && !wantsPremultiplied)
        refuse(check, tr("premultiplied colour: this player expects straight"));
    else if (!*video.premultiplied && wantsPremultiplied)
        refuse(check, tr("straight colour: this player draws premultiplied colour only"));
}

void PlayerTarget::checkSize(const VideoTraits& video, Check& check) const {
    const int side = std::max(video.packed.width(), video.packed.height());
    if (largestSide > 0 && side > largestSide)
        refuse(check, tr("%1 px on a side: above %2").arg(side).arg(largestSide));
    if (wholeBlocks && (video.packed.width() % PackedLayout::kBlock != 0 ||
                        video.packed.height() % PackedLayout::kBlock != 0))
        refuse(check,
               tr("%1×%2: not a multiple of 16 pixels").arg(video.packed.width()).arg(video.packed.height()));
}

bool PlayerTarget::halvesFit(const VideoTraits& video, Layout layout, bool padded) const {
    const bool sideBySide = isSideBySide(layout);
    const int length = sideBySide ? video.packed.width() : video.packed.height();
    if (length % 2 != 0)
        return false;
    const QSize half =
        sideBySide ? QSize(length / 2, video.packed.height()) : QSize(video.packed.width(), length / 2);
    OutputOptions halvesOptions;
    halvesOptions.layout = layout;
    const PackedLayout halves = PackedLayout::place(half, halvesOptions);
    if (!padded)
        return video.colourRect == halves.colourRect && video.maskRect == halves.maskRect;
    // Each half is shown whole: the regions must lie alike at the top left of
    // their halves.
    return video.colourRect.topLeft() == halves.colourRect.topLeft() &&
           video.maskRect.topLeft() == halves.maskRect.topLeft() &&
           video.colourRect.size() == video.maskRect.size() && halves.colourRect.contains(video.colourRect);
}

} // namespace zev

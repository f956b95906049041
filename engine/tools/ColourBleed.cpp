#include "tools/ColourBleed.h"

#include <vector>

namespace zev {

namespace {

// The same expression for the three planes of a gbrp picture.
QString onEachPlane(const QString& expression) {
    return QStringLiteral("c0='%1':c1='%1':c2='%1'").arg(expression);
}

QString label(const QString& name) {
    return u'[' + name + u']';
}

QString level(const char* what, int index) {
    return QStringLiteral("[bleed%1%2]").arg(QLatin1String(what)).arg(index);
}

// zimg's scaler, not FFmpeg's: it scales each plane of planar RGB on its
// own, where FFmpeg's goes through YUV and back (green then leaks a level
// into red and blue), and it averages down to a single row or column, where
// FFmpeg's keeps one of the rows. Its bilinear filter halves as an average
// of each pixel's neighbourhood.
QString scaledTo(QSize size) {
    return QStringLiteral("zscale=w=%1:h=%2:filter=bilinear,format=gbrp16le")
        .arg(size.width())
        .arg(size.height());
}

// Each level half the one above, rounded up, down to a single pixel.
std::vector<QSize> pyramid(QSize size) {
    std::vector<QSize> sizes{size};
    while (sizes.back().width() > 1 || sizes.back().height() > 1)
        sizes.push_back(QSize((sizes.back().width() + 1) / 2, (sizes.back().height() + 1) / 2));
    return sizes;
}

// [bleedSum<k>]: the visible colour summed into each pixel of level k, and
// [bleedCover<k>] the share of it that is visible, both 16 bits on three
// planes; [bleedColour<k>] their quotient, the level's average visible
// colour; [bleedFill<k>] the level filled from the coarser ones. The finest
// level's cover is all or nothing, so its sum is its colour.
QStringList pullPush(const std::vector<QSize>& sizes) {
    QStringList steps;
    const int coarsest = int(sizes.size()) - 1;
    if (coarsest == 0)
        return {QStringLiteral("[bleedSum0]null[bleedFill0]"), QStringLiteral("[bleedCover0]nullsink")};
    // What a level keeps for itself when the next one is made from it.
    const auto kept = [&](const char* what, int k) {
        return k == coarsest ? level(what, k)
                             : QStringLiteral("[bleed%1Kept%2]").arg(QLatin1String(what)).arg(k);
    };
    for (int k = 0; k < coarsest; ++k) {
        const QSize next = sizes[size_t(k) + 1];
        const QString sumKept = k == 0 ? level("Colour", 0) : kept("Sum", k);
        const QString coverKept = k == 0 ? QString() : kept("Cover", k);
        steps << level("Sum", k) + QStringLiteral("split") + sumKept + level("SumDown", k)
              << level("SumDown", k) + scaledTo(next) + level("Sum", k + 1)
              << level("Cover", k) + QStringLiteral("split=%1").arg(k == 0 ? 2 : 3) + coverKept +
                     level("CoverDown", k) + level("CoverGain", k)
              << level("CoverDown", k) + scaledTo(next) + level("Cover", k + 1)
              << level("CoverGain", k) +
                     QStringLiteral("lut=%1").arg(
                         onEachPlane(QStringLiteral("min(65535,val*%1)").arg(ColourBleed::kLevelGain))) +
                     level("Weight", k);
    }
    for (int k = 1; k <= coarsest; ++k)
        steps << kept("Cover", k) + QStringLiteral("extractplanes=g,format=gray16le") + level("Share", k)
              << kept("Sum", k) + level("Share", k) + QStringLiteral("unpremultiply,format=gbrp16le") +
                     level("Colour", k);
    steps << level("Colour", coarsest) + QStringLiteral("null") + level("Fill", coarsest);
    for (int k = coarsest - 1; k >= 0; --k)
        steps << level("Fill", k + 1) + scaledTo(sizes[size_t(k)]) + level("Coarser", k)
              << level("Coarser", k) + level("Colour", k) + level("Weight", k) +
                     QStringLiteral("maskedmerge") + level("Fill", k);
    return steps;
}

// The fill faded to black over kSeamFade pixels along one side: a strip
// that wide cut off, shaded and put back. The two pixels at the seam are
// black, the last of the strip nearly full.
QString fadedSide(const QString& in, const QString& out, QSize size, Qt::Edge side) {
    const int fade = ColourBleed::kSeamFade;
    const bool columns = side == Qt::LeftEdge || side == Qt::RightEdge;
    const bool atStart = side == Qt::LeftEdge || side == Qt::TopEdge;
    const int length = columns ? size.width() : size.height();
    const QString position = columns ? QStringLiteral("X") : QStringLiteral("Y");
    const QString fromSeam = atStart ? position : QStringLiteral("%1-%2").arg(fade - 1).arg(position);
    const QString factor = QStringLiteral("max(0,%1-1)/%2").arg(fromSeam).arg(fade - 1);
    const auto crop = [&](int from, int count) {
        return columns ? QStringLiteral("crop=%1:%2:%3:0").arg(count).arg(size.height()).arg(from)
                       : QStringLiteral("crop=%1:%2:0:%3").arg(size.width()).arg(count).arg(from);
    };
    const QString strip = label(out + QStringLiteral("Strip"));
    const QString rest = label(out + QStringLiteral("Rest"));
    return label(in) + QStringLiteral("split") + label(in + u'A') + label(in + u'B') + u';' +
           label(in + u'A') + crop(atStart ? 0 : length - fade, fade) +
           QStringLiteral(",geq=r='r(X,Y)*%1':g='g(X,Y)*%1':b='b(X,Y)*%1'").arg(factor) + strip + u';' +
           label(in + u'B') + crop(atStart ? fade : 0, length - fade) + rest + u';' +
           (atStart ? strip + rest : rest + strip) +
           (columns ? QStringLiteral("hstack") : QStringLiteral("vstack")) + label(out);
}

} // namespace

QString ColourBleed::lowestExpression() {
    // 127 / alpha levels of colour are 127/255 of a level seen: under half.
    return QStringLiteral("if(y,ceil(max(0,x-127/y)),0)");
}

QString ColourBleed::highestExpression() {
    return QStringLiteral("if(y,floor(min(255,x+127/y)),255)");
}

QStringList ColourBleed::steps(const QString& colourIn, const QString& alphaIn, const QString& out,
                               QSize size, Qt::Edges seams) {
    QStringList steps{
        label(colourIn) + QStringLiteral("split=3[bleedColour][bleedLowColour][bleedHighColour]"),
        label(alphaIn) + QStringLiteral("split=4[bleedAlpha][bleedSeen][bleedLowAlpha][bleedHighAlpha]"),
        // The visible colour, black elsewhere, and where it is seen.
        QStringLiteral("[bleedColour][bleedAlpha]lut2=%1,format=gbrp16le[bleedSum0]")
            .arg(onEachPlane(QStringLiteral("if(y,x,0)"))),
        QStringLiteral("[bleedSeen]lut=%1,format=gbrp16le[bleedCover0]")
            .arg(onEachPlane(QStringLiteral("if(val,255,0)"))),
    };
    steps += pullPush(pyramid(size));
    QString filled = QStringLiteral("bleedFilled");
    // zimg rounds to 8 bits alike on every plane; FFmpeg's scaler dithers.
    steps << QStringLiteral("[bleedFill0]zscale=dither=none,format=gbrp") + label(filled);
    for (const Qt::Edge side : {Qt::LeftEdge, Qt::RightEdge, Qt::TopEdge, Qt::BottomEdge}) {
        const int length = side == Qt::LeftEdge || side == Qt::RightEdge ? size.width() : size.height();
        if (!seams.testFlag(side) || length < 2 * kSeamFade)
            continue;
        const QString faded = filled + QStringLiteral("Faded");
        steps << fadedSide(filled, faded, size, side);
        filled = faded;
    }
    steps << QStringLiteral("[bleedLowColour][bleedLowAlpha]lut2=%1[bleedLowest]")
                 .arg(onEachPlane(lowestExpression()))
          << QStringLiteral("[bleedHighColour][bleedHighAlpha]lut2=%1[bleedHighest]")
                 .arg(onEachPlane(highestExpression()))
          << label(filled) + QStringLiteral("[bleedLowest]blend=all_mode=lighten[bleedRaised]")
          << QStringLiteral("[bleedRaised][bleedHighest]blend=all_mode=darken") + label(out);
    return steps;
}

} // namespace zev

#include "tools/ExpressEncoder.h"

#include "tools/ColourBleed.h"
#include "tools/ColourDescription.h"
#include "tools/VideoEncoder.h"
#include "tools/VideoRewriter.h"

#include <QFileInfo>

namespace zev {

namespace {

QString scaleTo(QSize size) {
    return QStringLiteral("scale=%1:%2:flags=area").arg(size.width()).arg(size.height());
}

// The region at the top left first, the other where the layout puts it.
QString stacked(const PackedLayout& layout) {
    const bool maskFirst = layout.maskRect.topLeft().isNull();
    const QString inputs = maskFirst ? QStringLiteral("[mask][colour]") : QStringLiteral("[colour][mask]");
    const QPoint second = (maskFirst ? layout.colourRect : layout.maskRect).topLeft();
    if (layout.exactHalves())
        return inputs +
               (second.y() == 0 ? QStringLiteral("hstack=inputs=2") : QStringLiteral("vstack=inputs=2"));
    QString graph =
        inputs +
        QStringLiteral("xstack=inputs=2:layout=0_0|%1_%2:fill=black").arg(second.x()).arg(second.y());
    if (layout.maskRect.united(layout.colourRect).size() != layout.packed)
        graph +=
            QStringLiteral(",pad=%1:%2:0:0:black").arg(layout.packed.width()).arg(layout.packed.height());
    return graph;
}

// The colour × alpha at the frames' size, then scaled; straight colour
// divided by the scaled alpha again and given the edge treatment there.
QStringList scaledColour(const PackedLayout& layout, bool premultiplied) {
    const QString scale = scaleTo(layout.frame);
    if (premultiplied)
        return {QStringLiteral("[rgb][alpha]blend=all_mode=multiply,%1[colour]").arg(scale)};
    QStringList steps{
        QStringLiteral("[rgb][alpha]blend=all_mode=multiply,%1[scaledColour]").arg(scale),
        QStringLiteral("[alphaToScale]%1,split[divisor][keep]").arg(scale),
        QStringLiteral("[scaledColour][divisor]unpremultiply=inplace=0[straight]"),
    };
    return steps +
           ColourBleed::steps(QStringLiteral("straight"), QStringLiteral("keep"), QStringLiteral("colour"));
}

} // namespace

QString ExpressEncoder::filterGraph(const PackedLayout& layout, bool premultiplied) {
    if (premultiplied && layout == PackedLayout::place(layout.source, OutputOptions()))
        return kFilterGraph;
    const bool scaled = layout.frame != layout.source;
    const bool straightScaled = !premultiplied && scaled;
    const QString maskScale =
        layout.maskRect.size() == layout.source ? QString() : u',' + scaleTo(layout.maskRect.size());
    QStringList steps{
        QStringLiteral("format=rgba,split[m][c]"),
        QStringLiteral("[m]alphaextract,format=gbrp,split=%1[maskAtSource][alpha]%2")
            .arg(straightScaled ? 3 : 2)
            .arg(straightScaled ? QStringLiteral("[alphaToScale]") : QString()),
        QStringLiteral("[maskAtSource]null%1[mask]").arg(maskScale),
        QStringLiteral("[c]format=gbrp[rgb]"),
    };
    if (scaled)
        steps.append(scaledColour(layout, premultiplied));
    else if (premultiplied)
        steps.append(QStringLiteral("[rgb][alpha]blend=all_mode=multiply[colour]"));
    else
        steps.append(
            ColourBleed::steps(QStringLiteral("rgb"), QStringLiteral("alpha"), QStringLiteral("colour")));
    steps.append(stacked(layout));
    return steps.join(u';');
}

QStringList ExpressEncoder::arguments(const QString& linkFolder, const QString& videoFile, qint64 fps,
                                      qint64 rate, const QString& filterGraph, std::optional<int> crf,
                                      qint64 outputFrames) {
    const QStringList quality = crf ? QStringList{QStringLiteral("-crf"), QString::number(*crf)}
                                    : QStringList{QStringLiteral("-b"), QString::number(rate) + u'k'};
    QStringList arguments{
        // A frame that cannot be decoded ends the run with an error instead
        // of being left out of a video announced as finished.
        QStringLiteral("-xerror"),
        QStringLiteral("-f"),
        QStringLiteral("image2"),
        QStringLiteral("-framerate"),
        QString::number(fps),
        QStringLiteral("-start_number"),
        QStringLiteral("0"),
        QStringLiteral("-i"),
        framePattern(linkFolder),
        QStringLiteral("-vf"),
        outputFrames > 0 ? filterGraph + kHoldLastImage : filterGraph,
        QStringLiteral("-vcodec"),
        QStringLiteral("libx264"),
        QStringLiteral("-r"),
        QString::number(VideoEncoder::kVideoRate),
        quality.at(0),
        quality.at(1),
        QStringLiteral("-y"),
        QStringLiteral("-pix_fmt"),
        QStringLiteral("yuv420p"),
    };
    if (outputFrames > 0)
        arguments << QStringLiteral("-frames:v") << QString::number(outputFrames);
    // The colour description and the leading index the default pipeline's
    // rewrite gives its video, here written at once.
    arguments += ColourDescription::encoderOptions();
    arguments += {QStringLiteral("-movflags"), VideoRewriter::kMovFlags};
    // The temporary name's extension is ours, but the container should not
    // depend on it.
    arguments += {QStringLiteral("-f"), QStringLiteral("mp4"), outputUrl(videoFile)};
    return arguments;
}

QString ExpressEncoder::framePattern(const QString& linkFolder) {
    QString folder = QFileInfo(linkFolder).absoluteFilePath();
    folder.replace(u'%', QStringLiteral("%%"));
    return QStringLiteral("file:") + folder + QStringLiteral("/%d.png");
}

QString ExpressEncoder::outputUrl(const QString& videoFile) {
    return QStringLiteral("file:") + QFileInfo(videoFile).absoluteFilePath();
}

} // namespace zev

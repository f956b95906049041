#include "preview/VideoExamination.h"

#include "output/RegionArray.h"

#include <QJsonArray>

namespace zev {

namespace {

QString sizeText(QSize size) {
    return QStringLiteral("%1×%2").arg(size.width()).arg(size.height());
}

QString rectText(const QRect& rect) {
    return QStringLiteral("%1,%2 %3").arg(rect.x()).arg(rect.y()).arg(sizeText(rect.size()));
}

QJsonObject sizeJson(QSize size) {
    return {{QStringLiteral("width"), size.width()}, {QStringLiteral("height"), size.height()}};
}

QString streamText(const VideoFacts::Stream& video) {
    QStringList parts{video.codecTag.isEmpty() ? video.codec
                                               : QStringLiteral("%1 (%2)").arg(video.codec, video.codecTag)};
    if (!video.profile.isEmpty())
        parts.append(video.level.isEmpty() ? video.profile : video.profile + u' ' + video.level);
    parts.append(sizeText(video.size));
    parts.append(video.pixelFormat);
    parts.append(VideoExamination::tr("%1 fps").arg(video.framesPerSecond(), 0, 'g', 4));
    parts.append(VideoExamination::tr("%1 frames").arg(video.packets));
    parts.append(VideoExamination::tr("colour %1").arg(video.colour.text()));
    return parts.join(QStringLiteral(", "));
}

QString soundText(const VideoFacts& facts) {
    QStringList tracks;
    for (const VideoFacts::Stream& stream : facts.streams)
        if (stream.isAudio())
            tracks.append(VideoExamination::tr("%1, %2 Hz, %3 channels, %4 s")
                              .arg(stream.codec)
                              .arg(stream.sampleRate)
                              .arg(stream.channels)
                              .arg(stream.durationSeconds, 0, 'f', 2));
    return tracks.isEmpty() ? VideoExamination::tr("none") : tracks.join(QStringLiteral("; "));
}

QString tagsText(const QMap<QString, QString>& tags) {
    QStringList parts;
    for (auto tag = tags.cbegin(); tag != tags.cend(); ++tag)
        parts.append(tag.key() + u'=' +
                     (tag.value().size() > 60 ? tag.value().left(57) + QStringLiteral("...") : tag.value()));
    return parts.isEmpty() ? VideoExamination::tr("none") : parts.join(QStringLiteral(", "));
}

QString describedText(const VideoExamination::Described& described) {
    if (!described.ok)
        return VideoExamination::tr("unusable: %1").arg(described.problem);
    return VideoExamination::tr("colour %1, mask %2 in %3")
        .arg(rectText(described.colourRect), rectText(described.maskRect), sizeText(described.packed));
}

QString verdictLine(const VideoExamination::TargetVerdict& target) {
    QString line = QStringLiteral("    %1  %2")
                       .arg(target.name, -15)
                       .arg(VideoExamination::verdictText(target.check.verdict));
    if (!target.check.reasons.isEmpty())
        line += QStringLiteral(": ") + target.check.reasons.join(QStringLiteral("; "));
    if (!target.check.notes.isEmpty())
        line += QStringLiteral(" (") + target.check.notes.join(QStringLiteral("; ")) + u')';
    return line + u'\n';
}

} // namespace

QString VideoExamination::verdictText(PlayerTarget::Verdict verdict) {
    switch (verdict) {
    case PlayerTarget::Verdict::Plays:
        return tr("plays");
    case PlayerTarget::Verdict::MayPlay:
        return tr("may play");
    case PlayerTarget::Verdict::DoesNotPlay:
        return tr("does not play");
    }
    return {};
}

QString VideoExamination::colourModeText() const {
    if (!colourModeShows)
        return tr("does not show (the alpha is only fully opaque or fully clear)");
    if (!premultiplied)
        return tr("unknown (not written, and the pixels do not tell)");
    const QString mode = *premultiplied ? tr("premultiplied") : tr("straight");
    return colourModeFrom == QLatin1String("pixels") ? tr("%1 (told from the pixels)").arg(mode)
                                                     : tr("%1 (%2)").arg(mode, colourModeFrom);
}

QString VideoExamination::toText() const {
    QString text = path + u'\n';
    text += tr("  container: %1, %2\n")
                .arg(facts.formatName, !facts.isMp4() ? tr("no index")
                                       : indexFirst   ? tr("index before the frames")
                                                      : tr("index after the frames"));
    text += tr("  video: %1\n").arg(streamText(facts.video()));
    text += tr("  sound: %1\n").arg(soundText(facts));
    text += tr("  tags: %1\n").arg(tagsText(facts.formatTags));
    text += tr("  descriptions:\n");
    if (descriptions.isEmpty())
        text += tr("    none (no zev.json, vapc box, marked metadata or vapc.json)\n");
    for (const Described& described : descriptions)
        text += QStringLiteral("    %1: %2\n").arg(described.source, describedText(described));
    text += disagreements.isEmpty()
                ? (descriptions.size() > 1 ? tr("  they agree with each other and the video\n") : QString())
                : tr("  disagreements: %1\n").arg(disagreements.join(QStringLiteral("; ")));
    text += tr("  regions: colour %1, mask %2 (%3)\n")
                .arg(rectText(colourRect), rectText(maskRect),
                     regionsFrom.isEmpty() ? tr("the default halves: no description")
                                           : tr("from %1").arg(regionsFrom));
    text += tr("  colour mode: %1\n").arg(colourModeText());
    text += tr("  targets:\n");
    for (const TargetVerdict& target : targets)
        text += verdictLine(target);
    return text;
}

QJsonObject VideoExamination::toJson() const {
    const VideoFacts::Stream& video = facts.video();
    QJsonArray sound;
    for (const VideoFacts::Stream& stream : facts.streams)
        if (stream.isAudio())
            sound.append(QJsonObject{{QStringLiteral("codec"), stream.codec},
                                     {QStringLiteral("sampleRate"), stream.sampleRate},
                                     {QStringLiteral("channels"), stream.channels},
                                     {QStringLiteral("seconds"), stream.durationSeconds}});
    QJsonObject tags;
    for (auto tag = facts.formatTags.cbegin(); tag != facts.formatTags.cend(); ++tag)
        tags.insert(tag.key(), tag.value());
    QJsonArray found;
    for (const Described& described : descriptions) {
        QJsonObject entry{{QStringLiteral("source"), described.source}, {QStringLiteral("ok"), described.ok}};
        if (described.ok) {
            entry.insert(QStringLiteral("size"), sizeJson(described.packed));
            entry.insert(QStringLiteral("colourRect"), RegionArray::toJson(described.colourRect));
            entry.insert(QStringLiteral("maskRect"), RegionArray::toJson(described.maskRect));
        } else {
            entry.insert(QStringLiteral("problem"), described.problem);
        }
        found.append(entry);
    }
    QJsonArray verdicts;
    for (const TargetVerdict& target : targets)
        verdicts.append(
            QJsonObject{{QStringLiteral("name"), target.name},
                        {QStringLiteral("title"), target.title},
                        {QStringLiteral("verdict"), verdictText(target.check.verdict)},
                        {QStringLiteral("plays"), target.check.plays()},
                        {QStringLiteral("reasons"), QJsonArray::fromStringList(target.check.reasons)},
                        {QStringLiteral("notes"), QJsonArray::fromStringList(target.check.notes)}});
    const QString mode = !colourModeShows ? QStringLiteral("not shown")
                         : !premultiplied ? QStringLiteral("unknown")
                         : *premultiplied ? QStringLiteral("premultiplied")
                                          : QStringLiteral("straight");
    return {
        {QStringLiteral("video"), path},
        {QStringLiteral("container"), facts.formatName},
        {QStringLiteral("indexFirst"), indexFirst},
        {QStringLiteral("codec"), video.codec},
        {QStringLiteral("codecTag"), video.codecTag},
        {QStringLiteral("profile"), video.profile},
        {QStringLiteral("level"), video.level},
        {QStringLiteral("size"), sizeJson(video.size)},
        {QStringLiteral("pixelFormat"), video.pixelFormat},
        {QStringLiteral("fps"), video.framesPerSecond()},
        {QStringLiteral("frames"), video.packets},
        {QStringLiteral("colour"), video.colour.text()},
        {QStringLiteral("sound"), sound},
        {QStringLiteral("tags"), tags},
        {QStringLiteral("descriptions"), found},
        {QStringLiteral("agree"), disagreements.isEmpty()},
        {QStringLiteral("disagreements"), QJsonArray::fromStringList(disagreements)},
        {QStringLiteral("regionsFrom"),
         regionsFrom.isEmpty() ? QStringLiteral("default halves") : regionsFrom},
        {QStringLiteral("colourRect"), RegionArray::toJson(colourRect)},
        {QStringLiteral("maskRect"), RegionArray::toJson(maskRect)},
        {QStringLiteral("colourMode"), mode},
        {QStringLiteral("colourModeFrom"), colourModeFrom},
        {QStringLiteral("targets"), verdicts},
    };
}

} // namespace zev

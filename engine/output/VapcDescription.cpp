#include "output/VapcDescription.h"

#include "output/PackedLayout.h"
#include "output/RegionArray.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

namespace zev {

namespace {

int wholeNumber(const QJsonObject& object, const char* key) {
    const double number = object.value(QLatin1String(key)).toDouble(-1);
    return number >= 0 && number <= RegionArray::kLargestSide && number == int(number) ? int(number) : -1;
}

} // namespace

VapcDescription VapcDescription::of(const PackedLayout& layout, qint64 frames, int fps) {
    VapcDescription description;
    description.frames = frames;
    description.fps = fps;
    description.size = layout.frame;
    description.videoSize = layout.packed;
    description.alphaRect = layout.maskRect;
    description.colourRect = layout.colourRect;
    return description;
}

QByteArray VapcDescription::toJson() const {
    const QJsonObject info{
        {QStringLiteral("v"), kVersion},
        {QStringLiteral("f"), frames},
        {QStringLiteral("w"), size.width()},
        {QStringLiteral("h"), size.height()},
        {QStringLiteral("fps"), fps},
        {QStringLiteral("videoW"), videoSize.width()},
        {QStringLiteral("videoH"), videoSize.height()},
        {QStringLiteral("aFrame"), RegionArray::toJson(alphaRect)},
        {QStringLiteral("rgbFrame"), RegionArray::toJson(colourRect)},
        {QStringLiteral("isVapx"), 0},
        {QStringLiteral("orien"), 0},
    };
    return QJsonDocument(QJsonObject{{QStringLiteral("info"), info}}).toJson(QJsonDocument::Compact);
}

Result<VapcDescription> VapcDescription::fromJson(const QByteArray& json) {
    using Failed = Result<VapcDescription>;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (!document.isObject())
        return Failed::failure(tr("the vapc description is not a JSON object: %1").arg(error.errorString()));
    const QJsonObject info = document.object().value(QStringLiteral("info")).toObject();
    if (info.isEmpty())
        return Failed::failure(tr("the vapc description has no \"info\""));
    VapcDescription description;
    description.frames = wholeNumber(info, "f");
    description.fps = wholeNumber(info, "fps");
    description.size = QSize(wholeNumber(info, "w"), wholeNumber(info, "h"));
    description.videoSize = QSize(wholeNumber(info, "videoW"), wholeNumber(info, "videoH"));
    if (description.size.isEmpty() || description.videoSize.isEmpty())
        return Failed::failure(tr("the vapc description names no animation or video size"));
    if (description.fps <= 0)
        return Failed::failure(tr("the vapc description names no frame rate"));
    const std::optional<QRect> alpha =
        RegionArray::fromJson(info.value(QStringLiteral("aFrame")), description.videoSize);
    const std::optional<QRect> colour =
        RegionArray::fromJson(info.value(QStringLiteral("rgbFrame")), description.videoSize);
    if (!alpha || !colour)
        return Failed::failure(tr("the vapc description's regions do not lie inside its %1×%2 video")
                                   .arg(description.videoSize.width())
                                   .arg(description.videoSize.height()));
    description.alphaRect = *alpha;
    description.colourRect = *colour;
    return description;
}

QString VapcDescription::pathBeside(const QString& videoPath) {
    return QFileInfo(videoPath).dir().filePath(kFileName);
}

} // namespace zev

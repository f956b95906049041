#include "output/VideoDescription.h"

#include "storage/DurableFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <array>
#include <utility>

namespace zev {

namespace {

const std::array<std::pair<VideoDescription::Layout, const char*>, 4> kLayoutNames = {{
    {VideoDescription::Layout::MaskLeft, "mask-left"},
    {VideoDescription::Layout::MaskRight, "mask-right"},
    {VideoDescription::Layout::MaskTop, "mask-top"},
    {VideoDescription::Layout::MaskBottom, "mask-bottom"},
}};

QJsonObject sizeToJson(QSize size) {
    return QJsonObject{{QStringLiteral("width"), size.width()}, {QStringLiteral("height"), size.height()}};
}

QJsonObject rectToJson(const QRect& rect) {
    return QJsonObject{{QStringLiteral("x"), rect.x()},
                       {QStringLiteral("y"), rect.y()},
                       {QStringLiteral("width"), rect.width()},
                       {QStringLiteral("height"), rect.height()}};
}

QSize sizeFromJson(const QJsonValue& value) {
    const QJsonObject object = value.toObject();
    return {object.value(QStringLiteral("width")).toInt(), object.value(QStringLiteral("height")).toInt()};
}

QRect rectFromJson(const QJsonValue& value) {
    const QJsonObject object = value.toObject();
    return {object.value(QStringLiteral("x")).toInt(-1), object.value(QStringLiteral("y")).toInt(-1),
            object.value(QStringLiteral("width")).toInt(), object.value(QStringLiteral("height")).toInt()};
}

// A rectangle a player can cut out: not empty and inside the packed frame.
bool fitsInside(const QRect& rect, QSize packed) {
    return rect.isValid() && QRect(QPoint(0, 0), packed).contains(rect);
}

} // namespace

VideoDescription VideoDescription::defaultFor(QSize frameSize) {
    VideoDescription description;
    description.sourceSize = frameSize;
    description.frameSize = frameSize;
    description.packedSize = QSize(2 * frameSize.width(), frameSize.height());
    description.maskRect = QRect(QPoint(0, 0), frameSize);
    description.colourRect = QRect(QPoint(frameSize.width(), 0), frameSize);
    return description;
}

QJsonObject VideoDescription::toJson() const {
    QJsonObject json{
        {QStringLiteral("format"), QStringLiteral("zev")},
        {QStringLiteral("version"), kVersion},
        {QStringLiteral("video"), video},
        {QStringLiteral("width"), packedSize.width()},
        {QStringLiteral("height"), packedSize.height()},
        {QStringLiteral("source"), sizeToJson(sourceSize)},
        {QStringLiteral("frame"), sizeToJson(frameSize)},
        {QStringLiteral("layout"), layoutName(layout)},
        {QStringLiteral("maskSize"), maskSizeName(maskSize)},
        {QStringLiteral("gap"), gap},
        {QStringLiteral("colourRect"), rectToJson(colourRect)},
        {QStringLiteral("maskRect"), rectToJson(maskRect)},
        {QStringLiteral("premultiplied"), premultiplied},
        {QStringLiteral("frames"), frames},
        {QStringLiteral("inputFps"), inputFps},
        {QStringLiteral("outputFps"), outputFps},
        {QStringLiteral("codec"), codec},
        {QStringLiteral("profile"), profile},
        {QStringLiteral("level"), level},
        {QStringLiteral("pixelFormat"), pixelFormat},
        {QStringLiteral("audio"), audio},
    };
    json.insert(QStringLiteral("colour"), QJsonObject{{QStringLiteral("matrix"), colour.matrix},
                                                      {QStringLiteral("range"), colour.range},
                                                      {QStringLiteral("primaries"), colour.primaries},
                                                      {QStringLiteral("transfer"), colour.transfer}});
    return json;
}

Result<VideoDescription> VideoDescription::fromJson(const QByteArray& bytes) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (!document.isObject())
        return Result<VideoDescription>::failure(
            tr("the description is not a JSON object: %1").arg(error.errorString()));
    const QJsonObject json = document.object();
    if (json.value(QStringLiteral("format")).toString() != QStringLiteral("zev"))
        return Result<VideoDescription>::failure(tr("the description's format is not \"zev\""));
    const int version = json.value(QStringLiteral("version")).toInt();
    if (version < 1 || version > kVersion)
        return Result<VideoDescription>::failure(
            tr("the description's version %1 is not one this program reads (1 to %2)")
                .arg(version)
                .arg(kVersion));

    VideoDescription description;
    description.video = json.value(QStringLiteral("video")).toString(description.video);
    description.packedSize =
        QSize(json.value(QStringLiteral("width")).toInt(), json.value(QStringLiteral("height")).toInt());
    description.sourceSize = sizeFromJson(json.value(QStringLiteral("source")));
    description.frameSize = sizeFromJson(json.value(QStringLiteral("frame")));
    const std::optional<Layout> layout = layoutFromName(json.value(QStringLiteral("layout")).toString());
    const std::optional<MaskSize> maskSize =
        maskSizeFromName(json.value(QStringLiteral("maskSize")).toString());
    if (!layout || !maskSize)
        return Result<VideoDescription>::failure(tr("the description names an unknown layout"));
    description.layout = *layout;
    description.maskSize = *maskSize;
    description.gap = json.value(QStringLiteral("gap")).toInt();
    description.colourRect = rectFromJson(json.value(QStringLiteral("colourRect")));
    description.maskRect = rectFromJson(json.value(QStringLiteral("maskRect")));
    if (!fitsInside(description.colourRect, description.packedSize) ||
        !fitsInside(description.maskRect, description.packedSize))
        return Result<VideoDescription>::failure(
            tr("the description's regions do not lie inside its %1×%2 frame")
                .arg(description.packedSize.width())
                .arg(description.packedSize.height()));
    // Readers make frames of this size: it is the colour region's, which
    // lies inside the packed frame, whatever the file says.
    if (!json.contains(QStringLiteral("frame")))
        description.frameSize = description.colourRect.size();
    if (description.frameSize != description.colourRect.size())
        return Result<VideoDescription>::failure(
            tr("the description's frame of %1×%2 is not the size of its colour region, %3×%4")
                .arg(description.frameSize.width())
                .arg(description.frameSize.height())
                .arg(description.colourRect.width())
                .arg(description.colourRect.height()));
    description.premultiplied = json.value(QStringLiteral("premultiplied")).toBool(true);
    description.frames = json.value(QStringLiteral("frames")).toInteger();
    description.inputFps = json.value(QStringLiteral("inputFps")).toInteger();
    description.outputFps = json.value(QStringLiteral("outputFps")).toInteger(25);
    description.codec = json.value(QStringLiteral("codec")).toString(description.codec);
    description.profile = json.value(QStringLiteral("profile")).toString();
    description.level = json.value(QStringLiteral("level")).toString();
    description.pixelFormat = json.value(QStringLiteral("pixelFormat")).toString(description.pixelFormat);
    description.audio = json.value(QStringLiteral("audio")).toString();
    const QJsonObject colour = json.value(QStringLiteral("colour")).toObject();
    description.colour = {colour.value(QStringLiteral("matrix")).toString(),
                          colour.value(QStringLiteral("range")).toString(),
                          colour.value(QStringLiteral("primaries")).toString(),
                          colour.value(QStringLiteral("transfer")).toString()};
    return description;
}

QString VideoDescription::pathBeside(const QString& videoPath) {
    return QFileInfo(videoPath).dir().filePath(kFileName);
}

Result<VideoDescription> VideoDescription::readBeside(const QString& videoPath, QSize packedSize) {
    QFile file(pathBeside(videoPath));
    if (!file.exists())
        return defaultFor(QSize(packedSize.width() / 2, packedSize.height()));
    if (!file.open(QIODevice::ReadOnly))
        return Result<VideoDescription>::failure(
            tr("cannot read %1: %2").arg(file.fileName(), file.errorString()));
    Result<VideoDescription> description = fromJson(file.readAll());
    if (!description)
        return Result<VideoDescription>::failure(
            QStringLiteral("%1: %2").arg(file.fileName(), description.reason()));
    return description;
}

QByteArray VideoDescription::toFileBytes() const {
    return QJsonDocument(toJson()).toJson(QJsonDocument::Indented);
}

Result<> VideoDescription::writeBeside(const QString& videoPath) const {
    return DurableFile::write(pathBeside(videoPath), toFileBytes());
}

QString VideoDescription::layoutName(Layout layout) {
    for (const auto& [value, name] : kLayoutNames)
        if (value == layout)
            return QString::fromLatin1(name);
    return {};
}

std::optional<VideoDescription::Layout> VideoDescription::layoutFromName(const QString& name) {
    for (const auto& [value, text] : kLayoutNames)
        if (name == QLatin1String(text))
            return value;
    return std::nullopt;
}

QString VideoDescription::maskSizeName(MaskSize size) {
    return size == MaskSize::Half ? QStringLiteral("half") : QStringLiteral("full");
}

std::optional<VideoDescription::MaskSize> VideoDescription::maskSizeFromName(const QString& name) {
    if (name == QLatin1String("full"))
        return MaskSize::Full;
    if (name == QLatin1String("half"))
        return MaskSize::Half;
    return std::nullopt;
}

} // namespace zev

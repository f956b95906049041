#include "output/MarkedDescription.h"

#include "output/PackedLayout.h"
#include "output/RegionArray.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <zlib.h>

namespace zev {

namespace {

QJsonObject descriptOf(const QByteArray& json, QString* problem) {
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (!document.isObject()) {
        *problem =
            MarkedDescription::tr("the marked description is not a JSON object: %1").arg(error.errorString());
        return {};
    }
    const QJsonObject descript = document.object().value(QStringLiteral("descript")).toObject();
    if (descript.isEmpty())
        *problem = MarkedDescription::tr("the marked description has no \"descript\"");
    return descript;
}

} // namespace

MarkedDescription MarkedDescription::of(const PackedLayout& layout, int fps, bool hasAudio) {
    MarkedDescription description;
    description.videoSize = layout.packed;
    description.colourRect = layout.colourRect;
    description.alphaRect = layout.maskRect;
    description.fps = fps;
    description.hasAudio = hasAudio;
    return description;
}

QByteArray MarkedDescription::toJson() const {
    const QJsonObject descript{
        {QStringLiteral("width"), videoSize.width()},
        {QStringLiteral("height"), videoSize.height()},
        {QStringLiteral("rgbFrame"), RegionArray::toJson(colourRect)},
        {QStringLiteral("alphaFrame"), RegionArray::toJson(alphaRect)},
        {QStringLiteral("fps"), fps},
        {QStringLiteral("isEffect"), 0},
        {QStringLiteral("version"), 1},
        {QStringLiteral("hasAudio"), hasAudio},
    };
    return QJsonDocument(QJsonObject{{QStringLiteral("descript"), descript},
                                     {QStringLiteral("effect"), QJsonArray()},
                                     {QStringLiteral("datas"), QJsonArray()}})
        .toJson(QJsonDocument::Compact);
}

Result<MarkedDescription> MarkedDescription::fromJson(const QByteArray& json) {
    using Failed = Result<MarkedDescription>;
    QString problem;
    const QJsonObject descript = descriptOf(json, &problem);
    if (!problem.isEmpty())
        return Failed::failure(problem);
    MarkedDescription description;
    description.videoSize = QSize(descript.value(QStringLiteral("width")).toInt(),
                                  descript.value(QStringLiteral("height")).toInt());
    if (description.videoSize.isEmpty() || description.videoSize.width() > RegionArray::kLargestSide ||
        description.videoSize.height() > RegionArray::kLargestSide)
        return Failed::failure(tr("the marked description names no video size"));
    const std::optional<QRect> colour =
        RegionArray::fromJson(descript.value(QStringLiteral("rgbFrame")), description.videoSize);
    const std::optional<QRect> alpha =
        RegionArray::fromJson(descript.value(QStringLiteral("alphaFrame")), description.videoSize);
    if (!colour || !alpha)
        return Failed::failure(tr("the marked description's regions do not lie inside its %1×%2 video")
                                   .arg(description.videoSize.width())
                                   .arg(description.videoSize.height()));
    description.colourRect = *colour;
    description.alphaRect = *alpha;
    description.fps = descript.value(QStringLiteral("fps")).toInt();
    description.hasAudio = descript.value(QStringLiteral("hasAudio")).toBool();
    return description;
}

QByteArray MarkedDescription::marked() const {
    return kOpening + deflate(toJson()).toBase64() + kClosing;
}

Result<MarkedDescription> MarkedDescription::fromMarkedText(const QByteArray& text) {
    using Failed = Result<MarkedDescription>;
    if (text.size() > kMaxMarkedBytes)
        return Failed::failure(
            tr("the text between the markers is %1 bytes: too long for a description").arg(text.size()));
    const auto decoded =
        QByteArray::fromBase64Encoding(text.trimmed(), QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded)
        return Failed::failure(tr("the text between the markers is not base64"));
    const std::optional<QByteArray> json = inflate(*decoded, kMaxJsonBytes);
    if (!json)
        return Failed::failure(tr("the text between the markers is not zlib-compressed"));
    return fromJson(*json);
}

std::optional<MarkedDescription::Found> MarkedDescription::find(const QByteArray& bytes) {
    const qsizetype opening = bytes.indexOf(kOpening);
    if (opening < 0)
        return std::nullopt;
    Found found;
    found.at = opening;
    const qsizetype start = opening + kOpening.size();
    const qsizetype closing = bytes.indexOf(kClosing, start);
    found.closed = closing >= 0;
    // Up to the limit and one byte more, so a runaway text reads as too long.
    const qsizetype end = found.closed ? closing : std::min(bytes.size(), start + kMaxMarkedBytes + 1);
    found.text = bytes.mid(start, std::min(end - start, kMaxMarkedBytes + 1));
    return found;
}

QByteArray MarkedDescription::deflate(const QByteArray& data) {
    uLongf size = compressBound(uLong(data.size()));
    QByteArray out(qsizetype(size), '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                  reinterpret_cast<const Bytef*>(data.constData()), uLong(data.size()),
                  Z_BEST_COMPRESSION) != Z_OK)
        return {};
    out.truncate(qsizetype(size));
    return out;
}

std::optional<QByteArray> MarkedDescription::inflate(const QByteArray& data, qsizetype limit) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return std::nullopt;
    QByteArray out;
    QByteArray piece(16 * 1024, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.constData()));
    stream.avail_in = uInt(data.size());
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(piece.data());
        stream.avail_out = uInt(piece.size());
        status = ::inflate(&stream, Z_NO_FLUSH);
        out.append(piece.constData(), piece.size() - qsizetype(stream.avail_out));
        if (out.size() > limit)
            status = Z_MEM_ERROR;
        else if (status == Z_OK && stream.avail_in == 0 && stream.avail_out != 0)
            status = Z_BUF_ERROR; // the stream stops short of its end
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END)
        return std::nullopt;
    return out;
}

} // namespace zev

#include "tools/ColourDescription.h"

namespace zev {

ColourDescription ColourDescription::ofConversion() {
    return {QStringLiteral("tv"), QStringLiteral("smpte170m"), QStringLiteral("bt709"),
            QStringLiteral("iec61966-2-1")};
}

QString ColourDescription::text() const {
    return QStringList{range, matrix, primaries, transfer}.join(u'/');
}

QStringList ColourDescription::encoderOptions() {
    const ColourDescription colour = ofConversion();
    return {
        QStringLiteral("-color_range"),     colour.range,     QStringLiteral("-colorspace"), colour.matrix,
        QStringLiteral("-color_primaries"), colour.primaries, QStringLiteral("-color_trc"),  colour.transfer,
    };
}

QString ColourDescription::metadataFilter() {
    // Limited range; BT.709 primaries (1), sRGB transfer (13), BT.601
    // matrix as SMPTE 170M (6): the codes of ofConversion().
    return QStringLiteral("h264_metadata=video_full_range_flag=0:colour_primaries=1:"
                          "transfer_characteristics=13:matrix_coefficients=6");
}

} // namespace zev

#pragma once

#include <QString>
#include <QStringList>

namespace zev {

// The colour description every ZEV video carries, so a player converts its
// YUV back to RGB the way it was made instead of guessing. Both pipelines
// leave the RGB→YUV conversion to FFmpeg's default: BT.601 coefficients in
// limited range (measured: pure red becomes Y 81, Cb 90, Cr 240). The frames
// are sRGB PNGs, so the primaries are BT.709's (sRGB shares them) and the
// transfer is sRGB's: a colour-managed player then shows the code values as
// they are, and the grey mask reaches a shader unchanged.
//
// BT.601 stays for every size, HD included: the mask is grey and has no
// chroma, so only the colour depends on the matrix, and decoding with the
// tags honoured gives back the colour as well as a BT.709 conversion would
// (measured, 25 frames of 1280×720: 47.4 dB against 47.1 dB at 1100 kbit/s),
// while both pipelines keep making the very same frames.
struct ColourDescription {
    // ffprobe's names, as it reports them for the video stream.
    QString range;     // color_range
    QString matrix;    // color_space
    QString primaries; // color_primaries
    QString transfer;  // color_transfer

    bool operator==(const ColourDescription&) const = default;

    // The description of the conversion both pipelines make.
    static ColourDescription ofConversion();

    // "tv/smpte170m/bt709/iec61966-2-1": range, matrix, primaries, transfer.
    QString text() const;

    // The encoder options that write ofConversion() into the H.264 stream
    // and, with the "write_colr" movflag, into the MP4 container.
    static QStringList encoderOptions();
    // The same for a stream copy: FFmpeg's h264_metadata bitstream filter
    // setting the stream's VUI fields (codes of H.264 tables E-3 to E-5).
    static QString metadataFilter();
};

} // namespace zev

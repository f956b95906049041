#pragma once

#include "core/Result.h"
#include "preview/RgbaFrame.h"

#include <QCoreApplication>
#include <QImage>
#include <QString>

namespace zev {

// PNG files to and from the engine's RgbaFrame, through Qt Gui's image
// reader and writer (no display needed). 16-bit, grey and palette frames are
// read as 8-bit straight RGBA, as the comparisons want them.
class PngFrameFile {
    Q_DECLARE_TR_FUNCTIONS(PngFrameFile)

public:
    static Result<RgbaFrame> read(const QString& path);
    static Result<> write(const RgbaFrame& frame, const QString& path);

    // How the frame's bytes are laid out (FrameRecombiner's outputs).
    enum class Pixels { Straight, Premultiplied, Argb32Premultiplied };

    // The frame's bytes as an image, shared and not copied.
    static QImage toImage(const RgbaFrame& frame, Pixels pixels = Pixels::Straight);
    static RgbaFrame fromImage(const QImage& image);
};

} // namespace zev

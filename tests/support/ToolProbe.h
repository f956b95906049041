#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace zev {

// Runs the tools staged in the build tree directly (not through the engine),
// to make test images and to look at what the engine wrote.
class ToolProbe {
public:
    static QString stagedConvert();
    static QString stagedFfmpeg();

    // The program's standard output, or nothing when it could not start,
    // crashed or exited with a non-zero status.
    static std::optional<QByteArray> output(const QString& program, const QStringList& arguments);

    // An image's pixels as 8-bit RGBA, row by row (grey images give R = G = B).
    struct Pixels {
        int width = 0;
        int height = 0;
        QByteArray rgba;
        int at(int x, int y, int channel) const { return quint8(rgba.at((y * width + x) * 4 + channel)); }
    };
    static std::optional<Pixels> readPixels(const QString& image);
};

} // namespace zev

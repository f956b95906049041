// Times FramePreflight::check over a folder of small generated frames:
//
//   build/bin/zev_preflight_bench [FRAMES] [RUNS]      (defaults 10000 and 5)
//
// The frames are real 64×48 RGBA PNG files (signature, IHDR, one IDAT of
// zlib data, IEND), all copies of one, written into a temporary folder that
// is removed afterwards. The files were just written, so they are in the
// page cache: the figures are the check's own cost, not the disk's.

#include "frames/FramePreflight.h"
#include "frames/PngHeader.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <algorithm>
#include <cstdio>
#include <vector>

using namespace zev;

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;

QByteArray chunk(const char* type, const QByteArray& data) {
    QByteArray typed = QByteArray(type) + data;
    QByteArray bytes(4, '\0');
    qToBigEndian<quint32>(quint32(data.size()), bytes.data());
    bytes += typed;
    QByteArray crc(4, '\0');
    qToBigEndian<quint32>(PngHeader::crc32(typed), crc.data());
    return bytes + crc;
}

// Every row: filter byte 0, then fully transparent RGBA pixels.
QByteArray transparentPng() {
    QByteArray header(13, '\0');
    qToBigEndian<quint32>(kWidth, header.data());
    qToBigEndian<quint32>(kHeight, header.data() + 4);
    header[8] = 8; // bit depth
    header[9] = 6; // RGBA
    const QByteArray rows(kHeight * (1 + kWidth * 4), '\0');
    // qCompress puts the uncompressed length in front of the zlib stream.
    const QByteArray zlibStream = qCompress(rows).mid(4);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IDAT", zlibStream) +
           chunk("IEND", {});
}

QStringList writeFrames(const QString& folder, int count) {
    const QByteArray png = transparentPng();
    QStringList frames;
    frames.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QString path = QDir(folder).filePath(QStringLiteral("%1.png").arg(i));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(png) != png.size())
            return {};
        frames.append(path);
    }
    return frames;
}

int argumentOr(const QStringList& arguments, int index, int fallback) {
    bool ok = false;
    const int value = arguments.value(index).toInt(&ok);
    return ok && value > 0 ? value : fallback;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const int frameCount = argumentOr(arguments, 1, 10000);
    const int runs = argumentOr(arguments, 2, 5);

    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/zev-preflight-bench-XXXXXX"));
    const QStringList frames = writeFrames(folder.path(), frameCount);
    if (!folder.isValid() || frames.size() != frameCount) {
        std::fprintf(stderr, "cannot write %d frames into %s\n", frameCount, qPrintable(folder.path()));
        return 1;
    }
    const PreflightInput input{frames,
                               folder.filePath(QStringLiteral("scratch")),
                               folder.filePath(QStringLiteral("output")),
                               PreflightInput::Run::Full,
                               25,
                               2100};

    std::vector<double> milliseconds;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        const Result<PreflightFindings> findings = FramePreflight::check(input);
        milliseconds.push_back(double(timer.nsecsElapsed()) / 1e6);
        if (!findings) {
            std::fprintf(stderr, "check refused the frames: %s\n", qPrintable(findings.reason()));
            return 1;
        }
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    std::printf("%d frames of %d×%d, %d runs: fastest %.1f ms, median %.1f ms, slowest %.1f ms "
                "(%.2f µs per frame at the median)\n",
                frameCount, kWidth, kHeight, runs, milliseconds.front(),
                milliseconds[milliseconds.size() / 2], milliseconds.back(),
                milliseconds[milliseconds.size() / 2] * 1000.0 / frameCount);
    return 0;
}

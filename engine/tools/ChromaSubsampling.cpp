#include "tools/ChromaSubsampling.h"

#include <QStringList>

namespace zev {

namespace {

// A grey plane scaled as it is: without the range options FFmpeg reads the
// planes as full-range grey and stretches the neutral chroma 128 to 130.
QString scaled(QSize size, const char* flags) {
    return QStringLiteral("scale=%1:%2:flags=%3:in_range=pc:out_range=pc")
        .arg(size.width())
        .arg(size.height())
        .arg(QLatin1String(flags));
}

// One chroma plane [chroma<P>] halved into [chroma<P>Halved].
QStringList halved(const QString& plane, QSize full) {
    const QSize half(full.width() / 2, full.height() / 2);
    const QString name = QStringLiteral("chroma") + plane;
    const auto at = [&](const QString& what, int step) {
        return QStringLiteral("[%1%2%3]").arg(name, what).arg(step);
    };
    QString copies = QStringLiteral("[%1]split=%2").arg(name).arg(ChromaSubsampling::kCorrections + 1);
    for (int copy = 0; copy <= ChromaSubsampling::kCorrections; ++copy)
        copies += at(QStringLiteral("Full"), copy);
    QStringList steps{copies,
                      at(QStringLiteral("Full"), 0) + scaled(half, "area") + at(QStringLiteral("Half"), 0)};
    for (int step = 1; step <= ChromaSubsampling::kCorrections; ++step) {
        // grainextract is A - B + 128 and grainmerge A + B - 128: the
        // difference and its addition in the planes' own 8 bits.
        steps << at(QStringLiteral("Half"), step - 1) + QStringLiteral("split") +
                     at(QStringLiteral("Kept"), step) + at(QStringLiteral("Spread"), step)
              << at(QStringLiteral("Spread"), step) + scaled(full, "bilinear") +
                     at(QStringLiteral("Back"), step)
              << at(QStringLiteral("Full"), step) + at(QStringLiteral("Back"), step) +
                     QStringLiteral("blend=all_mode=grainextract,") + scaled(half, "area") +
                     at(QStringLiteral("Missed"), step)
              << at(QStringLiteral("Kept"), step) + at(QStringLiteral("Missed"), step) +
                     QStringLiteral("blend=all_mode=grainmerge") + at(QStringLiteral("Half"), step);
    }
    steps << at(QStringLiteral("Half"), ChromaSubsampling::kCorrections) + QStringLiteral("null[") + name +
                 QStringLiteral("Halved]");
    return steps;
}

} // namespace

QString ChromaSubsampling::steps(QSize packed) {
    // FFmpeg's scaler makes a single row or column out of one of the rows
    // or columns it had, not their average: chroma one sample wide or high
    // is left to the encoder's conversion too.
    constexpr int kSmallestRefined = 4;
    if (packed.width() < kSmallestRefined || packed.height() < kSmallestRefined || packed.width() % 2 != 0 ||
        packed.height() % 2 != 0)
        return {};
    QStringList steps{
        QStringLiteral("scale=out_color_matrix=bt601:out_range=tv,format=yuv444p,extractplanes=y+u+v"
                       "[chromaY][chromaU][chromaV]"),
    };
    steps += halved(QStringLiteral("U"), packed);
    steps += halved(QStringLiteral("V"), packed);
    steps << QStringLiteral("[chromaY][chromaUHalved][chromaVHalved]mergeplanes=0x001020:yuv420p");
    return u',' + steps.join(u';');
}

} // namespace zev

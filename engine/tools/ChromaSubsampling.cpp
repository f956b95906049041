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
QStringList halved(const char* plane, QSize full) {
    const QSize half(full.width() / 2, full.height() / 2);
    const auto at = [plane](const char* what, int step) {
        return QStringLiteral("[chroma%1%2%3]").arg(QLatin1String(plane), QLatin1String(what)).arg(step);
    };
    const int corrections = ChromaSubsampling::kCorrections;
    QString copies = QStringLiteral("[chroma%1]split=%2").arg(QLatin1String(plane)).arg(corrections + 1);
    for (int copy = 0; copy <= corrections; ++copy)
        copies += at("Full", copy);
    QStringList steps{copies, at("Full", 0) + scaled(half, "area") + at("Half", 0)};
    for (int step = 1; step <= corrections; ++step) {
        // grainextract is A - B + 128 and grainmerge A + B - 128: the
        // difference and its addition in the planes' own 8 bits.
        steps << at("Half", step - 1) + QStringLiteral("split") + at("Kept", step) + at("Spread", step)
              << at("Spread", step) + scaled(full, "bilinear") + at("Back", step)
              << at("Full", step) + at("Back", step) + QStringLiteral("blend=all_mode=grainextract,") +
                     scaled(half, "area") + at("Missed", step)
              << at("Kept", step) + at("Missed", step) + QStringLiteral("blend=all_mode=grainmerge") +
                     at("Half", step);
    }
    return steps << at("Half", corrections) +
                        QStringLiteral("null[chroma%1Halved]").arg(QLatin1String(plane));
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
    steps += halved("U", packed);
    steps += halved("V", packed);
    steps << QStringLiteral("[chromaY][chromaUHalved][chromaVHalved]mergeplanes=0x001020:yuv420p");
    return u',' + steps.join(u';');
}

} // namespace zev

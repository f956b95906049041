#include "tools/ChromaSubsampling.h"

#include "ToolProbe.h"
#include "preview/PackedVideoDecoder.h"

#include <gtest/gtest.h>
#include <limits>

using namespace zev;

namespace {

// A picture drawn by ffmpeg's geq (channels r, g, b of X and Y), through
// graph, as raw pixels of format.
QByteArray drawn(QSize size, const QString& channels, const QString& graph, const QString& format) {
    const QString source = QStringLiteral("color=black:s=%1x%2,format=gbrp,geq=%3")
                               .arg(size.width())
                               .arg(size.height())
                               .arg(channels);
    return ToolProbe::output(ToolProbe::stagedFfmpeg(),
                             {"-v", "error", "-f", "lavfi", "-i", source, "-vf", graph, "-frames:v", "1",
                              "-f", "rawvideo", "-pix_fmt", format, "-"})
        .value_or(QByteArray());
}

// Of two pictures of one size; of a missing one, more than any.
double squaredError(const QByteArray& a, const QByteArray& b) {
    if (a.isEmpty() || a.size() != b.size())
        return std::numeric_limits<double>::infinity();
    double sum = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        sum += double(quint8(a[i]) - quint8(b[i])) * double(quint8(a[i]) - quint8(b[i]));
    return sum;
}

struct ChromaCase {
    const char* what;
    QSize size;
    const char* channels;
    // Sharp colour edges the refinement must bring back closer.
    bool sharpColour;
};

// The luma is FFmpeg's own conversion's, and the colour a player rebuilds by
// bilinear interpolation comes no further from the source than from chroma
// halved by plain averaging: nearer where colour edges are sharp, the same
// where there is nothing to refine (grey, or a single chroma sample).
TEST(ChromaSubsamplingTest, KeepsTheLumaAndBringsTheInterpolatedColourCloser) {
    const ChromaCase cases[] = {
        {"colour on black, edges off the samples",
         {64, 32},
         "r='230*mod(trunc(X/5),2)':g='40*mod(trunc(Y/3),2)':b=60",
         true},
        {"the smallest refined",
         {4, 4},
         "r='255*eq(mod(X,3),mod(Y,2))':g='255-255*eq(mod(X,3),mod(Y,2))':b=0",
         true},
        {"grey keeps neutral chroma", {32, 16}, "r='8*X':g='8*X':b='8*X'", false},
        {"one chroma sample, left alone", {2, 2}, "r='255*X':g='255-255*X':b=0", false},
    };
    for (const ChromaCase& test : cases) {
        SCOPED_TRACE(test.what);
        const QString channels = QLatin1String(test.channels);
        const QString refined = "format=gbrp" + ChromaSubsampling::steps(test.size);
        const QString plain = QStringLiteral("format=gbrp,scale=flags=area,format=yuv420p");
        const qsizetype lumaBytes = qsizetype(test.size.width()) * test.size.height();
        const QByteArray refinedYuv = drawn(test.size, channels, refined, "yuv420p");
        ASSERT_EQ(refinedYuv.size(), lumaBytes * 3 / 2);
        EXPECT_EQ(refinedYuv.left(lumaBytes), drawn(test.size, channels, plain, "yuv420p").left(lumaBytes));

        const QString backToRgb = u',' + PackedVideoDecoder::kChromaUpsampling;
        const QByteArray source = drawn(test.size, channels, QStringLiteral("null"), "rgb24");
        const double refinedError =
            squaredError(drawn(test.size, channels, refined + backToRgb, "rgb24"), source);
        const double plainError =
            squaredError(drawn(test.size, channels, plain + backToRgb, "rgb24"), source);
        EXPECT_LE(refinedError, plainError);
        if (test.sharpColour) {
            EXPECT_LT(refinedError, plainError);
        }
    }
}

} // namespace

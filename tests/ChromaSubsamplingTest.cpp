#include "tools/ChromaSubsampling.h"

#include "TemporaryFolder.h"
#include "ToolProbe.h"
#include "preview/PackedVideoDecoder.h"

#include <QFile>
#include <QSize>
#include <functional>
#include <gtest/gtest.h>
#include <optional>

using namespace zev;

namespace {

struct Rgb {
    int r = 0, g = 0, b = 0;
};

// 8-bit RGB, row by row.
struct Picture {
    QSize size;
    QByteArray rgb;
};

Picture made(QSize size, const std::function<Rgb(int, int)>& colourAt) {
    Picture picture{size, {}};
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const Rgb colour = colourAt(x, y);
            picture.rgb.append(char(colour.r)).append(char(colour.g)).append(char(colour.b));
        }
    return picture;
}

// The picture through an ffmpeg graph, read back as raw pixels of format.
std::optional<QByteArray> through(const Picture& picture, const QString& graph, const QString& format) {
    TemporaryFolder folder;
    const QString input = folder.filePath(QStringLiteral("picture.rgb"));
    QFile file(input);
    if (!file.open(QIODevice::WriteOnly) || file.write(picture.rgb) != picture.rgb.size())
        return std::nullopt;
    file.close();
    return ToolProbe::output(ToolProbe::stagedFfmpeg(),
                             {"-v", "error", "-f", "rawvideo", "-pix_fmt", "rgb24", "-s",
                              QStringLiteral("%1x%2").arg(picture.size.width()).arg(picture.size.height()),
                              "-i", input, "-vf", graph, "-f", "rawvideo", "-pix_fmt", format, "-"});
}

double squaredError(const QByteArray& a, const QByteArray& b) {
    double sum = 0;
    for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i)
        sum += double(quint8(a[i]) - quint8(b[i])) * double(quint8(a[i]) - quint8(b[i]));
    return sum;
}

struct ChromaCase {
    const char* what;
    Picture picture;
};

const std::vector<ChromaCase>& cases() {
    static const std::vector<ChromaCase> all{
        {"a grey mask beside colour on black, the seam between chroma samples",
         made({64, 32},
              [](int x, int y) {
                  if (x < 32)
                      return Rgb{(x * 8 + y) % 256, (x * 8 + y) % 256, (x * 8 + y) % 256};
                  return (x / 5 + y / 3) % 2 ? Rgb{230, 40, 60} : Rgb{0, 0, 0};
              })},
        {"saturated stripes one and three pixels wide",
         made({48, 16},
              [](int x, int y) {
                  return (x % 4 == 1 || y % 7 == 3) ? Rgb{20, 60, 240} : Rgb{250, 220, 10};
              })},
        {"the smallest picture refined", made({4, 4},
                                              [](int x, int y) {
                                                  return x % 3 == y % 2 ? Rgb{255, 0, 0} : Rgb{0, 255, 0};
                                              })},
    };
    return all;
}

// The luma is FFmpeg's own conversion's, grey keeps neutral chroma, and the
// colour a player rebuilds by bilinear interpolation comes nearer the source
// than from chroma halved by plain averaging.
TEST(ChromaSubsamplingTest, KeepsTheLumaAndBringsTheInterpolatedColourCloser) {
    const QString backToRgb = PackedVideoDecoder::kChromaUpsampling;
    for (const ChromaCase& test : cases()) {
        SCOPED_TRACE(test.what);
        const QSize size = test.picture.size;
        const QString steps = ChromaSubsampling::steps(size);
        const std::optional<QByteArray> refined = through(test.picture, "format=gbrp" + steps, "yuv420p");
        const std::optional<QByteArray> plain =
            through(test.picture, "format=gbrp,format=yuv420p", "yuv420p");
        ASSERT_TRUE(refined && plain);
        const qsizetype lumaBytes = qsizetype(size.width()) * size.height();
        ASSERT_EQ(refined->size(), lumaBytes * 3 / 2);
        EXPECT_EQ(refined->left(lumaBytes), plain->left(lumaBytes));

        const std::optional<QByteArray> refinedRgb =
            through(test.picture, "format=gbrp" + steps + u',' + backToRgb, "rgb24");
        const std::optional<QByteArray> plainRgb =
            through(test.picture, "format=gbrp,format=yuv420p," + backToRgb, "rgb24");
        ASSERT_TRUE(refinedRgb && plainRgb);
        EXPECT_LT(squaredError(*refinedRgb, test.picture.rgb), squaredError(*plainRgb, test.picture.rgb));
    }
}

TEST(ChromaSubsamplingTest, GreyKeepsNeutralChroma) {
    const Picture grey = made({32, 16}, [](int x, int) { return Rgb{x * 8, x * 8, x * 8}; });
    const std::optional<QByteArray> yuv =
        through(grey, "format=gbrp" + ChromaSubsampling::steps({32, 16}), "yuv420p");
    ASSERT_TRUE(yuv);
    const QByteArray chroma = yuv->mid(32 * 16);
    ASSERT_EQ(chroma.size(), 2 * 16 * 8);
    EXPECT_EQ(chroma.count(char(128)), chroma.size());
}

TEST(ChromaSubsamplingTest, LeavesOddAndTinySizesToTheEncoder) {
    for (const QSize size : {QSize(33, 20), QSize(32, 21), QSize(2, 20), QSize(20, 2)}) {
        SCOPED_TRACE(size.width() * 100 + size.height());
        EXPECT_TRUE(ChromaSubsampling::steps(size).isEmpty());
    }
    EXPECT_FALSE(ChromaSubsampling::steps({4, 4}).isEmpty());
}

} // namespace

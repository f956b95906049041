#include "tools/ColourBleed.h"

#include "TemporaryFolder.h"
#include "ToolProbe.h"

#include <QFile>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

using namespace zev;

namespace {

struct Rgba {
    int r = 0, g = 0, b = 0, a = 0;
};

struct Picture {
    int width = 0;
    int height = 0;
    std::vector<Rgba> pixels = std::vector<Rgba>(size_t(width * height));
    Rgba& at(int x, int y) { return pixels[size_t(y * width + x)]; }
    const Rgba& at(int x, int y) const { return pixels[size_t(y * width + x)]; }
};

// Garbage where nothing is seen: what some exporters leave there.
constexpr Rgba kUnseen{255, 0, 255, 0};
constexpr Rgba kGreen{0, 200, 0, 255};

// The treated colour of a picture, through the staged ffmpeg.
std::optional<Picture> treated(const Picture& picture, Qt::Edges seams) {
    TemporaryFolder folder;
    QByteArray raw;
    for (const Rgba& p : picture.pixels)
        for (const int channel : {p.r, p.g, p.b, p.a})
            raw.append(char(channel));
    const QString input = folder.filePath(QStringLiteral("frame.rgba"));
    QFile file(input);
    if (!file.open(QIODevice::WriteOnly) || file.write(raw) != raw.size())
        return std::nullopt;
    file.close();
    const QString graph =
        QStringLiteral("[0]format=rgba,split[m][c];[m]alphaextract,format=gbrp[alpha];[c]format=gbrp[rgb];") +
        ColourBleed::steps(QStringLiteral("rgb"), QStringLiteral("alpha"), QStringLiteral("out"),
                           QSize(picture.width, picture.height), seams)
            .join(u';');
    const std::optional<QByteArray> rgb = ToolProbe::output(
        ToolProbe::stagedFfmpeg(),
        {"-v", "error", "-f", "rawvideo", "-pix_fmt", "rgba", "-s",
         QStringLiteral("%1x%2").arg(picture.width).arg(picture.height), "-i", input, "-filter_complex",
         graph, "-map", "[out]", "-f", "rawvideo", "-pix_fmt", "rgb24", "-"});
    if (!rgb || rgb->size() != qsizetype(picture.pixels.size()) * 3)
        return std::nullopt;
    Picture result{picture.width, picture.height};
    for (size_t i = 0; i < result.pixels.size(); ++i)
        result.pixels[i] = {quint8(rgb->at(qsizetype(i) * 3)), quint8(rgb->at(qsizetype(i) * 3 + 1)),
                            quint8(rgb->at(qsizetype(i) * 3 + 2)), picture.pixels[i].a};
    return result;
}

// Distance to the nearest pixel the source shows (alpha > 0), in steps
// along rows, columns or diagonals: the reach of a square blur.
double distanceToSeen(const Picture& picture, int x, int y) {
    double nearest = 1e9;
    for (int v = 0; v < picture.height; ++v)
        for (int u = 0; u < picture.width; ++u)
            if (picture.at(u, v).a > 0)
                nearest = std::min(nearest, double(std::max(std::abs(u - x), std::abs(v - y))));
    return nearest;
}

// Pixels from the nearest side that faces the mask: 0 on its outermost line.
int distanceToSeam(const Picture& p, Qt::Edges seams, int x, int y) {
    const int far = 1 << 20;
    return std::min({seams & Qt::LeftEdge ? x : far, seams & Qt::RightEdge ? p.width - 1 - x : far,
                     seams & Qt::TopEdge ? y : far, seams & Qt::BottomEdge ? p.height - 1 - y : far});
}

// A disc of colour with an anti-aliased edge about one pixel wide.
Picture disc(int width, int height, double radius, Rgba colour, Rgba unseen = kUnseen) {
    Picture picture{width, height};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double d = std::hypot(x + 0.5 - width / 2.0, y + 0.5 - height / 2.0) - radius;
            const int alpha = int(std::lround(255 * std::clamp(0.5 - d, 0.0, 1.0)));
            picture.at(x, y) = alpha > 0 ? Rgba{colour.r, colour.g, colour.b, alpha} : unseen;
        }
    return picture;
}

struct BleedCase {
    const char* what;
    std::function<Picture()> make;
    Qt::Edges seams;
    // The colour every fully transparent pixel near what is seen (and away
    // from the seams) should get, within 3 levels, when the case has one.
    std::optional<Rgba> fill;
    bool onlyGreenSeen = true;
};

const std::vector<BleedCase>& cases() {
    static const std::vector<BleedCase> all{
        {"a sticker: a green disc's edge meeting garbage", [] { return disc(48, 32, 8, kGreen); },
         Qt::Edges(), kGreen},
        {"the same, the mask to its left", [] { return disc(48, 32, 8, kGreen); }, Qt::LeftEdge, kGreen},
        {"the same, the mask right and below", [] { return disc(48, 40, 8, kGreen); },
         Qt::RightEdge | Qt::BottomEdge, kGreen},
        {"a faint glow that must count as much as the solid disc beside it",
         [] {
             Picture picture = disc(48, 32, 6, kGreen);
             for (int y = 0; y < 32; ++y)
                 for (int x = 30; x < 40; ++x)
                     picture.at(x, y) = {250, 250, 250, 12};
             return picture;
         },
         Qt::Edges(), std::nullopt, false},
        {"a frame too small to fade at its seam",
         [] {
             Picture picture{4, 2};
             std::fill(picture.pixels.begin(), picture.pixels.end(), kUnseen);
             picture.at(0, 0) = kGreen;
             return picture;
         },
         Qt::LeftEdge, kGreen},
        {"nothing seen at all",
         [] {
             Picture picture{32, 16};
             std::fill(picture.pixels.begin(), picture.pixels.end(), kUnseen);
             return picture;
         },
         Qt::TopEdge, Rgba{}},
        {"everything opaque, every colour",
         [] {
             Picture picture{32, 16};
             for (int i = 0; i < 32 * 16; ++i)
                 picture.pixels[size_t(i)] = {i % 256, (i * 7) % 256, (i * 13) % 256, 255};
             return picture;
         },
         Qt::LeftEdge, std::nullopt},
        {"every alpha from 1 to 255 over one colour",
         [] {
             Picture picture{32, 16};
             for (int i = 0; i < 32 * 16; ++i)
                 picture.pixels[size_t(i)] = {180, 90, 30, 1 + i % 255};
             return picture;
         },
         Qt::LeftEdge, std::nullopt},
    };
    return all;
}

TEST(ColourBleedTest, KeepsWhatIsSeenAndCarriesOnlySeenColourOutward) {
    for (const BleedCase& test : cases()) {
        SCOPED_TRACE(test.what);
        const Picture source = test.make();
        const std::optional<Picture> result = treated(source, test.seams);
        ASSERT_TRUE(result);
        const bool fades = std::min(source.width, source.height) >= 2 * ColourBleed::kSeamFade;
        for (int y = 0; y < source.height; ++y) {
            for (int x = 0; x < source.width; ++x) {
                const Rgba& before = source.at(x, y);
                const Rgba& after = result->at(x, y);
                SCOPED_TRACE(testing::Message() << "at " << x << "," << y << " alpha " << before.a);
                const int channelsBefore[] = {before.r, before.g, before.b};
                const int channelsAfter[] = {after.r, after.g, after.b};
                for (int c = 0; c < 3; ++c) {
                    // What a viewer sees, colour × alpha, moves by less than
                    // half a level: not at all for an opaque pixel.
                    EXPECT_LT(std::abs(channelsAfter[c] - channelsBefore[c]) * before.a, 128);
                }
                if (before.a > 0)
                    continue;
                // The magenta left under full transparency never comes back:
                // what is seen is green, or green and white, and so is every
                // mix of it (red and blue alike but for rounding).
                EXPECT_LE(std::abs(after.r - after.b), 1);
                EXPECT_GE(after.g, after.r);
                if (test.onlyGreenSeen) {
                    EXPECT_EQ(after.r, 0);
                }
                const int fromSeam = distanceToSeam(source, test.seams, x, y);
                if (fades && fromSeam < 2) {
                    // The chroma sample at the seam holds no colour.
                    EXPECT_EQ(after.g, 0);
                } else if (test.fill && distanceToSeen(source, x, y) <= 8.0 &&
                           (!fades || fromSeam >= ColourBleed::kSeamFade)) {
                    EXPECT_NEAR(after.g, test.fill->g, 3);
                }
            }
        }
    }
}

TEST(ColourBleedTest, AFaintGlowsColourIsCarriedOutwardAsMuchAsTheShapes) {
    // Beside a faint white glow (alpha 12) the fill is the glow's white, not
    // the solid green four pixels further in.
    Picture source = disc(48, 32, 6, kGreen);
    for (int y = 0; y < 32; ++y)
        for (int x = 30; x < 40; ++x)
            source.at(x, y) = {250, 250, 250, 12};
    const std::optional<Picture> result = treated(source, {});
    ASSERT_TRUE(result);
    EXPECT_GT(result->at(40, 16).r, 200);
    EXPECT_NEAR(result->at(40, 16).g, result->at(40, 16).r, 3);
}

} // namespace

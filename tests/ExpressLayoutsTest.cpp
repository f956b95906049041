#include "ParamName.h"
#include "ScratchEnvironment.h"
#include "TemporaryFolder.h"
#include "TestFrames.h"
#include "ToolProbe.h"
#include "core/Cancellation.h"
#include "output/VideoDescription.h"
#include "pipeline/ConversionDriver.h"
#include "pipeline/ExpressDriver.h"

#include <QFile>
#include <QThreadPool>
#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

using namespace zev;

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 48;
constexpr int kFrames = 12;

using Layout = OutputOptions::Layout;
using MaskSize = OutputOptions::MaskSize;

// The decoded video's frames as 8-bit RGB.
struct DecodedVideo {
    QSize size;
    QByteArray rgb;
    int frames() const { return int(rgb.size() / (3 * size.width() * size.height())); }
    int at(int frame, QPoint point, int channel) const {
        return quint8(rgb.at(((qsizetype(frame) * size.height() + point.y()) * size.width() + point.x()) * 3 +
                             channel));
    }
};

// One channel of a picture, as doubles.
struct Plane {
    QSize size;
    std::vector<double> values = std::vector<double>(size_t(size.width() * size.height()));
    double& at(int x, int y) { return values[size_t(y * size.width() + x)]; }
    double at(int x, int y) const { return values[size_t(y * size.width() + x)]; }
};

// Averaged over the area each smaller pixel covers: what the source looks
// like at a region's size.
Plane shrunk(const Plane& source, QSize size) {
    if (size == source.size)
        return source;
    Plane result{size};
    const double sx = double(source.size.width()) / size.width();
    const double sy = double(source.size.height()) / size.height();
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            double sum = 0;
            double weight = 0;
            for (int v = int(y * sy); v < std::min(source.size.height(), int(std::ceil((y + 1) * sy))); ++v) {
                const double wy = std::min<double>(v + 1, (y + 1) * sy) - std::max<double>(v, y * sy);
                for (int u = int(x * sx); u < std::min(source.size.width(), int(std::ceil((x + 1) * sx)));
                     ++u) {
                    const double w =
                        wy * (std::min<double>(u + 1, (x + 1) * sx) - std::max<double>(u, x * sx));
                    sum += w * source.at(u, v);
                    weight += w;
                }
            }
            result.at(x, y) = sum / weight;
        }
    }
    return result;
}

std::optional<DecodedVideo> decode(const QString& video, QSize size) {
    const std::optional<QByteArray> rgb = ToolProbe::output(
        ToolProbe::stagedFfmpeg(), {"-v", "error", "-i", video, "-f", "rawvideo", "-pix_fmt", "rgb24", "-"});
    if (!rgb)
        return std::nullopt;
    return DecodedVideo{size, *rgb};
}

struct SquaredError {
    double sum = 0;
    qint64 count = 0;
    void add(double a, double b) {
        sum += (a - b) * (a - b);
        ++count;
    }
    double psnr() const { return sum == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 * count / sum); }
};

class ExpressLayoutsTest : public testing::Test {
protected:
    ScratchEnvironment scratch;
    TemporaryFolder folder;
    QString frames = folder.filePath("frames");
    QString video = frames + "/output/zev.mp4";
    QString description = frames + "/output/zev.json";

    // At 25 frames per second each frame becomes one video frame, at the
    // "最佳" preset's 3100 kbit/s.
    ConversionSettings settings(const OutputOptions& options, bool express = true) const {
        ConversionSettings chosen;
        chosen.sourceImageFolder = frames;
        chosen.fps = 25;
        chosen.rate = 3100;
        chosen.express = express;
        chosen.output = options;
        chosen.convertPath = QStringLiteral(ZEV_STAGED_RESOURCES "/imageMagick/bin/convert");
        chosen.ffmpegPath = QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/ffmpeg");
        chosen.ffprobePath = QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/ffprobe");
        return chosen;
    }

    ConversionOutcome express(const OutputOptions& options) const {
        Cancellation cancellation;
        return ExpressDriver(settings(options), cancellation).run();
    }
};

struct RoundTripCase {
    const char* title;
    Layout layout;
    MaskSize maskSize;
    bool premultiplied;
    std::optional<int> gap;
};

class RoundTrips : public ExpressLayoutsTest, public testing::WithParamInterface<RoundTripCase> {};

// The regions the description names, cut out and recombined, give back the
// source's alpha and colour (× alpha, or as it is where alpha is above zero).
TEST_P(RoundTrips, GiveBackTheSourceFromTheDescribedRegions) {
    const RoundTripCase& c = GetParam();
    ASSERT_TRUE(TestFrames::writeGradientSequence(frames, kFrames, kWidth, kHeight));
    OutputOptions options;
    options.layout = c.layout;
    options.maskSize = c.maskSize;
    options.premultiplied = c.premultiplied;
    options.gap = c.gap;
    options.describe = true;
    const ConversionOutcome outcome = express(options);
    ASSERT_TRUE(outcome.succeeded()) << outcome.reason.toStdString();

    const Result<VideoDescription> described = VideoDescription::readBeside(video, QSize());
    ASSERT_TRUE(described.ok() && QFile::exists(description)) << described.reason().toStdString();
    EXPECT_EQ(described->layout, c.layout);
    EXPECT_EQ(described->premultiplied, c.premultiplied);
    EXPECT_EQ(described->frames, kFrames);
    EXPECT_EQ(described->profile, "High");
    const std::optional<DecodedVideo> decoded = decode(video, described->packedSize);
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->frames(), kFrames);

    SquaredError mask;
    SquaredError colour;
    for (int i = 0; i < kFrames; ++i) {
        const auto source = ToolProbe::readPixels(QStringLiteral("%1/%2.png").arg(frames).arg(i));
        ASSERT_TRUE(source);
        const QSize size(source->width, source->height);
        Plane alpha{size};
        std::array<Plane, 3> rgb{Plane{size}, Plane{size}, Plane{size}};
        for (int y = 0; y < size.height(); ++y) {
            for (int x = 0; x < size.width(); ++x) {
                alpha.at(x, y) = source->at(x, y, 3);
                for (int ch = 0; ch < 3; ++ch)
                    rgb[ch].at(x, y) = c.premultiplied ? source->at(x, y, ch) * source->at(x, y, 3) / 255
                                                       : source->at(x, y, ch);
            }
        }
        const QRect maskRect = described->maskRect;
        const Plane maskSeen = shrunk(alpha, maskRect.size());
        for (int y = 0; y < maskRect.height(); ++y)
            for (int x = 0; x < maskRect.width(); ++x)
                mask.add(decoded->at(i, maskRect.topLeft() + QPoint(x, y), 1), maskSeen.at(x, y));
        const QRect colourRect = described->colourRect;
        ASSERT_EQ(colourRect.size(), size);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                for (int ch = 0; ch < 3 && (c.premultiplied || alpha.at(x, y) > 0); ++ch)
                    colour.add(decoded->at(i, colourRect.topLeft() + QPoint(x, y), ch), rgb[ch].at(x, y));
    }
    EXPECT_GE(mask.psnr(), 40.0);
    EXPECT_GE(colour.psnr(), 30.0);
}

INSTANTIATE_TEST_SUITE_P(
    ExpressLayoutsTest, RoundTrips,
    testing::Values(RoundTripCase{"mask_left", Layout::MaskLeft, MaskSize::Full, true, std::nullopt},
                    RoundTripCase{"mask_right", Layout::MaskRight, MaskSize::Full, true, std::nullopt},
                    RoundTripCase{"mask_top", Layout::MaskTop, MaskSize::Full, true, std::nullopt},
                    RoundTripCase{"mask_bottom", Layout::MaskBottom, MaskSize::Full, true, std::nullopt},
                    RoundTripCase{"half_right", Layout::MaskRight, MaskSize::Half, true, std::nullopt},
                    RoundTripCase{"half_bottom_straight", Layout::MaskBottom, MaskSize::Half, false,
                                  std::nullopt},
                    RoundTripCase{"straight_with_gap", Layout::MaskLeft, MaskSize::Full, false, 16}),
    ParamName());

// The specified pipeline describes its own layout on request, and a run
// that needs no description takes away the one an earlier run left.
TEST_F(ExpressLayoutsTest, DescriptionOnRequestAndNoStaleOne) {
    ASSERT_TRUE(TestFrames::writeGradientSequence(frames, 4, kWidth, kHeight));
    OutputOptions describe;
    describe.describe = true;
    QThreadPool queue;
    Cancellation cancellation;
    ASSERT_TRUE(ConversionDriver(settings(describe, false), queue, cancellation).run().succeeded());
    const Result<VideoDescription> described = VideoDescription::readBeside(video, QSize());
    ASSERT_TRUE(described.ok() && QFile::exists(description));
    EXPECT_EQ(described->maskRect, QRect(0, 0, kWidth, kHeight));
    EXPECT_EQ(described->colourRect, QRect(kWidth, 0, kWidth, kHeight));

    ASSERT_TRUE(express(OutputOptions()).succeeded());
    EXPECT_FALSE(QFile::exists(description));
    EXPECT_TRUE(QFile::exists(video));
}

TEST_F(ExpressLayoutsTest, FitScalesTheFramesDownAndCrfReportsTheBitrate) {
    ASSERT_TRUE(TestFrames::writeGradientSequence(frames, 4, kWidth, kHeight));
    OutputOptions options;
    options.fit = 64;
    options.crf = 23;
    options.layout = Layout::MaskTop;
    const ConversionOutcome outcome = express(options);
    ASSERT_TRUE(outcome.succeeded()) << outcome.reason.toStdString();
    EXPECT_GT(outcome.bitrateKbits, 0);
    const Result<VideoDescription> described = VideoDescription::readBeside(video, QSize());
    ASSERT_TRUE(described.ok());
    EXPECT_EQ(described->sourceSize, QSize(kWidth, kHeight));
    EXPECT_TRUE(PackedLayout::fits(described->packedSize, 64));
    EXPECT_LT(described->frameSize.width(), kWidth);
}

} // namespace

#include "tools/VideoRewriter.h"

#include "ParamName.h"
#include "TemporaryFolder.h"
#include "ToolProbe.h"
#include "tools/Mp4Boxes.h"
#include "tools/ToolRunner.h"
#include "tools/VideoEncoder.h"
#include "tools/VideoProbe.h"
#include "tools/VideoVerifier.h"

#include <QFile>
#include <QFileInfo>
#include <array>
#include <cmath>
#include <gtest/gtest.h>

using namespace zev;

namespace {

const QString kFfprobe = QStringLiteral(ZEV_STAGED_RESOURCES "/ffmpeg/ffprobe");
constexpr int kPatch = 16;
// Saturated and in-between colours, where the matrices differ most.
constexpr std::array<std::array<int, 3>, 6> kColours{
    {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 160, 0}, {40, 200, 220}, {128, 128, 128}}};

QString hex(const std::array<int, 3>& colour) {
    return QStringLiteral("#%1%2%3")
        .arg(colour[0], 2, 16, QLatin1Char('0'))
        .arg(colour[1], 2, 16, QLatin1Char('0'))
        .arg(colour[2], 2, 16, QLatin1Char('0'));
}

// The first frame as RGB bytes: converted as the video's colour description
// says when matrix is empty, or as that matrix in limited range.
QByteArray decodeFirstFrame(const QString& video, const QString& matrix = QString()) {
    QStringList arguments{"-v", "error", "-i", video, "-frames:v", "1"};
    if (!matrix.isEmpty())
        arguments << "-vf" << QStringLiteral("scale=in_color_matrix=%1:in_range=tv").arg(matrix);
    arguments << "-f"
              << "rawvideo"
              << "-pix_fmt"
              << "rgb24"
              << "-";
    return ToolProbe::output(ToolProbe::stagedFfmpeg(), arguments).value_or(QByteArray());
}

// PSNR in dB of the patches' centres against the colours they were made of.
double patchPsnr(const QByteArray& rgb) {
    const int width = kPatch * int(kColours.size());
    double squares = 0;
    int samples = 0;
    for (size_t patch = 0; patch < kColours.size(); ++patch) {
        const int at = ((kPatch / 2) * width + int(patch) * kPatch + kPatch / 2) * 3;
        for (int channel = 0; channel < 3; ++channel, ++samples) {
            const double error = uchar(rgb.at(at + channel)) - kColours.at(patch).at(channel);
            squares += error * error;
        }
    }
    return squares == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 * samples / squares);
}

QByteArray decodedFrames(const QString& video) {
    const QByteArray framemd5 =
        ToolProbe::output(ToolProbe::stagedFfmpeg(), {"-v", "error", "-i", video, "-f", "framemd5", "-"})
            .value_or(QByteArray());
    // Only the frame lines: the header names the input.
    return framemd5.mid(framemd5.lastIndexOf('#'));
}

class VideoRewriterTest : public ::testing::Test {
protected:
    TemporaryFolder folder;
    QString encoded;
    QString rewritten;

    void SetUp() override {
        const QString images = folder.makeFolder("images");
        QStringList drawing;
        for (const auto& colour : kColours)
            drawing << "-size" << QStringLiteral("%1x%1").arg(kPatch) << "xc:" + hex(colour);
        drawing << "+append" << images + "/00000.png";
        ASSERT_TRUE(ToolProbe::output(ToolProbe::stagedConvert(), drawing));
        for (int i = 1; i < 4; ++i)
            QFile::copy(images + "/00000.png",
                        images + QStringLiteral("/%1.png").arg(i, 5, 10, QLatin1Char('0')));
        encoded = folder.filePath("output/.encoded.mp4");
        rewritten = folder.filePath("output/.rewritten.mp4");
        ASSERT_TRUE(
            VideoEncoder::convertImagesToMp4FromFolder(ToolProbe::stagedFfmpeg(), images, encoded, 25, 4000));
    }
};

TEST_F(VideoRewriterTest, DescribesTheColourAndLeadsWithTheIndexWithoutTouchingAFrame) {
    ASSERT_TRUE(VideoRewriter::rewrite(ToolProbe::stagedFfmpeg(), encoded, rewritten, 20, ToolRunOptions()));

    EXPECT_EQ(decodedFrames(rewritten), decodedFrames(encoded));
    EXPECT_FALSE(decodedFrames(rewritten).isEmpty());
    EXPECT_FALSE(Mp4Boxes::indexLeads(encoded));
    EXPECT_TRUE(Mp4Boxes::indexLeads(rewritten));
    const ExpectedVideo expected{int(kPatch * kColours.size()), kPatch, 4};
    EXPECT_EQ(VideoVerifier::verify(kFfprobe, encoded, expected).reason().toStdString(),
              "the video's colour description (range/matrix/primaries/transfer) is "
              "unknown/unknown/unknown/unknown, expected tv/smpte170m/bt709/iec61966-2-1");
    EXPECT_TRUE(VideoVerifier::verify(kFfprobe, rewritten, expected).ok());
}

// The animation's rate, which the fixed encoder command cannot record, is
// read back from the rewritten video.
TEST_F(VideoRewriterTest, RecordsTheAnimationsRate) {
    for (const qint64 fps : {qint64(1), qint64(20), qint64(59)}) {
        ASSERT_TRUE(
            VideoRewriter::rewrite(ToolProbe::stagedFfmpeg(), encoded, rewritten, fps, ToolRunOptions()));
        const Result<VideoFacts> facts = VideoProbe::probe(kFfprobe, rewritten);
        ASSERT_TRUE(facts.ok()) << facts.reason().toStdString();
        EXPECT_EQ(facts->recordedInputFps(), fps);
    }
    const Result<VideoFacts> bare = VideoProbe::probe(kFfprobe, encoded);
    ASSERT_TRUE(bare.ok());
    EXPECT_EQ(bare->recordedInputFps(), 0) << "nothing recorded, nothing read";
}

// Decoded as its description says, the video gives back the colours at least
// as well as decoded as BT.601 by hand; a player assuming BT.709 shifts them.
TEST_F(VideoRewriterTest, DecodedAsDescribedGivesBackTheColours) {
    ASSERT_TRUE(VideoRewriter::rewrite(ToolProbe::stagedFfmpeg(), encoded, rewritten, 20, ToolRunOptions()));
    const double described = patchPsnr(decodeFirstFrame(rewritten));
    const double bt601 = patchPsnr(decodeFirstFrame(rewritten, "bt601"));
    const double bt709 = patchPsnr(decodeFirstFrame(rewritten, "bt709"));
    EXPECT_GE(described, bt601);
    EXPECT_GE(described, 38.0);
    EXPECT_LT(bt709, described - 10.0);
}

TEST_F(VideoRewriterTest, FailureLeavesNoFile) {
    ASSERT_TRUE(QFile::remove(encoded));
    EXPECT_FALSE(VideoRewriter::rewrite(ToolProbe::stagedFfmpeg(), encoded, rewritten, 20, ToolRunOptions()));
    EXPECT_FALSE(QFileInfo::exists(rewritten));
}

} // namespace

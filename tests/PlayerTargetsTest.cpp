#include "output/PlayerTargets.h"

#include "ParamName.h"
#include "ScratchEnvironment.h"
#include "StagedConversion.h"
#include "TemporaryFolder.h"
#include "TestFrames.h"
#include "ToolProbe.h"
#include "core/Cancellation.h"
#include "pipeline/ConversionDriver.h"
#include "pipeline/ExpressDriver.h"
#include "preview/FrameComparison.h"
#include "preview/FrameRecombiner.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThreadPool>
#include <QtEndian>
#include <cmath>
#include <gtest/gtest.h>

using namespace zev;

namespace {

constexpr int kWidth = 60;
constexpr int kHeight = 44;
constexpr int kFrames = 12;

using Layout = OutputOptions::Layout;
using Regions = PlayerTarget::Regions;

// Where a player of the target finds the colour and the alpha, read the way
// it reads them: from its own description in the file's bytes, or by
// splitting the frame.
struct PlayerView {
    QSize packed;
    QRect colour;
    QRect mask;
};

QRect rectOf(const QJsonValue& value) {
    const QJsonArray array = value.toArray();
    return {array.at(0).toInt(), array.at(1).toInt(), array.at(2).toInt(), array.at(3).toInt()};
}

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The payload of the box right after ftyp, when it is a vapc box.
QByteArray vapcBoxJson(const QByteArray& bytes) {
    if (bytes.size() < 16 || bytes.mid(4, 4) != "ftyp")
        return {};
    const quint32 ftypSize = qFromBigEndian<quint32>(bytes.constData());
    const quint32 size = qFromBigEndian<quint32>(bytes.constData() + ftypSize);
    if (bytes.mid(ftypSize + 4, 4) != "vapc")
        return {};
    return bytes.mid(ftypSize + 8, size - 8);
}

PlayerView fromVapc(const QByteArray& json) {
    const QJsonObject info = QJsonDocument::fromJson(json).object().value("info").toObject();
    return {{info.value("videoW").toInt(), info.value("videoH").toInt()},
            rectOf(info.value("rgbFrame")),
            rectOf(info.value("aFrame"))};
}

// The text between the markers is base64 of zlib's format; qUncompress
// takes it after four bytes of the expected size.
std::optional<PlayerView> fromMarkers(const QByteArray& bytes) {
    const QByteArray opening = "yyeffectmp4json[[";
    const qsizetype start = bytes.indexOf(opening);
    const qsizetype end = bytes.indexOf("]]yyeffectmp4json", start);
    if (start < 0 || end < 0)
        return std::nullopt;
    const QByteArray zlib =
        QByteArray::fromBase64(bytes.mid(start + opening.size(), end - start - opening.size()));
    const QByteArray json = qUncompress(QByteArray("\0\0\x10\0", 4) + zlib);
    const QJsonObject descript = QJsonDocument::fromJson(json).object().value("descript").toObject();
    if (descript.isEmpty())
        return std::nullopt;
    return PlayerView{{descript.value("width").toInt(), descript.value("height").toInt()},
                      rectOf(descript.value("rgbFrame")),
                      rectOf(descript.value("alphaFrame"))};
}

// A splitting player's halves: the whole of each, padding and all.
PlayerView fromHalves(QSize packed, Layout layout) {
    const bool sideBySide = layout == Layout::MaskLeft || layout == Layout::MaskRight;
    const QSize half =
        sideBySide ? QSize(packed.width() / 2, packed.height()) : QSize(packed.width(), packed.height() / 2);
    const QPoint second = sideBySide ? QPoint(half.width(), 0) : QPoint(0, half.height());
    const bool maskFirst = layout == Layout::MaskLeft || layout == Layout::MaskTop;
    return {packed, QRect(maskFirst ? second : QPoint(), half), QRect(maskFirst ? QPoint() : second, half)};
}

RgbaFrame sourceFrame(const QString& path, QSize size) {
    const auto pixels = ToolProbe::readPixels(path);
    RgbaFrame frame = RgbaFrame::blank(size.width(), size.height());
    if (!pixels)
        return {};
    for (int y = 0; y < pixels->height; ++y)
        for (int x = 0; x < pixels->width; ++x)
            for (int ch = 0; ch < 4; ++ch)
                frame.pixel(x, y)[ch] = uchar(pixels->at(x, y, ch));
    return frame;
}

// A half-size mask holds the source's alpha averaged over 2 × 2 pixels, and
// no more: a hard edge in the alpha cannot come back from it, so it is
// judged at its own size.
double halfMaskMse(const PackedFrame& packed, const QRect& mask, const RgbaFrame& source) {
    double sum = 0;
    for (int y = 0; y < mask.height(); ++y) {
        for (int x = 0; x < mask.width(); ++x) {
            double alpha = 0;
            for (int v = 0; v < 2; ++v)
                for (int u = 0; u < 2; ++u)
                    alpha += source.pixel(std::min(2 * x + u, source.width - 1),
                                          std::min(2 * y + v, source.height - 1))[3] /
                             4.0;
            const double decoded = packed.pixel(mask.x() + x, mask.y() + y)[1];
            sum += (decoded - alpha) * (decoded - alpha);
        }
    }
    return sum / (mask.width() * mask.height());
}

class PlayerTargetsTest : public testing::Test {
protected:
    ScratchEnvironment scratch;
    TemporaryFolder folder;
    QString frames = folder.filePath("frames");
    QString video = frames + "/output/zev.mp4";

    ConversionSettings settings(const OutputOptions& options, bool express) const {
        ConversionSettings chosen = StagedConversion::settings(frames, options, express);
        if (express)
            chosen.output.crf = 18;
        return chosen;
    }

    ConversionOutcome make(const OutputOptions& options, bool express = true) const {
        Cancellation cancellation;
        if (express)
            return ExpressDriver(settings(options, true), cancellation).run();
        QThreadPool queue;
        return ConversionDriver(settings(options, false), queue, cancellation).run();
    }

    std::optional<PlayerView> playerView(const PlayerTarget& target) const {
        const QByteArray bytes = fileBytes(video);
        switch (target.regions) {
        case Regions::Described: {
            const QByteArray box = vapcBoxJson(bytes);
            // Their web build fetches the same JSON beside the video.
            if (box.isEmpty() || fileBytes(frames + "/output/vapc.json") != box)
                return std::nullopt;
            return fromVapc(box);
        }
        case Regions::DescribedOrHalves:
            return fromMarkers(bytes);
        case Regions::Halves:
        case Regions::PaddedHalves: {
            const auto size = ToolProbe::output(
                ToolProbe::stagedFfmpeg().replace("ffmpeg/ffmpeg", "ffmpeg/ffprobe"),
                {"-v", "error", "-show_entries", "stream=width,height", "-of", "csv=p=0:s=x", video});
            if (!size)
                return std::nullopt;
            const QList<QByteArray> sides = size->trimmed().split('x');
            return fromHalves(QSize(sides.value(0).toInt(), sides.value(1).toInt()), target.options.layout);
        }
        }
        return std::nullopt;
    }

    // Mask and colour PSNR of the frames put together from the player's
    // regions, against the source frames (padded with clear pixels to the
    // region's size where the player shows a whole padded half).
    std::pair<double, double> psnrThrough(const PlayerView& view, bool premultiplied) const {
        const auto rgb = ToolProbe::output(ToolProbe::stagedFfmpeg(), {"-v", "error", "-i", video, "-f",
                                                                       "rawvideo", "-pix_fmt", "rgb24", "-"});
        const qsizetype frameBytes = PackedFrame::byteCount(view.packed.width(), view.packed.height());
        if (!rgb || rgb->size() != frameBytes * kFrames)
            return {0, 0};
        VideoDescription description;
        description.packedSize = view.packed;
        description.frameSize = view.colour.size();
        description.sourceSize = view.colour.size();
        description.colourRect = view.colour;
        description.maskRect = view.mask;
        description.premultiplied = premultiplied;
        FrameRecombiner recombiner(description);
        double maskMse = 0;
        double colourMse = 0;
        for (int i = 0; i < kFrames; ++i) {
            const PackedFrame packed{view.packed.width(), view.packed.height(), i,
                                     rgb->mid(i * frameBytes, frameBytes)};
            const RgbaFrame source =
                sourceFrame(QStringLiteral("%1/%2.png").arg(frames).arg(i), view.colour.size());
            const std::optional<FrameComparison> comparison =
                FrameComparison::compare(recombiner.recombine(packed), source);
            if (!comparison)
                return {0, 0};
            const bool halfMask = view.mask.size() != view.colour.size();
            maskMse += (halfMask ? halfMaskMse(packed, view.mask, source) : comparison->maskMse) / kFrames;
            colourMse += comparison->colourMse / kFrames;
        }
        return {FrameComparison::psnr(maskMse), FrameComparison::psnr(colourMse)};
    }

    // A codec that plays in few places keeps its note even when a target
    // chose it; any other warning means the video no longer fits.
    void expectRoundTrip(const PlayerTarget& target, const OutputOptions& options, bool express,
                         bool noteExpected = false) {
        ASSERT_TRUE(TestFrames::writeGradientSequence(frames, kFrames, kWidth, kHeight));
        const ConversionOutcome outcome = make(options, express);
        ASSERT_TRUE(outcome.succeeded()) << outcome.reason.toStdString();
        EXPECT_EQ(outcome.warning.isEmpty(), !noteExpected) << outcome.warning.toStdString();
        video = outcome.video;
        const std::optional<PlayerView> view = playerView(target);
        ASSERT_TRUE(view) << "the player finds no regions";
        const auto [mask, colour] = psnrThrough(*view, options.premultiplied);
        EXPECT_GE(mask, 40.0);
        EXPECT_GE(colour, 30.0);
    }
};

struct TargetCase {
    const char* title;
    const char* target;
};

class RoundTrips : public PlayerTargetsTest, public testing::WithParamInterface<TargetCase> {};

// One target of each way of finding the regions (a box, markers, halves,
// padded halves), in its own codec and container.
TEST_P(RoundTrips, GiveTheSourceBackInTheTargetsOwnCodec) {
    const PlayerTarget* target = PlayerTargets::find(GetParam().target);
    ASSERT_NE(target, nullptr);
    expectRoundTrip(*target, target->options, true, target->options.format.codec == VideoFormat::Codec::H265);
}

INSTANTIATE_TEST_SUITE_P(PlayerTargetsTest, RoundTrips,
                         testing::Values(TargetCase{"gift_box", "gift-box"},
                                         TargetCase{"gift_marked", "gift-marked"},
                                         TargetCase{"engine_stacked", "engine-stacked"},
                                         TargetCase{"stacked_safari", "stacked-safari"}),
                         ParamName());

// The default conversion rewrites its video after encoding it: the marked
// description, written last, is still there, and the frames still decode.
TEST_F(PlayerTargetsTest, MarkersSurviveTheDefaultConversionsRewrite) {
    const PlayerTarget* target = PlayerTargets::find("gift-marked");
    ASSERT_NE(target, nullptr);
    ASSERT_TRUE(TestFrames::writeGradientSequence(frames, kFrames, kWidth, kHeight));
    const ConversionOutcome outcome = make(target->options, false);
    ASSERT_TRUE(outcome.succeeded()) << outcome.reason.toStdString();
    const std::optional<PlayerView> view = fromMarkers(fileBytes(video));
    ASSERT_TRUE(view);
    EXPECT_EQ(view->mask, QRect(0, 0, kWidth, kHeight));
    EXPECT_EQ(view->colour, QRect(kWidth, 0, kWidth, kHeight));
    EXPECT_GE(psnrThrough(*view, true).first, 40.0);
}

// A later run for another target takes away the descriptions that would
// now lie about the video.
TEST_F(PlayerTargetsTest, ARunForAnotherTargetLeavesNoStaleDescription) {
    ASSERT_TRUE(TestFrames::writeGradientSequence(frames, 4, kWidth, kHeight));
    ASSERT_TRUE(make(PlayerTargets::find("gift-box")->options).succeeded());
    ASSERT_TRUE(QFile::exists(frames + "/output/vapc.json"));
    ASSERT_TRUE(make(PlayerTargets::find("engine-side")->options).succeeded());
    EXPECT_FALSE(QFile::exists(frames + "/output/vapc.json"));
    EXPECT_TRUE(vapcBoxJson(fileBytes(video)).isEmpty());
    EXPECT_FALSE(fromMarkers(fileBytes(video)));
}

// Options chosen over a target's are made, and the run says where the video
// no longer fits it.
TEST_F(PlayerTargetsTest, OverridingATargetsChoiceWarns) {
    ASSERT_TRUE(TestFrames::writeGradientSequence(frames, 4, kWidth, kHeight));
    OutputOptions options = PlayerTargets::find("engine-side")->options;
    options.premultiplied = true;
    const ConversionOutcome outcome = make(options);
    ASSERT_TRUE(outcome.succeeded()) << outcome.reason.toStdString();
    EXPECT_TRUE(outcome.warning.contains("engine-side")) << outcome.warning.toStdString();
    EXPECT_TRUE(outcome.warning.contains("premultiplied colour: this player expects straight"))
        << outcome.warning.toStdString();
}

} // namespace

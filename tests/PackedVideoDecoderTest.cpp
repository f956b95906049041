#include "preview/PackedVideoDecoder.h"

#include "TemporaryFolder.h"
#include "TestVideos.h"
#include "ToolProbe.h"

#include <QElapsedTimer>
#include <QFile>
#include <csignal>
#include <gtest/gtest.h>

using namespace zev;

namespace {

const QSize kSize(64, 32);
constexpr int kFrames = 12;

class PackedVideoDecoderTest : public testing::Test {
protected:
    void SetUp() override {
        video_ = folder_.filePath(QStringLiteral("pattern.mp4"));
        ASSERT_TRUE(TestVideos::testPattern(video_, kFrames, kSize));
    }

    PackedVideoDecoder::Request request(qint64 firstFrame = 0) const {
        PackedVideoDecoder::Request request;
        request.ffmpegPath = ToolProbe::stagedFfmpeg();
        request.videoPath = video_;
        request.packedSize = kSize;
        request.firstFrame = firstFrame;
        return request;
    }

    static std::vector<PackedFrame> readAll(PackedVideoDecoder& decoder) {
        std::vector<PackedFrame> frames;
        while (true) {
            Result<std::optional<PackedFrame>> next = decoder.next();
            EXPECT_TRUE(next.ok()) << next.reason().toStdString();
            if (!next || !next->has_value())
                return frames;
            frames.push_back(**next);
        }
    }

    TemporaryFolder folder_;
    QString video_;
};

TEST_F(PackedVideoDecoderTest, ReadsEveryFrameThenTheEnd) {
    PackedVideoDecoder decoder(request());
    ASSERT_TRUE(decoder.start().ok());
    const std::vector<PackedFrame> frames = readAll(decoder);
    ASSERT_EQ(frames.size(), std::size_t(kFrames));
    EXPECT_EQ(frames.back().index, kFrames - 1);
    EXPECT_EQ(frames.front().rgb.size(), 64 * 32 * 3);
    EXPECT_NE(frames[0].rgb, frames[1].rgb);
}

TEST_F(PackedVideoDecoderTest, StartsAtTheFrameAskedFor) {
    PackedVideoDecoder whole(request());
    ASSERT_TRUE(whole.start().ok());
    const std::vector<PackedFrame> all = readAll(whole);
    ASSERT_EQ(all.size(), std::size_t(kFrames));

    PackedVideoDecoder fromSeven(request(7));
    ASSERT_TRUE(fromSeven.start().ok());
    const std::vector<PackedFrame> rest = readAll(fromSeven);
    ASSERT_EQ(rest.size(), std::size_t(kFrames - 7));
    EXPECT_EQ(rest.front().index, 7);
    EXPECT_EQ(rest.front().rgb, all[7].rgb);
}

TEST_F(PackedVideoDecoderTest, ADamagedVideoGivesAReasonNotAHang) {
    const QString damaged = folder_.touch(QStringLiteral("damaged.mp4"), QByteArray(4096, 'x'));
    PackedVideoDecoder::Request broken = request();
    broken.videoPath = damaged;
    PackedVideoDecoder decoder(broken);
    ASSERT_TRUE(decoder.start().ok());
    const Result<std::optional<PackedFrame>> next = decoder.next();
    ASSERT_FALSE(next.ok());
    EXPECT_TRUE(next.reason().contains(QStringLiteral("ffmpeg cannot decode")))
        << next.reason().toStdString();
    EXPECT_TRUE(next.reason().contains(damaged));
}

TEST_F(PackedVideoDecoderTest, AnFfmpegThatWritesNothingTimesOut) {
    const QString silent = folder_.touch(QStringLiteral("silent-ffmpeg"), "#!/bin/sh\nexec sleep 30\n");
    QFile::setPermissions(silent, QFile::ReadOwner | QFile::ExeOwner);
    PackedVideoDecoder::Request stalled = request();
    stalled.ffmpegPath = silent;
    stalled.stallTimeoutMs = 300;
    PackedVideoDecoder decoder(stalled);
    ASSERT_TRUE(decoder.start().ok());
    QElapsedTimer clock;
    clock.start();
    const Result<std::optional<PackedFrame>> next = decoder.next();
    EXPECT_LT(clock.elapsed(), 10000);
    ASSERT_FALSE(next.ok());
    EXPECT_TRUE(next.reason().contains(QStringLiteral("gave no frame"))) << next.reason().toStdString();
    EXPECT_FALSE(decoder.isRunning());
}

TEST_F(PackedVideoDecoderTest, DestroyingTheDecoderEndsItsFfmpeg) {
    qint64 pid = 0;
    {
        PackedVideoDecoder decoder(request());
        ASSERT_TRUE(decoder.start().ok());
        ASSERT_TRUE(decoder.next().ok());
        pid = decoder.processId();
        ASSERT_GT(pid, 0);
        EXPECT_EQ(::kill(pid_t(pid), 0), 0);
    }
    EXPECT_NE(::kill(pid_t(pid), 0), 0);
}

} // namespace

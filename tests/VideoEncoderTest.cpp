#include "tools/VideoEncoder.h"

#include "RecordedCalls.h"
#include "RecordingTest.h"
#include "TemporaryFolder.h"
#include "ToolProbe.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <gtest/gtest.h>

using namespace zev;

namespace {

// The encoder runs the recorder in place of ffmpeg; it only records.
class VideoEncoderRecorded : public RecordingTest {
protected:
    bool encode(const QString& images, const QString& output, qint64 fps = 20, qint64 rate = 2100) {
        const QString video = output.isNull() ? QString() : VideoEncoder::videoPath(output);
        return VideoEncoder::convertImagesToMp4FromFolder(recorder, images, video, fps, rate).ok();
    }
};

// The 16th argument is the file the driver names: a temporary one beside
// zev.mp4.
TEST_F(VideoEncoderRecorded, SixteenArguments) {
    const QString output = folder.filePath("frames/output");
    const QString video = output + "/.zev-encoding-1-x.mp4";
    ASSERT_FALSE(VideoEncoder::convertImagesToMp4FromFolder(recorder, "/tmp/appendImages", video, 20, 2100))
        << "the recorder writes no video";
    const QStringList expected{"-f",      "image2",   "-framerate", "20", "-i", "/tmp/appendImages/%5d.png",
                               "-vcodec", "libx264",  "-r",         "25", "-b", "2100k",
                               "-y",      "-pix_fmt", "yuv420p",    video};
    EXPECT_EQ(RecordedCalls::read(calls), QList<QStringList>{expected});
    EXPECT_EQ(VideoEncoder::encodingArguments("/tmp/appendImages", video, 20, 2100), expected);
}

TEST_F(VideoEncoderRecorded, MissingFolderRunsNothing) {
    EXPECT_FALSE(encode(QString(), folder.path()));
    EXPECT_FALSE(encode(folder.path(), QString()));
    EXPECT_TRUE(RecordedCalls::read(calls).isEmpty());
}

TEST_F(VideoEncoderRecorded, CreatesMissingOutputFolderWithParents) {
    const QString output = folder.filePath("a/b/output");
    encode(folder.path(), output);
    EXPECT_TRUE(QFileInfo(output).isDir());
    EXPECT_EQ(RecordedCalls::read(calls).size(), 1);
}

TEST_F(VideoEncoderRecorded, ExistingOutputFolderKeepsItsContents) {
    const QString other = folder.touch("output/notes.txt", "keep");
    encode(folder.path(), folder.filePath("output"));
    QFile notes(other);
    ASSERT_TRUE(notes.open(QIODevice::ReadOnly));
    EXPECT_EQ(notes.readAll(), QByteArray("keep"));
}

// A finished run is judged by its status and by the video it leaves behind.
TEST_F(VideoEncoderRecorded, NoSuccessWithoutAVideo) {
    const QString output = folder.makeFolder("output");
    EXPECT_FALSE(encode(folder.path(), output)) << "status 0, but no video written";
    folder.touch("output/zev.mp4");
    EXPECT_FALSE(encode(folder.path(), output)) << "an empty video";
    folder.touch("output/zev.mp4", "an old video");
    qputenv("ZEV_RECORD_EXIT", "1");
    EXPECT_FALSE(encode(folder.path(), output)) << "a failed run beside an older video";
    qputenv("ZEV_RECORD_EXIT", "0");
    EXPECT_TRUE(encode(folder.path(), output));
}

TEST(VideoEncoderStart, ProgramThatCannotStartIsAFailure) {
    TemporaryFolder folder;
    EXPECT_FALSE(VideoEncoder::convertImagesToMp4FromFolder(folder.filePath("no ffmpeg"), folder.path(),
                                                            folder.filePath("output/zev.mp4"), 20, 1000));
}

// Frame counts FFmpeg 5.1 wrote with the encoding arguments, as (images, fps, frames).
TEST(VideoEncoderFrames, CountsAsFfmpegWritesThem) {
    const qint64 measured[][3] = {{3, 20, 4},   {12, 12, 25}, {7, 59, 5},   {40, 1, 1000}, {5, 7, 18},
                                  {17, 3, 141}, {1, 2, 12},   {13, 24, 14}, {30, 30, 27},  {9, 50, 6},
                                  {4, 59, 3},   {29, 44, 19}, {61, 47, 35}};
    for (const auto& [images, fps, frames] : measured)
        EXPECT_EQ(VideoEncoder::outputFrameCount(images, fps), frames) << images << " images at " << fps;
    EXPECT_EQ(VideoEncoder::outputFrameCount(0, 20), 0);
}

// The real FFmpeg through the staged launcher.
class VideoEncoderReal : public ::testing::Test {
protected:
    TemporaryFolder folder;

    QString writePackedFrames(int count, int width, int height) {
        const QString images = folder.makeFolder("appendImages");
        const QString model = images + "/model.png";
        const QString size = QStringLiteral("%1x%2").arg(width).arg(height);
        EXPECT_TRUE(
            ToolProbe::output(ToolProbe::stagedConvert(), {"-size", size, "gradient:red-blue", model}));
        for (int i = 0; i < count; ++i)
            QFile::copy(model, images + QStringLiteral("/%1.png").arg(i, 5, 10, QLatin1Char('0')));
        QFile::remove(model);
        return images;
    }

    bool encode(const QString& images, const QString& output, qint64 fps) {
        return VideoEncoder::convertImagesToMp4FromFolder(ToolProbe::stagedFfmpeg(), images,
                                                          VideoEncoder::videoPath(output), fps, 1000)
            .ok();
    }

    // "key=value" lines of ffprobe about the first video stream and the file.
    static QMap<QString, QString> probe(const QString& video) {
        const auto out = ToolProbe::output(
            "/usr/bin/ffprobe", {"-v", "error", "-select_streams", "v:0", "-show_entries",
                                 "stream=codec_name,pix_fmt,r_frame_rate,nb_frames:format=duration", "-of",
                                 "default=noprint_wrappers=1", video});
        QMap<QString, QString> values;
        if (!out)
            return values;
        for (const QByteArray& line : out->split('\n')) {
            const qsizetype equals = line.indexOf('=');
            if (equals > 0)
                values.insert(QString::fromUtf8(line.left(equals)), QString::fromUtf8(line.mid(equals + 1)));
        }
        return values;
    }
};

TEST_F(VideoEncoderReal, TenFramesAtFiveMakeTwoSeconds) {
    const QString images = writePackedFrames(10, 32, 16);
    const QString output = folder.filePath("frames/output");
    folder.touch("frames/output/zev.mp4", "an older video, replaced without a prompt");

    ASSERT_TRUE(encode(images, output, 5));

    const QMap<QString, QString> video = probe(output + "/zev.mp4");
    EXPECT_EQ(video.value("codec_name"), "h264");
    EXPECT_EQ(video.value("pix_fmt"), "yuv420p");
    EXPECT_EQ(video.value("r_frame_rate"), "25/1");
    EXPECT_EQ(video.value("nb_frames"), "50");
    EXPECT_NEAR(video.value("duration").toDouble(), 2.0, 0.05);
}

TEST_F(VideoEncoderReal, OddHeightIsAFailure) {
    const QString images = writePackedFrames(4, 32, 15);
    const QString output = folder.filePath("output");
    EXPECT_FALSE(encode(images, output, 20));
    EXPECT_FALSE(QFileInfo(output + "/zev.mp4").size() > 0);
}

TEST_F(VideoEncoderReal, PlainFileAtOutputPathIsAFailure) {
    const QString images = writePackedFrames(4, 32, 16);
    const QString output = folder.touch("output", "a plain file");
    EXPECT_FALSE(encode(images, output, 20));
    EXPECT_TRUE(QFileInfo(output).isFile()) << "left alone";
}

TEST_F(VideoEncoderReal, EmptyFolderIsAFailure) {
    const QString output = folder.filePath("output");
    EXPECT_FALSE(encode(folder.makeFolder("appendImages"), output, 20));
    EXPECT_FALSE(QFileInfo::exists(output + "/zev.mp4"));
}

} // namespace

#include "frames/RunSpaceModel.h"

#include "ParamName.h"
#include "PngBytes.h"
#include "TemporaryFolder.h"
#include "ToolProbe.h"
#include "frames/PngHeader.h"
#include "tools/ImageStages.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace zev;

namespace {

// By hand for 64×48: the mask 48 rows of 1 + 64 bytes, the colour of
// 1 + 256, the packed frame of 1 + 512; 1 % more, and 8 KiB a file. At
// least: 57 bytes a file and one byte of deflated 1-bit rows.
TEST(RunSpaceModelTest, WorkFilesFromTheHeader) {
    const RunSpaceModel::Need eightBit =
        RunSpaceModel::workFiles(PngHeader::parse(PngBytes::header(64, 48), 33));
    EXPECT_EQ(eightBit.least, 3 * 58);
    EXPECT_EQ(eightBit.most, (3152 + 8192) + (12460 + 8192) + (24871 + 8192));
    const RunSpaceModel::Need sixteenBit =
        RunSpaceModel::workFiles(PngHeader::parse(PngBytes::header(64, 48, 16), 33));
    EXPECT_EQ(sixteenBit.least, eightBit.least);
    EXPECT_EQ(sixteenBit.most, (6254 + 8192) + (24871 + 8192) + (49692 + 8192));
}

TEST(RunSpaceModelTest, VideoAtTheRateWithRoom) {
    const RunSpaceModel::Need video = RunSpaceModel::video(250, 25, 1000);
    EXPECT_EQ(video.least, 0);
    EXPECT_EQ(video.most, 1500000 + 1024 * 1024) << "10 s at 125 kB/s, 20 % more, 1 MiB";
}

struct PictureCase {
    const char* title;
    QStringList picture; // ImageMagick arguments that draw one 32×24 frame
    const char* format;  // the output's prefix
    int sampleBits;
};

class WhatImageMagickWrites : public ::testing::TestWithParam<PictureCase> {};

// Each file holds at most its raw samples, 1 % of framing and half a kilobyte of
// other chunks (330 bytes measured): what the model takes ImageMagick to write.
qint64 bytesIn(const QString& folder, qint64 width, qint64 bitsPerPixel) {
    const double raw = double(24 * (1 + width * bitsPerPixel / 8));
    qint64 bytes = 0;
    for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files)) {
        EXPECT_LE(file.size(), qint64(raw * 1.01) + 512) << file.filePath().toStdString();
        bytes += file.size();
    }
    return bytes;
}

// The real stages on four frames stay between the least and the most.
TEST_P(WhatImageMagickWrites, LiesBetweenTheLeastAndTheMost) {
    TemporaryFolder folder;
    QStringList frames;
    RunSpaceModel::Need need;
    for (int i = 0; i < 4; ++i) {
        const QString frame = folder.filePath(QStringLiteral("%1.png").arg(i));
        const QStringList seed{QStringLiteral("-seed"), QString::number(i + 1)};
        ASSERT_TRUE(ToolProbe::output(ToolProbe::stagedConvert(),
                                      seed + GetParam().picture + QStringList{GetParam().format + frame}));
        frames.append(frame);
        need += RunSpaceModel::workFiles(PngHeader::read(frame));
    }
    const QString masks = folder.makeFolder("alphaImages");
    const QString colours = folder.makeFolder("rgbImages");
    const QString packed = folder.makeFolder("appendImages");
    const QString convert = ToolProbe::stagedConvert();
    ASSERT_TRUE(ImageStages::extractImageAlpha(convert, frames, masks));
    ASSERT_TRUE(ImageStages::extractImageRGB(convert, frames, colours));
    QStringList maskFiles;
    QStringList colourFiles;
    for (int i = 0; i < 4; ++i) {
        maskFiles.append(QStringLiteral("%1/%2.png").arg(masks).arg(i));
        colourFiles.append(QStringLiteral("%1/%2.png").arg(colours).arg(i));
    }
    ASSERT_TRUE(ImageStages::appendImages(convert, maskFiles, colourFiles, packed));

    const int bits = GetParam().sampleBits;
    const qint64 written =
        bytesIn(masks, 32, bits) + bytesIn(colours, 32, 4 * bits) + bytesIn(packed, 64, 4 * bits);
    EXPECT_EQ(QDir(packed).entryList(QDir::Files).size(), 4);
    EXPECT_GE(written, need.least);
    EXPECT_LE(written, need.most);
}

const QStringList kNoise{"-size", "32x24", "xc:none", "-channel", "RGBA", "-fx", "rand()"};

INSTANTIATE_TEST_SUITE_P(
    Pictures, WhatImageMagickWrites,
    ::testing::Values(PictureCase{"smooth gradient",
                                  {"-size", "32x24", "gradient:red-blue", "(", "-size", "24x32",
                                   "gradient:white-black", "-rotate", "90", ")", "-alpha", "off", "-compose",
                                   "CopyOpacity", "-composite"},
                                  "PNG32:",
                                  8},
                      PictureCase{"noise", kNoise, "PNG32:", 8},
                      PictureCase{"16-bit noise", kNoise + QStringList{"-depth", "16"}, "PNG64:", 16},
                      PictureCase{"transparent", {"-size", "32x24", "xc:none"}, "PNG32:", 8}),
    ParamName());

} // namespace

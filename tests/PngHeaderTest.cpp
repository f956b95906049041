#include "PngHeader.h"

#include "ParamName.h"
#include "PngBytes.h"
#include "TemporaryFolder.h"
#include "TestFrames.h"
#include "ToolProbe.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

using Problem = PngHeader::Problem;

const QByteArray kSound = PngBytes::header(64, 48);

QByteArray withByte(QByteArray bytes, qsizetype at, char value) {
    bytes[at] = value;
    return bytes;
}

struct DamageCase {
    const char* title;
    QByteArray bytes;
    Problem problem;
};

class Damage : public ::testing::TestWithParam<DamageCase> {};

TEST_P(Damage, IsNamed) {
    const PngHeader header = PngHeader::parse(GetParam().bytes, GetParam().bytes.size());
    EXPECT_EQ(header.problem(), GetParam().problem);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, Damage,
    ::testing::Values(DamageCase{"empty", {}, Problem::Empty},
                      DamageCase{"truncated", kSound.left(32), Problem::Truncated},
                      DamageCase{"signature", withByte(kSound, 1, 'p'), Problem::NotPng},
                      DamageCase{"checksum", withByte(kSound, 32, 0), Problem::BadChecksum},
                      DamageCase{"zero width", PngBytes::header(0, 48), Problem::BadDimensions},
                      DamageCase{"height 2^31", PngBytes::header(64, 0x80000000u), Problem::BadDimensions},
                      DamageCase{"palette at 16 bits", PngBytes::header(64, 48, 16, 3),
                                 Problem::BadSampleFormat}),
    ParamName());

TEST(PngHeaderTest, ChecksumIsTheStandardOne) {
    EXPECT_EQ(PngHeader::crc32("123456789"), 0xcbf43926u);
}

TEST(PngHeaderTest, HandMadeHeaderIsImageMagicks) {
    TemporaryFolder folder;
    ASSERT_TRUE(TestFrames::writeFrame(folder.filePath("0.png"), 64, 48));
    QFile frame(folder.filePath("0.png"));
    ASSERT_TRUE(frame.open(QIODevice::ReadOnly));
    EXPECT_EQ(frame.read(PngHeader::kSize), kSound);
}

struct FormatCase {
    const char* title;
    QStringList convertArguments; // between the drawing and the output file
    quint8 bitDepth;
    quint8 colourType;
};

class RealFiles : public ::testing::TestWithParam<FormatCase> {};

TEST_P(RealFiles, AreSound) {
    TemporaryFolder folder;
    const QString file = folder.filePath("0.png");
    const QStringList drawing{
        "-size", "8x6", "xc:none", "-fill", "rgba(255,0,0,0.5)", "-draw", "rectangle 0,0 3,5"};
    ASSERT_TRUE(ToolProbe::output(ToolProbe::stagedConvert(),
                                  drawing + GetParam().convertArguments + QStringList{file}));
    const PngHeader header = PngHeader::read(file);
    ASSERT_TRUE(header.isSound()) << header.problemText().toStdString();
    EXPECT_EQ(header.width(), 8u);
    EXPECT_EQ(header.height(), 6u);
    EXPECT_EQ(header.bitDepth(), GetParam().bitDepth);
    EXPECT_EQ(header.colourType(), GetParam().colourType);
    EXPECT_EQ(header.fileSize(), QFile(file).size());
}

INSTANTIATE_TEST_SUITE_P(
    ImageMagick, RealFiles,
    ::testing::Values(
        FormatCase{"RGBA 16", {"-depth", "16", "-define", "png:format=png64"}, 16, 6},
        FormatCase{"grey alpha", {"-colorspace", "Gray", "-depth", "8", "-define", "png:color-type=4"}, 8, 4},
        FormatCase{"palette", {"-define", "png:format=png8"}, 8, 3}),
    ParamName());

TEST(PngHeaderTest, WhatIsNoPngFileIsNamed) {
    TemporaryFolder folder;
    const QString jpeg = folder.filePath("1.png");
    ASSERT_TRUE(ToolProbe::output(ToolProbe::stagedConvert(), {"-size", "8x6", "xc:red", "JPEG:" + jpeg}));
    EXPECT_EQ(PngHeader::read(jpeg).problemText().toStdString(), "is not a PNG file");
    EXPECT_EQ(PngHeader::read(folder.makeFolder("2.png")).problemText().toStdString(),
              "cannot be read: Is a directory");
    const QString pipe = folder.filePath("3.png");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_EQ(PngHeader::read(pipe).problemText().toStdString(), "cannot be read: not a regular file")
        << "no hang";
}

} // namespace

#include "frames/PngHeader.h"

#include "ParamName.h"
#include "PngBytes.h"
#include "TemporaryFolder.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace zev;

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

// What the scanner takes for a frame need not be a file: nothing may hang.
TEST(PngHeaderTest, WhatIsNoPlainFileIsNamed) {
    TemporaryFolder folder;
    EXPECT_EQ(PngHeader::read(folder.makeFolder("2.png")).problemText().toStdString(),
              "cannot be read: Is a directory");
    const QString pipe = folder.filePath("3.png");
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    EXPECT_EQ(PngHeader::read(pipe).problemText().toStdString(), "cannot be read: not a regular file")
        << "no hang";
}

} // namespace

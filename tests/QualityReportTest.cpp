#include "preview/QualityReport.h"

#include <gtest/gtest.h>

using namespace zev;

namespace {

TEST(QualityReportTest, AveragesTheErrorAndNamesTheWorstFrame) {
    QualityReport report;
    report.add(0, {0.0, 1.0});
    report.add(1, {20.0, 0.0});
    report.add(2, {10.0, 4.0});
    EXPECT_EQ(report.comparedFrames(), 3);
    // Mean squared error 10 → 38.13 dB; a perfect frame does not make the
    // average infinite.
    EXPECT_NEAR(report.mask().averagePsnr, FrameComparison::psnr(10.0), 1e-9);
    EXPECT_EQ(report.mask().worstFrame, 1);
    EXPECT_NEAR(report.mask().worstPsnr, FrameComparison::psnr(20.0), 1e-9);
    EXPECT_EQ(report.colour().worstFrame, 2);
}

TEST(QualityReportTest, IdenticalFramesReadInfInTextAndJson) {
    QualityReport report;
    report.add(0, {0.0, 0.0});
    EXPECT_TRUE(
        report.toText().contains(QStringLiteral("mask PSNR: average inf dB, worst inf dB (frame 0)")));
    EXPECT_EQ(
        report.toJson().value(QStringLiteral("colour")).toObject().value(QStringLiteral("worst")).toString(),
        QStringLiteral("inf"));
}

} // namespace

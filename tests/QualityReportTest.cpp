#include "preview/QualityReport.h"

#include <QJsonObject>
#include <gtest/gtest.h>

using namespace zev;

namespace {

FrameComparison figures(double maskMse, double colourMse) {
    FrameComparison comparison;
    comparison.maskMse = maskMse;
    comparison.colourMse = colourMse;
    return comparison;
}

TEST(QualityReportTest, AveragesTheErrorAndNamesTheWorstFrame) {
    QualityReport report;
    report.add(0, figures(0.0, 1.0));
    report.add(1, figures(20.0, 0.0));
    report.add(2, figures(10.0, 4.0));
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
    report.add(0, figures(0.0, 0.0));
    EXPECT_TRUE(
        report.toText().contains(QStringLiteral("mask PSNR: average inf dB, worst inf dB (frame 0)")));
    EXPECT_EQ(
        report.toJson().value(QStringLiteral("colour")).toObject().value(QStringLiteral("worst")).toString(),
        QStringLiteral("inf"));
}

FrameComparison withEdges(qint64 edgePixels, double overWhiteMse, double overWhiteMean) {
    FrameComparison comparison;
    comparison.pixels = 100;
    comparison.edgePixels = edgePixels;
    comparison.edgeOverWhite = {overWhiteMse, overWhiteMean};
    comparison.edgeOverBlack = {overWhiteMse / 4, -overWhiteMean};
    return comparison;
}

TEST(QualityReportTest, EdgeFiguresWeighEachFrameByItsEdgePixels) {
    QualityReport report;
    // 30 edge pixels off by 2 levels (darker), 10 off by 6 levels (lighter):
    // mean squared error (30·4 + 10·36) / 40 = 12, mean error 0.
    report.add(0, withEdges(30, 4.0, -2.0));
    report.add(1, withEdges(10, 36.0, 6.0));
    report.add(2, withEdges(0, 0.0, 0.0));
    const QualityReport::EdgeFigures edges = report.edges();
    EXPECT_EQ(edges.pixels, 40);
    EXPECT_NEAR(edges.share, 40.0 / 300.0, 1e-9);
    EXPECT_NEAR(edges.overWhitePsnr, FrameComparison::psnr(12.0), 1e-9);
    EXPECT_NEAR(edges.overWhiteMeanError, 0.0, 1e-9);
    EXPECT_NEAR(edges.overBlackPsnr, FrameComparison::psnr(3.0), 1e-9);
    const QJsonObject json = report.toJson().value(QStringLiteral("edges")).toObject();
    EXPECT_EQ(json.value(QStringLiteral("pixels")).toInteger(), 40);
    EXPECT_NEAR(json.value(QStringLiteral("overWhite")).toObject().value(QStringLiteral("psnr")).toDouble(),
                FrameComparison::psnr(12.0), 0.01);
}

TEST(QualityReportTest, AVideoWithoutEdgesSaysSoInsteadOfAFigure) {
    QualityReport report;
    report.add(0, withEdges(0, 0.0, 0.0));
    EXPECT_TRUE(report.toText().contains(QStringLiteral("edge pixels (0 < alpha < 255): none")));
    const QJsonObject json = report.toJson().value(QStringLiteral("edges")).toObject();
    EXPECT_TRUE(json.value(QStringLiteral("overWhite")).toObject().value(QStringLiteral("psnr")).isNull());
}

TEST(QualityReportTest, TheEdgeLineGivesTheSignOfTheMeanError) {
    QualityReport report;
    report.add(0, withEdges(50, 4.0, -1.5));
    EXPECT_TRUE(report.toText().contains(QStringLiteral(
        "edge pixels (0 < alpha < 255, 50.0 % of all): over white 42.11 dB, mean error -1.50; over black "
        "48.13 dB, mean error +1.50")))
        << report.toText().toStdString();
}

} // namespace

#include "tools/ToolRunResult.h"

#include "ParamName.h"

#include <gtest/gtest.h>

using namespace zev;

namespace {

// What ffmpeg 5.1 with libx264 wrote when the disk filled up: the failed
// write among its other complaints, then x264's statistics.
const QByteArray kStatistics = "[libx264 @ 0x5653] frame I:1     Avg QP: 9.67  size:  4103\n"
                               "[libx264 @ 0x5653] ref B L1: 92.7%  7.3%\n"
                               "[libx264 @ 0x5653] kb/s:169.48\n";

struct OutcomeCase {
    const char* title;
    int exitCode;
    QByteArray standardError;
    bool succeeds;
    const char* reason; // what the reason holds; "" for a success
};

class Outcomes : public ::testing::TestWithParam<OutcomeCase> {};

// A write that failed for want of room is what the reason names, wherever
// it stands in the tool's output and even when the tool exits with 0.
TEST_P(Outcomes, NameAFullDisk) {
    const OutcomeCase c = GetParam();
    ToolRunResult run;
    run.started = true;
    run.exitCode = c.exitCode;
    run.standardError = c.standardError;

    const Result<> outcome = run.outcome(QStringLiteral("ffmpeg"));

    EXPECT_EQ(outcome.ok(), c.succeeds) << outcome.reason().toStdString();
    EXPECT_TRUE(outcome.reason().contains(QString::fromUtf8(c.reason))) << outcome.reason().toStdString();
    EXPECT_FALSE(outcome.reason().contains(QStringLiteral("kb/s"))) << outcome.reason().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Tools, Outcomes,
    ::testing::Values(
        OutcomeCase{"clean exit", 0, kStatistics, true, ""},
        OutcomeCase{
            "full disk, then statistics", 1,
            "frame=    1 fps=0.0 q=0.0 size=       0kB\rError writing trailer of x.mp4: No space left on "
            "device\nConversion failed!\n" +
                kStatistics,
            false, "ffmpeg exited with status 1: Error writing trailer of x.mp4: No space left on device"},
        OutcomeCase{
            "full disk yet status 0", 0, "Error closing file x.mp4: No space left on device\n" + kStatistics,
            false,
            "ffmpeg could not write all of its output: Error closing file x.mp4: No space left on device"},
        OutcomeCase{"other failure", 1, "x.png: Invalid data found when processing input\n", false,
                    "ffmpeg exited with status 1: x.png: Invalid data found when processing input"}),
    ParamName());

} // namespace

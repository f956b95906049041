#include "CliProgressReporter.h"

#include <QBuffer>
#include <gtest/gtest.h>

using namespace zev;

namespace {

using Stage = ConversionProgress::Stage;

class Captured {
public:
    explicit Captured(bool onTerminal)
        : reporter_(buffer_, onTerminal) {
        buffer_.open(QIODevice::WriteOnly);
    }
    CliProgressReporter& reporter() { return reporter_; }
    QString text() const { return QString::fromUtf8(buffer_.data()); }

private:
    QBuffer buffer_;
    CliProgressReporter reporter_;
};

ConversionProgress at(Stage stage, qint64 done, qint64 total, double fraction = 0.0,
                      qint64 secondsLeft = -1) {
    return {stage, done, total, fraction, secondsLeft};
}

struct TextCase {
    ConversionProgress progress;
    const char* text;
};

class ProgressText : public ::testing::TestWithParam<TextCase> {};

TEST_P(ProgressText, NamesTheStageFramesPercentageAndTimeLeft) {
    const TextCase c = GetParam();
    EXPECT_EQ(CliProgressReporter::progressText(c.progress), QString::fromUtf8(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    Stages, ProgressText,
    ::testing::Values(
        TextCase{at(Stage::Scanning, 0, 0), "scanning"},
        TextCase{at(Stage::Extracting, 120, 480, 0.0875), "extracting 120/480 frames, 8%"},
        // The percentage never rounds up to a finished run.
        TextCase{at(Stage::Packing, 479, 480, 0.999, 0), "packing 479/480 frames, 99%, 0s left"},
        TextCase{at(Stage::Encoding, 10, 600, 0.93, 130), "encoding 10/600 frames, 93%, 2m 10s left"},
        TextCase{at(Stage::Extracting, 1, 9000, 0.01, 3725), "extracting 1/9000 frames, 1%, 1h 02m left"}));

TEST(CliProgressReporterTest, PipeGetsAtMostOneLineASecond) {
    Captured captured(false);
    for (int done = 0; done <= 50; ++done)
        captured.reporter().show(at(Stage::Packing, done, 50));
    captured.reporter().finish();

    EXPECT_EQ(captured.text(), QStringLiteral("packing 0/50 frames, 0%\n"));
}

TEST(CliProgressReporterTest, TerminalRewritesOneLineAndBlanksItAtTheEnd) {
    Captured captured(true);
    CliProgressReporter& reporter = captured.reporter();

    reporter.show(at(Stage::Extracting, 1, 2, 0.2));
    reporter.show(at(Stage::Scanning, 0, 0)); // shorter: the old text is blanked first
    reporter.finish();

    const QString first = QStringLiteral("extracting 1/2 frames, 20%");
    EXPECT_EQ(captured.text(), QLatin1Char('\r') + first + QLatin1Char('\r') + QString(first.size(), u' ') +
                                   QStringLiteral("\r\rscanning\r") + QString(8, u' ') + QLatin1Char('\r'));
}

TEST(CliProgressReporterTest, LogLineOnTerminalPutsTheProgressBackBelowIt) {
    Captured captured(true);
    captured.reporter().show(at(Stage::Scanning, 0, 0));
    captured.reporter().showLog(QStringLiteral("zev: something happened"));

    EXPECT_EQ(captured.text(), QStringLiteral("\rscanning\r") + QString(8, u' ') +
                                   QStringLiteral("\rzev: something happened\nscanning"));
}

TEST(CliProgressReporterTest, FinishWithoutProgressWritesNothing) {
    for (const bool onTerminal : {true, false}) {
        Captured captured(onTerminal);
        captured.reporter().finish();
        EXPECT_TRUE(captured.text().isEmpty()) << onTerminal;
    }
}

} // namespace

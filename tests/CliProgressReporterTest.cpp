#include "CliProgressReporter.h"

#include <QBuffer>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

using Stage = ConversionObserver::Stage;

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

QString blanks(int count) {
    return QString(count, QLatin1Char(' '));
}

// A whole full run of 21 frames: two batches, so four extraction and two
// packing operations.
void reportFullRun(CliProgressReporter& reporter) {
    reporter.stageStarted(Stage::Scanning, 0);
    reporter.stageStarted(Stage::Extracting, 4);
    for (int done = 1; done <= 4; ++done)
        reporter.stepFinished(Stage::Extracting, done, 4);
    reporter.stageStarted(Stage::Packing, 2);
    reporter.stepFinished(Stage::Packing, 1, 2);
    reporter.stepFinished(Stage::Packing, 2, 2);
    reporter.stageStarted(Stage::Encoding, 0);
}

struct TextCase {
    Stage stage;
    int finished;
    int total;
    const char* text;
};

class ProgressText : public ::testing::TestWithParam<TextCase> {};

TEST_P(ProgressText, NamesTheStageAndCountsItsSteps) {
    const TextCase c = GetParam();
    EXPECT_EQ(CliProgressReporter::progressText(c.stage, c.finished, c.total), QString::fromUtf8(c.text));
}

INSTANTIATE_TEST_SUITE_P(Stages, ProgressText,
                         ::testing::Values(TextCase{Stage::Scanning, 0, 0, "scanning"},
                                           TextCase{Stage::Extracting, 0, 6, "extracting 0/6"},
                                           TextCase{Stage::Extracting, 3, 6, "extracting 3/6"},
                                           TextCase{Stage::Packing, 12, 12, "packing 12/12"},
                                           TextCase{Stage::Encoding, 0, 0, "encoding"}));

TEST(CliProgressReporterTest, PipedReportsArePlainLines) {
    Captured captured(false);
    reportFullRun(captured.reporter());
    captured.reporter().finish();

    EXPECT_EQ(captured.text(),
              QStringLiteral("scanning\n"
                             "extracting 0/4\nextracting 1/4\nextracting 2/4\nextracting 3/4\n"
                             "extracting 4/4\n"
                             "packing 0/2\npacking 1/2\npacking 2/2\n"
                             "encoding\n"));
}

TEST(CliProgressReporterTest, TerminalRewritesOneLineAndBlanksItAtTheEnd) {
    Captured captured(true);
    CliProgressReporter& reporter = captured.reporter();

    reporter.stageStarted(Stage::Extracting, 2);
    reporter.stepFinished(Stage::Extracting, 1, 2);
    reporter.stageStarted(Stage::Encoding, 0); // shorter: the old text is blanked first
    reporter.finish();

    EXPECT_EQ(captured.text(), QStringLiteral("\rextracting 0/2\rextracting 1/2") + QLatin1Char('\r') +
                                   blanks(14) + QStringLiteral("\r\rencoding") + QLatin1Char('\r') +
                                   blanks(8) + QLatin1Char('\r'));
    EXPECT_FALSE(captured.text().contains(QLatin1Char('\n')));
}

TEST(CliProgressReporterTest, FinishWithoutProgressWritesNothing) {
    for (const bool onTerminal : {true, false}) {
        Captured captured(onTerminal);
        captured.reporter().finish();
        EXPECT_TRUE(captured.text().isEmpty()) << onTerminal;
    }
}

TEST(CliProgressReporterTest, LogLineOnTerminalPutsTheProgressBackBelowIt) {
    Captured captured(true);
    captured.reporter().stageStarted(Stage::Packing, 3);
    captured.reporter().showLog(QStringLiteral("zev: something happened"));

    EXPECT_EQ(captured.text(), QStringLiteral("\rpacking 0/3\r") + blanks(11) +
                                   QStringLiteral("\rzev: something happened\npacking 0/3"));
}

TEST(CliProgressReporterTest, PipedLogLineIsOneLine) {
    Captured captured(false);
    captured.reporter().stageStarted(Stage::Scanning, 0);
    captured.reporter().showLog(QStringLiteral("note"));
    EXPECT_EQ(captured.text(), QStringLiteral("scanning\nnote\n"));
}

TEST(CliProgressReporterTest, LateReportOfAnEarlierStepIsDropped) {
    Captured captured(false);
    captured.reporter().stageStarted(Stage::Extracting, 4);
    captured.reporter().stepFinished(Stage::Extracting, 2, 4);
    captured.reporter().stepFinished(Stage::Extracting, 1, 4);
    captured.reporter().stepFinished(Stage::Extracting, 3, 4);

    EXPECT_EQ(captured.text(), QStringLiteral("extracting 0/4\nextracting 2/4\nextracting 3/4\n"));
}

// Batch operations report from many threads at once: every line stays
// whole and the counts only go up.
TEST(CliProgressReporterTest, ReportsFromManyThreadsKeepLinesWholeAndOrdered) {
    constexpr int kThreads = 8;
    constexpr int kStepsEach = 50;
    constexpr int kTotal = kThreads * kStepsEach;
    Captured captured(false);
    captured.reporter().stageStarted(Stage::Packing, kTotal);
    std::atomic<int> finished{0};

    std::vector<std::unique_ptr<QThread>> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back(QThread::create([&]() {
            for (int i = 0; i < kStepsEach; ++i)
                captured.reporter().stepFinished(Stage::Packing, ++finished, kTotal);
        }));
        threads.back()->start();
    }
    for (auto& thread : threads)
        thread->wait();

    const QStringList lines = captured.text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    int previous = -1;
    for (const QString& line : lines) {
        ASSERT_TRUE(line.startsWith(QStringLiteral("packing ")) && line.endsWith(QStringLiteral("/400")))
            << line.toStdString();
        const int count = line.section(QLatin1Char(' '), 1).section(QLatin1Char('/'), 0, 0).toInt();
        EXPECT_GT(count, previous) << line.toStdString();
        previous = count;
    }
    EXPECT_EQ(lines.last(), QStringLiteral("packing 400/400"));
}

} // namespace

#include "QueueSummary.h"

#include "ParamName.h"
#include "core/UserTexts.h"

#include <gtest/gtest.h>
#include <vector>

using namespace zev;

namespace {

enum class Ending { Success, Failure, FailureWithReason, Cancelled };

ConversionOutcome outcomeFor(Ending ending) {
    switch (ending) {
    case Ending::Success:
        return ConversionOutcome::success(QStringLiteral("/frames/output"));
    case Ending::Failure:
        return ConversionOutcome::failure(UserTexts::kFramesNotConsecutive);
    case Ending::FailureWithReason:
        return ConversionOutcome::failure(UserTexts::kConversionFailed,
                                          Result<>::failure(QStringLiteral("ffmpeg exited with status 1")));
    case Ending::Cancelled:
        break;
    }
    return ConversionOutcome::cancelled();
}

struct SummaryCase {
    const char* title;
    std::vector<Ending> endings;
    int succeeded, failed, cancelled;
    QString headline;
    QString details;
};

void PrintTo(const SummaryCase& c, std::ostream* out) {
    *out << c.title;
}

class Summaries : public ::testing::TestWithParam<SummaryCase> {};

// No translation is installed here: the English source texts.
TEST_P(Summaries, CountEachEndingAndNameTheFailures) {
    const SummaryCase c = GetParam();
    QueueSummary summary;
    int line = 0;
    for (const Ending ending : c.endings)
        summary.add(QStringLiteral("line%1").arg(line++), outcomeFor(ending));

    EXPECT_EQ(summary.succeeded(), c.succeeded);
    EXPECT_EQ(summary.failed(), c.failed);
    EXPECT_EQ(summary.cancelled(), c.cancelled);
    EXPECT_EQ(summary.isEmpty(), c.endings.empty());
    EXPECT_EQ(summary.headline(), c.headline);
    EXPECT_EQ(summary.details(), c.details);
}

INSTANTIATE_TEST_SUITE_P(
    QueueSummaryTest, Summaries,
    ::testing::Values(
        SummaryCase{"empty", {}, 0, 0, 0, QStringLiteral("Queue finished: 0 converted, 0 failed"), QString()},
        SummaryCase{"all_converted",
                    {Ending::Success, Ending::Success},
                    2,
                    0,
                    0,
                    QStringLiteral("Queue finished: 2 converted, 0 failed"),
                    QString()},
        SummaryCase{
            "two_failures_in_order",
            {Ending::Failure, Ending::Success, Ending::FailureWithReason},
            1,
            2,
            0,
            QStringLiteral("Queue finished: 1 converted, 2 failed"),
            QStringLiteral("line0: 文件夹下存在不连续图片.\nline2: 合成视频过程出错，请重试. ffmpeg exited "
                           "with status 1")},
        SummaryCase{"cancelled_named_only_when_any",
                    {Ending::Cancelled, Ending::Success, Ending::Cancelled},
                    1,
                    0,
                    2,
                    QStringLiteral("Queue finished: 1 converted, 0 failed, 2 cancelled"),
                    QString()}),
    ParamName());

} // namespace

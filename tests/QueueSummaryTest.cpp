#include "QueueSummary.h"

#include "core/UserTexts.h"

#include <gtest/gtest.h>

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

// No translation is installed here: the English source texts. Every
// failure is named, in queue order, with its reason; cancelled lines are
// counted but not named.
TEST(QueueSummaryTest, CountsEachEndingAndNamesTheFailuresInOrder) {
    QueueSummary summary;
    int line = 0;
    for (const Ending ending :
         {Ending::Failure, Ending::Success, Ending::Cancelled, Ending::FailureWithReason})
        summary.add(QStringLiteral("line%1").arg(line++), outcomeFor(ending));

    EXPECT_EQ(summary.succeeded(), 1);
    EXPECT_EQ(summary.failed(), 2);
    EXPECT_EQ(summary.cancelled(), 1);
    EXPECT_EQ(summary.total(), 4);
    EXPECT_EQ(summary.headline(), QStringLiteral("Queue finished: 1 converted, 2 failed, 1 cancelled"));
    EXPECT_EQ(summary.details(),
              QStringLiteral("line0: 文件夹下存在不连续图片.\nline3: 合成视频过程出错，请重试. ffmpeg exited "
                             "with status 1"));
}

} // namespace

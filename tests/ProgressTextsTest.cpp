#include "ProgressTexts.h"

#include "ParamName.h"
#include "core/Translations.h"

#include <gtest/gtest.h>

using namespace zev;

namespace {

using Stage = ConversionProgress::Stage;

struct TextCase {
    const char* title;
    ConversionProgress progress;
    const char* stage;
    const char* time;
};

void PrintTo(const TextCase& c, std::ostream* out) {
    *out << c.title;
}

// The window speaks Chinese: the progress card's texts are written in English
// in the code and must come out as the card always showed them.
class WindowProgressText : public ::testing::TestWithParam<TextCase> {
protected:
    static void SetUpTestSuite() { Translations::install(Translations::windowLocale()); }
};

TEST_P(WindowProgressText, ReadsInChinese) {
    const TextCase c = GetParam();
    EXPECT_EQ(ProgressTexts::stageText(c.progress), QString::fromUtf8(c.stage));
    EXPECT_EQ(ProgressTexts::timeText(c.progress), QString::fromUtf8(c.time));
}

INSTANTIATE_TEST_SUITE_P(
    Card, WindowProgressText,
    ::testing::Values(
        TextCase{"scanning", {Stage::Scanning, 0, 0, 0.0, -1}, "正在检查序列帧…", "正在估算剩余时间…"},
        TextCase{"extracting", {Stage::Extracting, 140, 200, 0.3, 44}, "正在提取 140/200 帧", "约 44 秒"},
        TextCase{"packing unknown total", {Stage::Packing, 0, 0, 0.5, 130}, "正在拼接…", "约 2 分 10 秒"},
        TextCase{"encoding", {Stage::Encoding, 7, 480, 0.9, 3900}, "正在编码 7/480 帧", "约 1 小时 5 分"},
        TextCase{"a_trial_encode",
                 {Stage::Encoding, 40, 75, 0.8, 12, 3},
                 "第 3 次试编码：正在编码 40/75 帧",
                 "约 12 秒"}),
    ParamName());

} // namespace

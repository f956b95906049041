#include "output/VapcDescription.h"

#include "ParamName.h"
#include "output/PackedLayout.h"

#include <gtest/gtest.h>

using namespace zev;

namespace {

TEST(VapcDescriptionTest, DescribesTheLayoutAndComesBack) {
    OutputOptions options;
    options.layout = OutputOptions::Layout::MaskRight;
    options.maskSize = OutputOptions::MaskSize::Half;
    options.border = 16;
    const PackedLayout layout = PackedLayout::plan(QSize(60, 44), options);
    const VapcDescription description = VapcDescription::of(layout, 12, 25);
    const QByteArray json = description.toJson();
    for (const char* part :
         {"\"v\":2", "\"f\":12", "\"w\":60", "\"h\":44", "\"fps\":25", "\"videoW\":144", "\"videoH\":80",
          "\"rgbFrame\":[16,16,60,44]", "\"aFrame\":[96,16,30,22]", "\"isVapx\":0", "\"orien\":0"})
        EXPECT_TRUE(json.contains(part)) << part << " in " << json.toStdString();
    const Result<VapcDescription> read = VapcDescription::fromJson(json);
    ASSERT_TRUE(read.ok()) << read.reason().toStdString();
    EXPECT_EQ(*read, description);
}

struct BadCase {
    const char* title;
    QByteArray json;
    const char* reason;
};

class BadJson : public testing::TestWithParam<BadCase> {};

TEST_P(BadJson, IsRefusedWithItsReason) {
    const BadCase& c = GetParam();
    const Result<VapcDescription> read = VapcDescription::fromJson(c.json);
    ASSERT_FALSE(read.ok());
    EXPECT_TRUE(read.reason().contains(c.reason)) << read.reason().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    VapcDescriptionTest, BadJson,
    testing::Values(
        BadCase{"not_json", "vapc", "not a JSON object"}, BadCase{"no_info", "{\"v\":2}", "no \"info\""},
        BadCase{"no_video_size",
                "{\"info\":{\"w\":8,\"h\":8,\"fps\":25,\"aFrame\":[0,0,8,8],\"rgbFrame\":[8,0,8,8]}}",
                "no animation or video size"},
        BadCase{"region_outside",
                "{\"info\":{\"w\":8,\"h\":8,\"fps\":25,\"videoW\":16,\"videoH\":8,\"aFrame\":[0,0,"
                "8,8],\"rgbFrame\":[10,0,8,8]}}",
                "do not lie inside"},
        BadCase{"fractional_region",
                "{\"info\":{\"w\":8,\"h\":8,\"fps\":25,\"videoW\":16,\"videoH\":8,\"aFrame\":"
                "[0,0,8.5,8],\"rgbFrame\":[8,0,8,8]}}",
                "do not lie inside"}),
    ParamName());

} // namespace
